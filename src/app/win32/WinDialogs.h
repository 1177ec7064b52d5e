// Message boxes, the open-file dialog and the help window, owned by the main window while it
// is shown; the window is rendered first so a box never covers stale controls.
#pragma once

#include "app/win32/MainWindowView.h"
#include "platform/Dialogs.h"
#include "platform/win32/MessagePump.h"

namespace sayvane::win32 {

class WinDialogs final : public Dialogs {
 public:
  WinDialogs(MainWindowView& view, MessagePump& pump) : view_(view), pump_(pump) {}

  void message(const std::u16string& text, const std::u16string& caption) override;
  void critical(const std::u16string& text, const std::u16string& caption) override;
  bool ask(const std::u16string& text, const std::u16string& caption) override;
  std::optional<std::u16string> pickFile(const std::u16string& title, const std::u16string& folder,
                                         const std::u16string& filterName) override;
  void showHelp() override;
  void showText(const std::u16string& text, const std::u16string& caption) override;

 private:
  HWND owner();
  int box(const std::u16string& text, const std::u16string& caption, UINT type);

  MainWindowView& view_;
  MessagePump& pump_;
};

}  // namespace sayvane::win32
