// How long spoken actions take where they land: holds and step pauses measured at the target
// window, and the time from the recognizer raising its event to the first key arriving.
// The figures are printed; the bounds only catch what is plainly wrong, and hold on the input
// messages' own time stamps, which a busy machine does not shift.
#include <windows.h>

#include <algorithm>
#include <cstdio>

#include "e2e/ProgramFixture.h"
#include "e2e/driver/SpeechSim.h"
#include "e2e/driver/TargetLog.h"

namespace e2e {
namespace {

// The clock of both logs: performance-counter microseconds.
long long microsNow() {
  LARGE_INTEGER frequency, counter;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&counter);
  return counter.QuadPart / frequency.QuadPart * 1'000'000LL +
         counter.QuadPart % frequency.QuadPart * 1'000'000LL / frequency.QuadPart;
}

struct Figures {
  double min = 0, median = 0, max = 0;
};
Figures figuresOf(std::vector<double> samples) {
  std::sort(samples.begin(), samples.end());
  if (samples.empty()) return {};
  return {samples.front(), samples[samples.size() / 2], samples.back()};
}
void report(const char* what, const std::vector<double>& samples) {
  const Figures f = figuresOf(samples);
  std::printf("[ figures  ] %s over %zu: min %.3f ms, median %.3f ms, max %.3f ms\n", what, samples.size(), f.min,
              f.median, f.max);
  std::fflush(stdout);
}

// The initial set holds phrases whose actions are easy to time at the target.
class SpokenTiming : public InitialSetTest {
 protected:
  std::vector<sayvane::Entry> entries() const override {
    return {{u"CloseSoft", u"退出"}, {u"AddSpeech", u"添加语音命令"}, {u"Down!1000", u"地图下移"},
            {u"LWindows*R", u"运行框"}, {u"A", u"按键甲"}, {u"OpenShow", u"Tobrin"}};
  }

  void SetUp() override {
    InitialSetTest::SetUp();
    if (HasFatalFailure()) return;
    target = startTarget(folder / L"target.log");
    ASSERT_TRUE(target.ready);
  }

  // Wakes the program, then says `phrase`; the time the recognizer raised the phrase's event.
  long long wakeAndSay(std::u16string_view phrase) {
    EXPECT_EQ(say(u"Tobrin"), "recognition");
    const std::size_t skip = readSimLog(simLog).size();
    EXPECT_EQ(say(phrase), "recognition");
    const auto raised = waitForCall(simLog, "event Recognition(", 5s, skip);
    EXPECT_TRUE(raised);
    return raised ? raised->micros : 0;
  }

  std::vector<TargetEvent> keysSince(std::size_t skip) {
    const auto events = readTargetLog(target.log);
    std::vector<TargetEvent> later(events.begin() + std::min(skip, events.size()), events.end());
    return eventsOf(later, {"keydown", "keyup"});
  }

  Target target;
};

TEST_F(SpokenTiming, DownHeldForOneSecondIsReleasedALittleOverOneSecondLater) {
  std::vector<double> holds;
  for (int round = 0; round < 5; ++round) {
    const std::size_t skip = readTargetLog(target.log).size();
    wakeAndSay(u"地图下移");
    const auto keys = keysSince(skip);
    ASSERT_EQ(keys.size(), 2u);
    EXPECT_EQ(keys[0].kind, "keydown");
    EXPECT_EQ(keys[0].value, "28");
    EXPECT_EQ(keys[1].kind, "keyup");
    // The messages' own stamps bound it; when the target took them is the printed figure.
    const long long stamped = stampedMilliseconds(keys[0], keys[1]);
    EXPECT_GE(stamped, 1000);
    EXPECT_LE(stamped, 1400);
    holds.push_back((keys[1].micros - keys[0].micros) / 1000.0);
  }
  report("Down!1000 hold at the target", holds);
}

TEST_F(SpokenTiming, TheWindowsKeyThenRTakesALittleOverOneSecondWithItsTwoPauses) {
  std::vector<double> totals, gaps;
  for (int round = 0; round < 3; ++round) {
    const std::size_t skip = readTargetLog(target.log).size();
    const long long raised = wakeAndSay(u"运行框");
    // The reply comes once the handler has returned, the last pause included.
    const long long done = microsNow();
    const auto keys = keysSince(skip);
    ASSERT_EQ(keys.size(), 4u);
    EXPECT_EQ(keys[0].value, "5B");
    EXPECT_EQ(keys[2].value, "52");
    const double gap = (keys[2].micros - keys[0].micros) / 1000.0;
    const double total = (done - raised) / 1000.0;
    const long long stampedGap = stampedMilliseconds(keys[0], keys[2]);
    EXPECT_GE(stampedGap, 500);
    EXPECT_LE(stampedGap, 900);
    EXPECT_GE(total, 1000.0);
    EXPECT_LE(total, 1800.0);
    gaps.push_back(gap);
    totals.push_back(total);
  }
  report("LWindows*R from the Windows key to R at the target", gaps);
  report("LWindows*R from the event to the end of the action", totals);
}

TEST_F(SpokenTiming, TheFirstKeyArrivesSoonAfterTheRecognitionIsRaised) {
  constexpr int kRounds = 40;
  std::vector<double> latencies;
  for (int round = 0; round < kRounds; ++round) {
    const std::size_t skip = readTargetLog(target.log).size();
    const long long raised = wakeAndSay(u"按键甲");
    ASSERT_TRUE(waitForEvent(target.log, "keyup", 5s, skip));
    const auto keys = keysSince(skip);
    ASSERT_FALSE(keys.empty());
    EXPECT_EQ(keys[0].value, "41");
    latencies.push_back((keys[0].micros - raised) / 1000.0);
  }
  report("latency from Recognition raised to the first key at the target", latencies);
  const Figures f = figuresOf(latencies);
  EXPECT_GT(f.min, 0.0);     // the clocks agree: nothing arrives before it was asked for
  EXPECT_LT(f.max, 2000.0);  // a stall of seconds is a fault, not noise
}

}  // namespace
}  // namespace e2e
