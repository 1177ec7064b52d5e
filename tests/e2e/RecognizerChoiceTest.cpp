// Both recognizers on the system: the shared one hears first, the user switches between them
// from the notification icon's menu and the program remembers it; our own without a microphone
// cannot listen, and the user is told so.
#include <gmock/gmock.h>

#include "app/win32/WindowClasses.h"
#include "e2e/ProgramFixture.h"
#include "platform/DiagnosticRecord.h"
#include "speech/SpeechTexts.h"
#include "text/Text.h"

namespace e2e {
namespace {

using sayvane::toUtf8;

// The rules switched on, whatever the answer.
constexpr std::string_view kRulesAsked = "ISpeechRecoGrammar.CmdSetRuleIdState(0, 1)";

// The diagnostic record's lines without their time stamps, once it holds `last` (it is written
// when the program waits); nothing unless it begins with the UTF-8 byte-order mark.
std::vector<SimCall> recordOnceItHolds(const std::filesystem::path& file, const std::string& last) {
  std::vector<SimCall> lines;
  waitFor([&] {
    const std::string all = fileText(file);
    lines.clear();
    for (std::size_t at = 3, end; all.starts_with("\xEF\xBB\xBF") && (end = all.find("\r\n", at)) != std::string::npos;
         at = end + 2)
      lines.push_back({0, all.substr(at + 24, end - at - 24)});  // after "2026-12-08 09:30:01.250 "
    return !callsStartingWith(lines, last).empty();
  });
  return lines;
}

// Both recognizers and the character control, but no character file.
class BothRecognizers : public ProgramTest {
 protected:
  System system() const override { return {true, true, false, true}; }

  // Chooses a recognizer from the menu: the old context goes before the new one is made, and the
  // loaded set comes into it; the calls from then on, once the rules have been set.
  std::vector<SimCall> use(std::u16string_view caption, std::string_view rules) {
    const std::size_t skip = readSimLog(simLog).size();
    EXPECT_TRUE(chooseFromTrayMenu(caption));
    EXPECT_TRUE(waitForCall(simLog, rules, 10s, skip)) << rules;
    return readSimLog(simLog, skip);
  }
};

TEST_F(BothRecognizers, TheMenuSwitchesAtOnceBothWaysAndTheNextStartTakesTheChoiceWhereOursHasNoMicrophone) {
  startListening();
  // The shared one; the control cannot load the missing file, is asked nothing more, and the
  // built-in character stands in.
  auto calls = readSimLog(simLog);
  EXPECT_EQ(callsStartingWith(calls, "create Sp"), std::vector<std::string>{"create SpSharedRecoContext"});
  const auto loads = callsStartingWith(calls, "Characters.Load(");
  EXPECT_TRUE(loads.size() == 1 && loads[0].ends_with("-> error 0x80070002")) << ::testing::PrintToString(loads);
  EXPECT_TRUE(callsStartingWith(calls, "Character.").empty());
  EXPECT_TRUE(waitFor([&] { return visible(program.waitWindow(sayvane::win32::kCharacterWindowClass)); }));

  const std::string on(kRulesOn);
  calls = use(sayvane::kUseOwnRecognizer, on);
  EXPECT_TRUE(inOrder(calls, {"SpSharedRecoContext.Unadvise -> ok", "release SpSharedRecoContext",
                              "create SpInprocRecognizer", initialSetLoaded(), std::string(kRulesOff), on}));
  ASSERT_NO_FATAL_FAILURE(closeTheWindowInFrontBySpeech(L"own.log"));
  // The record: the system, the character and voice, each step of both starts with its answer,
  // and what was heard.
  const auto record = folder / std::u16string(sayvane::kRecordFile);
  const auto lines = recordOnceItHolds(record, "听到：关闭窗口");
  ASSERT_FALSE(lines.empty());
  EXPECT_THAT(lines[0].text, ::testing::ContainsRegex("^Sayvane .* 启动；Windows .*位系统，.*位程序"));
  EXPECT_TRUE(inOrder(
      lines, {"角色控件：Characters.Load(merlin, " + toUtf8(folder.u16string()) + "/merlin.acs) -> 0x80070002",
              "角色：系统的角色控件载入不了角色，用 Sayvane 自己的角色", "声音：创建 SpVoice -> ok",
              "识别器：创建 SpSharedRecoContext -> ok", "识别器：GetRecognizers：1 个：模拟识别引擎 (中文)",
              "识别器：使用 Windows 语音识别", "识别器：CmdSetRuleIdState(0, 1) -> ok",
              "通知区域菜单：使用 Sayvane 自己的识别器", "识别器：创建 SpInprocRecognizer -> ok",
              "识别器：SpInprocRecognizer.Recognizer = 模拟识别引擎 (中文) -> ok",
              "识别器：SpInprocRecognizer.AudioInput = 模拟麦克风 -> ok", "识别器：CmdSetRuleIdState(0, 1) -> ok",
              "听到：Tobrin（唤醒）", "听到：关闭窗口 → 执行 Alt+F4"}));
  calls = use(sayvane::kUseSharedRecognizer, on);
  EXPECT_TRUE(inOrder(calls, {"SpInprocRecoContext.Unadvise -> ok", "release SpInprocRecoContext",
                              "create SpSharedRecoContext", initialSetLoaded(), std::string(kRulesOff), on}));
  ASSERT_NO_FATAL_FAILURE(closeTheWindowInFrontBySpeech(L"shared.log"));
  use(sayvane::kUseOwnRecognizer, on);
  ASSERT_TRUE(chooseFromTrayMenu(u"退出"));
  ASSERT_EQ(program.waitExit(10s), 0);

  // Our own first now. Without an audio input its rules answer a success code that is not S_OK:
  // the user hears of the sound device and the window shows no set in use.
  SetEnvironmentVariableW(L"SAYVANE_SIM_AUDIO_INPUTS", L"");
  std::size_t skip = readSimLog(simLog).size();
  startToMainWindow(true, sayvane::kAudioBusy, false);
  calls = readSimLog(simLog, skip);
  EXPECT_EQ(callsStartingWith(calls, "create Sp"), std::vector<std::string>{"create SpInprocRecognizer"});
  EXPECT_EQ(callsStartingWith(calls, kRulesAsked), std::vector<std::string>{std::string(kRulesAsked) + " -> 0x00045057"});
  EXPECT_EQ(text16(control(main, "Label5")), u"");
  EXPECT_TRUE(enabled(control(main, "Command1")));
  EXPECT_EQ(say(u"Tobrin"), "ignored");
  EXPECT_TRUE(inOrder(recordOnceItHolds(record, "提示框：" + toUtf8(sayvane::kAudioBusy)),
                      {"识别器：CmdSetRuleIdState(0, 1) -> 0x00045057", "提示框：" + toUtf8(sayvane::kAudioBusy)}));

  // The menu as the user sees it; then the shared one, with the set still off until switched on.
  const HWND menu = openTrayMenu();
  ASSERT_NE(menu, nullptr);
  snapshot(menu, "tray-menu");
  ASSERT_TRUE(closePopupMenu(program));
  calls = use(sayvane::kUseSharedRecognizer, kRulesOff);
  EXPECT_TRUE(callsStartingWith(calls, kRulesAsked).empty());
  skip = readSimLog(simLog).size();
  ASSERT_TRUE(click(main, "Command5"));
  EXPECT_TRUE(waitForCall(simLog, on, 5s, skip));
  EXPECT_EQ(say(u"Tobrin"), "recognition");
  closeAndExpectExit();
}

// sayvane-tool speech-check against the stand-ins: with both, with only ours, with none.
TEST_F(BothRecognizers, TheToolsSpeechCheckNamesTheRoadAndFailsWhereNoneCanListen) {
  struct Road {
    const wchar_t* name;
    std::optional<StandIn> removed;  // before this run
    long status;
    std::vector<std::string> said;
  };
  for (const auto& road :
       {Road{L"both", {}, 0, {"  GetAudioInputs(\"\", \"\")：ok", "结论：Sayvane 会使用 Windows 语音识别，它能听。"}},
        Road{L"ours", StandIn::recognizer, 0,
             {"  创建 SpSharedRecoContext：0x80040154\r\n    本机没有安装这个识别器",
              "结论：Sayvane 会使用 Sayvane 自己的识别器，它能听。"}},
        Road{L"none", StandIn::inprocRecognizer, 1,
             {"结论：没有能听的识别器。请在 Windows 的“设置 > 时间和语言 > 语言和区域”里添加“中文(简体)”"}}}) {
    if (road.removed) ASSERT_TRUE(setRegistered(*road.removed, false));
    const auto output = folder / (road.name + std::wstring(L".txt"));
    const Process tool = startDespiteWine([&] {
      StartAttempt attempt{Process(programBuild() / L"sayvane-tool.exe", L"speech-check", folder, output)};
      (void)attempt.process.waitExit(60s);
      std::error_code error;  // it prints on every road
      attempt.showedLife = std::filesystem::file_size(output, error) > 0 && !error;
      return attempt;
    });
    EXPECT_EQ(tool.waitExit(0ms), road.status) << road.name;
    const std::string report = fileText(output);
    for (const auto& said : road.said) EXPECT_NE(report.find(said), std::string::npos) << report;
  }
}

}  // namespace
}  // namespace e2e
