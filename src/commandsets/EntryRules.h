// What the editor refuses to write: phrases, actions and set names that the set file, the
// recognizer, code page 936 or the file system could not hold. Each returns the message for
// the user, empty when the text is fine.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/CodePage936.h"

namespace sayvane {

std::u16string phraseProblem(std::u16string_view phrase, CodePage936& codePage);
std::u16string actionProblem(std::u16string_view action, CodePage936& codePage);
// `existingFiles` are the file names of the folder; a set whose file exists, in any letter
// case, is refused, since creating it would overwrite that set.
std::u16string setNameProblem(std::u16string_view name, std::u16string_view folder,
                              const std::vector<std::u16string>& existingFiles, CodePage936& codePage);

}  // namespace sayvane
