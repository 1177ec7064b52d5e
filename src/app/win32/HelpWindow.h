// The help window: the fixed help text in a read-only field that fills it, shown modally.
#pragma once

#include <windows.h>

#include "platform/win32/MessagePump.h"

namespace sayvane::win32 {

// Returns when the user has closed the window, or at once when the program is quitting.
void showHelpWindow(HWND owner, MessagePump& pump);

}  // namespace sayvane::win32
