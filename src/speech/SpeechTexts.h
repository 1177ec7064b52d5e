// What the set switch, the grammar loads and the test mode say to the user.
#pragma once

#include <string_view>

#include "platform/Recognizer.h"

namespace sayvane {

inline constexpr std::u16string_view kStartupFailure =
    u"没有安装语音识别引擎！ 请安装微软的语音识别引擎！下载地址是：\r\n"
    u"https://support.microsoft.com/zh-cn/windows/language-packs-for-windows-a5094319-a92d-18de-5b53-1cfc697cfca8";
inline constexpr std::u16string_view kGrammarLoadFailedOnSelect =
    u"出现错误，可能是以下一种原因造成：１．无效的语音词汇文件！２．没有安装语音识别引擎！３．没有安装中文语音包！"
    u"详细的下载安装方法请看帮助！";
// The set start-up switches on could not be used: the file is named, never the recognizer blamed.
inline constexpr std::u16string_view kSetRefused = u"语音识别引擎无法载入语音命令集文件“";
inline constexpr std::u16string_view kSetRefusedUnknownCause = u"语音识别引擎不接受文件的内容";
inline constexpr std::u16string_view kChooseAnotherSet = u"\r\n请在语音命令集列表中选中另一个语音命令集来使用。";
inline constexpr std::u16string_view kGrammarLoadFailedOnAdd = u"无效的语音词汇文件！用户不能直接修改语音词汇文件！";
inline constexpr std::u16string_view kMustUseChinese = u"必须使用中文识别引擎，请修改成中文识别引擎！";
inline constexpr std::u16string_view kChangeInControlPanel = u"请在控制面板的语音项下修改！";
inline constexpr std::u16string_view kNoChineseEngine = u"没有安装中文语音包！或者没有安装中文语音识别引擎！";
inline constexpr std::u16string_view kSeeHelp = u"具体安装方法请点击“帮助”按钮！";
inline constexpr std::u16string_view kSelectASet = u"请选择一个语音命令集!";
inline constexpr std::u16string_view kSelectedSetNotLoaded =
    u"选中的语音命令集没有载入，不能使用。请在列表中重新选中它，等它的语音命令显示出来再使用。";
inline constexpr std::u16string_view kAudioBusy = u"没有激活语音词汇文件，可能是声音设备被其他程序使用！";
inline constexpr std::u16string_view kActiveSetLabel = u"当前使用的语音命令集：";
inline constexpr std::u16string_view kNoActiveSetLabel = u"当前没有使用任何语音命令集";
inline constexpr std::u16string_view kStopSetCaption = u"停止当前的语音命令集";
inline constexpr std::u16string_view kUseSetCaption = u"更改为选中的语音命令集";
inline constexpr std::u16string_view kStopTestCaption = u"停止测试词汇";
inline constexpr std::u16string_view kStartTestCaption = u"开始测试词汇";
// The notification icon's menu entries of the two recognizers; the message when the one chosen
// cannot be had is made of them.
inline constexpr std::u16string_view kUseSharedRecognizer = u"使用 Windows 语音识别";
inline constexpr std::u16string_view kUseOwnRecognizer = u"使用 Sayvane 自己的识别器";
inline constexpr std::u16string_view kNoRecognizer = u"无法启动语音识别器，Sayvane 现在听不到任何语音命令。";
inline constexpr std::u16string_view kTestInstructions =
    u"在第一次使用语音命令前，\r\n最好把对应的语音词汇念一遍，\r\n直到每个词都被正确识别，\r\n"
    u"如被正确识别在文本框中会出现对应的文字，\r\n如果遇到不能识别，\r\n或者两个词的发音相近，\r\n应该修改成其他词汇。";

// "使用 Windows 语音识别" or "使用 Sayvane 自己的识别器".
std::u16string_view recognizerName(RecognizerChoice choice);

}  // namespace sayvane
