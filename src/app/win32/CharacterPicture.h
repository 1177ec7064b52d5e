// The built-in character's picture: a round little figure with a headset microphone, drawn with
// GDI shapes at whatever size its window has, and the outline that shapes the window.
#pragma once

#include <windows.h>

namespace sayvane::win32 {

// Draws the figure centred in `area`, as large as fits, over a background already filled
// with characterOutlineColour(). Only vector shapes: no bitmap of the area's size is made.
// `armed`: the antenna lights up, the wake phrase has been heard.
void drawCharacter(HDC dc, const RECT& area, bool armed);
// The region the figure covers in `area`, for SetWindowRgn; the whole area when the figure
// would be too small to have one. The caller owns it.
HRGN createCharacterRegion(const RECT& area);
COLORREF characterOutlineColour();

}  // namespace sayvane::win32
