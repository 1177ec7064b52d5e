// The program's own assistant character, for systems without the character control: a small
// always-on-top figure that never takes the keyboard focus, with a speech bubble, a voice
// where the system has one, and the command menu on a right click.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "platform/Character.h"
#include "platform/DiagnosticRecord.h"

namespace sayvane::win32 {

// The command ids of the character's menu: entry i of the command list is kFirstCommandId + i,
// the menu's own "隐藏" is kHideCommandId. A WM_COMMAND posted to the window with one of them
// does what choosing it does.
inline constexpr UINT kHideCommandId = 100;
inline constexpr UINT kFirstCommandId = 1000;
// The window's size when it is first made, in pixels.
inline constexpr int kCharacterStartSize = 128;

class BuiltInCharacterControl final : public CharacterControl {
 public:
  // `onCommand` gets the name of a menu entry the user chose; it may change the entries.
  // The voice it speaks with goes to `record`.
  BuiltInCharacterControl(HINSTANCE instance, std::function<void(const std::u16string&)> onCommand,
                          DiagnosticRecord& record = noRecord());
  ~BuiltInCharacterControl() override;

  // There is no character file: both arguments are ignored. The window is made, hidden, on
  // the first call; nothing when it cannot be.
  Character* load(const std::u16string& id, const std::u16string& loadKey) override;

  // The character leaves the screen now, with its voice; nothing may be asked of it afterwards.
  void close();

  // The character's window and its bubble's; null before load().
  [[nodiscard]] HWND window() const;
  [[nodiscard]] HWND bubbleWindow() const;

  class Window;

 private:
  HINSTANCE instance_;
  std::function<void(const std::u16string&)> onCommand_;
  DiagnosticRecord& record_;
  std::unique_ptr<Window> character_;
};

}  // namespace sayvane::win32
