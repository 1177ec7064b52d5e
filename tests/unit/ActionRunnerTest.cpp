// Plans carried out on the simulated desktop: timing, failures, the elevated-window notice, the
// character's size and flight, and the rounding they use.
#include "actions/ActionRunner.h"

#include <algorithm>

#include "ProgramTest.h"

namespace sayvane::testing {
namespace {

TEST(Rounding, HalvesGoToTheEvenNeighbourAndSizesStayWithin16Bits) {
  const std::pair<double, int> cases[] = {{4.5, 4}, {7.5, 8}, {0.5, 0}, {1.5, 2}, {-2.5, -2}, {2.4999, 2},
                                          {0.6667, 1}, {32766.6, 32767}, {1e9, 32767}, {-1e9, -32768}};
  for (const auto& [value, expected] : cases) EXPECT_EQ(roundToInt16(value), expected) << value;
}

// Actions as the started program runs them on the simulated desktop.
struct Actions : Started {
  Lines run(std::u16string_view action) {
    auto services = window->services();
    runAction(action, services);
    timed = sim->takeTimedEffects();
    Lines lines;
    for (const auto& effect : timed) lines.push_back(effect.line);
    return lines;
  }
  std::vector<sim::Effect> timed;  // the last run's effects, with when they happened
};

TEST_F(Actions, HoldsAndWaitsEvenOfZeroLastStrictlyLongerThanAskedAndStepPausesFollowEveryStep) {
  const auto start = sim->now();
  ASSERT_EQ(run(u"Down!1000*A"), (Lines{"key-down 0x28", "key-up 0x28", "key-down 0x41", "key-up 0x41"}));
  EXPECT_GT(timed[1].at - timed[0].at, 1000ms);
  EXPECT_LT(timed[1].at - timed[0].at, 1000ms + 10us);
  EXPECT_GT(timed[2].at - timed[1].at, 500ms);
  EXPECT_GT(sim->now() - start, 2000ms);  // the last step's pause too
  // Even a zero wait lets time pass.
  const auto before = sim->now();
  ASSERT_TRUE(waitMoreThan(sim->platform().waiter, 0ns));
  EXPECT_GT(sim->now(), before);
}

TEST_F(Actions, AFailureStopsTheActionUntilAProgramStartWasAttempted) {
  struct Case {
    bool programsFail, clipboardFails;
    std::u16string_view action;
    Lines expected;
  };
  const Lines paste{"key-down 0x11", "key-down 0x56", "key-up 0x11", "key-up 0x56"};
  const Case cases[] = {
      // Every row takes the first bracket argument; after the failed start the rest still runs.
      {true, true, u"openProgram[C:\\nothing.exe] Write OpenHide",
       {"start-program C:\\nothing.exe", "message 提示|这个路径下没有对应的程序！", "clipboard-clear",
        "clipboard-set C:\\nothing.exe", paste[0], paste[1], paste[2], paste[3], "character hide"}},
      // Before any start, a failed clipboard never pastes what was there.
      {false, true, u"Write[你好]", {"clipboard-clear"}},
      {false, false, u"Write[此致敬礼！]", {"clipboard-clear", "clipboard-set 此致敬礼！", paste[0], paste[1], paste[2], paste[3]}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(toUtf8(c.action));
    sim->options().programsFail = c.programsFail;
    sim->options().clipboardFails = c.clipboardFails;
    EXPECT_EQ(run(c.action), c.expected);
  }
  EXPECT_EQ(sim->clipboard(), u"此致敬礼！");  // Write leaves its text there
}

TEST_F(Actions, AWindowWithMoreRightsInFrontIsNamedOnceRightAfterTheFirstInputAndTheInputStaysTheSame) {
  const std::string notice = "speak " + toUtf8(kElevatedTarget);
  const auto isInput = [](const std::string& line) { return line.starts_with("key-") || line.starts_with("mouse"); };
  for (const auto action : {u"Alt+F4", u"LWindows*R", u"MLBC", u"Write[你好]", u"OpenHide"}) {
    SCOPED_TRACE(toUtf8(action));
    Lines asSent;
    for (const auto level : {ForegroundLevel::NotHigher, ForegroundLevel::Unknown, ForegroundLevel::Higher}) {
      sim->options().foreground = level;
      Lines lines = run(action);
      const auto firstInput = std::find_if(lines.begin(), lines.end(), isInput);
      const bool named = level == ForegroundLevel::Higher && firstInput != lines.end();
      EXPECT_EQ(std::count(lines.begin(), lines.end(), notice), named ? 1 : 0);
      if (named && firstInput + 1 != lines.end() && firstInput[1] == notice) lines.erase(firstInput + 1);
      if (level == ForegroundLevel::NotHigher) asSent = lines;
      EXPECT_EQ(lines, asSent);
    }
  }
}

TEST_F(Actions, GrowAndShrinkRoundWidthThenHeightAndStopAtTheLargestSizeFlyReseedsAndDrawsXBeforeY) {
  // 128 / 1.5 = 85.33, 85 / 1.5 = 56.67: rounded, not cut off.
  EXPECT_EQ(run(u"OpenSmaller"), (Lines{"character size 85 128", "character size 85 85"}));
  EXPECT_EQ(run(u"OpenSmaller"), (Lines{"character size 57 85", "character size 57 57"}));
  for (int i = 0; i < 40; ++i) run(u"OpenBigger");
  EXPECT_EQ(sim->characterWidth(), 32767);
  EXPECT_EQ(sim->characterHeight(), 32767);
  // Draws 0.5 then 0.25 after each reseed, over 80% of the screen.
  EXPECT_EQ(run(u"OpenFly"), Lines{"character move 410 154"});
  EXPECT_EQ(run(u"OpenFly"), Lines{"character move 410 154"});
}

}  // namespace
}  // namespace sayvane::testing
