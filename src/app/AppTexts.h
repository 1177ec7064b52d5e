// What the main window, start-up and the character say to the user.
#pragma once

#include <string_view>

namespace sayvane {

inline constexpr std::u16string_view kSettingsApplication = u"Sayvane";
inline constexpr std::u16string_view kSettingsSection = u"Startup";
inline constexpr std::u16string_view kSettingsKey = u"Check1";
inline constexpr std::u16string_view kCharacterId = u"merlin";
inline constexpr std::u16string_view kCharacterFile = u"/merlin.acs";
inline constexpr int kCharacterLanguage = 1033;
inline constexpr std::u16string_view kGreeting = u"在我身上点鼠标右键,就可以看到已有的语音命令.";
// The manual that ships beside the program; the logo and the help button open it.
inline constexpr std::u16string_view kManualFile = u"Sayvane帮助.html";

inline constexpr std::u16string_view kStartupTips =
    u"最好进行语音训练，如果你普通话很标准，也可不必进行语音训练，但必须按照下面的提示配置麦克风。\r\n"
    u"打开“控制面板”，双击“语音”图标。在“语音识别”页下，先确保“语言”下拉列表里是中文识别引擎，\r\n"
    u"即“Microsoft Simplified Chinese Recgnizer”或者“Microsoft 中文(简体) 识别器”，如果不是，\r\n"
    u"请点击下拉列表选择中文识别引擎。然后点击“配置麦克风”按钮，按照提示一步一步完成麦克风配置。\r\n"
    u"再点击“训练配置文件”按钮，按照提示一步一步完成语音训练，训练的过程就是让你念一大段文字，\r\n"
    u"这样语音识别引擎就可以更准确的识别你的声音。哦，不要忘了打开你的麦克风。\r\n"
    u"\r\n"
    u"我是Sayvane，我可以使你用语音控制鼠标键盘，打开程序，文件，音乐，以及输入一段设置好的文字。\r\n"
    u"\r\n"
    u"在动画人物身上点鼠标右键，就可看到已有语音命令。你也可添加语音命令，或者更换其他的语音命令集。";
// A first start in a folder the user cannot write (C:\Program Files without administrator
// rights): the program can keep no set there, so it names the folder and ends.
inline constexpr std::u16string_view kFolderNotWritable = u"无法在程序文件夹“";
inline constexpr std::u16string_view kFolderNotWritableEnd =
    u"”中写入默认的语音命令集。\r\n"
    u"请把整个程序文件夹移到你可以写入的地方（例如“文档”或桌面，而不是 C:\\Program Files），再启动Sayvane。";
// The folder can be written, but an entry of a default set's name stands in the way.
inline constexpr std::u16string_view kDefaultsBlocked = u"无法写入默认的语音命令集：程序文件夹“";
inline constexpr std::u16string_view kBlockedByFolder = u"”中有一个名为“";
inline constexpr std::u16string_view kBlockedByFolderEnd =
    u"”的文件夹，占用了语音命令集文件的名字。\r\n请删除这个文件夹或给它改名，再启动Sayvane。";
inline constexpr std::u16string_view kBlockedByFile = u"”中的文件“";
inline constexpr std::u16string_view kBlockedByFileEnd = u"”无法被替换。\r\n请删除这个文件或给它改名，再启动Sayvane。";

}  // namespace sayvane
