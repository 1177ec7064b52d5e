#include "app/win32/CharacterPicture.h"

#include "app/win32/GdiShape.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace sayvane::win32 {

namespace {

// The figure is designed on a 64 x 64 grid.
constexpr double kDesign = 64;

constexpr COLORREF kOutline = RGB(40, 62, 96);
constexpr COLORREF kBody = RGB(88, 182, 236);
constexpr COLORREF kBelly = RGB(196, 236, 255);
constexpr COLORREF kFeet = RGB(56, 124, 196);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kPupil = RGB(30, 40, 60);
constexpr COLORREF kCheek = RGB(255, 160, 170);
constexpr COLORREF kAntennaTip = RGB(255, 176, 60);
constexpr COLORREF kAntennaLit = RGB(110, 240, 90);
constexpr COLORREF kHeadset = RGB(70, 76, 92);
constexpr COLORREF kNone = kNoColour;

struct Point {
  double x, y;
};

struct Box {
  double l, t, r, b;
};

// The shapes the silhouette is made of, shared by the region and the drawing so they agree.
constexpr Box kAntennaBall{28, 1, 36, 9};
constexpr Box kAntennaStem{30.5, 7, 33.5, 14};
constexpr Box kBodyBox{8, 11, 56, 57};
constexpr Box kLeftArm{2, 34, 14, 44};
constexpr Box kRightArm{51, 24, 61, 36};  // raised: it waves
constexpr Box kLeftFoot{15, 51, 29, 62};
constexpr Box kRightFoot{35, 51, 49, 62};

class Painter {
 public:
  Painter(HDC dc, const DesignGrid& s) : dc_(dc), s_(s) {}

  void ellipse(const Box& box, COLORREF fill, COLORREF line = kNone, double lineWidth = 1) {
    shape(fill, line, lineWidth, true, [&] { Ellipse(dc_, s_.x(box.l), s_.y(box.t), s_.x(box.r), s_.y(box.b)); });
  }
  void rectangle(const Box& box, COLORREF fill) {
    shape(fill, kNone, 1, true, [&] { Rectangle(dc_, s_.x(box.l), s_.y(box.t), s_.x(box.r), s_.y(box.b)); });
  }
  // The part of the ellipse's outline running counter-clockwise from (fx, fy) to (tx, ty).
  void arc(const Box& box, double fx, double fy, double tx, double ty, COLORREF colour, double lineWidth) {
    shape(kNone, colour, lineWidth, false, [&] {
      Arc(dc_, s_.x(box.l), s_.y(box.t), s_.x(box.r), s_.y(box.b), s_.x(fx), s_.y(fy), s_.x(tx), s_.y(ty));
    });
  }
  void bezier(const Point (&design)[4], COLORREF colour, double lineWidth) {
    POINT device[4];
    for (int i = 0; i < 4; ++i) device[i] = POINT{s_.x(design[i].x), s_.y(design[i].y)};
    shape(kNone, colour, lineWidth, false, [&] { PolyBezier(dc_, device, 4); });
  }

 private:
  template <typename Draw>
  void shape(COLORREF fill, COLORREF line, double lineWidth, bool insideFrame, Draw draw) {
    drawShape(dc_, fill, line, s_.pixels(lineWidth), insideFrame, draw);
  }

  HDC dc_;
  const DesignGrid& s_;
};

void addTo(UniqueRegion& region, HRGN made) {
  UniqueRegion part(made);
  if (!part) return;
  if (!region) {
    region = std::move(part);
    return;
  }
  CombineRgn(region, region, part, RGN_OR);
}

HRGN ellipseRegion(const DesignGrid& s, const Box& box) {
  // Regions leave out the right and bottom edges that Ellipse fills: one pixel more.
  return CreateEllipticRgn(s.x(box.l), s.y(box.t), s.x(box.r) + 1, s.y(box.b) + 1);
}

}  // namespace

COLORREF characterOutlineColour() { return kOutline; }

HRGN createCharacterRegion(const RECT& area) {
  const DesignGrid s(area, kDesign, kDesign);
  // Below this the figure's parts merge into a few pixels: the window stays a plain square.
  if (s.scale() * kDesign < 8) return CreateRectRgnIndirect(&area);
  UniqueRegion region;
  addTo(region, ellipseRegion(s, kAntennaBall));
  addTo(region, CreateRectRgn(s.x(kAntennaStem.l), s.y(kAntennaStem.t), s.x(kAntennaStem.r), s.y(kAntennaStem.b)));
  for (const Box& box : {kBodyBox, kLeftArm, kRightArm, kLeftFoot, kRightFoot}) addTo(region, ellipseRegion(s, box));
  return region ? region.release() : CreateRectRgnIndirect(&area);
}

void drawCharacter(HDC dc, const RECT& area, bool armed) {
  if (!dc || area.right <= area.left || area.bottom <= area.top) return;
  const DesignGrid s(area, kDesign, kDesign);
  if (s.scale() <= 0) return;
  Painter p(dc, s);

  // Back to front: what stands behind the body first, so the body's outline covers the joins.
  p.rectangle(kAntennaStem, kOutline);
  p.ellipse(kAntennaBall, armed ? kAntennaLit : kAntennaTip, kOutline, 1.5);
  // A glint as well as the colour, for eyes that tell green from orange poorly.
  if (armed) p.ellipse({29.5, 2.5, 32.5, 5.5}, kWhite);
  p.ellipse(kLeftFoot, kFeet, kOutline, 1.5);
  p.ellipse(kRightFoot, kFeet, kOutline, 1.5);
  p.ellipse(kLeftArm, kBody, kOutline, 1.5);
  p.ellipse(kRightArm, kBody, kOutline, 1.5);
  p.ellipse(kBodyBox, kBody, kOutline, 2);
  p.ellipse({18, 36, 46, 55}, kBelly);

  // The headset: a band over the head and a boom reaching round to the mouth.
  p.arc({11.5, 15.5, 52.5, 57}, 52.5, 28, 11.5, 28, kHeadset, 2.5);
  p.ellipse({8.5, 24, 15, 36}, kHeadset);
  p.ellipse({49, 24, 55.5, 36}, kHeadset);
  p.bezier({{52, 33}, {52, 40}, {48.5, 43.5}, {42, 44}}, kHeadset, 1.5);
  p.ellipse({38.5, 41.5, 43.5, 46.5}, kPupil);

  // Eyes with a glint, cheeks, and a smile.
  p.ellipse({19, 21, 30, 34}, kWhite, kOutline, 1);
  p.ellipse({34, 21, 45, 34}, kWhite, kOutline, 1);
  p.ellipse({23, 25, 29, 32}, kPupil);
  p.ellipse({36, 25, 42, 32}, kPupil);
  p.ellipse({24.5, 26, 26.5, 28}, kWhite);
  p.ellipse({37.5, 26, 39.5, 28}, kWhite);
  p.ellipse({14, 33, 21, 38}, kCheek);
  p.ellipse({43, 33, 50, 38}, kCheek);
  p.arc({25, 31, 39, 42}, 26, 38, 38, 38, kOutline, 1.5);
}

}  // namespace sayvane::win32
