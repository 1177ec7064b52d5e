// The system clipboard: emptying it and putting plain Unicode text on it.
#pragma once

#include <windows.h>

#include "platform/Clipboard.h"

namespace sayvane {

class WinClipboard final : public Clipboard {
 public:
  // `owner` becomes the clipboard's owner while it holds our text; it may be null.
  explicit WinClipboard(HWND owner);

  [[nodiscard]] bool clear() override;
  [[nodiscard]] bool setText(const std::u16string& text) override;

 private:
  [[nodiscard]] bool open();
  HWND owner_;
};

}  // namespace sayvane
