// What a recognizer makes of a set file, judged by the markers the program's own readers go by:
// the phrases it listens for, or nothing and why. The simulated recognizer listens by it, and a
// real recognizer's refusal is explained by it; the stand-in under Windows reads XML instead.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/CodePage936.h"
#include "platform/Files.h"

namespace sayvane {

// The phrases of every entry, in file order; nothing for a file without its grammar element,
// with unbalanced phrase elements, or with markup inside a phrase or an action.
std::optional<std::vector<std::u16string>> compileGrammar(std::u16string_view text);
// Why compileGrammar refuses the text, in words for the user; empty when it does not.
std::u16string grammarProblem(std::u16string_view text);
// The same for the file `fileName` of `files`, read as set files are; nothing when it cannot
// be read or is not code page 936 text.
std::optional<std::vector<std::u16string>> compileGrammarFile(Files& files, CodePage936& codePage,
                                                              const std::u16string& fileName);

}  // namespace sayvane
