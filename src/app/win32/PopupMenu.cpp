#include "app/win32/PopupMenu.h"

namespace sayvane::win32 {

UINT trackMenuFromBackground(HWND owner, HMENU menu, POINT at) {
  const HWND previous = GetForegroundWindow();
  SetForegroundWindow(owner);
  const UINT chosen = static_cast<UINT>(
      TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, owner, nullptr));
  PostMessageW(owner, WM_NULL, 0, 0);
  if (previous && previous != owner && IsWindow(previous) && GetForegroundWindow() == owner)
    SetForegroundWindow(previous);
  return chosen;
}

}  // namespace sayvane::win32
