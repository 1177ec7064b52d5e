// Driving another process's windows from outside, only through standard window messages.
#pragma once

#include <windows.h>

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "e2e/driver/Process.h"
#include "platform/win32/Wide.h"

namespace e2e {

using sayvane::win32::utf16;

// The child with `id` (GetDlgItem); nullptr when absent.
HWND control(HWND window, int id);
// A main-window control by its name (sayvane::controlId), or the heading above it
// (sayvane::labelId); an unknown name fails the test.
HWND control(HWND window, std::string_view name);
HWND label(HWND window, std::string_view name);

// Acting: posted, so a modal box the program opens in reply cannot block the driver. Each
// refuses (false) a control that is missing, hidden or disabled, as a user could not use it.
bool click(HWND window, std::string_view name);  // BN_CLICKED to the parent
// Selects row `index` of a list box, then posts LBN_SELCHANGE.
bool selectRow(HWND list, int index);
// Replaces an edit's text (WM_SETTEXT), then posts EN_CHANGE to its parent: whether
// WM_SETTEXT notifies by itself differs between systems.
bool typeText(HWND edit, std::u16string_view text);

// Reading (every SendMessage has a timeout, so a hung program cannot hang the driver).
std::u16string text16(HWND window);
std::vector<std::u16string> rows16(HWND list);  // of a list box or combo box
int selection(HWND list);                       // -1 when none
bool enabled(HWND window);
bool visible(HWND window);  // itself and every parent shown
bool checked(HWND button);
SIZE clientSize(HWND window);
RECT screenRect(HWND window);     // the outer rectangle, in screen pixels
POINT clientOrigin(HWND window);  // the client area's top-left corner, in screen pixels

struct MessageBoxInfo {
  HWND window = nullptr;
  std::u16string caption;
  std::u16string text;
  bool icon = false;
  std::vector<int> buttons;  // IDOK, IDYES, IDNO... ascending
};
// The (visible) message box the process shows within ten seconds.
std::optional<MessageBoxInfo> expectMessageBox(const Process& process);
// Presses button `id` (IDOK, IDYES, IDNO...); true once the box has closed.
bool answer(HWND box, int id);

// The process's open popup menu window (class #32768) within `timeout`; nullptr when none.
HWND waitPopupMenu(const Process& process, std::chrono::milliseconds timeout = 5s);
// Ends the menu as Escape would; true once it has gone.
bool closePopupMenu(const Process& process);

}  // namespace e2e
