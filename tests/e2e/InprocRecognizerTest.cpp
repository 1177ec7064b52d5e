// The real program on a system without the shared recognizer (as today's Windows may be): it
// runs an in-process recognizer itself, on the Chinese engine, and then hears as before.
#include <windows.h>

#include "app/AppTexts.h"
#include "app/win32/WindowClasses.h"
#include "commandsets/DefaultSets.h"
#include "e2e/ProgramFixture.h"
#include "e2e/driver/SpeechSim.h"
#include "e2e/driver/TargetLog.h"
#include "speech/SpeechTexts.h"
#include "text/Text.h"

namespace e2e {
namespace {

using sayvane::concat;

constexpr std::string_view kRulesOn = "ISpeechRecoGrammar.CmdSetRuleIdState(0, 1) -> ok";

// The recognizer's side of the log, up to the first switching on of the rules.
std::vector<std::string> recognizerStart(const std::vector<SimCall>& calls) {
  std::vector<std::string> start;
  for (const auto& call : calls) {
    if (!call.text.starts_with("Sp") && !call.text.starts_with("ISpeech") && !call.text.starts_with("create Sp")) continue;
    start.push_back(call.text);
    if (call.text == kRulesOn) break;
  }
  return start;
}

class InProcess : public ProgramTest {
 protected:
  // Only the in-process recognizer, and the character control.
  System system() const override { return {false, true, true, true}; }

  void startListening() {
    launch();
    expectMessage(u"提示", sayvane::kStartupTips);
    ASSERT_TRUE(waitForCall(simLog, kRulesOn, 10s));
    main = program.waitWindow(sayvane::win32::kMainWindowClass);
    ASSERT_NE(main, nullptr);
  }
};

TEST_F(InProcess, StartsOnTheChineseEngineAndTheDefaultInputThenHearsAndSwitchesAsTheSharedOne) {
  SetEnvironmentVariableW(L"SAYVANE_SIM_RECOGNIZERS", L"Microsoft English Recognizer|模拟识别引擎 (中文)");
  startListening();
  const std::string initialSet = "\"" + sayvane::toUtf8(setFile(sayvane::kInitialSetName).u16string()) + "\"";
  EXPECT_EQ(recognizerStart(readSimLog(simLog)),
            (std::vector<std::string>{
                "create SpInprocRecognizer", "SpInprocRecognizer.GetRecognizers(\"\", \"\") -> 2",
                "ISpeechObjectTokens.Count -> 2", "ISpeechObjectTokens.Item(0) -> ok",
                "ISpeechObjectToken.GetDescription(0) -> \"Microsoft English Recognizer\"",
                "ISpeechObjectTokens.Item(1) -> ok", "ISpeechObjectToken.GetDescription(0) -> \"模拟识别引擎 (中文)\"",
                "SpInprocRecognizer.Recognizer = object -> ok \"模拟识别引擎 (中文)\"",
                "SpInprocRecognizer.GetAudioInputs(\"\", \"\") -> 1", "ISpeechObjectTokens.Count -> 1",
                "ISpeechObjectTokens.Item(0) -> ok", "SpInprocRecognizer.AudioInput = object -> ok \"模拟麦克风\"",
                "SpInprocRecognizer.CreateRecoContext() -> ok", "SpInprocRecoContext.Advise -> ok",
                // From here on, the shared path's calls.
                "SpInprocRecoContext.CreateGrammar(1) -> ok", "ISpeechRecoGrammar.DictationLoad(\"\", 0) -> ok",
                "ISpeechRecoGrammar.DictationSetState(0) -> ok", "SpInprocRecoContext.EventInterests -> 11",
                "SpInprocRecoContext.EventInterests = 27 -> ok", "SpInprocRecoContext.EventInterests -> 27",
                "SpInprocRecoContext.EventInterests = 539 -> ok",
                "ISpeechRecoGrammar.CmdLoadFromFile(" + initialSet + ", 1) -> ok",
                "ISpeechRecoGrammar.CmdSetRuleIdState(0, 0) -> ok", std::string(kRulesOn)}));

  Target target = startTarget(folder / L"target.log");
  ASSERT_TRUE(target.ready);
  EXPECT_EQ(say(u"Tobrin"), "recognition");
  EXPECT_EQ(say(u"关闭窗口"), "recognition");
  EXPECT_EQ(target.process.waitExit(5s), 0);
  const auto keys = eventsOf(readTargetLog(target.log), {"syskeydown", "keydown"});
  ASSERT_GE(keys.size(), 2u);
  EXPECT_EQ(keys[0].value, "12");  // Alt, then F4
  EXPECT_EQ(keys[1].value, "73");

  // Shown until the clear timer empties it a second later, which a loaded machine may outrun.
  const auto said = std::chrono::steady_clock::now();
  EXPECT_EQ(say(u"今天天气怎么样"), "false-recognition");
  const auto shown = text16(control(main, "Text4"));
  EXPECT_TRUE(shown == u"没有识别重新念" || std::chrono::steady_clock::now() - said > 1s) << sayvane::toUtf8(shown);

  // The list shows the engine that listens; the set switch turns it off and on again.
  ASSERT_EQ(chooseFromMenu(u"添加语音命令"), "command");
  ASSERT_TRUE(waitFor([&] { return visible(main); }));
  EXPECT_EQ(selection(control(main, "SREngines")), 1);
  std::size_t skip = readSimLog(simLog).size();
  ASSERT_TRUE(click(main, "Command5"));
  EXPECT_TRUE(waitForCall(simLog, "ISpeechRecoGrammar.CmdSetRuleIdState(0, 0) -> ok", 5s, skip));
  EXPECT_TRUE(waitFor([&] { return text16(control(main, "Label5")) == sayvane::kNoActiveSetLabel; }));
  EXPECT_EQ(say(u"Tobrin"), "ignored");
  skip = readSimLog(simLog).size();
  ASSERT_TRUE(click(main, "Command5"));
  EXPECT_TRUE(waitForCall(simLog, kRulesOn, 5s, skip));
  EXPECT_TRUE(waitFor([&] { return text16(control(main, "Command5")) == sayvane::kStopSetCaption; }));
  EXPECT_EQ(say(u"Tobrin"), "recognition");
  closeAndExpectExit();
}

TEST_F(InProcess, WithTheSharedRecognizerThereTooTheSharedOneIsUsed) {
  ASSERT_TRUE(setRegistered(StandIn::recognizer, true));
  startListening();
  const auto calls = readSimLog(simLog);
  const auto start = recognizerStart(calls);
  ASSERT_FALSE(start.empty());
  EXPECT_EQ(start.front(), "create SpSharedRecoContext");
  EXPECT_TRUE(callsStartingWith(calls, "create SpInprocRecognizer").empty());
  EXPECT_EQ(say(u"Tobrin"), "recognition");
}

// Only an English engine, through either recognizer: both messages, nothing switched on, and the
// window is the way left to the user. The in-process recognizer is left on its own default.
class EnglishOnly : public ProgramTest, public ::testing::WithParamInterface<bool> {
 protected:
  System system() const override { return {!GetParam(), true, true, GetParam()}; }
};

TEST_P(EnglishOnly, IsRefusedWithBothMessagesAndTheWindowComesBack) {
  SetEnvironmentVariableW(L"SAYVANE_SIM_RECOGNIZERS", L"Microsoft English Recognizer v5.1");
  launch();
  expectMessage(u"提示", sayvane::kStartupTips);
  expectMessage(u"提示", concat({sayvane::kNoChineseEngine, sayvane::kSeeHelp}));
  expectMessage(u"提示", sayvane::kMustUseChinese);
  main = program.waitWindow(sayvane::win32::kMainWindowClass);
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(waitFor([&] { return visible(main); }));
  EXPECT_EQ(rows16(control(main, "SREngines")), std::vector<std::u16string>{u"Microsoft English Recognizer v5.1"});
  EXPECT_EQ(selection(control(main, "SREngines")), 0);
  const auto calls = readSimLog(simLog);
  EXPECT_EQ(callsStartingWith(calls, "SpInprocRecognizer.CreateRecoContext() -> ok").size(), GetParam() ? 1u : 0u);
  for (const char* never : {"SpInprocRecognizer.Recognizer =", "ISpeechRecoGrammar.CmdLoadFromFile(",
                            "ISpeechRecoGrammar.CmdSetRuleIdState(0, 1)", "Commands.Add("})
    EXPECT_TRUE(callsStartingWith(calls, never).empty()) << never;
  closeAndExpectExit();
}

INSTANTIATE_TEST_SUITE_P(Recognizer, EnglishOnly, ::testing::Values(false, true),
                         [](const auto& shown) { return shown.param ? "InProcess" : "Shared"; });

}  // namespace
}  // namespace e2e
