// Starting a program from its command line with a normal window that may take the focus.
#pragma once

#include "platform/DiagnosticRecord.h"
#include "platform/Programs.h"

namespace sayvane {

class WinPrograms final : public Programs {
 public:
  // A start that fails goes to `record` with the system's error code.
  explicit WinPrograms(DiagnosticRecord& record = noRecord()) : record_(record) {}
  // False when nothing could be started: an empty line, or no such program.
  [[nodiscard]] bool start(const std::u16string& commandLine) override;

 private:
  DiagnosticRecord& record_;
};

}  // namespace sayvane
