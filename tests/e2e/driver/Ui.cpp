// Driving another process's windows from outside, only through standard window messages.
#include "e2e/driver/Ui.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "app/Layout.h"

namespace e2e {

namespace {

// Long enough for a busy program under Wine, short enough that a hung one fails a test fast.
constexpr UINT kSendTimeoutMs = 3000;

// SendMessageTimeout's result, or nullopt when the program did not answer in time.
std::optional<LRESULT> ask(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  DWORD_PTR result = 0;
  if (window == nullptr ||
      !SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result)) {
    return std::nullopt;
  }
  return static_cast<LRESULT>(result);
}

bool classIs(HWND window, const wchar_t* name) { return lstrcmpiW(className(window).c_str(), name) == 0; }

bool isCombo(HWND list) { return classIs(list, L"ComboBox"); }

// Tells the control's parent what the control would have told it, without waiting for it.
bool notifyParent(HWND child, WORD code) {
  HWND parent = GetParent(child);
  if (parent == nullptr) return false;
  const int id = GetDlgCtrlID(child);
  return PostMessageW(parent, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(child)) != 0;
}

// A user can only work a control that is shown and enabled; the driver holds itself to that,
// since a posted notification would reach the program either way.
bool usable(HWND control) { return control != nullptr && IsWindowVisible(control) && IsWindowEnabled(control); }

HWND childOf(HWND window, std::optional<int> id, std::string_view name) {
  if (!id) {
    ADD_FAILURE() << "no control is called " << name;
    return nullptr;
  }
  return control(window, *id);
}

std::vector<HWND> children(HWND window) {
  std::vector<HWND> found;
  EnumChildWindows(
      window,
      [](HWND child, LPARAM context) {
        reinterpret_cast<std::vector<HWND>*>(context)->push_back(child);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

// A standard message box is a #32770 dialog whose text sits in the static 0xFFFF.
bool isMessageBox(HWND window) {
  if (!IsWindowVisible(window)) return false;
  HWND textControl = GetDlgItem(window, 0xFFFF);
  return textControl != nullptr && classIs(textControl, L"Static");
}

}  // namespace

HWND control(HWND window, int id) { return window == nullptr ? nullptr : GetDlgItem(window, id); }

HWND control(HWND window, std::string_view name) { return childOf(window, sayvane::controlId(name), name); }

HWND label(HWND window, std::string_view name) { return childOf(window, sayvane::labelId(name), name); }

std::wstring className(HWND window) {
  wchar_t name[256] = {};
  const int length = window == nullptr ? 0 : GetClassNameW(window, name, 256);
  return std::wstring(name, static_cast<std::size_t>(std::max(length, 0)));
}

bool click(HWND button) { return usable(button) && notifyParent(button, BN_CLICKED); }

bool click(HWND window, std::string_view name) { return click(control(window, name)); }

bool selectRow(HWND list, int index) {
  if (!usable(list)) return false;
  const bool combo = isCombo(list);
  const auto result = ask(list, combo ? CB_SETCURSEL : LB_SETCURSEL, static_cast<WPARAM>(index));
  // Both answer -1 for "none", which is also what clearing the selection returns.
  if (!result || (*result == -1 && index != -1)) return false;
  return notifyParent(list, combo ? CBN_SELCHANGE : LBN_SELCHANGE);
}

bool selectRow(HWND window, std::string_view name, int index) { return selectRow(control(window, name), index); }

bool typeText(HWND edit, std::wstring_view text) {
  if (!usable(edit)) return false;
  const std::wstring copy(text);
  const auto result = ask(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(copy.c_str()));
  if (!result || *result == FALSE) return false;
  return notifyParent(edit, EN_CHANGE);
}

bool typeText(HWND window, std::string_view name, std::wstring_view text) {
  return typeText(control(window, name), text);
}

bool typeText(HWND window, std::string_view name, std::u16string_view text) {
  return typeText(control(window, name), wide(text));
}

std::wstring text(HWND window) {
  const auto length = ask(window, WM_GETTEXTLENGTH);
  if (!length || *length <= 0) return {};
  // The length can grow between the two messages; the copy is cut at what was copied.
  std::wstring buffer(static_cast<std::size_t>(*length) + 1, L'\0');
  const auto copied = ask(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()));
  if (!copied) return {};
  buffer.resize(std::min<std::size_t>(static_cast<std::size_t>(std::max<LRESULT>(*copied, 0)), buffer.size()));
  return buffer;
}

std::u16string text16(HWND window) { return utf16(text(window)); }

std::vector<std::wstring> rows(HWND list) {
  const bool combo = isCombo(list);
  const auto count = ask(list, combo ? CB_GETCOUNT : LB_GETCOUNT);
  if (!count || *count <= 0) return {};
  std::vector<std::wstring> result;
  for (LRESULT row = 0; row < *count; ++row) {
    const auto length = ask(list, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, static_cast<WPARAM>(row));
    if (!length || *length < 0) {
      result.emplace_back();
      continue;
    }
    std::wstring buffer(static_cast<std::size_t>(*length) + 1, L'\0');
    const auto copied = ask(list, combo ? CB_GETLBTEXT : LB_GETTEXT, static_cast<WPARAM>(row),
                            reinterpret_cast<LPARAM>(buffer.data()));
    const LRESULT size = copied ? std::clamp<LRESULT>(*copied, 0, *length) : 0;
    buffer.resize(static_cast<std::size_t>(size));
    result.push_back(std::move(buffer));
  }
  return result;
}

std::vector<std::u16string> rows16(HWND list) {
  std::vector<std::u16string> result;
  for (const auto& row : rows(list)) result.push_back(utf16(row));
  return result;
}

int selection(HWND list) {
  const auto result = ask(list, isCombo(list) ? CB_GETCURSEL : LB_GETCURSEL);
  return result ? static_cast<int>(*result) : -1;
}

bool enabled(HWND window) { return window != nullptr && IsWindowEnabled(window); }

bool visible(HWND window) { return window != nullptr && IsWindowVisible(window); }

bool checked(HWND button) {
  const auto result = ask(button, BM_GETCHECK);
  return result && *result == BST_CHECKED;
}

SIZE clientSize(HWND window) {
  RECT rect{};
  if (window == nullptr || !GetClientRect(window, &rect)) return {0, 0};
  return {rect.right - rect.left, rect.bottom - rect.top};
}

RECT screenRect(HWND window) {
  RECT rect{};
  if (window != nullptr) GetWindowRect(window, &rect);
  return rect;
}

POINT clientOrigin(HWND window) {
  POINT origin{0, 0};
  if (window != nullptr) ClientToScreen(window, &origin);
  return origin;
}

HWND findMessageBox(const Process& process) {
  for (HWND window : process.windows(L"#32770")) {
    if (isMessageBox(window)) return window;
  }
  return nullptr;
}

MessageBoxInfo readMessageBox(HWND box) {
  MessageBoxInfo info;
  if (box == nullptr) return info;
  info.window = box;
  info.caption = text(box);
  info.text = text(GetDlgItem(box, 0xFFFF));
  for (HWND child : children(box)) {
    if (GetParent(child) != box || !IsWindowVisible(child)) continue;
    const LONG style = GetWindowLongW(child, GWL_STYLE);
    // Windows numbers the icon 0x14, Wine 0x440 (stc1), and Wine keeps an empty one on a box
    // without an icon: an icon static holding an icon is what counts on both.
    if (classIs(child, L"Static") && (style & SS_TYPEMASK) == SS_ICON) {
      const auto icon = ask(child, STM_GETICON);
      info.icon = info.icon || (icon && *icon != 0);
    } else if (classIs(child, L"Button")) {
      info.buttons.push_back(GetDlgCtrlID(child));
    }
  }
  std::sort(info.buttons.begin(), info.buttons.end());
  return info;
}

std::optional<MessageBoxInfo> expectMessageBox(const Process& process, std::chrono::milliseconds timeout) {
  HWND box = nullptr;
  if (!waitFor([&] { return (box = findMessageBox(process)) != nullptr; }, timeout)) return std::nullopt;
  return readMessageBox(box);
}

bool answer(HWND box, int id, std::chrono::milliseconds timeout) {
  if (box == nullptr || !IsWindow(box)) return false;
  HWND button = GetDlgItem(box, id);
  if (button == nullptr) return false;
  // What the button itself sends its dialog when pressed; the box's dialog procedure ends
  // the box with that ID.
  if (!PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button))) return false;
  return waitFor([&] { return !IsWindow(box) || !IsWindowVisible(box); }, timeout);
}

HWND findPopupMenu(const Process& process) {
  for (HWND window : process.windows(L"#32768")) {
    if (IsWindowVisible(window)) return window;
  }
  return nullptr;
}

HWND waitPopupMenu(const Process& process, std::chrono::milliseconds timeout) {
  HWND menu = nullptr;
  waitFor([&] { return (menu = findPopupMenu(process)) != nullptr; }, timeout);
  return menu;
}

bool closePopupMenu(const Process& process, std::chrono::milliseconds timeout) {
  // The menu's tracking loop reads every key message of its thread; one Escape closes one
  // level, so it repeats while a submenu is still open.
  return waitFor(
      [&] {
        HWND menu = findPopupMenu(process);
        if (menu == nullptr) return true;
        PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
        PostMessageW(menu, WM_KEYUP, VK_ESCAPE, static_cast<LPARAM>(0xC0010001u));
        Sleep(50);
        return false;
      },
      timeout);
}

}  // namespace e2e
