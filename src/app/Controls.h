// The main window's controls as plain data: what the window shows, and what handlers change.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sayvane {

struct Control {
  std::u16string caption;  // buttons, the tick box, labels and frames
  std::u16string label;    // the heading shown above a list or field
  std::u16string text;     // fields
  bool enabled = true;
  bool visible = true;
  std::vector<std::u16string> items;  // lists
  int selection = -1;                 // index into items; -1 when nothing is selected
  bool checked = false;               // the tick box

  const std::u16string* selectedItem() const {
    return selection >= 0 && static_cast<std::size_t>(selection) < items.size() ? &items[selection] : nullptr;
  }
};

struct Controls {
  Control List1, List2, SREngines;
  Control Text1, Text2, Text3, Text4;
  Control Command1, Command2, Command3, Command4, Command5, Command6, Command7;
  Control Check1, Label5, Timer1;
  Control Image1, Image2, Image3, Image4, Image5;
  Control Frame1, Frame2;

  // Every control with its name, in a fixed order, for views and for printing.
  std::vector<std::pair<std::string_view, Control*>> named();
  Control* find(std::string_view name);
  const Control* find(std::string_view name) const { return const_cast<Controls*>(this)->find(name); }
};

Controls initialControls();

}  // namespace sayvane
