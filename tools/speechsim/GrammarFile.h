// What the stand-in recognizer makes of a grammar file. It reads the file as XML, the way a
// speech engine does, and not by the markers the program's own readers look for: a file the
// program writes wrongly is then refused here even when its own readers agree with each other.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace speechsim {

// The phrases of every <P> of a top-level rule, in file order, without the "+" that asks the
// engine for more confidence; nothing for text that is not well-formed XML or that holds an
// element a command grammar of this kind does not have.
std::optional<std::vector<std::u16string>> readGrammar(std::u16string_view text);

// The same for a file's bytes in the code page the program writes (936); nothing for bytes
// that are not text in it.
std::optional<std::vector<std::u16string>> readGrammarBytes(std::string_view bytes);

}  // namespace speechsim
