// Where the main window's controls sit, and the identifiers a real window gives them, so the
// window, the composer's menu points and an outside test driver all agree.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

namespace sayvane {

// In the window's client pixels at 96 DPI; a real window scales them with the monitor.
struct Rect {
  int x = 0, y = 0, width = 0, height = 0;
  int right() const { return x + width; }
  int bottom() const { return y + height; }
};

// A 554 x 328 client area: the set panel on the left, the phrase panel on the right.
inline constexpr int kClientWidth = 554;
inline constexpr int kClientHeight = 328;
inline constexpr Rect kFrame2Rect{8, 8, 262, 312};
inline constexpr Rect kFrame1Rect{278, 8, 268, 312};

struct Placement {
  std::string_view name;   // a control of Controls::named()
  std::string_view panel;  // "Frame1", "Frame2", or empty for the panels themselves
  Rect rect;
  std::optional<Rect> label;  // where its heading goes, for controls that have one
};

// Every visible-at-some-time control, in Controls::named() order; Timer1 has no place.
const std::vector<Placement>& mainWindowLayout();
// The same for a client area the user has enlarged: the panels share the extra width equally,
// each list takes all of its panel's growth, and every other control keeps its size and its
// distance from its panel's left edge and, below the list, from its panel's bottom. A size
// smaller than the first one gives the first layout.
std::vector<Placement> mainWindowLayout(int clientWidth, int clientHeight);
const Placement* findPlacement(std::string_view name, const std::vector<Placement>& layout = mainWindowLayout());

// Window identifiers: a control is kFirstControlId plus its index in Controls::named(),
// its heading kFirstLabelId plus the same index; composer menu items kFirstMenuItemId plus
// their index in the mouse menu, then the keyboard menu.
inline constexpr int kFirstControlId = 1000;
inline constexpr int kFirstLabelId = 2000;
inline constexpr int kFirstMenuItemId = 3000;
std::optional<int> controlId(std::string_view name);
std::optional<int> labelId(std::string_view name);
std::optional<int> menuItemId(std::string_view item);
std::optional<std::string_view> controlNameOf(int id);
std::optional<std::string_view> menuItemNameOf(int id);

inline constexpr std::u16string_view kHelpCaption = u"帮助";
inline constexpr int kHelpClientWidth = 779;
inline constexpr int kHelpClientHeight = 518;

}  // namespace sayvane
