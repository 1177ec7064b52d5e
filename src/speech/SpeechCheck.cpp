#include "speech/SpeechCheck.h"

#include <string>

#include "platform/DiagnosticRecord.h"
#include "speech/SpeechTexts.h"
#include "text/Text.h"

namespace sayvane {
namespace {

// What a failing answer means to the user, and what to do about it.
struct Meaning {
  std::uint32_t code;
  std::u16string_view text;
};
constexpr Meaning kMeanings[] = {
    {0x80040154, u"本机没有安装这个识别器（类没有注册）：请用另一个识别器。"},
    {0x80080005, u"Windows 语音识别没能启动：请重新启动电脑再试，或者改用 Sayvane 自己的识别器。"},
    {0x00045057, u"识别器没有音频输入，什么也听不到：请接好麦克风，并在 Windows 的声音设置里把它设为默认的输入设备。"},
    {0x80045078, u"找不到音频输入设备：请接好麦克风并设为输入设备；用 Windows 语音识别时，先在控制面板里设置一次语音识别。"},
    {0x80045006, u"麦克风正被其他程序使用：关掉录音、语音聊天等程序后再试。"},
    {0x80045008, u"录音设备被停用了：请在 Windows 的声音设置里启用麦克风。"},
    {0x80045009, u"没有录音设备的驱动程序：请安装声卡或麦克风的驱动程序。"},
    {0x80070005, u"没有权限：请在 Windows 的“隐私和安全性 > 麦克风”里允许桌面应用使用麦克风。"},
    {0x8000FFFF, u"识别器给出的列表读不出来：语音组件可能坏了，请重新安装中文语音识别。"},
    {0x80004001, u"这个系统的语音组件没有实现这一步。"},
};
constexpr std::u16string_view kUnknownMeaning = u"没有说明的错误：请把这份报告连同诊断记录（Sayvane.log）交给帮你的人。";

std::u16string_view meaningOf(std::uint32_t code) {
  for (const auto& meaning : kMeanings)
    if (meaning.code == code) return meaning.text;
  return kUnknownMeaning;
}

bool chineseEngineListens(const RecognizerSurvey& found) {
  return found.listens && found.engineInUse && *found.engineInUse < found.engines.size() &&
         namesChineseEngine(found.engines[*found.engineInUse].description);
}

std::u16string listed(const std::vector<SpeechToken>& tokens) {
  if (tokens.empty()) return u"没有";
  std::u16string text;
  for (const auto& token : tokens) {
    if (!text.empty()) text += u"，";
    text += token.description;
    if (!token.language.empty()) text += concat({u"（语言 ", token.language, u"）"});
  }
  return text;
}

std::u16string inUse(const std::vector<SpeechToken>& tokens, const std::optional<std::size_t>& index,
                     std::u16string_view none) {
  return index && *index < tokens.size() ? tokens[*index].description : std::u16string(none);
}

void addRecognizer(std::u16string& report, std::u16string_view title, const RecognizerSurvey& found) {
  report += concat({u"\r\n【", title, u"】\r\n"});
  for (const auto& step : found.steps) {
    report += concat({u"  ", step.call, u"：", answerText(step.answer), u"\r\n"});
    if (step.answer != 0) report += concat({u"    ", meaningOf(step.answer), u"\r\n"});
  }
  if (!found.created) return;
  report += concat({u"  识别引擎：", listed(found.engines), u"\r\n  用来听的识别引擎：",
                    inUse(found.engines, found.engineInUse, u"识别器自己默认的那个"), u"\r\n  音频输入：",
                    listed(found.audioInputs), u"\r\n"});
  if (found.listens && !chineseEngineListens(found))
    report += u"  用来听的不是中文识别引擎：请安装中文(简体)的语音识别；用 Windows 语音识别时，在控制面板的语音项里选中文识别引擎。\r\n";
  report += chineseEngineListens(found) ? u"  能听。\r\n" : u"  不能听。\r\n";
}

}  // namespace

SpeechCheck checkSpeech(const SpeechSurvey& survey, RecognizerChoice chosen) {
  SpeechCheck check;
  auto& report = check.report;
  report = concat({u"Sayvane 语音检查\r\n系统：", survey.system, u"\r\n"});
  addRecognizer(report, u"Windows 语音识别（共享识别器）", survey.shared);
  addRecognizer(report, u"Sayvane 自己的识别器（程序内识别器）", survey.own);
  report += concat({u"\r\n声音：", listed(survey.voices)});
  if (survey.voiceList.answer != 0)
    report += concat({u"（", survey.voiceList.call, u"：", answerText(survey.voiceList.answer), u"）"});
  report += u"\r\n\r\n";

  // The road the program takes is the first recognizer it can create, the chosen one first.
  const auto other = chosen == RecognizerChoice::Own ? RecognizerChoice::Shared : RecognizerChoice::Own;
  const auto of = [&](RecognizerChoice which) -> const RecognizerSurvey& {
    return which == RecognizerChoice::Own ? survey.own : survey.shared;
  };
  check.canListen = chineseEngineListens(survey.shared) || chineseEngineListens(survey.own);
  if (!check.canListen) {
    report += u"结论：没有能听的识别器。请在 Windows 的“设置 > 时间和语言 > 语言和区域”里添加“中文(简体)”，在它的语言选项里安装“语音识别”，接好麦克风，然后再做一次语音检查。";
    return check;
  }
  const auto road = of(chosen).created ? chosen : other;
  if (chineseEngineListens(of(road)))
    report += concat({u"结论：Sayvane 会", recognizerName(road), u"，它能听。"});
  else
    report += concat({u"结论：Sayvane 会", recognizerName(road), u"，但它不能听；请在通知区域图标的菜单里选“",
                      recognizerName(road == chosen ? other : chosen), u"”，它能听。"});
  return check;
}

}  // namespace sayvane
