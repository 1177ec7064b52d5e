#include "e2e/driver/Ui.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "app/Layout.h"

namespace e2e {

namespace {

// SendMessageTimeout's result, or nullopt when the program did not answer in 3 s: long enough
// for a busy program under Wine, short enough that a hung one fails a test fast.
std::optional<LRESULT> ask(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  DWORD_PTR result = 0;
  if (!window || !SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 3000, &result))
    return std::nullopt;
  return static_cast<LRESULT>(result);
}

bool classIs(HWND window, const wchar_t* name) {
  wchar_t found[64] = {};
  return GetClassNameW(window, found, 64) && lstrcmpiW(found, name) == 0;
}

// Tells the control's parent what the control would have told it, without waiting for it. A user
// can only work a control that is shown and enabled; the driver holds itself to that, since a
// posted notification would reach the program either way.
bool notifyParent(HWND child, WORD code) {
  return child && IsWindowVisible(child) && IsWindowEnabled(child) &&
         PostMessageW(GetParent(child), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(child), code),
                      reinterpret_cast<LPARAM>(child));
}

HWND childOf(HWND window, std::optional<int> id, std::string_view name) {
  if (!id) ADD_FAILURE() << "no control is called " << name;
  return id ? control(window, *id) : nullptr;
}

// A text asked for by its length, then copied: of a row when `row` is named, else of the window
// itself (the buffer's size then goes with the second message). The length can grow between the
// two messages; the copy is cut at what was copied.
std::u16string readText(HWND window, UINT lengthMessage, UINT textMessage, std::optional<WPARAM> row = {}) {
  std::wstring buffer(std::max<LRESULT>(ask(window, lengthMessage, row.value_or(0)).value_or(0), 0) + 1, L'\0');
  const auto copied = ask(window, textMessage, row.value_or(buffer.size()), reinterpret_cast<LPARAM>(buffer.data()));
  buffer.resize(std::clamp<LRESULT>(copied.value_or(0), 0, static_cast<LRESULT>(buffer.size() - 1)));
  return utf16(buffer);
}

HWND firstWindow(const Process& process, const wchar_t* windowClass, bool (*fits)(HWND)) {
  for (HWND window : process.windows(windowClass))
    if (IsWindowVisible(window) && fits(window)) return window;
  return nullptr;
}

}  // namespace

HWND control(HWND window, int id) { return window ? GetDlgItem(window, id) : nullptr; }

HWND control(HWND window, std::string_view name) { return childOf(window, sayvane::controlId(name), name); }

HWND label(HWND window, std::string_view name) { return childOf(window, sayvane::labelId(name), name); }

bool click(HWND window, std::string_view name) { return notifyParent(control(window, name), BN_CLICKED); }

bool selectRow(HWND list, int index) {
  return enabled(list) && ask(list, LB_SETCURSEL, index).value_or(-1) != -1 && notifyParent(list, LBN_SELCHANGE);
}

bool typeText(HWND edit, std::u16string_view text) {
  const std::wstring copy = sayvane::win32::wide(text);
  return enabled(edit) && ask(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(copy.c_str())).value_or(FALSE) &&
         notifyParent(edit, EN_CHANGE);
}

std::u16string text16(HWND window) { return readText(window, WM_GETTEXTLENGTH, WM_GETTEXT); }

std::vector<std::u16string> rows16(HWND list) {
  const bool combo = classIs(list, L"ComboBox");
  std::vector<std::u16string> rows;
  for (LRESULT row = 0, count = ask(list, combo ? CB_GETCOUNT : LB_GETCOUNT).value_or(0); row < count; ++row)
    rows.push_back(readText(list, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, combo ? CB_GETLBTEXT : LB_GETTEXT, row));
  return rows;
}

int selection(HWND list) {
  return static_cast<int>(ask(list, classIs(list, L"ComboBox") ? CB_GETCURSEL : LB_GETCURSEL).value_or(-1));
}

bool enabled(HWND window) { return window && IsWindowEnabled(window); }

bool visible(HWND window) { return window && IsWindowVisible(window); }

bool checked(HWND button) { return ask(button, BM_GETCHECK) == BST_CHECKED; }

SIZE clientSize(HWND window) {
  RECT rect{};
  GetClientRect(window, &rect);
  return {rect.right, rect.bottom};
}

RECT screenRect(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect;
}

POINT clientOrigin(HWND window) {
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  return origin;
}

std::optional<MessageBoxInfo> expectMessageBox(const Process& process) {
  // A standard message box is a #32770 dialog whose text sits in the static 0xFFFF.
  const auto isBox = [](HWND window) { return classIs(GetDlgItem(window, 0xFFFF), L"Static"); };
  HWND box = nullptr;
  if (!waitFor([&] { return (box = firstWindow(process, L"#32770", isBox)) != nullptr; })) return {};
  MessageBoxInfo info{box, text16(box), text16(GetDlgItem(box, 0xFFFF))};
  for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!IsWindowVisible(child)) continue;
    // Windows numbers the icon 0x14, Wine 0x440 (stc1), and Wine keeps an empty one on a box
    // without an icon: an icon static holding an icon is what counts on both.
    if (classIs(child, L"Static") && (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
      info.icon = info.icon || ask(child, STM_GETICON).value_or(0) != 0;
    else if (classIs(child, L"Button"))
      info.buttons.push_back(GetDlgCtrlID(child));
  }
  std::sort(info.buttons.begin(), info.buttons.end());
  return info;
}

bool answer(HWND box, int id) {
  // What the button itself sends its dialog when pressed; the box's dialog procedure ends
  // the box with that ID.
  HWND button = GetDlgItem(box, id);
  return button && PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button)) &&
         waitFor([&] { return !IsWindow(box) || !IsWindowVisible(box); }, 5s);
}

HWND waitPopupMenu(const Process& process, std::chrono::milliseconds timeout) {
  HWND menu = nullptr;
  waitFor([&] { return (menu = firstWindow(process, L"#32768", [](HWND) { return true; })) != nullptr; }, timeout);
  return menu;
}

bool closePopupMenu(const Process& process) {
  // The menu's tracking loop reads every key message of its thread; one Escape closes one
  // level, so it repeats while a submenu is still open.
  return waitFor(
      [&] {
        HWND menu = waitPopupMenu(process, 0ms);
        if (!menu) return true;
        PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
        PostMessageW(menu, WM_KEYUP, VK_ESCAPE, static_cast<LPARAM>(0xC0010001u));
        Sleep(50);
        return false;
      },
      5s);
}

}  // namespace e2e
