// The system clipboard: emptying it and putting plain Unicode text on it.
#pragma once

#include <windows.h>

#include "platform/Clipboard.h"
#include "platform/DiagnosticRecord.h"

namespace sayvane {

class WinClipboard final : public Clipboard {
 public:
  // `owner` becomes the clipboard's owner while it holds our text; it may be null.
  explicit WinClipboard(HWND owner, DiagnosticRecord& record = noRecord());

  [[nodiscard]] bool clear() override;
  [[nodiscard]] bool setText(const std::u16string& text) override;

 private:
  [[nodiscard]] bool open();
  // A call that failed, with the system's error code, to the record; false.
  bool failed(std::u16string_view call);
  HWND owner_;
  DiagnosticRecord& record_;
};

}  // namespace sayvane
