// Recognition and the set switch: the wake phrase, the clear timer, the test mode, busy audio,
// events during an action, and quits during a hold.
#include "ProgramTest.h"

namespace sayvane::testing {
namespace {

const std::string kInstructions = messageLine(u"提示", kTestInstructions);
const std::string kBusy = messageLine(u"Sayvane", kAudioBusy);

TEST_F(Started, WakePhraseThenCloseWindowSendsAltF4) {
  EXPECT_EQ(hear(u"Tobrin"), (Lines{"speak Tobrin"}));
  EXPECT_TRUE(sim->characterArmed());
  EXPECT_TRUE(hear(u"打开冰箱").empty());  // a rejected utterance between the two costs nothing
  EXPECT_EQ(hear(u"关闭窗口"), (Lines{"speak 关闭窗口", "key-down 0x12", "key-down 0x73", "key-up 0x12", "key-up 0x73"}));
  EXPECT_FALSE(sim->characterArmed());
  EXPECT_EQ(hear(u"关闭窗口"), (Lines{"speak 关闭窗口"}));
}

TEST_F(Started, TheClearTimerRunsASecondFromTheStartAndFromAnUnknownUtteranceWhoseNoticeItClears) {
  sim->elapse(999ms);
  EXPECT_TRUE(ui().Timer1.enabled);
  sim->elapse(1ms);
  EXPECT_FALSE(ui().Timer1.enabled);
  sim->elapse(4500ms);  // half a tick more than whole ones
  hear(u"打开冰箱");
  EXPECT_EQ(ui().Text4.text, u"没有识别重新念");
  EXPECT_FALSE(ui().Text4.visible);
  sim->elapse(999ms);
  EXPECT_EQ(ui().Text4.text, u"没有识别重新念");
  sim->elapse(1ms);
  EXPECT_EQ(ui().Text4.text, u"");
  EXPECT_FALSE(ui().Timer1.enabled);
}

TEST_F(Started, TheSwitchStopsAndRestartsTheSetWithButtonsLabelAndMenu) {
  EXPECT_EQ(click("Command5"), (Lines{"menu-clear", "rules off"}));
  EXPECT_EQ(ui().Command5.caption, u"更改为选中的语音命令集");
  EXPECT_EQ(ui().Label5.caption, u"当前没有使用任何语音命令集");
  EXPECT_EQ(enabled(), kAllEnabled);
  EXPECT_TRUE(window->characterMenu().entries().empty());
  EXPECT_TRUE(hear(u"Tobrin").empty());  // nothing listens

  const auto on = click("Command5");
  EXPECT_EQ(firstOf(on), "menu-add 退出");
  EXPECT_EQ(lastOf(on), "rules on");
  EXPECT_EQ(ui().Command5.caption, u"停止当前的语音命令集");
  EXPECT_EQ(ui().Label5.caption, u"当前使用的语音命令集：初始默认语音命令集");
  EXPECT_EQ(enabled(), "Command2 Command5");
  ASSERT_EQ(window->characterMenu().entries().size(), kInitialEntries.size());
  EXPECT_EQ(window->characterMenu().entries()[3], u"tobrin");
}

TEST_F(Program, ABusyAudioDeviceLeavesTheWindowAsItWasAndKeepsTheTestModeOff) {
  addSet(u"初始默认语音命令集", kInitialEntries);
  options.audioBusy = true;
  const auto lines = start();
  // The filled menu is taken back, so the window is the way left to the user.
  ASSERT_GE(lines.size(), 2u);
  EXPECT_THAT(Lines(lines.end() - 2, lines.end()), ElementsAre(kBusy, "main-window show"));
  EXPECT_THAT(lines, Contains("menu-clear"));
  EXPECT_EQ(ui().Command5.caption, u"更改为选中的语音命令");
  EXPECT_EQ(enabled(), kAllEnabled);
  EXPECT_EQ(ui().Label5.caption, u"");
  EXPECT_FALSE(window->listener().rulesActive());
  EXPECT_FALSE(window->characterMenu().filled());
  EXPECT_TRUE(sim->characterMenu().empty());
  // Nor can the test mode start.
  EXPECT_EQ(click("Command6"), (Lines{kInstructions, "rules on", kBusy}));
  EXPECT_EQ(ui().Command6.caption, u"开始测试语音命令");
  EXPECT_FALSE(window->listener().testing());
  EXPECT_EQ(enabled(), kAllEnabled);
  EXPECT_FALSE(ui().Text4.visible);
}

TEST_F(Started, TheTestModeShowsWhatIsHeardRunsNothingAndUnlocksEverythingWhenStopped) {
  EXPECT_FALSE(window->click("Command6"));  // off limits while a set is active
  hear(u"Tobrin");
  click("Command5");
  EXPECT_EQ(click("Command6"), (Lines{kInstructions, "rules on"}));
  EXPECT_FALSE(sim->characterArmed()) << "nothing would act";
  EXPECT_EQ(ui().Command6.caption, u"停止测试词汇");
  EXPECT_TRUE(ui().Text4.visible);
  EXPECT_EQ(enabled(), "Command6");

  EXPECT_TRUE(hear(u"Tobrin").empty());
  EXPECT_EQ(ui().Text4.text, u"Tobrin");
  sim->elapse(300ms);
  EXPECT_TRUE(hear(u"关闭窗口").empty());
  EXPECT_EQ(ui().Text4.text, u"关闭窗口");
  EXPECT_TRUE(window->listener().awake());
  // The second result is cleared with the first: the timer is not restarted.
  sim->elapse(700ms);
  EXPECT_EQ(ui().Text4.text, u"");

  EXPECT_EQ(click("Command6"), (Lines{"rules off"}));
  EXPECT_EQ(ui().Command6.caption, u"开始测试词汇");
  EXPECT_FALSE(ui().Text4.visible);
  EXPECT_FALSE(window->listener().testing());
  EXPECT_EQ(enabled(), kAllEnabled);
  EXPECT_TRUE(sim->characterArmed()) << "the wake phrase outlived the test";
  window->close();
  EXPECT_FALSE(sim->characterArmed());
}

TEST_F(Program, WithoutAGrammarTheTestDoesNothingAndTheSwitchTurnsOnlyTheButtons) {
  files.files[u"坏的.xml"] = "<GRAMMAR LANGID=\"804\">";  // never closed: the recognizer rejects it
  startQuietly();
  click("Command5");
  EXPECT_EQ(selectSet(u"坏的"), (Lines{"grammar-load 坏的.xml", "message Sayvane|" + toUtf8(kGrammarLoadFailedOnSelect)}));
  EXPECT_FALSE(window->listener().grammarLoaded());
  EXPECT_TRUE(click("Command6").empty());
  click("Command5");
  EXPECT_EQ(ui().Command5.caption, u"停止当前的语音命令集");
  EXPECT_EQ(ui().Label5.caption, u"当前没有使用任何语音命令集");
  EXPECT_FALSE(sim->rulesActive());
  // A new set loads its grammar with the rules off; stopping from there must not start them.
  createSet(u"新的");
  ASSERT_TRUE(window->listener().grammarLoaded());
  click("Command5");
  EXPECT_EQ(ui().Command5.caption, u"更改为选中的语音命令集");
  EXPECT_FALSE(sim->rulesActive());
  EXPECT_EQ(lastOf(click("Command5")), "rules on");
  EXPECT_EQ(ui().Label5.caption, u"当前使用的语音命令集：新的");
}

// The set that is switched on is the one whose phrases act, and the label says which; without a
// loaded, selected set the switch and the test refuse.
TEST_F(Program, TheSwitchTakesOnlyASelectedLoadedSetAndNewSetsLeaveTheActiveOne) {
  addSet(u"游戏", {{u"Space", u"跳"}});
  options.recognizers = {u"中文识别器", u"English"};
  startQuietly();
  EXPECT_EQ(createSet(u"新的"), (Lines{"write 新的.xml"}));
  EXPECT_EQ(lastOf(ui().List2.items), u"新的");
  EXPECT_EQ(command(u"关闭窗口").size(), 5u);
  // A selection the engine check refused leaves the list on a set that was never loaded.
  click("Command5");
  EXPECT_TRUE(window->select("SREngines", 1));
  selectSet(u"游戏");
  EXPECT_TRUE(window->select("SREngines", 0));
  EXPECT_EQ(click("Command5"), (Lines{"message 提示|" + toUtf8(kSelectedSetNotLoaded)}));
  EXPECT_FALSE(sim->rulesActive());
  // Deleting a set leaves nothing selected: the switch and the test ask for one.
  selectSet(u"新的");
  sim->answer(true);
  click("Command3");
  EXPECT_EQ(ui().List2.selection, -1);
  EXPECT_EQ(click("Command5"), (Lines{"message 提示|请选择一个语音命令集!"}));
  EXPECT_EQ(click("Command6"), (Lines{"message 提示|请选择一个语音命令集!"}));
  EXPECT_EQ(ui().Command5.caption, u"更改为选中的语音命令集");
}

// Events that arrive while an action waits are handled at once, inside it.
TEST_F(Started, ACommandHeardDuringAHoldOrAClickDuringAStepPauseIsHandledInsideItAndTheActionGoesOn) {
  hear(u"Tobrin");
  const auto t = sim->now();
  std::vector<bool> armed;  // off once the hold has begun, on again with the second wake phrase
  for (const auto at : {200ms, 350ms}) sim->schedule(t + at, [&] { armed.push_back(sim->characterArmed()); });
  sim->schedule(t + 300ms, [&] { sim->hear(u"Tobrin"); });
  sim->schedule(t + 400ms, [&] { sim->hear(u"关闭窗口"); });
  EXPECT_EQ(hear(u"向下"), (Lines{"speak 向下", "key-down 0x28", "speak Tobrin", "speak 关闭窗口", "key-down 0x12",
                                 "key-down 0x73", "key-up 0x12", "key-up 0x73", "key-up 0x28"}));
  EXPECT_GT(sim->now() - t, 1000ms);
  EXPECT_LT(sim->now() - t, 1001ms);
  EXPECT_FALSE(window->listener().awake());
  EXPECT_EQ(armed, (std::vector<bool>{false, true}));
  // A click during a step's pause is handled there, and the action goes on.
  hear(u"Tobrin");
  sim->schedule(sim->now() + 200ms, [&] { EXPECT_TRUE(window->click("Command5")); });
  EXPECT_EQ(hear(u"运行框"), (Lines{"speak 运行框", "key-down 0x5B", "key-up 0x5B", "menu-clear", "rules off",
                                   "key-down 0x52", "key-up 0x52"}));
  EXPECT_FALSE(sim->rulesActive());
  EXPECT_EQ(ui().Command5.caption, u"更改为选中的语音命令集");
  EXPECT_EQ(enabled(), kAllEnabled);
}

// A quit during a hold, or inside a nested action, releases every held key and ends the action.
TEST_F(Program, AQuitDuringAHoldOrInsideANestedActionReleasesTheHeldKeysAndEndsIt) {
  addSet(u"初始默认语音命令集", {{u"CloseSoft", u"退出"}, {u"OpenShow", u"Tobrin"}, {u"Ctrl+Shift!5000+Down!5000*A", u"按住"},
                               {u"Shift!3000", u"上档"}, {u"Ctrl!3000", u"控制"}});
  startQuietly();
  hear(u"Tobrin");
  sim->schedule(sim->now() + 1000ms, [&] { sim->agentCommand(u"退出"); });
  EXPECT_EQ(hear(u"按住"), (Lines{"speak 按住", "key-down 0x11", "key-down 0x10", "key-down 0x28", "key-up 0x11", "quit",
                                 "key-up 0x10", "key-up 0x28"}));
  EXPECT_TRUE(sim->keysDown().empty());
  EXPECT_TRUE(window->quitting());
  EXPECT_TRUE(hear(u"Tobrin").empty());  // the program has ended

  startQuietly();
  hear(u"Tobrin");
  const auto t = sim->now();
  sim->schedule(t + 100ms, [&] { sim->hear(u"Tobrin"); });
  sim->schedule(t + 200ms, [&] { sim->hear(u"控制"); });
  sim->schedule(t + 300ms, [&] { window->close(); });
  EXPECT_EQ(firstOf(hear(u"上档")), "speak 上档");
  EXPECT_TRUE(sim->keysDown().empty());
  EXPECT_LT(sim->now() - t, 1000ms);
}

// Recognitions against a loaded set that no longer holds every phrase the recognizer hears: a
// deleted phrase leaves the grammar only when the next one is added.
TEST_F(Program, AgainstASetWithADeletedPhraseAndADuplicateTheWakeFlagIsUsedOnceAndTheWakeActionNeverRuns) {
  addSet(u"初始默认语音命令集", {{u"Alt+F4", u"关闭窗口"}, {u"Alt+F4", u"关闭"}, {u"Write[x]", u"关闭"},
                               {u"OpenShow", u"Tobrin"}, {u"Space", u"已删除"}});
  startQuietly();
  click("Command5");
  ASSERT_TRUE(window->select("List1", 4));
  click("Command4");
  click("Command5");
  // A second wake phrase keeps the flag; the first of the two 关闭 entries acts.
  EXPECT_EQ(hear(u"Tobrin"), Lines{"speak Tobrin"});
  EXPECT_EQ(hear(u"Tobrin"), Lines{"speak Tobrin"});
  EXPECT_EQ(lastOf(hear(u"关闭")), "key-up 0x73");
  // A missing phrase still uses up the wake phrase.
  EXPECT_EQ(command(u"已删除"), Lines{"speak 已删除"});
  EXPECT_EQ(hear(u"关闭窗口"), Lines{"speak 关闭窗口"});
  // A character that cannot speak does not cost the command.
  sim->options().characterFails = true;
  EXPECT_EQ(lastOf(command(u"关闭窗口")), "key-up 0x73");
}

}  // namespace
}  // namespace sayvane::testing
