#include "platform/win32/WinScreen.h"

#include <windows.h>

namespace sayvane {

int WinScreen::width() { return GetSystemMetrics(SM_CXSCREEN); }

int WinScreen::height() { return GetSystemMetrics(SM_CYSCREEN); }

}  // namespace sayvane
