// What the program's pictures share: a design grid fitted into the area a picture is drawn
// in, and one filled, outlined GDI shape (a solid brush and a round-capped geometric pen
// selected for the drawing call, and the DC left as it was found).
#pragma once

#include <windows.h>

#include <algorithm>
#include <cmath>

#include "platform/win32/Owned.h"

namespace sayvane::win32 {

inline constexpr COLORREF kNoColour = CLR_INVALID;

// A picture's own grid of design units, scaled to fit the area and centred in it.
class DesignGrid {
 public:
  DesignGrid(const RECT& area, double designWidth, double designHeight) {
    const double width = area.right - area.left;
    const double height = area.bottom - area.top;
    scale_ = std::fmin(width / designWidth, height / designHeight);
    if (!(scale_ > 0)) scale_ = 0;
    left_ = area.left + (width - designWidth * scale_) / 2;
    top_ = area.top + (height - designHeight * scale_) / 2;
  }

  double scale() const { return scale_; }
  int x(double v) const { return static_cast<int>(std::lround(left_ + v * scale_)); }
  int y(double v) const { return static_cast<int>(std::lround(top_ + v * scale_)); }
  // A length never under one pixel, so a small picture keeps its outlines.
  int pixels(double v) const { return std::max(1, static_cast<int>(std::lround(v * scale_))); }

 private:
  double scale_ = 0, left_ = 0, top_ = 0;
};

// `fill` or `line` kNoColour: no fill, no outline. An outline `insideFrame` stays inside the
// shape's box. Colours and the pen's width are in device terms.
template <typename Draw>
void drawShape(HDC dc, COLORREF fill, COLORREF line, int lineWidth, bool insideFrame, Draw draw) {
  // Without a pen GDI fills one pixel short on the right and bottom: a pen in the fill's
  // colour gives a filled shape exactly the box it was asked for.
  if (line == kNoColour && fill != kNoColour) {
    line = fill;
    lineWidth = 0;
    insideFrame = true;
  }
  UniquePen pen;
  if (line != kNoColour) {
    LOGBRUSH brushOfPen{BS_SOLID, line, 0};
    const DWORD style = PS_GEOMETRIC | (insideFrame ? PS_INSIDEFRAME : PS_SOLID) | PS_ENDCAP_ROUND | PS_JOIN_ROUND;
    pen.reset(ExtCreatePen(style, static_cast<DWORD>(lineWidth), &brushOfPen, 0, nullptr));
  }
  const UniqueBrush brush(fill != kNoColour ? CreateSolidBrush(fill) : nullptr);
  const Selected selectedPen(dc, pen ? static_cast<HGDIOBJ>(pen.get()) : GetStockObject(NULL_PEN));
  const Selected selectedBrush(dc, brush ? static_cast<HGDIOBJ>(brush.get()) : GetStockObject(NULL_BRUSH));
  draw();
}

}  // namespace sayvane::win32
