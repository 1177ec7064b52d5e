// The program's icon in the notification area, from start to end: the tip "Sayvane", a menu on
// a right click, the menu's first entry on a double-click. It is put back when the notification
// area is made anew (Explorer restarted) and removed when this object goes.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <functional>
#include <vector>

#include "app/TrayMenu.h"

namespace sayvane::win32 {

// What the notification area posts to the owner window: lParam's low word is the mouse
// message (WM_RBUTTONUP, WM_LBUTTONDBLCLK...). An outside driver may post it too.
inline constexpr UINT kTrayCallbackMessage = WM_APP + 1;
inline constexpr UINT kTrayIconId = 1;
// Entry i of the menu as it was opened has the command id kFirstTrayCommandId + i.
inline constexpr UINT kFirstTrayCommandId = 1;

class TrayIcon {
 public:
  // `menu` gives the entries as they stand when the menu opens; `onChoice` gets the one chosen.
  TrayIcon(HINSTANCE instance, std::function<std::vector<TrayEntry>()> menu, std::function<void(TrayChoice)> onChoice);
  ~TrayIcon();
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  // Makes the owner window and adds the icon. False without the window; a notification area
  // that is not there yet is not a failure: the icon comes when it announces itself.
  [[nodiscard]] bool create();
  // Takes the icon away now: at the program's end it goes before the slower rest.
  void remove();
  HWND window() const { return window_; }
  bool added() const { return added_; }

 private:
  static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
  NOTIFYICONDATAW iconData() const;
  void add();
  void openMenu();

  HINSTANCE instance_;
  std::function<std::vector<TrayEntry>()> menu_;
  std::function<void(TrayChoice)> onChoice_;
  HWND window_ = nullptr;
  HICON icon_ = nullptr;
  UINT taskbarCreated_ = 0;
  bool added_ = false;
  bool menuOpen_ = false;
};

}  // namespace sayvane::win32
