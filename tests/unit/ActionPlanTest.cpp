// Action strings turned into plans of operations, as dry-run prints them, and the hold-time parser.
#include "actions/ActionPlan.h"

#include <gtest/gtest.h>

#include "text/Text.h"

namespace sayvane {
namespace {

std::vector<std::string> dryRun(std::u16string_view action) {
  std::vector<std::string> lines;
  for (const auto& operation : planAction(action)) lines.push_back(describe(operation));
  return lines;
}

using Lines = std::vector<std::string>;

// Each action string with the operations it plans, grouped by the rule they show.
TEST(ActionPlan, ActionStringsPlanTheseOperations) {
  const Lines altF4{"key-down 0x12", "key-down 0x73", "key-up 0x12", "key-up 0x73"};
  const std::pair<std::u16string_view, Lines> cases[] = {
      // One step presses in order and releases in the same order, without a pause.
      {u"Alt+F4", altF4}, {u" alt + f4 ", altF4},
      {u"Shift+Ctrl", {"key-down 0x10", "key-down 0x11", "key-up 0x10", "key-up 0x11"}},
      // Every step of a multi-step action is followed by a half-second pause.
      {u"LWindows*R", {"key-down 0x5B", "key-up 0x5B", "wait 500", "key-down 0x52", "key-up 0x52", "wait 500"}},
      {u"3*MRBC", {"key-down 0x33", "key-up 0x33", "wait 500", "mouse 0x0018 0 0", "wait 500"}},
      {u"A**B", {"key-down 0x41", "key-up 0x41", "wait 500", "wait 500", "key-down 0x42", "key-up 0x42", "wait 500"}},
      // Holds wait before their key's release and add up within a step.
      {u"Down!1000", {"key-down 0x28", "wait 1000", "key-up 0x28"}},
      {u"Ctrl+Down!1000", {"key-down 0x11", "key-down 0x28", "key-up 0x11", "wait 1000", "key-up 0x28"}},
      {u"A!1000+B!1000", {"key-down 0x41", "key-down 0x42", "wait 1000", "key-up 0x41", "wait 1000", "key-up 0x42"}},
      {u"Down!abc", {"key-down 0x28", "wait 0", "key-up 0x28"}}, {u"A!100!200", {"key-down 0x41", "wait 100", "key-up 0x41"}},
      {u"MLBC!500", {"mouse 0x0006 0 0", "wait 500"}},
      {u"A!1000.25", {"key-down 0x41", "wait 1000.25", "key-up 0x41"}},
      {u"A!0.00001", {"key-down 0x41", "wait 0.00001", "key-up 0x41"}},
      // A bare hold suffix is a pure delay.
      {u"A+!500+B", {"key-down 0x41", "key-down 0x42", "key-up 0x41", "wait 500", "key-up 0x42"}},
      {u"A*!1000*B",
       {"key-down 0x41", "key-up 0x41", "wait 500", "wait 1000", "wait 500", "key-down 0x42", "key-up 0x42", "wait 500"}},
      // Unknown names, empty tokens and white space other than U+0020 do nothing.
      {u"", {}}, {u"   ", {}}, {u"F13+Foo", {}}, {u"\tAlt", {}},
      {u"A++B", {"key-down 0x41", "key-down 0x42", "key-up 0x41", "key-up 0x42"}},
      {u"Print Screen", {"key-down 0x2A", "key-up 0x2A"}},
      // Keyword rows run in table order on the whole lower-cased string.
      {u"Write[openie]", {"shell-open openie", "clipboard-clear", "clipboard-set openie", "key-down 0x11", "key-down 0x56",
                          "key-up 0x11", "key-up 0x56"}},
      {u"openIE[http://www.example.com/A B]", {"shell-open http://www.example.com/A B"}},
      {u"OpenFile[f:\\music\\甜蜜蜜.mp3]", {"shell-open f:\\music\\甜蜜蜜.mp3"}},
      {u"openProgram[C:\\WINDOWS\\system32\\notepad.exe]", {"start-program C:\\WINDOWS\\system32\\notepad.exe"}},
      {u"AddSpeech", {"show-main-window"}},
      {u"OpenBigger OpenSmaller OpenHide OpenShow OpenFly",
       {"character-grow", "character-shrink", "character-hide", "character-show", "character-move-random"}},
      // Brackets and keywords without a row are harmless; a keyword makes it keyword form, so no keys.
      {u"OpenIE", {"shell-open"}}, {u"OpenIE]x[", {"shell-open"}}, {u"OpenIE[a]b]", {"shell-open a"}},
      {u"Close", {}}, {u"Open", {}}, {u"Alt+Close", {}},
      // Nothing is planned after a quit.
      {u"CloseSoft", {"quit"}}, {u"OpenFly CloseSoft", {"quit"}},
      {u"OpenShow CloseSoft", {"character-show", "quit"}},
  };
  for (const auto& [action, expected] : cases) EXPECT_EQ(dryRun(action), expected) << toUtf8(action);
}

TEST(HoldTime, LeadingDecimalNumberClampedToAMinute) {
  const std::pair<std::u16string_view, double> cases[] = {
      {u"1000", 1000}, {u"12.5ms", 12.5}, {u".5", 0.5}, {u"-5", 0}, {u"", 0}, {u"60001", kMaxHoldMilliseconds},
      {u"99999999999999999999999999999999999999999", kMaxHoldMilliseconds}};
  for (const auto& [text, milliseconds] : cases) EXPECT_EQ(holdMilliseconds(text), milliseconds) << toUtf8(text);
}

}  // namespace
}  // namespace sayvane
