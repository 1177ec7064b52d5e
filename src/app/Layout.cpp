#include "app/Layout.h"

#include <algorithm>

#include "app/Composer.h"

namespace sayvane {

const std::vector<Placement>& mainWindowLayout() {
  // Headings sit directly above their control; Label5 and the panels have none.
  static const std::vector<Placement> layout = {
      {"Frame2", "", kFrame2Rect, std::nullopt},
      {"List2", "Frame2", {18, 40, 242, 72}, Rect{18, 24, 242, 16}},
      {"Text3", "Frame2", {18, 162, 186, 22}, Rect{18, 146, 186, 16}},
      {"Command2", "Frame2", {208, 161, 52, 24}, std::nullopt},
      {"Command3", "Frame2", {18, 116, 242, 24}, std::nullopt},
      {"SREngines", "Frame2", {18, 190, 242, 22}, std::nullopt},
      {"Command5", "Frame2", {18, 216, 242, 24}, std::nullopt},
      {"Label5", "Frame2", {18, 244, 242, 16}, std::nullopt},
      {"Frame1", "", kFrame1Rect, std::nullopt},
      {"List1", "Frame1", {288, 40, 248, 84}, Rect{288, 24, 248, 16}},
      {"Text1", "Frame1", {288, 144, 248, 22}, Rect{288, 128, 248, 16}},
      {"Text2", "Frame1", {288, 204, 248, 22}, Rect{288, 170, 248, 34}},
      {"Command1", "Frame1", {436, 234, 100, 24}, std::nullopt},
      {"Command4", "Frame1", {288, 266, 248, 22}, std::nullopt},
      {"Image2", "Frame1", {360, 230, 32, 32}, std::nullopt},
      {"Image3", "Frame1", {396, 230, 32, 32}, std::nullopt},
      {"Image4", "Frame1", {288, 230, 32, 32}, std::nullopt},
      {"Image5", "Frame1", {324, 230, 32, 32}, std::nullopt},
      {"Command6", "Frame1", {288, 292, 120, 22}, std::nullopt},
      {"Text4", "Frame1", {414, 292, 122, 22}, std::nullopt},
      {"Image1", "Frame2", {18, 264, 75, 46}, std::nullopt},
      {"Command7", "Frame2", {100, 288, 90, 22}, std::nullopt},
      {"Check1", "Frame2", {100, 265, 160, 20}, std::nullopt},
  };
  return layout;
}

std::vector<Placement> mainWindowLayout(int clientWidth, int clientHeight) {
  const int wider = std::max(0, clientWidth - kClientWidth);
  const int taller = std::max(0, clientHeight - kClientHeight);
  auto layout = mainWindowLayout();
  for (auto& placement : layout) {
    const bool right = placement.name == "Frame1" || placement.panel == "Frame1";
    const int shift = right ? wider / 2 : 0;
    const int growth = right ? wider - wider / 2 : wider / 2;
    Rect& r = placement.rect;
    if (placement.panel.empty() || placement.name.starts_with("List")) {
      r.x += shift;
      r.width += growth;
      r.height += taller;
      if (placement.label) placement.label->x += shift;
      continue;
    }
    const int listBottom = findPlacement(right ? "List1" : "List2")->rect.bottom();
    for (Rect* box : {&r, placement.label ? &*placement.label : nullptr}) {
      if (!box) continue;
      box->x += shift;
      if (box->y >= listBottom) box->y += taller;
    }
  }
  return layout;
}

const Placement* findPlacement(std::string_view name, const std::vector<Placement>& layout) {
  for (const auto& placement : layout)
    if (placement.name == name) return &placement;
  return nullptr;
}

namespace {

std::optional<int> indexOf(std::string_view name) {
  const auto& layout = mainWindowLayout();
  for (std::size_t i = 0; i < layout.size(); ++i)
    if (layout[i].name == name) return static_cast<int>(i);
  return std::nullopt;
}

std::vector<std::string_view> menuItemNames() {
  std::vector<std::string_view> names;
  for (const auto menu : {ComposerMenu::Mouse, ComposerMenu::Keyboard})
    for (const auto& item : composerItems(menu)) names.push_back(item.name);
  return names;
}

}  // namespace

std::optional<int> controlId(std::string_view name) {
  const auto index = indexOf(name);
  return index ? std::optional<int>(kFirstControlId + *index) : std::nullopt;
}

std::optional<int> labelId(std::string_view name) {
  const auto* placement = findPlacement(name);
  if (!placement || !placement->label) return std::nullopt;
  return kFirstLabelId + *indexOf(name);
}

std::optional<std::string_view> controlNameOf(int id) {
  const auto& layout = mainWindowLayout();
  const int index = id - kFirstControlId;
  if (index < 0 || static_cast<std::size_t>(index) >= layout.size()) return std::nullopt;
  return layout[index].name;
}

std::optional<int> menuItemId(std::string_view item) {
  const auto names = menuItemNames();
  for (std::size_t i = 0; i < names.size(); ++i)
    if (names[i] == item) return kFirstMenuItemId + static_cast<int>(i);
  return std::nullopt;
}

std::optional<std::string_view> menuItemNameOf(int id) {
  const auto names = menuItemNames();
  const int index = id - kFirstMenuItemId;
  if (index < 0 || static_cast<std::size_t>(index) >= names.size()) return std::nullopt;
  return names[index];
}

}  // namespace sayvane
