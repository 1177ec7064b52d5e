#include "app/win32/TrayIcon.h"

#include <cwchar>
#include <iterator>

#include "app/win32/CharacterPicture.h"
#include "app/win32/PopupMenu.h"
#include "app/win32/WindowClasses.h"
#include "app/win32/WindowObject.h"
#include "platform/win32/Wide.h"

namespace sayvane::win32 {

namespace {

// The program has no icon file: the notification area shows the character's own figure.
HICON createCharacterIcon(int size) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = size;
  info.bmiHeader.biHeight = -size;  // top-down, so pixel (x, y) is bits[y * size + x]
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP colour = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HBITMAP mask = CreateBitmap(size, size, 1, 1, nullptr);
  HICON icon = nullptr;
  if (dc && colour && mask && bits) {
    const RECT area{0, 0, size, size};
    HGDIOBJ old = SelectObject(dc, colour);
    HBRUSH background = CreateSolidBrush(characterOutlineColour());
    FillRect(dc, &area, background);
    DeleteObject(background);
    drawCharacter(dc, area, false);
    GdiFlush();
    SelectObject(dc, old);
    // GDI leaves alpha at zero: the figure's own region says which pixels are opaque.
    HRGN shape = createCharacterRegion(area);
    auto* pixels = static_cast<DWORD*>(bits);
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x)
        pixels[y * size + x] = (pixels[y * size + x] & 0x00FFFFFF) | (shape && !PtInRegion(shape, x, y) ? 0 : 0xFF000000);
    if (shape) DeleteObject(shape);
    ICONINFO parts{TRUE, 0, 0, mask, colour};
    icon = CreateIconIndirect(&parts);
  }
  if (mask) DeleteObject(mask);
  if (colour) DeleteObject(colour);
  if (dc) DeleteDC(dc);
  return icon;
}

}  // namespace

TrayIcon::TrayIcon(HINSTANCE instance, std::function<std::vector<TrayEntry>()> menu,
                   std::function<void(TrayChoice)> onChoice)
    : instance_(instance), menu_(std::move(menu)), onChoice_(std::move(onChoice)) {}

TrayIcon::~TrayIcon() {
  remove();
  if (window_) DestroyWindow(window_);
  if (icon_) DestroyIcon(icon_);
}

void TrayIcon::remove() {
  if (!added_) return;
  NOTIFYICONDATAW data = iconData();
  Shell_NotifyIconW(NIM_DELETE, &data);
  added_ = false;
}

bool TrayIcon::create() {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = &TrayIcon::windowProc;
  windowClass.hInstance = instance_;
  windowClass.lpszClassName = kTrayWindowClass;
  if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
  // A top-level window, never shown: the announcement of a new notification area is broadcast
  // to top-level windows only.
  CreateWindowExW(0, kTrayWindowClass, L"Sayvane", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance_, this);
  if (!window_) return false;
  taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
  // Run as administrator, the program would otherwise not hear Explorer, which runs without.
  if (taskbarCreated_) ChangeWindowMessageFilterEx(window_, taskbarCreated_, MSGFLT_ALLOW, nullptr);
  ChangeWindowMessageFilterEx(window_, kTrayCallbackMessage, MSGFLT_ALLOW, nullptr);
  icon_ = createCharacterIcon(GetSystemMetrics(SM_CXSMICON));
  add();
  return true;
}

NOTIFYICONDATAW TrayIcon::iconData() const {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = window_;
  data.uID = kTrayIconId;
  return data;
}

void TrayIcon::add() {
  NOTIFYICONDATAW data = iconData();
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = kTrayCallbackMessage;
  data.hIcon = icon_ ? icon_ : LoadIconW(nullptr, IDI_APPLICATION);
  const std::wstring tip = wide(kTrayTip);
  wcsncpy(data.szTip, tip.c_str(), std::size(data.szTip) - 1);
  // Also announced when only the area's DPI changed: then the icon is still there to update.
  added_ = Shell_NotifyIconW(NIM_ADD, &data) || Shell_NotifyIconW(NIM_MODIFY, &data);
}

void TrayIcon::openMenu() {
  if (menuOpen_) return;
  HMENU menu = CreatePopupMenu();
  if (!menu) return;
  // The entries as they are now: what is chosen is read from this copy, whatever changes meanwhile.
  const std::vector<TrayEntry> entries = menu_();
  for (UINT i = 0; i < entries.size(); ++i) {
    const TrayEntry& entry = entries[i];
    if (entry.separatorBefore && i > 0) AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    std::wstring caption = wide(entry.caption);
    MENUITEMINFOW item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING;
    item.fType = entry.mark == TrayEntry::Mark::Radio ? MFT_RADIOCHECK : MFT_STRING;
    item.fState = (entry.marked ? MFS_CHECKED : MFS_UNCHECKED) | (i == 0 ? MFS_DEFAULT : 0);
    item.wID = kFirstTrayCommandId + i;
    item.dwTypeData = caption.data();
    InsertMenuItemW(menu, GetMenuItemCount(menu), TRUE, &item);
  }
  POINT at{};
  GetCursorPos(&at);
  menuOpen_ = true;
  const UINT chosen = trackMenuFromBackground(window_, menu, at);
  menuOpen_ = false;
  DestroyMenu(menu);
  if (chosen >= kFirstTrayCommandId && chosen - kFirstTrayCommandId < entries.size())
    onChoice_(entries[chosen - kFirstTrayCommandId].choice);
}

LRESULT CALLBACK TrayIcon::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return forwardToObject(window, message, wParam, lParam, &TrayIcon::window_, &TrayIcon::handle);
}

LRESULT TrayIcon::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  HWND self = window_;
  if (message == kTrayCallbackMessage) {
    switch (LOWORD(lParam)) {
      case WM_RBUTTONUP:
      case WM_CONTEXTMENU: openMenu(); break;
      case WM_LBUTTONDBLCLK: {
        const auto entries = menu_();
        if (!entries.empty()) onChoice_(entries.front().choice);
        break;
      }
      default: break;
    }
    return 0;
  }
  if (message == taskbarCreated_ && taskbarCreated_) {
    add();
    return 0;
  }
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(self, GWLP_USERDATA, 0);
    window_ = nullptr;
  }
  return DefWindowProcW(self, message, wParam, lParam);
}

}  // namespace sayvane::win32
