#include <gtest/gtest.h>

#include <set>

#include "app/Controls.h"
#include "app/Layout.h"
#include "commandsets/Composer.h"

namespace sayvane {
namespace {

bool inside(const Rect& inner, const Rect& outer) {
  return inner.x >= outer.x && inner.y >= outer.y && inner.right() <= outer.right() && inner.bottom() <= outer.bottom();
}

bool overlap(const Rect& a, const Rect& b) {
  return a.x < b.right() && b.x < a.right() && a.y < b.bottom() && b.y < a.bottom();
}

TEST(Layout, PlacesEveryControlButTheTimerOnceAndHeadsExactlyThoseWithAHeading) {
  auto controls = initialControls();
  std::set<std::string_view> placed;
  for (const auto& placement : mainWindowLayout()) {
    EXPECT_TRUE(placed.insert(placement.name).second) << placement.name;
    const Control* control = controls.find(placement.name);
    ASSERT_NE(control, nullptr) << placement.name;
    EXPECT_EQ(placement.label.has_value(), !control->label.empty()) << placement.name;
  }
  for (const auto& [name, control] : controls.named()) EXPECT_EQ(placed.count(name), name == "Timer1" ? 0u : 1u) << name;
}

TEST(Layout, ControlsAndHeadingsStayInsideTheirPanelAndNeverCoverEachOther) {
  const Rect client{0, 0, kClientWidth, kClientHeight};
  std::vector<std::pair<std::string, Rect>> boxes;
  for (const auto& placement : mainWindowLayout()) {
    if (placement.panel.empty()) {
      EXPECT_TRUE(inside(placement.rect, client)) << placement.name;
      continue;
    }
    const Rect& panel = findPlacement(placement.panel)->rect;
    EXPECT_TRUE(inside(placement.rect, panel)) << placement.name;
    boxes.emplace_back(std::string(placement.name), placement.rect);
    if (placement.label) {
      EXPECT_TRUE(inside(*placement.label, panel)) << placement.name << " heading";
      boxes.emplace_back(std::string(placement.name) + " heading", *placement.label);
    }
  }
  EXPECT_FALSE(overlap(kFrame1Rect, kFrame2Rect));
  for (std::size_t i = 0; i < boxes.size(); ++i)
    for (std::size_t j = i + 1; j < boxes.size(); ++j)
      EXPECT_FALSE(overlap(boxes[i].second, boxes[j].second)) << boxes[i].first << " and " << boxes[j].first;
}

TEST(Layout, IdentifiersRoundTripAndNeverCollide) {
  std::set<int> ids;
  for (const auto& placement : mainWindowLayout()) {
    const auto id = controlId(placement.name);
    ASSERT_TRUE(id);
    EXPECT_EQ(controlNameOf(*id), placement.name);
    EXPECT_TRUE(ids.insert(*id).second);
    const auto heading = labelId(placement.name);
    EXPECT_TRUE(!heading || ids.insert(*heading).second) << placement.name;
  }
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

}  // namespace
}  // namespace sayvane
