// DPI and fonts shared by the program's windows. The per-monitor functions are looked up at
// run time, so the program still starts on systems that lack them (they fall back to 96 DPI
// arithmetic on the system DPI).
#pragma once

#include <windows.h>

namespace sayvane::win32 {

int dpiOf(HWND window);
// The outer size of a window whose client area is `width` x `height` physical pixels.
SIZE windowSizeForClient(int width, int height, DWORD style, DWORD exStyle, int dpi);
// The user-interface font: a clear Chinese face at 9 points.
HFONT createUiFont(int dpi);
// A font of `tenthsOfPoints` (105 for 10.5 points) in the named face, with Chinese characters.
HFONT createFont(const wchar_t* face, int tenthsOfPoints, int dpi);

}  // namespace sayvane::win32
