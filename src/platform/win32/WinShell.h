// Opening documents, folders and web addresses with the shell's "open" verb.
#pragma once

#include "platform/DiagnosticRecord.h"
#include "platform/Shell.h"

namespace sayvane {

class WinShell final : public Shell {
 public:
  // A target that cannot be opened goes to `record` with the shell's answer.
  explicit WinShell(DiagnosticRecord& record = noRecord()) : record_(record) {}
  void open(const std::u16string& target) override;

 private:
  DiagnosticRecord& record_;
};

}  // namespace sayvane
