// A window procedure for a window that serves one object: the object is CreateWindowEx's last
// argument, kept in the window's user data from WM_NCCREATE to WM_NCDESTROY.
#pragma once

#include <windows.h>

#include "platform/win32/Boundary.h"
#include "platform/win32/Owned.h"

namespace sayvane::win32 {

// Stores the window in `window` of the object at WM_NCCREATE, then hands every message to
// `handle`; messages before WM_NCCREATE (WM_GETMINMAXINFO) or after WM_NCDESTROY go to
// DefWindowProc. At WM_NCDESTROY the object lets go of the window the system destroyed, so an
// object that goes later destroys nothing, and one that goes first destroys its window.
template <typename T>
LRESULT forwardToObject(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UniqueWindow T::*windowMember,
                        LRESULT (T::*handle)(UINT, WPARAM, LPARAM)) {
  return windowBoundary(window, message, wParam, lParam, [&] {
    if (message == WM_NCCREATE) {
      auto* created = static_cast<T*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
      created->*windowMember = UniqueWindow(window);
      SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
    }
    auto* object = reinterpret_cast<T*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!object) return DefWindowProcW(window, message, wParam, lParam);
    const LRESULT result = (object->*handle)(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      (object->*windowMember).release();
    }
    return result;
  });
}

}  // namespace sayvane::win32
