// The action composer: the mouse and keyboard menus beside the action field, the key-name
// help, and the action a picked file becomes.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/Layout.h"
#include "platform/WindowView.h"

namespace sayvane {

struct ComposerItem {
  std::string_view name;         // MLBC ... Key11
  std::u16string_view caption;
  std::u16string_view token;     // appended to the action field; Key11 appends nothing
};

// In menu order.
const std::vector<ComposerItem>& composerItems(ComposerMenu menu);
const ComposerItem* findComposerItem(std::string_view name, ComposerMenu* menu = nullptr);

inline constexpr std::string_view kKeyHelpItem = "Key11";
inline constexpr std::u16string_view kKeyHelp =
    u"键盘上的四个方向键，分别用“Up”“Down”“Left”“Right”代替；键盘上的空格\r\n"
    u"键，用“Space”代替；键盘上的“←”键，用“Backspace”代替；小键盘的“+”，\r\n"
    u"“-”，“*”，“/”分别用“Add”，“Sub”，“Mul”，“Div”代替；键盘上的\r\n"
    u"Windows开始键左边的用LWindows代替，右边的用RWindows代替；Windows开始键旁边的\r\n"
    u"弹出菜单键用PopMenu代替；其余的键按照键盘上的写法写。";
inline constexpr std::u16string_view kWebTemplate = u"OpenIE[http://]";
inline constexpr std::u16string_view kPickerTitle = u"打开文件";
inline constexpr std::u16string_view kPickerFilter = u"所有文件";
inline constexpr std::u16string_view kPathWithBracket = u"文件路径中含有“]”，无法写成对应的操作。请把文件移到路径中没有“]”的文件夹里再选。";

// Where a menu opens: below the phrase panel, at 0.7 (mouse) or 0.8 (keyboard) of its width.
void composerMenuPoint(ComposerMenu menu, const Rect& frame1, int& x, int& y);
// "OpenProgram[path]" for a ".exe" in any letter case, else "OpenFile[path]", the path without
// its leading and trailing blanks; nothing for a path holding "]", which would end the
// argument early.
std::optional<std::u16string> pickedFileAction(std::u16string_view path);

}  // namespace sayvane
