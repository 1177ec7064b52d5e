#include "actions/ActionPlan.h"

#include <gtest/gtest.h>

namespace sayvane {
namespace {

std::vector<std::string> dryRun(std::u16string_view action) {
  std::vector<std::string> lines;
  for (const auto& operation : planAction(action)) lines.push_back(describe(operation));
  return lines;
}

using Lines = std::vector<std::string>;

TEST(KeyForm, OneStepPressesInOrderAndReleasesInTheSameOrderWithoutPause) {
  EXPECT_EQ(dryRun(u"Alt+F4"), (Lines{"key-down 0x12", "key-down 0x73", "key-up 0x12", "key-up 0x73"}));
  EXPECT_EQ(dryRun(u" alt + f4 "), dryRun(u"Alt+F4"));
  EXPECT_EQ(dryRun(u"Shift+Ctrl"), (Lines{"key-down 0x10", "key-down 0x11", "key-up 0x10", "key-up 0x11"}));
}

TEST(KeyForm, EveryStepOfAMultiStepActionIsFollowedByAHalfSecondPause) {
  EXPECT_EQ(dryRun(u"LWindows*R"), (Lines{"key-down 0x5B", "key-up 0x5B", "wait 500", "key-down 0x52", "key-up 0x52", "wait 500"}));
  EXPECT_EQ(dryRun(u"3*MRBC"), (Lines{"key-down 0x33", "key-up 0x33", "wait 500", "mouse 0x0018 0 0", "wait 500"}));
  EXPECT_EQ(dryRun(u"A**B"), (Lines{"key-down 0x41", "key-up 0x41", "wait 500", "wait 500", "key-down 0x42", "key-up 0x42", "wait 500"}));
}

TEST(KeyForm, HoldsWaitBeforeTheirReleaseAndAddUpWithinAStep) {
  EXPECT_EQ(dryRun(u"Down!1000"), (Lines{"key-down 0x28", "wait 1000", "key-up 0x28"}));
  EXPECT_EQ(dryRun(u"Ctrl+Down!1000"), (Lines{"key-down 0x11", "key-down 0x28", "key-up 0x11", "wait 1000", "key-up 0x28"}));
  EXPECT_EQ(dryRun(u"A!1000+B!1000"), (Lines{"key-down 0x41", "key-down 0x42", "wait 1000", "key-up 0x41", "wait 1000", "key-up 0x42"}));
  EXPECT_EQ(dryRun(u"Down!abc"), (Lines{"key-down 0x28", "wait 0", "key-up 0x28"}));
  EXPECT_EQ(dryRun(u"A!100!200"), (Lines{"key-down 0x41", "wait 100", "key-up 0x41"}));
  EXPECT_EQ(dryRun(u"MLBC!500"), (Lines{"mouse 0x0006 0 0", "wait 500"}));
}

TEST(KeyForm, ABareHoldSuffixIsAPureDelay) {
  EXPECT_EQ(dryRun(u"A+!500+B"), (Lines{"key-down 0x41", "key-down 0x42", "key-up 0x41", "wait 500", "key-up 0x42"}));
  EXPECT_EQ(dryRun(u"A*!1000*B"), (Lines{"key-down 0x41", "key-up 0x41", "wait 500", "wait 1000", "wait 500",
                                          "key-down 0x42", "key-up 0x42", "wait 500"}));
}

TEST(KeyForm, UnknownNamesEmptyTokensAndOtherWhiteSpaceDoNothing) {
  EXPECT_TRUE(dryRun(u"").empty());
  EXPECT_TRUE(dryRun(u"   ").empty());
  EXPECT_EQ(dryRun(u"A++B"), (Lines{"key-down 0x41", "key-down 0x42", "key-up 0x41", "key-up 0x42"}));
  EXPECT_TRUE(dryRun(u"F13+Foo").empty());
  EXPECT_TRUE(dryRun(u"\tAlt").empty());  // only U+0020 is removed
  EXPECT_EQ(dryRun(u"Print Screen"), (Lines{"key-down 0x2A", "key-up 0x2A"}));
}

TEST(HoldTime, LeadingDecimalNumberClampedToAMinute) {
  EXPECT_EQ(holdMilliseconds(u"1000"), 1000);
  EXPECT_EQ(holdMilliseconds(u"12.5ms"), 12.5);
  EXPECT_EQ(holdMilliseconds(u".5"), 0.5);
  EXPECT_EQ(holdMilliseconds(u"-5"), 0);
  EXPECT_EQ(holdMilliseconds(u""), 0);
  EXPECT_EQ(holdMilliseconds(u"60001"), kMaxHoldMilliseconds);
  EXPECT_EQ(holdMilliseconds(u"99999999999999999999999999999999999999999"), kMaxHoldMilliseconds);
  EXPECT_EQ(dryRun(u"A!1000.25"), (Lines{"key-down 0x41", "wait 1000.25", "key-up 0x41"}));
  EXPECT_EQ(dryRun(u"A!0.00001"), (Lines{"key-down 0x41", "wait 0.00001", "key-up 0x41"}));
}

TEST(KeywordForm, RowsRunInTableOrderOnTheWholeLowerCasedString) {
  EXPECT_EQ(dryRun(u"Write[openie]"), (Lines{"shell-open openie", "clipboard-clear", "clipboard-set openie",
                                             "key-down 0x11", "key-down 0x56", "key-up 0x11", "key-up 0x56"}));
  EXPECT_EQ(dryRun(u"openIE[http://www.example.com/A B]"), (Lines{"shell-open http://www.example.com/A B"}));
  EXPECT_EQ(dryRun(u"OpenFile[f:\\music\\甜蜜蜜.mp3]"), (Lines{"shell-open f:\\music\\甜蜜蜜.mp3"}));
  EXPECT_EQ(dryRun(u"openProgram[C:\\WINDOWS\\system32\\notepad.exe]"), (Lines{"start-program C:\\WINDOWS\\system32\\notepad.exe"}));
  EXPECT_EQ(dryRun(u"AddSpeech"), (Lines{"show-main-window"}));
  EXPECT_EQ(dryRun(u"OpenBigger OpenSmaller OpenHide OpenShow OpenFly"),
            (Lines{"character-grow", "character-shrink", "character-hide", "character-show", "character-move-random"}));
}

TEST(KeywordForm, BracketsAndKeywordsWithoutARowAreHarmless) {
  EXPECT_EQ(dryRun(u"OpenIE"), (Lines{"shell-open"}));
  EXPECT_EQ(dryRun(u"OpenIE]x["), (Lines{"shell-open"}));
  EXPECT_EQ(dryRun(u"OpenIE[a]b]"), (Lines{"shell-open a"}));
  EXPECT_TRUE(dryRun(u"Close").empty());
  EXPECT_TRUE(dryRun(u"Open").empty());
  EXPECT_TRUE(dryRun(u"Alt+Close").empty());  // a keyword makes it keyword form, so no keys
}

TEST(KeywordForm, NothingIsPlannedAfterQuit) {
  EXPECT_EQ(dryRun(u"CloseSoft"), (Lines{"quit"}));
  EXPECT_EQ(dryRun(u"OpenFly CloseSoft"), (Lines{"quit"}));
  EXPECT_EQ(dryRun(u"OpenShow CloseSoft"), (Lines{"character-show", "quit"}));
}

}  // namespace
}  // namespace sayvane
