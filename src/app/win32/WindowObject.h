// A window procedure for a window that serves one object: the object is CreateWindowEx's last
// argument, kept in the window's user data from WM_NCCREATE on.
#pragma once

#include <windows.h>

namespace sayvane::win32 {

// Stores the window in `window` of the object at WM_NCCREATE, then hands every message to
// `handle`; messages before WM_NCCREATE (WM_GETMINMAXINFO) or after the user data is cleared
// go to DefWindowProc.
template <typename T>
LRESULT forwardToObject(HWND window, UINT message, WPARAM wParam, LPARAM lParam, HWND T::*windowMember,
                        LRESULT (T::*handle)(UINT, WPARAM, LPARAM)) {
  if (message == WM_NCCREATE) {
    auto* created = static_cast<T*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
    created->*windowMember = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
  }
  auto* object = reinterpret_cast<T*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  return object ? (object->*handle)(message, wParam, lParam) : DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace sayvane::win32
