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
using sayvane::win32::wide;

// --- Finding controls -------------------------------------------------------------------

// The child with `id` (GetDlgItem); nullptr when absent.
HWND control(HWND window, int id);
// A main-window control by its name (sayvane::controlId); an unknown name fails the test.
HWND control(HWND window, std::string_view name);
// The heading above a named control (sayvane::labelId); an unknown name fails the test.
HWND label(HWND window, std::string_view name);
std::wstring className(HWND window);

// --- Acting: posted, so a modal box the program opens in reply cannot block the driver ----
// Each refuses (false) a control that is missing, hidden or disabled, as a user could not use it.

// Posts BN_CLICKED from the button to its parent.
bool click(HWND button);
bool click(HWND window, std::string_view name);
// Selects row `index` (-1: none) of a list box or combo box, then posts LBN_SELCHANGE or
// CBN_SELCHANGE to its parent.
bool selectRow(HWND list, int index);
bool selectRow(HWND window, std::string_view name, int index);
// Replaces an edit's text (WM_SETTEXT), then posts EN_CHANGE to its parent: whether
// WM_SETTEXT notifies by itself differs between systems.
bool typeText(HWND edit, std::wstring_view text);
bool typeText(HWND window, std::string_view name, std::wstring_view text);
bool typeText(HWND window, std::string_view name, std::u16string_view text);

// --- Reading (every SendMessage has a timeout, so a hung program cannot hang the driver) --

std::wstring text(HWND window);
std::u16string text16(HWND window);
// The rows of a list box or combo box.
std::vector<std::wstring> rows(HWND list);
std::vector<std::u16string> rows16(HWND list);
// The selected row of a list box or combo box; -1 when none.
int selection(HWND list);
bool enabled(HWND window);
bool visible(HWND window);  // itself and every parent shown
bool checked(HWND button);  // BM_GETCHECK == BST_CHECKED
SIZE clientSize(HWND window);
RECT screenRect(HWND window);    // the outer rectangle, in screen pixels
POINT clientOrigin(HWND window); // the client area's top-left corner, in screen pixels

// --- Message boxes ----------------------------------------------------------------------

struct MessageBoxInfo {
  HWND window = nullptr;
  std::wstring caption;
  std::wstring text;
  bool icon = false;
  std::vector<int> buttons;  // IDOK, IDYES, IDNO... ascending
};

// The process's open (visible) message box; nullptr when none.
HWND findMessageBox(const Process& process);
MessageBoxInfo readMessageBox(HWND box);
// The message box the process shows within `timeout`.
std::optional<MessageBoxInfo> expectMessageBox(const Process& process,
                                               std::chrono::milliseconds timeout = 10s);
// Presses button `id` (IDOK, IDYES, IDNO...); true once the box has closed within `timeout`.
bool answer(HWND box, int id, std::chrono::milliseconds timeout = 5s);

// --- Popup menus ------------------------------------------------------------------------

// The process's open popup menu window (class #32768); nullptr when none.
HWND findPopupMenu(const Process& process);
HWND waitPopupMenu(const Process& process, std::chrono::milliseconds timeout = 5s);
// Ends the menu as Escape would; true once it has gone within `timeout`.
bool closePopupMenu(const Process& process, std::chrono::milliseconds timeout = 5s);

}  // namespace e2e
