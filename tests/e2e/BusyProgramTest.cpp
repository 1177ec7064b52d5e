// The real program asked for more while it is busy (holding a key, pausing between steps, showing
// a message box): what it is asked is handled at once, inside the wait, the running action then
// goes on where it was, and a quit in the middle of a hold ends the program with no key left down.
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <random>
#include <thread>

#include "actions/ActionRunner.h"
#include "e2e/ProgramFixture.h"
#include "e2e/driver/SpeechSim.h"
#include "e2e/driver/TargetLog.h"
#include "speech/SpeechTexts.h"

namespace e2e {
namespace {

// Key events at the target as "+41" (down) and "-41" (up), in order.
std::vector<std::string> keysAt(const Target& target) {
  std::vector<std::string> keys;
  for (const auto& event : eventsOf(readTargetLog(target.log), {"keydown", "keyup"}))
    keys.push_back((event.kind == "keydown" ? "+" : "-") + event.value);
  return keys;
}

class Busy : public InitialSetTest {
 protected:
  std::vector<sayvane::Entry> entries() const override {
    return {{u"CloseSoft", u"退出"}, {u"AddSpeech", u"添加语音命令"},
            {u"Down!3000", u"长按下移"}, {u"A*B*C*E", u"四步"},
            {u"D", u"按键丁"}, {u"F!150", u"短按"},
            {u"G*H", u"两步"}, {u"openProgram[C:\\没有这个程序\\无.exe]", u"坏程序"},
            {u"OpenShow", u"Tobrin"}};
  }

  void showMainWindow() {
    ASSERT_EQ(chooseFromMenu(u"添加语音命令"), "command");
    ASSERT_TRUE(waitFor([&] { return visible(main); }));
  }
  void startTargetInFront() {
    target = startTarget(folder / L"target.log");
    ASSERT_TRUE(target.ready);
  }

  // Wakes the program and says `phrase` without waiting for its action; true once the target has
  // its first key, so the program is inside the action's waits from then on.
  bool startBusy(std::u16string_view phrase) {
    const std::size_t skip = readTargetLog(target.log).size();
    return say(u"Tobrin") == "recognition" && sayWithoutWaiting(phrase) &&
           waitForEvent(target.log, "keydown", 5s, skip);
  }

  Target target;
};

enum class QuitBy { speech, menu, closeBox };

class QuitDuringAHold : public Busy, public ::testing::WithParamInterface<QuitBy> {};

TEST_P(QuitDuringAHold, EndsTheProgramAtOnceAfterReleasingTheKey) {
  if (GetParam() == QuitBy::closeBox) showMainWindow();
  startTargetInFront();
  ASSERT_TRUE(startBusy(u"长按下移"));
  const auto asked = std::chrono::steady_clock::now();
  switch (GetParam()) {
    case QuitBy::speech:
      EXPECT_EQ(say(u"Tobrin"), "recognition");
      (void)say(u"退出");  // the program may be gone before the stand-in can answer
      break;
    case QuitBy::menu: (void)chooseFromMenu(u"退出"); break;
    case QuitBy::closeBox: PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0); break;
  }
  EXPECT_EQ(program.waitExit(10s), 0);
  const DWORD goneBy = GetTickCount();
  const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - asked);
  std::printf("[ figures  ] quit during a 3000 ms hold: the program was gone %lld ms after it was asked\n",
              static_cast<long long>(took.count()));
  EXPECT_LT(took.count(), 3000);

  ASSERT_TRUE(waitForEvent(target.log, "keyup", 2s));
  const auto keys = eventsOf(readTargetLog(target.log), {"keydown", "keyup"});
  ASSERT_EQ(keysAt(target), (std::vector<std::string>{"+28", "-28"}));
  // Released by the program itself: queued before it was gone, long before the hold's end.
  EXPECT_LT(stampedMilliseconds(keys[0], keys[1]), 3000);
  EXPECT_LE(static_cast<LONG>(keys[1].stampMs.value_or(goneBy + 1) - goneBy), 0);
}

INSTANTIATE_TEST_SUITE_P(Busy, QuitDuringAHold, ::testing::Values(QuitBy::speech, QuitBy::menu, QuitBy::closeBox),
                         [](const auto& info) {
                           return std::string(info.param == QuitBy::speech ? "Spoken"
                                              : info.param == QuitBy::menu ? "FromTheMenu"
                                                                           : "WithTheCloseBox");
                         });

TEST_F(Busy, APhraseSaidDuringAStepPauseRunsThereAndTheActionGoesOnWhereItWas) {
  startTargetInFront();
  ASSERT_TRUE(startBusy(u"四步"));
  EXPECT_EQ(say(u"Tobrin"), "recognition");
  EXPECT_EQ(say(u"按键丁"), "recognition");
  ASSERT_TRUE(waitFor([&] { return keysAt(target).size() == 10; }, 5s));
  auto keys = keysAt(target);
  // D came inside a pause, before E, and the first action's keys went on in order around it.
  const auto d = std::find(keys.begin(), keys.end(), "+44") - keys.begin();
  EXPECT_LT(d, std::find(keys.begin(), keys.end(), "+45") - keys.begin()) << "D came after the action";
  ASSERT_LE(d + 2, std::ssize(keys));
  EXPECT_EQ(keys[d + 1], "-44");
  keys.erase(keys.begin() + d, keys.begin() + d + 2);
  EXPECT_EQ(keys, (std::vector<std::string>{"+41", "-41", "+42", "-42", "+43", "-43", "+45", "-45"}));
}

TEST_F(Busy, WhileTheNoSuchProgramBoxIsOpenAPhraseIsHandledAndAQuitEndsTheProgram) {
  EXPECT_EQ(say(u"Tobrin"), "recognition");
  ASSERT_TRUE(sayWithoutWaiting(u"坏程序"));
  const auto box = expectMessageBox(program);
  ASSERT_TRUE(box);
  EXPECT_EQ(utf16(box->caption), sayvane::kNoticeCaption);
  EXPECT_EQ(utf16(box->text), sayvane::kNoSuchProgram);

  EXPECT_EQ(say(u"Tobrin"), "recognition");
  EXPECT_EQ(say(u"添加语音命令"), "recognition");
  EXPECT_TRUE(waitForCall(simLog, "Character.Speak(\"添加语音命令\") -> ok"));
  EXPECT_TRUE(waitFor([&] { return visible(main); }));
  EXPECT_TRUE(visible(box->window));

  EXPECT_EQ(say(u"Tobrin"), "recognition");
  (void)say(u"退出");
  EXPECT_EQ(program.waitExit(10s), 0);
}

TEST_F(Busy, ASetSwitchClickedDuringAHoldLeavesRulesButtonsAndMenuAgreeing) {
  showMainWindow();
  startTargetInFront();
  ASSERT_TRUE(startBusy(u"长按下移"));
  std::size_t skip = readSimLog(simLog).size();
  ASSERT_TRUE(click(main, "Command5"));
  const auto off = waitForCall(simLog, "ISpeechRecoGrammar.CmdSetRuleIdState(0, 0) -> ok", 2s, skip);
  ASSERT_TRUE(off);
  ASSERT_TRUE(waitForEvent(target.log, "keyup", 5s));
  EXPECT_LT(off->micros, eventsOf(readTargetLog(target.log), {"keyup"}).front().micros) << "not inside the hold";

  const auto calls = readSimLog(simLog);
  EXPECT_EQ(callsStartingWith(calls, "Commands.").back(), "Commands.RemoveAll() -> ok");
  EXPECT_EQ(text16(control(main, "Command5")), sayvane::kUseSetCaption);
  EXPECT_EQ(text16(control(main, "Label5")), sayvane::kNoActiveSetLabel);
  EXPECT_TRUE(enabled(control(main, "Command1")));
  EXPECT_EQ(say(u"Tobrin"), "ignored");

  skip = readSimLog(simLog).size();
  ASSERT_TRUE(click(main, "Command5"));
  EXPECT_TRUE(waitForCall(simLog, "ISpeechRecoGrammar.CmdSetRuleIdState(0, 1) -> ok", 5s, skip));
  EXPECT_TRUE(waitForCall(simLog, "Commands.Add(\"退出\"", 5s, skip));
  EXPECT_TRUE(waitFor([&] { return text16(control(main, "Command5")) == sayvane::kStopSetCaption; }));
  EXPECT_FALSE(enabled(control(main, "Command1")));
  EXPECT_EQ(say(u"Tobrin"), "recognition");
}

// The program's private bytes (its commit charge) and working set, in KiB.
std::pair<std::size_t, std::size_t> memoryOf(const Process& process) {
  PROCESS_MEMORY_COUNTERS counters{};
  HANDLE handle = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, process.id());
  if (handle) {
    K32GetProcessMemoryInfo(handle, &counters, sizeof counters);
    CloseHandle(handle);
  }
  return {counters.PagefileUsage / 1024, counters.WorkingSetSize / 1024};
}

TEST_F(Busy, AThousandCommandsSaidDuringHoldsAndPausesLeaveNoKeyDownAndMemoryFlat) {
  constexpr int kCommands = 1000;
  constexpr unsigned kSeed = 14;
  startTargetInFront();
  std::mt19937 random(kSeed);
  const auto percent = [&] { return static_cast<int>(random() % 100); };
  std::map<std::string, int> expected;  // presses per key
  int commands = 0, overlapping = 0;
  const auto tap = [&] {
    ASSERT_EQ(say(u"Tobrin"), "recognition");
    ASSERT_EQ(say(u"按键丁"), "recognition");
    ++expected["44"];
    ++commands;
  };
  const auto start = std::chrono::steady_clock::now();
  std::pair<std::size_t, std::size_t> warm;
  while (commands < kCommands && !HasFatalFailure()) {
    ASSERT_LT(std::chrono::steady_clock::now(), start + 200s) << commands << " commands so far";
    if (commands >= 50 && warm.first == 0) warm = memoryOf(program);
    const int kind = percent();
    if (kind < 70) {
      tap();
      continue;
    }
    // A hold or two steps with their pauses, and taps sent into it at random moments.
    const bool steps = kind >= 94;
    ASSERT_TRUE(startBusy(steps ? u"两步" : u"短按"));
    ++commands;
    ++expected[steps ? "47" : "46"];
    if (steps) ++expected["48"];
    for (int nested = 1 + percent() % (steps ? 3 : 2); nested > 0; --nested) {
      std::this_thread::sleep_for(std::chrono::milliseconds(percent() * (steps ? 3 : 1)));
      tap();
      ++overlapping;
    }
  }
  std::map<std::string, int> downs, ups;
  int inside = 0;  // taps that came while F was held or between G and H
  ASSERT_TRUE(waitFor(
      [&] {
        downs.clear();
        ups.clear();
        inside = 0;
        bool busy = false;  // F held, or G pressed and H not yet
        for (const auto& key : keysAt(target)) {
          ++(key[0] == '+' ? downs : ups)[key.substr(1)];
          if (key == "+46" || key == "+47") busy = true;
          if (key == "-46" || key == "+48") busy = false;
          inside += key == "+44" && busy;
        }
        return downs == expected && ups == expected;
      },
      5s))
      << "keys pressed and released do not match what was said";
  const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const auto end = memoryOf(program);
  std::printf("[ figures  ] %d commands in %.1f s (seed %u), %d sent during a hold or pause, %d taps landed "
              "inside one; private bytes %zu KiB after 50, %zu KiB at the end; working set %zu KiB, %zu KiB\n",
              commands, seconds, kSeed, overlapping, inside, warm.first, end.first, warm.second, end.second);
  EXPECT_GE(inside, overlapping / 4) << "the taps waited for the actions instead of running inside them";
  ASSERT_GT(warm.first, 0u);
  EXPECT_LT(end.first, warm.first + 4096) << "private bytes grew";
  closeAndExpectExit();
}

}  // namespace
}  // namespace e2e
