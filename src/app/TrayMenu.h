// The notification-area icon's menu: a way back to the program while the character and the
// main window are both hidden, and the place for the user's choices. Its entries take the roads
// of the character's menu entries and of the action that shows the character.
#pragma once

#include <string_view>

namespace sayvane {

enum class TrayChoice {
  ShowMainWindow,
  ShowCharacter,
  GameKeys,
  UseSharedRecognizer,
  UseOwnRecognizer,
  CheckSpeech,
  OpenRecord,
  Quit
};

struct TrayEntry {
  enum class Mark { None, Check, Radio };
  TrayChoice choice;
  std::u16string_view caption;
  Mark mark = Mark::None;
  bool marked = false;  // ticked, or the chosen one of its radio group
  bool separatorBefore = false;
};

inline constexpr std::u16string_view kTrayTip = u"Sayvane";
inline constexpr std::u16string_view kGameKeysCaption = u"游戏按键模式";
inline constexpr std::u16string_view kOpenRecord = u"打开诊断记录";
inline constexpr std::u16string_view kRecordNotWritable = u"无法把诊断记录写入程序文件夹“";
inline constexpr std::u16string_view kRecordNotWritableEnd = u"”。请把 Sayvane 文件夹放在你可以写入的地方。";

}  // namespace sayvane
