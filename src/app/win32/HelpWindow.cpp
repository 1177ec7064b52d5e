#include "app/win32/HelpWindow.h"

#include <chrono>

#include "app/Layout.h"
#include "app/win32/WindowClasses.h"
#include "app/win32/WindowMetrics.h"
#include "platform/win32/Boundary.h"
#include "platform/win32/Owned.h"
#include "platform/win32/Wide.h"

namespace sayvane::win32 {

namespace {

constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW;
constexpr int kTextId = 100;

LRESULT CALLBACK helpProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return windowBoundary(window, message, wParam, lParam, [&]() -> LRESULT {
    switch (message) {
      case WM_SIZE: {
        // The text fills the window whatever size the user gives it.
        RECT client{};
        GetClientRect(window, &client);
        MoveWindow(GetDlgItem(window, kTextId), 0, 0, client.right, client.bottom, TRUE);
        return 0;
      }
      case WM_SETFOCUS:
        SetFocus(GetDlgItem(window, kTextId));
        return 0;
      default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
  });
}

// Shows `shown` in `font`, which must outlive it.
HWND createTextWindow(HWND owner, std::u16string_view caption, std::u16string_view shown, HFONT font) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  static const bool registered = [instance] {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = helpProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kHelpWindowClass;
    return RegisterClassExW(&windowClass) != 0;
  }();
  if (!registered) return nullptr;
  const int dpi = dpiOf(owner);
  const SIZE size = windowSizeForClient(MulDiv(kHelpClientWidth, dpi, 96), MulDiv(kHelpClientHeight, dpi, 96), kStyle, 0, dpi);
  // Placed where the system puts new windows.
  HWND window = CreateWindowExW(0, kHelpWindowClass, wide(caption).c_str(), kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                                size.cx, size.cy, owner, nullptr, instance, nullptr);
  if (!window) return nullptr;
  HWND text = CreateWindowExW(0, L"EDIT", wide(shown).c_str(),
                              WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, 0, 0, 0, 0,
                              window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTextId)), instance, nullptr);
  SendMessageW(text, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  RECT client{};
  GetClientRect(window, &client);
  MoveWindow(text, 0, 0, client.right, client.bottom, FALSE);
  return window;
}

}  // namespace

void showTextWindow(HWND owner, MessagePump& pump, std::u16string_view caption, std::u16string_view text) {
  const UniqueFont font(createFont(L"宋体", 105, dpiOf(owner)));
  UniqueWindow window(createTextWindow(owner, caption, text, font));
  if (!window) return;
  // Modal over the main window: it takes no input until the help is closed.
  const bool disableOwner = owner && IsWindowEnabled(owner);
  if (disableOwner) EnableWindow(owner, FALSE);
  ShowWindow(window, SW_SHOWNORMAL);
  SetForegroundWindow(window);
  SendDlgItemMessageW(window, kTextId, EM_SETSEL, 0, 0);
  using namespace std::chrono_literals;
  while (IsWindow(window) && pump.pump(100ms)) {
  }
  if (!IsWindow(window)) window.release();  // the user closed it: the system destroyed it
  if (disableOwner) EnableWindow(owner, TRUE);
  window.reset();
  if (owner && IsWindowVisible(owner)) SetForegroundWindow(owner);
}

}  // namespace sayvane::win32
