#include "app/Composer.h"

#include <cmath>

#include "text/Text.h"

namespace sayvane {

const std::vector<ComposerItem>& composerItems(ComposerMenu menu) {
  static const std::vector<ComposerItem> mouse = {
      {"MLBC", u"鼠标左键单击", u"MLBC"},      {"MRBC", u"鼠标右键单击", u"MRBC"},
      {"MLBDC", u"鼠标左键双击", u"MLBDC"},    {"MRBDC", u"鼠标右键双击", u"MRBDC"},
      {"MLeftM", u"鼠标左移", u"MLeftM"},      {"MLeftBM", u"鼠标大步左移", u"MLeftBM"},
      {"MRightM", u"鼠标右移", u"MRightM"},    {"MRightBM", u"鼠标大步右移", u"MRightBM"},
      {"MUpM", u"鼠标上移", u"MUpM"},          {"MUpBM", u"鼠标大步上移", u"MUpBM"},
      {"MDownM", u"鼠标下移", u"MDownM"},      {"MDownBM", u"鼠标大步下移", u"MDownBM"},
  };
  static const std::vector<ComposerItem> keyboard = {
      {"Key03", u"文字输入（Write）", u"Write[你要输入的文字]"},
      {"Key01", u"同时（+）", u"+"},
      {"Key02", u"之后（*）", u"*"},
      {"Key1", u"空格键", u"Space"},
      {"Key2", u"←键", u"Backspace"},
      {"Key3", u"Windows开始键", u"LWindows"},
      {"Key4", u"弹出菜单键", u"PopMenu"},
      {"Key5", u"回车键", u"Enter"},
      {"Key6", u"抓屏键", u"Print Screen"},
      {"Key7", u"方向键：向上键", u"Up"},
      {"Key8", u"方向键：向下键", u"Down"},
      {"Key9", u"方向键：向左键", u"Left"},
      {"Key10", u"方向键：向右键", u"Right"},
      {"Key11", u"其他键", u""},
  };
  return menu == ComposerMenu::Mouse ? mouse : keyboard;
}

const ComposerItem* findComposerItem(std::string_view name, ComposerMenu* menu) {
  for (const auto which : {ComposerMenu::Mouse, ComposerMenu::Keyboard})
    for (const auto& item : composerItems(which))
      if (item.name == name) {
        if (menu) *menu = which;
        return &item;
      }
  return nullptr;
}

void composerMenuPoint(ComposerMenu menu, const Rect& frame1, int& x, int& y) {
  const double share = menu == ComposerMenu::Mouse ? 0.7 : 0.8;
  x = static_cast<int>(std::lround(frame1.x + share * frame1.width));
  y = frame1.y + frame1.height;
}

std::optional<std::u16string> pickedFileAction(std::u16string_view path) {
  const auto first = path.find_first_not_of(u' ');
  path = first == std::u16string_view::npos ? std::u16string_view() : path.substr(first, path.find_last_not_of(u' ') - first + 1);
  if (path.find(u']') != std::u16string_view::npos) return std::nullopt;
  const bool program = path.size() >= 4 && lowerCase(path.substr(path.size() - 4)) == u".exe";
  return concat({program ? u"OpenProgram[" : u"OpenFile[", path, u"]"});
}

}  // namespace sayvane
