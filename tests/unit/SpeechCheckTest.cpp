// The speech check's report and conclusion, and the window the menu shows it in.
#include "speech/SpeechCheck.h"

#include "ProgramTest.h"

namespace sayvane::testing {
namespace {

using enum RecognizerChoice;

// A recognizer created (or refused with `created`'s code), on one engine and one input, whose
// rules answered `rules`.
RecognizerSurvey tried(std::uint32_t created, std::uint32_t rules = 0, std::u16string engine = u"中文识别器") {
  RecognizerSurvey found{created == 0, created == 0 && rules == 0, {{u"创建", created}}};
  if (created != 0) return found;
  found.engines = {{engine, u"804"}};
  found.engineInUse = 0;
  found.audioInputs = {{u"麦克风", u""}};
  found.steps.push_back({u"CmdSetRuleIdState(0, 1)", rules});
  return found;
}

TEST(SpeechCheck, NamesTheRoadTakenAndWhetherItHearsExplainsEachFailureAndAdvisesWhenNoneCan) {
  const struct {
    RecognizerSurvey shared, own;
    RecognizerChoice chosen;
    bool canListen;
    std::u16string_view conclusion;
  } cases[] = {
      {tried(0), tried(0), Own, true, u"结论：Sayvane 会使用 Sayvane 自己的识别器，它能听。"},
      {tried(0x80040154), tried(0), Shared, true, u"结论：Sayvane 会使用 Sayvane 自己的识别器，它能听。"},
      {tried(0), tried(0, 0x00045057), Own, true,
       u"结论：Sayvane 会使用 Sayvane 自己的识别器，但它不能听；请在通知区域图标的菜单里选“使用 Windows 语音识别”，它能听。"},
      {tried(0, 0, u"English"), tried(0x80040154), Shared, false,
       u"结论：没有能听的识别器。请在 Windows 的“设置 > 时间和语言 > 语言和区域”里添加“中文(简体)”，"
       u"在它的语言选项里安装“语音识别”，接好麦克风，然后再做一次语音检查。"},
  };
  for (const auto& c : cases) {
    const auto check = checkSpeech({u"Windows 10.0.19045", c.shared, c.own}, c.chosen);
    SCOPED_TRACE(toUtf8(check.report));
    EXPECT_EQ(check.canListen, c.canListen);
    EXPECT_EQ(check.report.substr(check.report.rfind(u'\n') + 1), c.conclusion);  // the last line
  }
  const auto report = checkSpeech({u"", tried(0, 0, u"English"), tried(0, 0x00045057)}, Shared).report;
  EXPECT_TRUE(contains(report, u"  CmdSetRuleIdState(0, 1)：0x00045057\r\n    识别器没有音频输入，什么也听不到"));
  EXPECT_TRUE(contains(report, u"  用来听的不是中文识别引擎"));
  EXPECT_TRUE(contains(report, u"  识别引擎：English（语言 804）\r\n  用来听的识别引擎：English\r\n  音频输入：麦克风\r\n"));
}

// From the notification icon's menu: what the simulated system offers, in a window.
TEST_F(Program, TheSpeechCheckFromTheMenuShowsTheReportInAWindow) {
  options.noSharedRecognizer = true;
  startQuietly();
  window->trayCommand(TrayChoice::CheckSpeech);
  EXPECT_THAT(take(), ElementsAre(::testing::AllOf(
                          ::testing::StartsWith("text-window 语音检查|Sayvane 语音检查\\n系统：模拟的系统\\n"),
                          ::testing::EndsWith("结论：Sayvane 会使用 Sayvane 自己的识别器，它能听。"))));
}

}  // namespace
}  // namespace sayvane::testing
