#include "app/win32/Pictures.h"

#include "app/win32/GdiShape.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <vector>

namespace sayvane::win32 {
namespace {

constexpr COLORREF kNone = kNoColour;

struct Point {
  double x, y;
};

// Draws in design units: the picture's own grid, scaled and centred into the area. Every
// GDI object it creates is deselected and deleted before the call that made it returns.
class Painter {
 public:
  Painter(HDC dc, const RECT& area, double designWidth, double designHeight, bool enabled)
      : dc_(dc), enabled_(enabled), grid_(area, designWidth, designHeight) {}

  double scale() const { return grid_.scale(); }
  int x(double v) const { return grid_.x(v); }
  int y(double v) const { return grid_.y(v); }
  POINT at(Point p) const { return POINT{x(p.x), y(p.y)}; }

  // Disabled pictures keep their light and dark but lose their colour, lifted towards the
  // button face so they read as inactive.
  COLORREF tone(COLORREF c) const {
    if (enabled_) return c;
    const int luminance = (GetRValue(c) * 30 + GetGValue(c) * 59 + GetBValue(c) * 11) / 100;
    const int grey = 112 + luminance * 100 / 255;
    return RGB(grey, grey, grey);
  }

  void rectangle(double l, double t, double r, double b, COLORREF fill, COLORREF line = kNone, double lineWidth = 1) {
    shape(fill, line, lineWidth, [&] { Rectangle(dc_, x(l), y(t), x(r), y(b)); });
  }
  // A filled rectangle in device pixels, for parts that must land on whole pixels.
  void pixelRect(int l, int t, int r, int b, COLORREF fill) {
    const RECT box{l, t, r, b};
    if (const UniqueBrush brush{CreateSolidBrush(tone(fill))}) FillRect(dc_, &box, brush);
  }
  void ellipse(double l, double t, double r, double b, COLORREF fill, COLORREF line = kNone, double lineWidth = 1) {
    shape(fill, line, lineWidth, [&] { Ellipse(dc_, x(l), y(t), x(r), y(b)); });
  }
  void roundRect(double l, double t, double r, double b, double corner, COLORREF fill, COLORREF line = kNone,
                 double lineWidth = 1) {
    const int c = static_cast<int>(std::lround(corner * scale()));
    shape(fill, line, lineWidth, [&] { RoundRect(dc_, x(l), y(t), x(r), y(b), c, c); });
  }
  void polygon(std::initializer_list<Point> points, COLORREF fill, COLORREF line = kNone, double lineWidth = 1) {
    const auto device = toDevice(points);
    shape(fill, line, lineWidth, [&] { Polygon(dc_, device.data(), static_cast<int>(device.size())); }, false);
  }
  void line(std::initializer_list<Point> points, COLORREF colour, double lineWidth = 1) {
    const auto device = toDevice(points);
    shape(kNone, colour, lineWidth, [&] { Polyline(dc_, device.data(), static_cast<int>(device.size())); }, false);
  }
  void bezier(std::initializer_list<Point> points, COLORREF colour, double lineWidth = 1) {
    const auto device = toDevice(points);
    shape(kNone, colour, lineWidth, [&] { PolyBezier(dc_, device.data(), static_cast<DWORD>(device.size())); },
          false);
  }
  // The part of the ellipse's outline running counter-clockwise from `from` to `to`.
  void arc(double l, double t, double r, double b, Point from, Point to, COLORREF colour, double lineWidth = 1) {
    shape(kNone, colour, lineWidth,
          [&] { Arc(dc_, x(l), y(t), x(r), y(b), x(from.x), y(from.y), x(to.x), y(to.y)); }, false);
  }
  // Fills the intersection of a rounded rectangle and a rectangle: a mouse button's face.
  void roundRectPart(double l, double t, double r, double b, double corner, double pl, double pt, double pr,
                     double pb, COLORREF fill) {
    const int c = static_cast<int>(std::lround(corner * scale()));
    const UniqueRegion body(CreateRoundRectRgn(x(l), y(t), x(r) + 1, y(b) + 1, c, c));
    const UniqueRegion part(CreateRectRgn(x(pl), y(pt), x(pr), y(pb)));
    const UniqueBrush brush(CreateSolidBrush(tone(fill)));
    if (body && part && brush && CombineRgn(part, part, body, RGN_AND) != ERROR) FillRgn(dc_, part, brush);
  }

  // Text centred on (cx, cy), as large as `height` allows but never wider than `maxWidth`.
  void text(const wchar_t* face, const wchar_t* s, double cx, double cy, double height, double maxWidth,
            COLORREF colour) {
    const int length = lstrlenW(s);
    int pixels = grid_.pixels(height);
    SIZE extent{};
    {
      // Whatever font the system substitutes for the face, the word must fit its place.
      const UniqueFont trial(makeFont(face, pixels));
      if (!trial) return;
      const Selected selected(dc_, trial);
      if (!GetTextExtentPoint32W(dc_, s, length, &extent) || extent.cx <= maxWidth * scale() || extent.cx <= 0)
        return write(s, length, cx, cy, extent, colour);
    }
    pixels = std::max(1, static_cast<int>(pixels * (maxWidth * scale()) / extent.cx));
    const UniqueFont font(makeFont(face, pixels));
    if (!font) return;
    const Selected selected(dc_, font);
    GetTextExtentPoint32W(dc_, s, length, &extent);
    write(s, length, cx, cy, extent, colour);
  }

 private:
  // Text in the selected font, centred on (cx, cy).
  void write(const wchar_t* s, int length, double cx, double cy, SIZE extent, COLORREF colour) {
    const int oldMode = SetBkMode(dc_, TRANSPARENT);
    const COLORREF oldColour = SetTextColor(dc_, tone(colour));
    const UINT oldAlign = SetTextAlign(dc_, TA_LEFT | TA_TOP | TA_NOUPDATECP);
    TextOutW(dc_, x(cx) - extent.cx / 2, y(cy) - extent.cy / 2, s, length);
    SetTextAlign(dc_, oldAlign);
    SetTextColor(dc_, oldColour);
    SetBkMode(dc_, oldMode);
  }
  std::vector<POINT> toDevice(std::initializer_list<Point> points) const {
    std::vector<POINT> device;
    device.reserve(points.size());
    for (const auto& p : points) device.push_back(at(p));
    return device;
  }

  static HFONT makeFont(const wchar_t* face, int pixels) {
    return CreateFontW(-pixels, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_TT_PRECIS,
                       CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, VARIABLE_PITCH | FF_SWISS, face);
  }

  template <typename Draw>
  void shape(COLORREF fill, COLORREF line, double lineWidth, Draw draw, bool insideFrame = true) {
    drawShape(dc_, fill == kNone ? kNone : tone(fill), line == kNone ? kNone : tone(line),
              grid_.pixels(lineWidth), insideFrame, draw);
  }

  HDC dc_;
  bool enabled_;
  DesignGrid grid_;
};

constexpr COLORREF kOutline = RGB(52, 58, 72);
constexpr COLORREF kWhite = RGB(255, 255, 255);

void drawMouse(Painter& p) {
  // A mouse seen from above, its cord leaving at the top; the left button lit, for clicks.
  constexpr double l = 8, t = 6, r = 24, b = 30, corner = 15;
  p.bezier({{16, 6}, {16, 2}, {21, 4.5}, {23, 1}}, kOutline, 1.5);
  p.roundRect(l, t, r, b, corner, RGB(242, 244, 248));
  p.roundRectPart(l, t, r, b, corner, l, t, 16, 15, RGB(70, 140, 230));
  p.line({{16, t}, {16, 15}}, kOutline, 1);
  p.line({{l, 15}, {r, 15}}, kOutline, 1);
  p.roundRect(l, t, r, b, corner, kNone, kOutline, 1.5);
  p.roundRect(14.5, 8.5, 17.5, 13.5, 3, RGB(90, 96, 110));
}

void drawKeyboard(Painter& p) {
  // A keyboard: three rows of keys, the bottom one with a space bar. The keys are laid out
  // in whole pixels, so that at small sizes each keeps a gap to its neighbours.
  p.roundRect(1, 8, 31, 26, 4, RGB(86, 92, 106), kOutline, 1);
  constexpr COLORREF key = RGB(236, 238, 243);
  const int gap = std::max(1, static_cast<int>(std::lround(p.scale())));
  const int pitch = std::max(gap + 2, static_cast<int>(std::lround(4 * p.scale())));
  const int height = pitch - gap;
  const int columns = 6;
  const int rowWidth = columns * pitch - gap;
  const int left = (p.x(1) + p.x(31) - rowWidth - pitch / 2) / 2;
  const int top = (p.y(8) + p.y(26) - (3 * pitch - gap)) / 2;
  for (int row = 0; row < 2; ++row)
    for (int column = 0; column < columns; ++column) {
      const int kx = left + column * pitch + (row == 1 ? pitch / 2 : 0);
      const int ky = top + row * pitch;
      p.pixelRect(kx, ky, kx + pitch - gap, ky + height, key);
    }
  const int ky = top + 2 * pitch;
  p.pixelRect(left, ky, left + pitch - gap, ky + height, key);
  p.pixelRect(left + pitch, ky, left + (columns - 1) * pitch - gap, ky + height, key);
  p.pixelRect(left + (columns - 1) * pitch, ky, left + rowWidth + pitch / 2, ky + height, key);
}

void drawFile(Painter& p) {
  // A folder with a page sticking out of it: files and programs to open.
  constexpr COLORREF back = RGB(214, 160, 40);
  constexpr COLORREF front = RGB(250, 204, 84);
  constexpr COLORREF edge = RGB(160, 112, 20);
  p.polygon({{2, 7}, {11, 7}, {14, 10}, {29, 10}, {29, 28}, {2, 28}}, back, edge, 1);
  p.polygon({{7, 3}, {20, 3}, {25, 8}, {25, 22}, {7, 22}}, kWhite, kOutline, 1);
  p.polygon({{20, 3}, {20, 8}, {25, 8}}, RGB(210, 214, 222), kOutline, 1);
  for (double ly : {7.0, 10.0, 13.0}) p.line({{10, ly}, {ly < 8 ? 17.0 : 22.0, ly}}, RGB(120, 150, 200), 1);
  p.polygon({{1, 14}, {31, 14}, {29, 29}, {3, 29}}, front, edge, 1);
}

void drawWeb(Painter& p) {
  // A globe with its meridians and parallels: a web address.
  constexpr COLORREF sea = RGB(52, 128, 218);
  constexpr COLORREF grid = RGB(190, 224, 255);
  constexpr double c = 16, r = 13;
  p.ellipse(c - r, c - r, c + r, c + r, sea);
  p.ellipse(c - 6, c - r, c + 6, c + r, kNone, grid, 1);
  p.line({{c, c - r}, {c, c + r}}, grid, 1);
  p.line({{c - r, c}, {c + r, c}}, grid, 1);
  for (double dy : {-7.0, 7.0}) {
    const double half = std::sqrt(r * r - dy * dy);
    p.line({{c - half + 0.5, c + dy}, {c + half - 0.5, c + dy}}, grid, 1);
  }
  p.ellipse(c - r, c - r, c + r, c + r, kNone, RGB(26, 70, 140), 1.5);
}

void drawLogo(Painter& p) {
  // A badge: a microphone, the name, and a sound wave under it.
  p.roundRect(0, 0, 75, 46, 14, RGB(30, 98, 190), RGB(20, 66, 136), 1);
  // The microphone.
  p.roundRect(8, 7, 17, 26, 9, kWhite);
  p.arc(5, 13, 20, 31, {5, 21}, {20, 21}, kWhite, 1.5);
  p.line({{12.5, 31}, {12.5, 36}}, kWhite, 1.5);
  p.line({{8.5, 37}, {16.5, 37}}, kWhite, 1.5);
  // The name, then the wave.
  p.text(L"Segoe UI", L"Tobrin", 47.5, 15.5, 17, 50, kWhite);
  constexpr double heights[] = {3, 5, 8, 11, 7, 4, 6, 10, 12, 8, 5, 7, 3};
  for (int i = 0; i < 13; ++i) {
    const double bx = 23 + i * 4;
    const double h = heights[i];
    p.rectangle(bx, 35 - h / 2, bx + 2, 35 + h / 2, RGB(170, 225, 255));
  }
}

}  // namespace

void drawPicture(HDC dc, const RECT& area, Picture picture, bool enabled) {
  if (!dc || area.right <= area.left || area.bottom <= area.top) return;
  const bool logo = picture == Picture::Logo;
  Painter painter(dc, area, logo ? 75 : 32, logo ? 46 : 32, enabled);
  if (painter.scale() <= 0) return;
  switch (picture) {
    case Picture::Mouse: drawMouse(painter); break;
    case Picture::Keyboard: drawKeyboard(painter); break;
    case Picture::File: drawFile(painter); break;
    case Picture::Web: drawWeb(painter); break;
    case Picture::Logo: drawLogo(painter); break;
  }
}

}  // namespace sayvane::win32
