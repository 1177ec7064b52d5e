// The main window's small pictures, drawn with GDI at whatever size the monitor's DPI asks for.
#pragma once

#include <windows.h>

namespace sayvane::win32 {

enum class Picture { Mouse, Keyboard, File, Web, Logo };

// Draws the picture centred in `area`, scaled to fit it: the four composer pictures are
// designed on a 32 x 32 grid, the logo on 75 x 46. Only the picture is drawn, nothing behind
// it; a disabled picture is drawn in greys. The DC's state is left as it was found.
void drawPicture(HDC dc, const RECT& area, Picture picture, bool enabled);

}  // namespace sayvane::win32
