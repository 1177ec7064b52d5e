// The main window's layout at any size, and the identifiers of its controls and menu items.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <tuple>

#include "app/Controls.h"
#include "app/Layout.h"
#include "app/Composer.h"

namespace sayvane {
namespace {

bool inside(const Rect& inner, const Rect& outer) {
  return inner.x >= outer.x && inner.y >= outer.y && inner.right() <= outer.right() && inner.bottom() <= outer.bottom();
}

bool overlap(const Rect& a, const Rect& b) {
  return a.x < b.right() && b.x < a.right() && a.y < b.bottom() && b.y < a.bottom();
}

// Every control but the timer is placed once, with a heading exactly where it has one; the identifiers
// of controls, headings and composer items round-trip and never collide.
TEST(Layout, PlacesEveryControlButTheTimerOnceHeadsThoseWithAHeadingAndIdentifiesEachUniquely) {
  auto controls = initialControls();
  std::set<std::string_view> placed;
  std::set<int> ids;
  for (const auto& placement : mainWindowLayout()) {
    EXPECT_TRUE(placed.insert(placement.name).second) << placement.name;
    const Control* control = controls.find(placement.name);
    ASSERT_NE(control, nullptr) << placement.name;
    EXPECT_EQ(placement.label.has_value(), !control->label.empty()) << placement.name;
    const auto id = controlId(placement.name);
    ASSERT_TRUE(id);
    EXPECT_EQ(controlNameOf(*id), placement.name);
    EXPECT_TRUE(ids.insert(*id).second);
    const auto heading = labelId(placement.name);
    EXPECT_TRUE(!heading || ids.insert(*heading).second) << placement.name;
  }
  for (const auto& [name, control] : controls.named()) EXPECT_EQ(placed.count(name), name == "Timer1" ? 0u : 1u) << name;
  for (const auto menu : {ComposerMenu::Mouse, ComposerMenu::Keyboard})
    for (const auto& item : composerItems(menu)) {
      const auto id = menuItemId(item.name);
      ASSERT_TRUE(id) << item.name;
      EXPECT_EQ(menuItemNameOf(*id), item.name);
      EXPECT_TRUE(ids.insert(*id).second) << item.name;
    }
  EXPECT_FALSE(controlId("Timer1"));
  EXPECT_FALSE(controlNameOf(kFirstControlId - 1));
  EXPECT_FALSE(controlNameOf(kFirstControlId + static_cast<int>(mainWindowLayout().size())));
  EXPECT_FALSE(menuItemNameOf(kFirstMenuItemId - 1));
  EXPECT_FALSE(labelId("Command1"));
}

// The first size and anything smaller give the first layout. More room goes to the lists, shared
// equally by the panels; every other control keeps its size and moves only with its panel's left
// edge and, below the list, its bottom edge.
TEST(Layout, GrowsOnlyTheListsAndNothingLeavesItsPanelOrCoversAnother) {
  for (const auto [width, height] :
       {std::pair{kClientWidth, kClientHeight}, {300, 200}, {555, 329}, {1600, 328}, {554, 900}}) {
    SCOPED_TRACE(::testing::Message() << width << " x " << height);
    const int wider = std::max(0, width - kClientWidth), taller = std::max(0, height - kClientHeight);
    const auto layout = mainWindowLayout(width, height);
    const auto moved = [&](std::string_view name) {
      const Rect &now = findPlacement(name, layout)->rect, &was = findPlacement(name)->rect;
      return Rect{now.x - was.x, now.y - was.y, now.width - was.width, now.height - was.height};
    };
    const Rect left = moved("Frame2"), right = moved("Frame1");
    EXPECT_EQ(std::tuple(left.x, right.x, left.width + right.width), std::tuple(0, left.width, wider));
    EXPECT_LE(std::abs(left.width - right.width), 1);
    std::vector<std::tuple<std::string, Rect, Rect>> boxes;  // name, place, its panel's place
    for (const auto& placement : layout) {
      const Rect m = moved(placement.name);
      const Rect panel = moved(placement.panel.empty() ? placement.name : placement.panel);
      const bool list = placement.name.starts_with("List") || placement.panel.empty();
      const auto* panelList = findPlacement(placement.panel == "Frame1" ? "List1" : "List2", layout);
      const bool below = !placement.panel.empty() && placement.rect.y > panelList->rect.y;
      EXPECT_EQ(std::tuple(m.x, m.y, m.width, m.height),
                std::tuple(panel.x, below ? taller : 0, list ? panel.width : 0, list ? taller : 0))
          << placement.name;
      if (placement.panel.empty()) continue;
      const Rect& area = findPlacement(placement.panel, layout)->rect;
      boxes.emplace_back(placement.name, placement.rect, area);
      if (placement.label) boxes.emplace_back(std::string(placement.name) + " heading", *placement.label, area);
    }
    for (std::size_t i = 0; i < boxes.size(); ++i) {
      EXPECT_TRUE(inside(std::get<1>(boxes[i]), std::get<2>(boxes[i]))) << std::get<0>(boxes[i]);
      for (std::size_t j = i + 1; j < boxes.size(); ++j)
        EXPECT_FALSE(overlap(std::get<1>(boxes[i]), std::get<1>(boxes[j])))
            << std::get<0>(boxes[i]) << " and " << std::get<0>(boxes[j]);
    }
  }
}

}  // namespace
}  // namespace sayvane
