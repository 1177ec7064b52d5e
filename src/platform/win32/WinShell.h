// Opening documents, folders and web addresses with the shell's "open" verb.
#pragma once

#include "platform/Shell.h"

namespace sayvane {

class WinShell final : public Shell {
 public:
  void open(const std::u16string& target) override;
};

}  // namespace sayvane
