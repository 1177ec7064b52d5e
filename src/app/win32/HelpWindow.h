// The help window, and windows like it: a text in a read-only field that fills the window, which
// the user can select and copy, shown modally.
#pragma once

#include <windows.h>

#include <string_view>

#include "platform/win32/MessagePump.h"

namespace sayvane::win32 {

// Returns when the user has closed the window, or at once when the program is quitting.
void showTextWindow(HWND owner, MessagePump& pump, std::u16string_view caption, std::u16string_view text);

}  // namespace sayvane::win32
