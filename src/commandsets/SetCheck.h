// Finds what would make the recognizer and the program's own readers disagree about a set.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace sayvane {

struct Finding {
  std::size_t line = 0;  // from 1
  std::u16string phrase; // the entry concerned, when there is one
  std::u16string message;
  bool noteOnly = false; // worth knowing, but the set works as it is
};

std::vector<Finding> checkSetText(std::u16string_view text);

}  // namespace sayvane
