// Starting a program from its command line with a normal window that may take the focus.
#pragma once

#include "platform/Programs.h"

namespace sayvane {

class WinPrograms final : public Programs {
 public:
  // False when nothing could be started: an empty line, or no such program.
  [[nodiscard]] bool start(const std::u16string& commandLine) override;
};

}  // namespace sayvane
