// Choosing between the shared recognizer and the program's own from the notification icon's menu.
#include "ProgramTest.h"

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
  // The window shows the set on: editor locked, menu filled; or off: all open, the label says so.
  bool shownOn() const { return enabled() == "Command2 Command5" && window->characterMenu().filled(); }
  bool shownOff() const {
    return enabled() == kAllEnabled && !window->characterMenu().filled() && ui().Label5.caption == kNoActiveSetLabel;
  }
};

TEST_F(Choice, SwitchesAtOnceBothWaysWithTheSetAndItsRulesAsTheyWereAndIsRemembered) {
  options.recognizers = {u"English", u"中文识别器"};
  options.recognizerInUse = 1;
  startQuietly();
  EXPECT_EQ(marked(), Shared);
  for (const auto choice : {Own, Shared}) {
    EXPECT_THAT(use(choice), ElementsAre(choice == Own ? "setting-write Recognizer own" : "setting-write Recognizer shared",
                                         "setting-write GameKeys 0", "grammar-load 初始默认语音命令集.xml", "rules off",
                                         "rules on"));
    EXPECT_EQ(sim->recognizerInUse(), choice);
    EXPECT_EQ(marked(), choice);
    EXPECT_TRUE(shownOn());
    EXPECT_EQ(ui().SREngines.selection, 1);
    EXPECT_EQ(command(u"关闭窗口").size(), 5u);
  }
  // The one in use, chosen again, is only remembered; a stopped set stays stopped; a running test is
  // stopped first.
  EXPECT_EQ(use(Shared).size(), 2u);
  click("Command5");
  EXPECT_EQ(lastOf(use(Own)), "rules off");
  click("Command6");
  EXPECT_EQ(lastOf(use(Shared)), "rules off");
  EXPECT_FALSE(window->listener().testing());
  EXPECT_EQ(ui().Command6.caption, kStartTestCaption);
  EXPECT_EQ(enabled(), kAllEnabled);
  EXPECT_FALSE(sim->rulesActive());
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
  EXPECT_FALSE(sim->rulesActive() || window->listener().rulesActive());
  EXPECT_EQ(ui().Command5.caption, kUseSetCaption);
  EXPECT_TRUE(shownOff());

  sim->options().audioBusy = false;
  click("Command5");
  ASSERT_TRUE(shownOn());
  sim->options().noSpeech = true;
  EXPECT_EQ(lastOf(use(Shared)), "message Sayvane|" + toUtf8(kNoRecognizer));
  EXPECT_EQ(marked(), std::nullopt);
  EXPECT_TRUE(ui().SREngines.items.empty());
  EXPECT_TRUE(shownOff());
  // Once one can be had again, choosing it brings the loaded set back into it.
  sim->options().noSpeech = false;
  EXPECT_EQ(lastOf(use(Own)), "rules off");
  EXPECT_EQ(marked(), Own);
  EXPECT_EQ(sim->grammarPhrases().size(), kInitialEntries.size());
}

}  // namespace
}  // namespace sayvane::testing
