// The main window's menus and tick box, the game-keys entry, the action-field helpers and the
// voice actions on the window and the character.
#include "ProgramTest.h"

#include "app/Composer.h"

namespace sayvane::testing {
namespace {

using Window = Started;

TEST_F(Window, MenuChoicesShowTheWindowOrQuitAndOthersDoNothing) {
  window->minimize();
  EXPECT_THAT(take(), ElementsAre("main-window hide"));
  EXPECT_FALSE(window->click("Command7"));  // a hidden window takes no clicks
  sim->agentCommand(u"ie浏览器");
  sim->agentCommand(u"关闭窗口");  // a phrase of the menu, but its action is not run
  EXPECT_TRUE(take().empty());
  sim->agentCommand(u"更换语音命令");
  EXPECT_THAT(take(), ElementsAre("main-window show"));
  // The notification icon's entries take the same roads, and "显示" that of OpenShow.
  window->minimize();
  take();
  for (const auto& [choice, effect] : {std::pair{TrayChoice::ShowCharacter, "character show"},
                                       {TrayChoice::ShowMainWindow, "main-window show"}, {TrayChoice::Quit, "quit"}}) {
    window->trayCommand(choice);
    EXPECT_THAT(take(), ElementsAre(effect));
  }
  EXPECT_TRUE(window->quitting());
  sim->agentCommand(u"添加语音命令");
  window->trayCommand(TrayChoice::ShowCharacter);
  EXPECT_TRUE(take().empty());
}

TEST_F(Window, TheTickBoxLeavesTheOptionsAndTheGameKeysEntryActsAtOnceReleasesKeysAsPressedAndIsRemembered) {
  ASSERT_TRUE(window->controls().Check1.checked);
  EXPECT_EQ(click("Check1"), (Lines{"setting-delete Startup"}));
  EXPECT_FALSE(sim->setting());
  EXPECT_EQ(click("Check1"), (Lines{"setting-write Check1 1"}));
  EXPECT_EQ(sim->setting(), u"1");
  // The user's options lie in a section of their own: unticking the box leaves them.
  auto& settings = sim->platform().settings;
  EXPECT_EQ(readOptions(settings), Options{});
  ASSERT_TRUE(writeOptions(settings, {RecognizerChoice::Own, true}));
  click("Check1");
  EXPECT_EQ(readOptions(settings), (Options{RecognizerChoice::Own, true}));
  ASSERT_TRUE(settings.write(u"Sayvane", u"Options", u"Recognizer", u"inproc"));
  ASSERT_TRUE(settings.write(u"Sayvane", u"Options", u"GameKeys", u"yes"));
  EXPECT_EQ(readOptions(settings), Options{});
  // The game keys entry acts at once, releases keys as pressed, and is remembered at the next start.
  const auto entry = [&] { return window->trayMenu().at(2); };
  const auto keysHeard = [&](std::u16string_view phrase) {
    auto lines = command(phrase);
    std::erase_if(lines, [](const std::string& line) { return !line.starts_with("key-"); });
    return lines;
  };
  EXPECT_EQ(entry().caption, u"游戏按键模式");
  EXPECT_FALSE(entry().marked);
  // Switched on, then off in a step's pause: the next step goes bare. Switched off in the
  // middle of a hold: the key still comes up as it went down.
  window->trayCommand(TrayChoice::GameKeys);
  sim->schedule(sim->now() + 200ms, [&] { window->trayCommand(TrayChoice::GameKeys); });
  EXPECT_EQ(keysHeard(u"运行框"), (Lines{"key-down 0x5B scan 0x5B extended", "key-up 0x5B scan 0x5B extended",
                                        "key-down 0x52", "key-up 0x52"}));
  window->trayCommand(TrayChoice::GameKeys);
  const Lines scanned{"key-down 0x28 scan 0x50 extended", "key-up 0x28 scan 0x50 extended"};
  sim->schedule(sim->now() + 300ms, [&] { window->trayCommand(TrayChoice::GameKeys); });
  EXPECT_EQ(keysHeard(u"向下"), scanned);
  // Ticked again, it is on at the next start; a quit in the middle of a hold releases as pressed.
  window->trayCommand(TrayChoice::GameKeys);
  const auto stored = sim->platform().settings.read(u"Sayvane", u"Options", u"GameKeys");
  attach();
  ASSERT_TRUE(stored && sim->platform().settings.write(u"Sayvane", u"Options", u"GameKeys", *stored));
  window->start();
  EXPECT_TRUE(entry().marked);
  sim->schedule(sim->now() + 300ms, [&] { sim->agentCommand(u"退出"); });
  EXPECT_EQ(keysHeard(u"向下"), scanned);
}

TEST_F(Window, ComposerMenusAppendTokensAndOpenBelowThePhrasePanelThePickerReplacesTheActionField) {
  EXPECT_EQ(click("Image4"), (Lines{"popup pop 466 320"}));
  EXPECT_EQ(click("Image5"), (Lines{"popup pop2 492 320"}));
  window->resized(654, 428);  // the phrase panel grows by 50 x 100 and moves 50 to the right
  EXPECT_EQ(click("Image4"), (Lines{"popup pop 551 420"}));
  click("Command5");
  window->type("Text2", u"");
  for (auto item : {"Key3", "Key02", "Key01", "MLBC", "MLBC", "Key6"}) EXPECT_TRUE(window->chooseMenuItem(item));
  EXPECT_EQ(ui().Text2.text, u"LWindows*+MLBCMLBCPrint Screen");
  EXPECT_EQ(take(), Lines{});
  EXPECT_TRUE(window->chooseMenuItem("Key11"));
  EXPECT_EQ(firstOf(take()).substr(0, 15), "message 提示|");
  EXPECT_EQ(ui().Text2.text, u"LWindows*+MLBCMLBCPrint Screen");
  EXPECT_FALSE(window->chooseMenuItem("Key12"));
  EXPECT_EQ(composerItems(ComposerMenu::Mouse).size(), 12u);
  EXPECT_EQ(firstOf(composerItems(ComposerMenu::Keyboard)).token, u"Write[你要输入的文字]");
  // The file picker and the web template replace the field instead.
  window->type("Text2", u"旧的");
  sim->pickCancel();
  EXPECT_EQ(click("Image2"), (Lines{"file-dialog 打开文件|C:\\Sayvane|所有文件|cancel"}));
  EXPECT_EQ(ui().Text2.text, u"旧的");
  sim->pick(u" C:\\Games\\GAME.EXE ");
  click("Image2");
  EXPECT_EQ(ui().Text2.text, u"OpenProgram[C:\\Games\\GAME.EXE]");
  sim->pick(u"D:\\歌\\甜蜜蜜.mp3");
  click("Image2");
  EXPECT_EQ(ui().Text2.text, u"OpenFile[D:\\歌\\甜蜜蜜.mp3]");
  sim->pick(u"D:\\[旧]\\a].txt");
  EXPECT_EQ(lastOf(click("Image2")), "message 提示|" + toUtf8(kPathWithBracket));
  EXPECT_EQ(ui().Text2.text, u"OpenFile[D:\\歌\\甜蜜蜜.mp3]");
  click("Image3");
  EXPECT_EQ(ui().Text2.text, u"OpenIE[http://]");
}

TEST_F(Window, VoiceActionsOnTheCharacterAndTheWindow) {
  EXPECT_EQ(command(u"变大"), (Lines{"speak 变大", "character size 192 128", "character size 192 192"}));
  window->minimize();
  take();
  EXPECT_EQ(command(u"添加语音命令"), (Lines{"speak 添加语音命令", "main-window show"}));
  EXPECT_EQ(command(u"记事本"), (Lines{"speak 记事本", "start-program C:\\WINDOWS\\system32\\notepad.exe"}));
  EXPECT_EQ(command(u"退出"), (Lines{"speak 退出", "quit"}));
}

}  // namespace
}  // namespace sayvane::testing
