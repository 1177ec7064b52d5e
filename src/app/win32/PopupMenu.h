// A popup menu opened from a window that is not in front: the character's, the notification icon's.
#pragma once

#include <windows.h>

namespace sayvane::win32 {

// Shows `menu` at the screen point `at` and returns the chosen command id, 0 for none. Such a
// menu closes on a click elsewhere only when its owner is made the foreground window first and
// gets a message after (the documented way); the window that was in front then gets the
// foreground back, for the keys a command sends. The owner hears WM_INITMENUPOPUP as a submenu
// opens, in time to fill it.
UINT trackMenuFromBackground(HWND owner, HMENU menu, POINT at);

}  // namespace sayvane::win32
