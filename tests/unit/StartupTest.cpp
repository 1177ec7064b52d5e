// The program's start: tips, the default sets, the recognizer checks, and what happens without
// speech, a character or a readable initial set.
#include "ProgramTest.h"

#include "app/AppTexts.h"

namespace sayvane::testing {
namespace {

const std::string kTips = messageLine(u"提示", kStartupTips);
const std::string kGreets = "speak " + toUtf8(kGreeting);
const std::string kNoEngine = messageLine(u"Sayvane", kStartupFailure, "critical");

TEST_F(Program, StartsWithTipsUnlessTheSettingIsOneCharacterHiddenWindowAndTheInitialSetSwitchedOn) {
  addSet(u"初始默认语音命令集", {{u"CloseSoft", u"退出"}, {u"Alt+F4", u"IE浏览器"}, {u"OpenShow", u"Tobrin"}});
  addSet(u"Windows", {{u"CloseSoft", u"退出"}});
  addSet(u"IE浏览器", {{u"CloseSoft", u"退出"}});
  options.setting.reset();
  EXPECT_EQ(start(), (Lines{kTips, "character show", kGreets, "main-window hide",
                            "grammar-load 初始默认语音命令集.xml", "rules off", "menu-add 退出", "menu-add ie浏览器",
                            "menu-add tobrin", "rules on"}));
  EXPECT_EQ(utf8(ui().List2.items), (Lines{"IE浏览器", "Windows", "初始默认语音命令集"}));
  EXPECT_EQ(ui().List2.selection, 2);
  EXPECT_EQ(ui().Label5.caption, u"当前使用的语音命令集：初始默认语音命令集");
  EXPECT_EQ(ui().Command5.caption, u"停止当前的语音命令集");
  EXPECT_FALSE(ui().Check1.checked);
  EXPECT_FALSE(window->shown());
  // Only the exact setting "1" suppresses the tips.
  for (const char16_t* value : {u"0", u"", u"1 ", u"yes"}) {
    options.setting = std::u16string(value);
    EXPECT_EQ(firstOf(start()), kTips) << toUtf8(value);
    EXPECT_FALSE(ui().Check1.checked);
  }
  options.setting = u"1";
  const auto lines = start();
  // The tick box is ticked through its own click, which stores the value again.
  EXPECT_EQ(firstOf(lines), "setting-write Check1 1");
  EXPECT_THAT(lines, Not(Contains(kTips)));
  EXPECT_TRUE(ui().Check1.checked);
}

TEST_F(Program, AFirstStartWritesTheDefaultSetsOrNamesTheFolderItCannotWriteAndAFolderWithAnySetIsLeftAlone) {
  const auto first = start();
  EXPECT_THAT(first, Contains("write 初始默认语音命令集.xml"));
  EXPECT_EQ(files.files.size(), 8u);
  EXPECT_TRUE(sim->rulesActive());

  files.files.clear();
  addSet(u"我的", {{u"CloseSoft", u"退出"}});
  const auto second = start();
  EXPECT_EQ(files.files.size(), 1u);
  // No initial set: nothing is selected, and the switch says so.
  EXPECT_THAT(second, Contains("message 提示|请选择一个语音命令集!"));
  EXPECT_FALSE(sim->rulesActive());
  EXPECT_TRUE(window->characterMenu().entries().empty());
  // With nothing in the character's menu, the window is the only way left to the user.
  EXPECT_EQ(lastOf(second), "main-window show");
  EXPECT_TRUE(window->shown());

  // A first start that cannot write the defaults names the folder, leaves it empty and ends.
  files.files.clear();
  const std::string notWritable =
      "message Sayvane|无法在程序文件夹“C:\\Sayvane”中写入默认的语音命令集。\\n"
      "请把整个程序文件夹移到你可以写入的地方（例如“文档”或桌面，而不是 C:\\Program Files），再启动Sayvane。";
  files.failWrites = true;
  EXPECT_EQ(start(), (Lines{"setting-write Check1 1", notWritable, "quit"}));

  files.failWrites = false;
  files.unwritable = {u"点歌台.xml"};
  const auto partly = start();
  EXPECT_THAT(partly, Contains("delete Windows.xml"));
  EXPECT_THAT(Lines(partly.end() - 2, partly.end()), ElementsAre(notWritable, "quit"));
  EXPECT_TRUE(files.files.empty());

  // The folder takes files, but a folder of a set's name does not: that entry is named instead.
  files.unwritable.clear();
  files.folders = {u"初始默认语音命令集.xml"};
  EXPECT_THAT(start(), Contains("message Sayvane|无法写入默认的语音命令集：程序文件夹“C:\\Sayvane”中有一个名为“初始默认语音命令集.xml”"
                                "的文件夹，占用了语音命令集文件的名字。\\n请删除这个文件夹或给它改名，再启动Sayvane。"));
  EXPECT_TRUE(files.files.empty());
}

TEST_F(Program, WithoutSpeechTheStartupFailureEndsStartWithoutACharacterVoiceCommandsStillWork) {
  addSet(u"初始默认语音命令集", kInitialEntries);
  options.noSpeech = true;
  EXPECT_EQ(start(), (Lines{"setting-write Check1 1", "character show", kGreets, "main-window hide", kNoEngine,
                            "main-window show"}));
  EXPECT_TRUE(ui().SREngines.items.empty());
  for (const auto* control : {"Command7", "Image1", "Check1"}) EXPECT_TRUE(window->click(control));
  EXPECT_THAT(take(), ElementsAre("help-window", "shell-open C:\\Sayvane\\Sayvane帮助.html",
                                  "shell-open C:\\Sayvane\\Sayvane帮助.html", "setting-delete Startup"));
  window->close();
  EXPECT_THAT(take(), ElementsAre("quit"));

  // Without a character, voice commands still work.
  options.noSpeech = false;
  options.noCharacter = true;
  EXPECT_THAT(start(), Not(Contains(kGreets)));
  EXPECT_TRUE(sim->rulesActive());
  EXPECT_EQ(command(u"关闭窗口"), (Lines{"key-down 0x12", "key-down 0x73", "key-up 0x12", "key-up 0x73"}));
  // Acting on a character that is not there fails, as before a program start it ends the action.
  EXPECT_TRUE(command(u"变大").empty());
}

// An English-only recognizer is refused on selection and on the switch; otherwise the engine in use is
// the entry shown, and a Chinese one elsewhere in the list must be selected.
TEST_F(Program, TheEngineInUseIsTheEntryShownAndMustBeChineseOrAChineseOneElsewhereInTheListMustBeSelected) {
  addSet(u"初始默认语音命令集", kInitialEntries);
  options.recognizers = {u"Microsoft Speech Recognizer 8.0 for Windows (English - US)"};
  const auto lines = start();
  EXPECT_THAT(lines, Contains("message 提示|没有安装中文语音包！或者没有安装中文语音识别引擎！具体安装方法请点击“帮助”按钮！"));
  EXPECT_THAT(lines, Contains("message 提示|必须使用中文识别引擎，请修改成中文识别引擎！"));
  EXPECT_THAT(lines, Not(Contains("rules on")));
  EXPECT_TRUE(window->library().loadedName().empty());
  EXPECT_EQ(ui().Command5.caption, u"更改为选中的语音命令");
  EXPECT_EQ(enabled(), kAllEnabled);
  EXPECT_EQ(lastOf(lines), "main-window show");

  options.recognizers = {u"English engine", u"Microsoft Speech Recognizer 8.0 for Windows (CHINESE Simplified - PRC)"};
  options.recognizerInUse = 1;
  EXPECT_THAT(start(), Contains("rules on"));
  EXPECT_EQ(ui().SREngines.selection, 1);
  // An entry that is not in the list is no choice: entry 0, as the shared recognizer shows it.
  options.recognizerInUse = 2;
  EXPECT_THAT(start(), Contains("message 提示|必须使用中文识别引擎，请修改成中文识别引擎！"));
  EXPECT_EQ(ui().SREngines.selection, 0);
  options.recognizerInUse = 0;
  EXPECT_THAT(start(),
              Contains("message 提示|必须使用中文识别引擎，请修改成中文识别引擎！请在控制面板的语音项下修改！"));
  sim->agentCommand(u"添加语音命令");
  // Choosing the Chinese entry in the list is what the check reads; then the set loads.
  EXPECT_TRUE(window->select("SREngines", 1));
  EXPECT_TRUE(window->select("List2", 0));
  EXPECT_EQ(window->library().loadedName(), u"初始默认语音命令集");
  EXPECT_TRUE(window->listener().grammarLoaded());
}

// The recognizer started and only the file is at fault: it is named, and the window offers the other sets.
TEST_F(Program, ABrokenInitialSetIsNamedWithItsCauseAndTheWindowOffersTheOtherSets) {
  const std::string whole = *codePage->encode(setTextWithEntries(kInitialEntries)).bytes;
  const auto inPhrase = whole.find("</P>");
  for (const auto& [bytes, cause] : {std::pair<std::string, std::string>{
           whole.substr(0, inPhrase) + "\x81\x20\xFF" + whole.substr(inPhrase),
           "语音命令集文件“初始默认语音命令集.xml”不是有效的GBK编码文本，无法读取。"},
       {"", "语音识别引擎无法载入语音命令集文件“初始默认语音命令集.xml”：文件是空的。"}}) {
    files.files = {{u"初始默认语音命令集.xml", bytes}};
    addSet(u"Windows", {{u"CloseSoft", u"退出"}});
    const auto lines = start();
    EXPECT_THAT(lines, Contains("message Sayvane|" + cause + "\\n请在语音命令集列表中选中另一个语音命令集来使用。"));
    EXPECT_THAT(lines, Not(Contains(kNoEngine)));
    EXPECT_EQ(lastOf(lines), "main-window show");
    selectSet(u"Windows");
    EXPECT_EQ(lastOf(click("Command5")), "rules on");
  }
}

}  // namespace
}  // namespace sayvane::testing
