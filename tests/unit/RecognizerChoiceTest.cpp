#include "ProgramTest.h"
#include "speech/SpeechTexts.h"
#include "support/Ends.h"

namespace sayvane::testing {
namespace {

using enum RecognizerChoice;

struct Choice : Program {
  // The radio entry the notification icon's menu marks; nothing when none is.
  std::optional<RecognizerChoice> marked() const {
    for (const auto& entry : window->trayMenu())
      if (entry.mark == TrayEntry::Mark::Radio && entry.marked)
        return entry.choice == TrayChoice::UseOwnRecognizer ? Own : Shared;
    return std::nullopt;
  }
  Lines use(RecognizerChoice choice) {
    window->trayCommand(choice == Own ? TrayChoice::UseOwnRecognizer : TrayChoice::UseSharedRecognizer);
    return take();
  }
  bool setShownActive() const {
    return !ui().Command1.enabled && ui().Command5.caption == kStopSetCaption && !window->characterMenu().empty();
  }
};

TEST_F(Choice, SwitchesAtOnceBothWaysWithTheSetAndItsRulesAsTheyWereAndIsRemembered) {
  options.recognizers = {u"English", u"中文识别器"};
  options.recognizerInUse = 1;
  startQuietly();
  EXPECT_EQ(marked(), Shared);
  const Lines reloaded{"grammar-load 初始默认语音命令集.xml", "rules off"};
  Lines on = reloaded;
  on.push_back("rules on");
  for (const auto choice : {Own, Shared}) {
    const auto lines = use(choice);
    EXPECT_EQ(Lines(lines.begin() + 2, lines.end()), on);
    EXPECT_EQ(firstOf(lines), choice == Own ? "setting-write Recognizer own" : "setting-write Recognizer shared");
    EXPECT_EQ(sim->recognizerInUse(), choice);
    EXPECT_EQ(marked(), choice);
    EXPECT_TRUE(setShownActive());
    EXPECT_EQ(ui().SREngines.selection, 1);
    hear(u"Tobrin");
    EXPECT_EQ(hear(u"关闭窗口").size(), 5u);
  }
  // The one in use, chosen again: only remembered.
  EXPECT_EQ(use(Shared), (Lines{"setting-write Recognizer shared", "setting-write GameKeys 0"}));

  // A stopped set stays stopped; a running test is stopped first.
  click("Command5");
  EXPECT_EQ(lastOf(use(Own)), "rules off");
  click("Command6");
  ASSERT_TRUE(window->recognition().testMode);
  EXPECT_EQ(lastOf(use(Shared)), "rules off");
  EXPECT_FALSE(window->recognition().testMode);
  EXPECT_EQ(ui().Command6.caption, kStartTestCaption);
  EXPECT_TRUE(ui().Command5.enabled && ui().List2.enabled && ui().SREngines.enabled);
  EXPECT_FALSE(sim->rulesActive());

  // The next start takes the stored choice first.
  const auto stored = readOptions(sim->platform().settings);
  attach();
  ASSERT_TRUE(writeOptions(sim->platform().settings, {Own, false}));
  window->start();
  EXPECT_EQ(sim->recognizerInUse(), Own);
  EXPECT_EQ(stored.recognizer, Shared);
}

// Where the one chosen cannot be had or cannot hear, the user is told and the window shows what is.
TEST_F(Choice, ARecognizerThatCannotBeHadOrCannotListenIsNamedAndTheWindowShowsTheSetOff) {
  options.noOwnRecognizer = true;
  startQuietly();
  EXPECT_THAT(use(Own), Contains("message 提示|无法使用 Sayvane 自己的识别器，现在仍然使用 Windows 语音识别。"));
  EXPECT_EQ(marked(), Shared);
  EXPECT_TRUE(sim->rulesActive());
  EXPECT_EQ(readOptions(sim->platform().settings).recognizer, Own) << "the choice is kept for a later start";

  sim->options().noOwnRecognizer = false;
  sim->options().audioBusy = true;
  EXPECT_EQ(lastOf(use(Own)), "message Sayvane|" + toUtf8(kAudioBusy));
  EXPECT_FALSE(sim->rulesActive());
  EXPECT_FALSE(window->flags().rulesActive);
  EXPECT_EQ(ui().Command5.caption, kUseSetCaption);
  EXPECT_EQ(ui().Label5.caption, kNoActiveSetLabel);
  EXPECT_TRUE(ui().Command1.enabled && ui().SREngines.enabled);
  EXPECT_TRUE(window->characterMenu().empty());

  sim->options().audioBusy = false;
  click("Command5");
  ASSERT_TRUE(setShownActive());
  sim->options().noSpeech = true;
  EXPECT_EQ(lastOf(use(Shared)), "message Sayvane|" + toUtf8(kNoRecognizer));
  EXPECT_EQ(marked(), std::nullopt);
  EXPECT_TRUE(ui().SREngines.items.empty());
  EXPECT_EQ(ui().Label5.caption, kNoActiveSetLabel);
  EXPECT_TRUE(window->characterMenu().empty());
  // Once one can be had again, choosing it brings the loaded set back into it.
  sim->options().noSpeech = false;
  EXPECT_EQ(use(Own), (Lines{"setting-write Recognizer own", "setting-write GameKeys 0",
                             "grammar-load 初始默认语音命令集.xml", "rules off"}));
  EXPECT_EQ(marked(), Own);
}

}  // namespace
}  // namespace sayvane::testing
