// The notification-area icon's menu: a way back to the program while the character and the
// main window are both hidden. Its entries take the roads of the character's menu entries and
// of the action that shows the character.
#pragma once

#include <array>
#include <string_view>

namespace sayvane {

enum class TrayChoice { ShowMainWindow, ShowCharacter, Quit };

struct TrayEntry {
  TrayChoice choice;
  std::u16string_view caption;
};

// In menu order; the first is also what a double-click on the icon does.
inline constexpr std::array<TrayEntry, 3> kTrayMenu{{
    {TrayChoice::ShowMainWindow, u"添加语音命令"},
    {TrayChoice::ShowCharacter, u"显示"},
    {TrayChoice::Quit, u"退出"},
}};
inline constexpr std::u16string_view kTrayTip = u"Sayvane";

}  // namespace sayvane
