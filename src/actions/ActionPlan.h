// Parses an action string into the operations it stands for, without performing any of them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "actions/KeyNames.h"

namespace sayvane {

// Longest hold a "!" suffix may ask for: a minute covers holding a key in a game, while a
// mistyped number cannot keep a key down for hours.
inline constexpr double kMaxHoldMilliseconds = 60000.0;
inline constexpr double kStepPauseMilliseconds = 500.0;

struct Operation {
  enum class Kind {
    Input,        // one keybd_event or mouse_event
    Wait,         // strictly more than `milliseconds`, events processed meanwhile
    ShellOpen,    // text: the target
    StartProgram, // text: the command line
    ClipboardClear,
    ClipboardSet,  // text
    ShowMainWindow,
    CharacterGrow,
    CharacterShrink,
    CharacterHide,
    CharacterShow,
    CharacterMoveRandom,
    Quit,
  };
  Kind kind = Kind::Input;
  InputEvent input;
  double milliseconds = 0;
  std::u16string text;
  friend bool operator==(const Operation&, const Operation&) = default;
};

using ActionPlan = std::vector<Operation>;

// Keyword form when the lower-cased string contains "open", "write", "close" or "addspeech".
bool isKeywordForm(std::u16string_view action);
// Text strictly between the first "[" and the first "]"; empty unless both exist in that order.
std::u16string bracketArgument(std::u16string_view action);
// Leading decimal number (digits, optional fraction) of a hold suffix, clamped to the limit.
double holdMilliseconds(std::u16string_view suffix);

ActionPlan planAction(std::u16string_view action);
ActionPlan planKeyForm(std::u16string_view action);
ActionPlan planKeywordForm(std::u16string_view action);

// One line of a dry run, in UTF-8: "key-down 0x12", "key-up 0x26 scan 0x48 extended", "wait 500",
// "shell-open http://...".
std::string describe(const Operation& operation);

}  // namespace sayvane
