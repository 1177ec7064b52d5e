#include "actions/ActionRunner.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "support/Fakes.h"
#include "text/Text.h"
#include "support/Ends.h"

namespace sayvane {
namespace {

using namespace std::chrono_literals;
using Lines = std::vector<std::string>;
using testing::FakeServices;

TEST(Rounding, HalvesGoToTheEvenNeighbourAndSizesStayWithin16Bits) {
  const std::pair<double, int> cases[] = {{4.5, 4}, {7.5, 8}, {0.5, 0}, {1.5, 2}, {-2.5, -2}, {2.4999, 2},
                                          {0.6667, 1}, {32766.6, 32767}, {1e9, 32767}, {-1e9, -32768}};
  for (const auto& [value, expected] : cases) EXPECT_EQ(roundToInt16(value), expected) << value;
}

TEST(Runner, HoldsLastStrictlyLongerThanAskedAndStepPausesFollowEveryStep) {
  FakeServices f;
  runAction(u"Down!1000*A", f.services);
  ASSERT_EQ(f.journal.lines, (Lines{"key-down 0x28", "key-up 0x28", "key-down 0x41", "key-up 0x41"}));
  EXPECT_GT(f.journal.times[1] - f.journal.times[0], 1000.0);
  EXPECT_LT(f.journal.times[1] - f.journal.times[0], 1000.01);
  EXPECT_GT(f.journal.times[2] - f.journal.times[1], 500.0);
  EXPECT_GT(f.waiter.now(), 2000ms);  // the last step's pause too
}

TEST(Runner, AProgramThatCannotStartIsReportedAndLaterFailuresAreSkipped) {
  FakeServices f;
  f.desktop.failPrograms = true;
  f.desktop.failClipboard = true;
  // Every row takes the first bracket argument.
  runAction(u"openProgram[C:\\nothing.exe] Write OpenHide", f.services);
  EXPECT_EQ(f.journal.lines, (Lines{"start-program C:\\nothing.exe", "message 提示|这个路径下没有对应的程序！",
                                    "clipboard-clear", "clipboard-set C:\\nothing.exe", "key-down 0x11", "key-down 0x56",
                                    "key-up 0x11", "key-up 0x56", "character-hide"}));
}

TEST(Runner, AFailedClipboardBeforeAnyProgramStartNeverPastesWhatWasThere) {
  FakeServices f;
  f.desktop.failClipboard = true;
  runAction(u"Write[你好]", f.services);
  EXPECT_EQ(f.journal.lines, (Lines{"clipboard-clear"}));
}

TEST(Runner, WriteLeavesTheTextOnTheClipboard) {
  FakeServices f;
  runAction(u"Write[此致敬礼！]", f.services);
  EXPECT_EQ(f.desktop.clipboard, u"此致敬礼！");
}

TEST(Runner, AWindowWithMoreRightsInFrontIsNamedOnceBeforeTheFirstKeyAndTheKeysStayTheSame) {
  const std::string notice = "speak " + toUtf8(kElevatedTarget);
  const auto isInput = [](const std::string& line) { return line.starts_with("key-") || line.starts_with("mouse"); };
  for (const auto action : {u"Alt+F4", u"LWindows*R", u"MLBC", u"Write[你好]", u"OpenHide"}) {
    SCOPED_TRACE(toUtf8(action));
    Lines asSent;
    for (const auto level : {ForegroundLevel::NotHigher, ForegroundLevel::Unknown, ForegroundLevel::Higher}) {
      FakeServices f;
      f.foreground.answer = level;
      runAction(action, f.services);
      Lines lines = f.journal.lines;
      const auto firstInput = std::find_if(lines.begin(), lines.end(), isInput);
      const bool named = level == ForegroundLevel::Higher && firstInput != lines.end();
      EXPECT_EQ(std::count(lines.begin(), lines.end(), notice), named ? 1 : 0);
      if (named && firstInput != lines.begin() && *(firstInput - 1) == notice) lines.erase(firstInput - 1);
      if (level == ForegroundLevel::NotHigher) asSent = lines;
      EXPECT_EQ(lines, asSent);
    }
  }
}

TEST(Runner, GrowAndShrinkRoundWidthThenHeight) {
  FakeServices f;
  f.character.w = 3;
  f.character.h = 5;
  runAction(u"OpenBigger", f.services);
  EXPECT_EQ(f.journal.lines, (Lines{"character-width 4", "character-height 8"}));
  f.character.w = 1;
  f.character.h = 0;
  runAction(u"OpenSmaller", f.services);
  EXPECT_EQ(f.character.w, 1);
  EXPECT_EQ(f.character.h, 0);
}

TEST(Runner, RepeatedGrowStopsAtTheLargestSize) {
  FakeServices f;
  for (int i = 0; i < 40; ++i) runAction(u"OpenBigger", f.services);
  EXPECT_EQ(f.character.w, 32767);
  EXPECT_EQ(f.character.h, 32767);
}

TEST(Runner, FlyReseedsThenDrawsXBeforeY) {
  FakeServices f;
  f.desktop.screenWidth = 1000;
  f.desktop.screenHeight = 500;
  f.desktop.draws = {0.5, 0.25};
  runAction(u"OpenFly", f.services);
  EXPECT_EQ(f.journal.lines, (Lines{"random-reseed", "character-move 400 100"}));
}

TEST(Runner, QuitEndsTheActionInTheMiddleOfAWaitAndReleasesWhatItHolds) {
  FakeServices f;
  f.waiter.schedule(300ms, [&] { f.desktop.quit(); });
  runAction(u"Shift+A!1000+Ctrl!1000*B", f.services);
  // Shift is released before the wait; A and Ctrl are still down when the quit comes.
  EXPECT_EQ(f.journal.lines, (Lines{"key-down 0x10", "key-down 0x41", "key-down 0x11", "key-up 0x10", "quit",
                                    "key-up 0x41", "key-up 0x11"}));
  EXPECT_DOUBLE_EQ(testing::lastOf(f.journal.times), 300.0);
}

TEST(Runner, EventsArrivingDuringAWaitAreHandledAtOnceAndTheActionGoesOn) {
  FakeServices f;
  f.waiter.schedule(200ms, [&] { f.desktop.open(u"during"); });
  runAction(u"Down!1000", f.services);
  ASSERT_EQ(f.journal.lines, (Lines{"key-down 0x28", "shell-open during", "key-up 0x28"}));
  EXPECT_DOUBLE_EQ(f.journal.times[1], 200.0);
}

TEST(Waiter, AZeroWaitStillLetsTimePass) {
  FakeServices f;
  ASSERT_TRUE(waitMoreThan(f.waiter, 0ns));
  EXPECT_GT(f.waiter.now(), 0ns);
}

// A clock that stands still for a while, then jumps: the wait ends once it moved far enough.
class StuckClock final : public Waiter {
 public:
  std::chrono::nanoseconds now() override { return calls_++ < 5 ? 0ns : 2s; }
  bool pump(std::chrono::nanoseconds) override { return true; }

 private:
  int calls_ = 0;
};

TEST(Waiter, EndsWhenTheMonotonicClockHasPassedTheDuration) {
  StuckClock clock;
  EXPECT_TRUE(waitMoreThan(clock, 1s));
}

}  // namespace
}  // namespace sayvane
