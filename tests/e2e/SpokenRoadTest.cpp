// The real program with the stand-in recognizer and character control: what a user says
// reaches the window in front, the character speaks it, and the program asks exactly the
// calls of both services.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>

#include "app/AppTexts.h"
#include "SimulatorWindow.h"
#include "app/win32/CharacterWindow.h"
#include "app/win32/WindowClasses.h"
#include "commandsets/DefaultSets.h"
#include "commandsets/SetText.h"
#include "e2e/ProgramFixture.h"
#include "e2e/driver/Screenshot.h"
#include "e2e/driver/SpeechSim.h"
#include "e2e/driver/TargetLog.h"
#include "speech/SpeechTexts.h"
#include "text/Text.h"

namespace e2e {
namespace {

namespace fs = std::filesystem;
using sayvane::concat;
using sayvane::toUtf8;

std::string inQuotes(std::u16string_view text) { return "\"" + toUtf8(text) + "\""; }
std::string pathInQuotes(const fs::path& path) { return inQuotes(std::u16string_view(path.u16string())); }

std::u16string initialSetText() {
  for (const auto& set : sayvane::defaultSets())
    if (set.name == sayvane::kInitialSetName) return set.text();
  return {};
}

// Both stand-ins and a character file: a system where speech and the character work.
class Spoken : public ProgramTest {
 protected:
  System system() const override { return {true, true, true}; }

  // Starts the program, closes the tips and waits until the initial set is switched on.
  void startSpoken() {
    launch();
    expectMessage(u"提示", sayvane::kStartupTips);
    ASSERT_TRUE(waitForCall(simLog, "ISpeechRecoGrammar.CmdSetRuleIdState(0, 1) -> ok", 10s));
    main = program.waitWindow(sayvane::win32::kMainWindowClass);
    ASSERT_NE(main, nullptr);
  }

  void showMainWindowThroughTheMenu() {
    ASSERT_EQ(chooseFromMenu(u"添加语音命令"), "command");
    ASSERT_TRUE(waitFor([&] { return visible(main); }));
  }

  std::size_t logged() const { return readSimLog(simLog).size(); }
  std::vector<SimCall> callsSince(std::size_t skip) const {
    auto calls = readSimLog(simLog);
    calls.erase(calls.begin(), calls.begin() + static_cast<std::ptrdiff_t>(std::min(skip, calls.size())));
    return calls;
  }
};

TEST_F(Spoken, StartUpLoadsShowsAndGreetsTheCharacterAndSwitchesTheInitialSetOn) {
  startSpoken();
  const auto calls = readSimLog(simLog);
  const std::string loadKey = inQuotes(std::u16string_view(folder.u16string() + u"/merlin.acs"));

  // The control is connected before anything else is asked of it.
  const auto created = std::find_if(calls.begin(), calls.end(), [](const SimCall& c) { return c.text == "create Agent"; });
  ASSERT_NE(created, calls.end());
  ASSERT_NE(created + 1, calls.end());
  EXPECT_EQ(created[1].text, "Agent.Connected = true -> ok");
  EXPECT_TRUE(inOrder(calls, {"Characters.Load(\"merlin\", " + loadKey + ") -> ok", "Characters.Item(\"merlin\") -> ok",
                              "Character.LanguageID = 1033 -> ok", "Character.Show() -> ok",
                              "Character.Speak(" + inQuotes(sayvane::kGreeting) + ") -> ok"}));

  // The recognizer: the list of recognizers, the grammar, both interests added to what was
  // set, the initial set's file loaded with its rules off, then switched on.
  EXPECT_TRUE(inOrder(calls, {"create SpSharedRecoContext", "SpSharedRecoContext.Recognizer -> ok",
                              "ISpeechRecognizer.GetRecognizers(\"\", \"\") -> 1",
                              "ISpeechObjectToken.GetDescription(0) -> \"模拟识别引擎 (中文)\"",
                              "SpSharedRecoContext.CreateGrammar(1) -> ok", "ISpeechRecoGrammar.DictationLoad(\"\", 0) -> ok",
                              "ISpeechRecoGrammar.DictationSetState(0) -> ok", "SpSharedRecoContext.EventInterests -> 11",
                              "SpSharedRecoContext.EventInterests = 27 -> ok", "SpSharedRecoContext.EventInterests -> 27",
                              "SpSharedRecoContext.EventInterests = 539 -> ok",
                              "ISpeechRecoGrammar.CmdLoadFromFile(" + pathInQuotes(setFile(sayvane::kInitialSetName)) + ", 1) -> ok",
                              "ISpeechRecoGrammar.CmdSetRuleIdState(0, 0) -> ok",
                              "ISpeechRecoGrammar.CmdSetRuleIdState(0, 1) -> ok"}));

  // The menu: the initial set's phrases, lower-cased, in file order, each enabled and visible.
  std::vector<std::string> menu;
  for (const auto& entry : sayvane::characterMenuEntries(initialSetText())) {
    const auto name = inQuotes(std::u16string_view(entry));
    menu.push_back("Commands.Add(" + name + ", " + name + ", " + name + ", true, true) -> ok");
  }
  EXPECT_EQ(callsStartingWith(calls, "Commands.Add("), menu);
  EXPECT_FALSE(visible(main));
  EXPECT_EQ(text16(control(main, "Label5")), concat({sayvane::kActiveSetLabel, sayvane::kInitialSetName}));
}

TEST_F(Spoken, APhraseAloneIsOnlySpokenAfterTheWakePhraseItClosesTheWindowInFront) {
  startSpoken();
  Target target = startTarget(folder / L"target.log");
  ASSERT_TRUE(target.ready);

  EXPECT_EQ(say(u"关闭窗口"), "recognition");
  EXPECT_TRUE(waitForCall(simLog, "Character.Speak(\"关闭窗口\") -> ok"));
  EXPECT_TRUE(eventsOf(readTargetLog(target.log), {"keydown", "syskeydown"}).empty());
  EXPECT_TRUE(target.process.running());

  EXPECT_EQ(say(u"Tobrin"), "recognition");
  EXPECT_TRUE(waitForCall(simLog, "Character.Speak(\"Tobrin\") -> ok"));
  EXPECT_EQ(say(u"关闭窗口"), "recognition");
  EXPECT_EQ(target.process.waitExit(5s), 0);
  const auto keys = eventsOf(readTargetLog(target.log), {"syskeydown", "keydown"});
  ASSERT_GE(keys.size(), 2u);
  EXPECT_EQ(keys[0].value, "12");  // Alt, then F4 while Alt is down
  EXPECT_EQ(keys[1].value, "73");
}

TEST_F(Spoken, TheWakePhraseThenNotepadStartsIt) {
  startSpoken();
  auto notepads = [] {
    std::vector<HWND> found;
    EnumWindows(
        [](HWND window, LPARAM list) {
          wchar_t name[64] = {};
          GetClassNameW(window, name, 64);
          if (std::wstring(name) == L"Notepad") reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
  };
  const std::size_t before = notepads().size();
  EXPECT_EQ(say(u"Tobrin"), "recognition");
  EXPECT_EQ(say(u"记事本"), "recognition");
  ASSERT_TRUE(waitFor([&] { return notepads().size() > before; }, 20s));
  for (HWND notepad : notepads()) PostMessageW(notepad, WM_CLOSE, 0, 0);
  // No message box: the program was found and started.
  EXPECT_EQ(findMessageBox(program), nullptr);
}

TEST_F(Spoken, AFalseRecognitionShowsItsMessageAndItClearsWithinASecond) {
  startSpoken();
  const HWND result = control(main, "Text4");
  EXPECT_EQ(say(u"今天天气怎么样"), "false-recognition");
  const auto shown = std::chrono::steady_clock::now();
  EXPECT_EQ(text16(result), u"没有识别重新念");
  ASSERT_TRUE(waitFor([&] { return text16(result).empty(); }, 3s));
  const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - shown);
  EXPECT_LE(elapsed.count(), 1300);
  std::printf("[ figures  ] \"没有识别重新念\" cleared %lld ms after the false recognition was handled\n",
              static_cast<long long>(elapsed.count()));
  EXPECT_FALSE(visible(result));  // outside the test mode the field stays hidden
  // Nothing was spoken for it.
  EXPECT_TRUE(callsStartingWith(readSimLog(simLog), "Character.Speak(\"今天").empty());
}

TEST_F(Spoken, TheSetSwitchTurnsTheRulesOffAndOnAndTheTestModeShowsPhrasesWithoutActing) {
  startSpoken();
  showMainWindowThroughTheMenu();
  const HWND result = control(main, "Text4");

  std::size_t skip = logged();
  ASSERT_TRUE(click(main, "Command5"));
  EXPECT_TRUE(waitForCall(simLog, "Commands.RemoveAll() -> ok", 5s, skip));
  EXPECT_TRUE(waitForCall(simLog, "ISpeechRecoGrammar.CmdSetRuleIdState(0, 0) -> ok", 5s, skip));
  EXPECT_TRUE(waitFor([&] { return text16(control(main, "Command5")) == sayvane::kUseSetCaption; }));
  EXPECT_EQ(text16(control(main, "Label5")), sayvane::kNoActiveSetLabel);
  EXPECT_TRUE(enabled(control(main, "SREngines")));
  EXPECT_EQ(say(u"Tobrin"), "ignored");  // nothing is heard while no set is on

  skip = logged();
  ASSERT_TRUE(click(main, "Command6"));
  expectMessage(u"提示", sayvane::kTestInstructions);
  EXPECT_TRUE(waitForCall(simLog, "ISpeechRecoGrammar.CmdSetRuleIdState(0, 1) -> ok", 5s, skip));
  EXPECT_TRUE(waitFor([&] { return visible(result); }));
  Target target = startTarget(folder / L"target.log");
  ASSERT_TRUE(target.ready);
  skip = logged();
  EXPECT_EQ(say(u"Tobrin"), "recognition");
  EXPECT_EQ(text16(result), u"Tobrin");
  ASSERT_TRUE(waitFor([&] { return text16(result).empty(); }, 3s));
  EXPECT_EQ(say(u"关闭窗口"), "recognition");
  EXPECT_EQ(text16(result), u"关闭窗口");
  // Shown only: nothing spoken, no key sent, the window in front still open.
  EXPECT_TRUE(callsStartingWith(callsSince(skip), "Character.Speak(").empty());
  EXPECT_TRUE(eventsOf(readTargetLog(target.log), {"keydown", "syskeydown"}).empty());
  EXPECT_TRUE(target.process.running());

  skip = logged();
  ASSERT_TRUE(click(main, "Command6"));
  EXPECT_TRUE(waitForCall(simLog, "ISpeechRecoGrammar.CmdSetRuleIdState(0, 0) -> ok", 5s, skip));
  EXPECT_TRUE(waitFor([&] { return text16(control(main, "Command6")) == sayvane::kStartTestCaption; }));
  skip = logged();
  ASSERT_TRUE(click(main, "Command5"));
  EXPECT_TRUE(waitForCall(simLog, "ISpeechRecoGrammar.CmdSetRuleIdState(0, 1) -> ok", 5s, skip));
  EXPECT_TRUE(waitForCall(simLog, "Commands.Add(\"退出\"", 5s, skip));
  EXPECT_TRUE(waitFor([&] { return text16(control(main, "Command5")) == sayvane::kStopSetCaption; }));
  EXPECT_FALSE(enabled(control(main, "SREngines")));
}

TEST_F(Spoken, TheCharacterMenuShowsTheMainWindowAndQuits) {
  startSpoken();
  EXPECT_FALSE(visible(main));
  EXPECT_EQ(chooseFromMenu(u"IE浏览器"), "not-in-menu");  // the menu holds lower-cased phrases only
  showMainWindowThroughTheMenu();
  PostMessageW(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  ASSERT_TRUE(waitFor([&] { return !visible(main); }));
  // The program may be gone before the stand-in can answer.
  const auto reply = chooseFromMenu(u"退出");
  EXPECT_TRUE(!reply || *reply == "command");
  EXPECT_EQ(program.waitExit(10s), 0);
}

TEST_F(Spoken, AddingAPhraseMakesItHeardAndDeletingItLeavesItWithoutAction) {
  startSpoken();
  showMainWindowThroughTheMenu();
  ASSERT_TRUE(click(main, "Command5"));  // off: the editor is locked while a set is on
  ASSERT_TRUE(waitFor([&] { return enabled(control(main, "Command1")); }));
  std::size_t skip = logged();
  ASSERT_TRUE(typeText(main, "Text1", u"按键甲"));
  ASSERT_TRUE(typeText(main, "Text2", u"A"));
  ASSERT_TRUE(click(main, "Command1"));
  // The file is rewritten and loaded into the grammar again.
  EXPECT_TRUE(waitForCall(simLog, "ISpeechRecoGrammar.CmdLoadFromFile(" + pathInQuotes(setFile(sayvane::kInitialSetName)) + ", 1) -> ok",
                          5s, skip));
  ASSERT_TRUE(click(main, "Command5"));
  EXPECT_TRUE(waitForCall(simLog, "Commands.Add(\"按键甲\", \"按键甲\", \"按键甲\", true, true) -> ok", 5s, skip));

  Target target = startTarget(folder / L"target.log");
  ASSERT_TRUE(target.ready);
  EXPECT_EQ(say(u"Tobrin"), "recognition");
  EXPECT_EQ(say(u"按键甲"), "recognition");
  ASSERT_TRUE(waitForEvent(target.log, "keyup"));
  auto keys = eventsOf(readTargetLog(target.log), {"keydown", "keyup"});
  ASSERT_EQ(keys.size(), 2u);
  EXPECT_EQ(keys[0].value, "41");

  // Deleting rewrites the file only: the recognizer still hears the phrase, and it does nothing.
  ASSERT_TRUE(click(main, "Command5"));
  const HWND phrases = control(main, "List1");
  ASSERT_TRUE(waitFor([&] { return enabled(phrases); }));
  const auto items = rows16(phrases);
  const auto added = std::find(items.begin(), items.end(), u"按键甲(A)");
  ASSERT_NE(added, items.end());
  ASSERT_TRUE(selectRow(phrases, static_cast<int>(added - items.begin())));
  ASSERT_TRUE(click(main, "Command4"));
  ASSERT_TRUE(waitFor([&] { return rows16(phrases).size() + 1 == items.size(); }));
  ASSERT_TRUE(click(main, "Command5"));
  ASSERT_TRUE(waitFor([&] { return text16(control(main, "Command5")) == sayvane::kStopSetCaption; }));
  SetForegroundWindow(target.window);
  ASSERT_TRUE(waitFor([&] { return GetForegroundWindow() == target.window; }));
  EXPECT_EQ(say(u"Tobrin"), "recognition");
  EXPECT_EQ(say(u"按键甲"), "recognition");
  EXPECT_EQ(eventsOf(readTargetLog(target.log), {"keydown", "keyup"}).size(), 2u);
}

TEST_F(Spoken, ABusyAudioDeviceIsReportedAndTheButtonsStayAsTheyWere) {
  SetEnvironmentVariableW(L"SAYVANE_SIM_AUDIO_BUSY", L"1");
  launch();
  expectMessage(u"提示", sayvane::kStartupTips);
  expectMessage(u"Sayvane", sayvane::kAudioBusy);
  main = program.waitWindow(sayvane::win32::kMainWindowClass);
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(waitFor([&] { return visible(main); }));
  EXPECT_TRUE(waitForCall(simLog, "ISpeechRecoGrammar.CmdSetRuleIdState(0, 1) -> error"));
  EXPECT_EQ(text16(control(main, "Command5")), u"更改为选中的语音命令");
  for (const char* name : {"Command1", "Command3", "Command4", "Command6", "List2", "SREngines"})
    EXPECT_TRUE(enabled(control(main, name))) << name;
  EXPECT_EQ(say(u"Tobrin"), "ignored");
  // The menu that the switch had filled was taken back with it.
  const auto calls = readSimLog(simLog);
  EXPECT_TRUE(inOrder(calls, {"Commands.Add(\"退出\", \"退出\", \"退出\", true, true) -> ok", "Commands.RemoveAll() -> ok"}));
  closeAndExpectExit();
}

// No character control on the system: the program's own character stands in for it.
class BuiltInCharacter : public Spoken {
 protected:
  System system() const override { return {true, false, true}; }
};

TEST_F(BuiltInCharacter, TakesOverShowsWhatIsSpokenAndOffersTheMenu) {
  startSpoken();
  const HWND character = program.waitWindow(sayvane::win32::kCharacterWindowClass);
  ASSERT_NE(character, nullptr);
  EXPECT_TRUE(waitFor([&] { return visible(character); }));
  EXPECT_TRUE(GetWindowLongPtrW(character, GWL_EXSTYLE) & WS_EX_TOPMOST);
  const HWND bubble = program.waitWindow(sayvane::win32::kSpeechBubbleClass);
  ASSERT_NE(bubble, nullptr);
  EXPECT_TRUE(waitFor([&] { return text16(bubble) == sayvane::kGreeting; }));
  EXPECT_TRUE(callsStartingWith(readSimLog(simLog), "create Agent").empty());

  // What is heard is spoken by it, and the window in front keeps the focus.
  Target target = startTarget(folder / L"target.log");
  ASSERT_TRUE(target.ready);
  EXPECT_EQ(say(u"Tobrin"), "recognition");
  EXPECT_TRUE(waitFor([&] { return text16(bubble) == u"Tobrin" && visible(bubble); }));
  EXPECT_EQ(GetForegroundWindow(), target.window);

  // "变大" grows it by half.
  const RECT before = screenRect(character);
  EXPECT_EQ(say(u"变大"), "recognition");
  EXPECT_TRUE(waitFor([&] {
    const RECT now = screenRect(character);
    return now.right - now.left == (before.right - before.left) * 3 / 2;
  }));

  // Its menu opens on a right click and lists the set's phrases.
  PostMessageW(character, WM_RBUTTONUP, 0, MAKELPARAM(10, 10));
  EXPECT_NE(waitPopupMenu(program), nullptr);
  EXPECT_TRUE(closePopupMenu(program));
}

TEST_F(BuiltInCharacter, ItsMenuShowsTheMainWindowAndQuits) {
  startSpoken();
  const HWND character = program.waitWindow(sayvane::win32::kCharacterWindowClass);
  ASSERT_NE(character, nullptr);
  ASSERT_TRUE(waitFor([&] { return visible(character); }));
  // Chosen with the keyboard in the real menu: the second entry of the initial set.
  PostMessageW(character, WM_RBUTTONUP, 0, MAKELPARAM(10, 10));
  const HWND menu = waitPopupMenu(program);
  ASSERT_NE(menu, nullptr);
  for (WPARAM key : {VK_DOWN, VK_DOWN, VK_RETURN}) PostMessageW(menu, WM_KEYDOWN, key, 0);
  ASSERT_TRUE(waitFor([&] { return visible(main); }));
  PostMessageW(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  ASSERT_TRUE(waitFor([&] { return !visible(main); }));
  // "退出" is the first entry.
  PostMessageW(character, WM_COMMAND, MAKEWPARAM(sayvane::win32::kFirstCommandId, 0), 0);
  EXPECT_EQ(program.waitExit(10s), 0);
}

// As the run command starts it: the recognizer stand-in with its window, the built-in character.
TEST_F(BuiltInCharacter, APhraseTypedIntoTheSimulatorActsOnTheWindowThatWasInFrontOfIt) {
  SetEnvironmentVariableW(L"SAYVANE_SIM_WINDOW", L"1");
  startSpoken();
  const HWND simulator = program.waitWindow(speechsim::kSimulatorWindowClass);
  ASSERT_NE(simulator, nullptr);
  EXPECT_TRUE(visible(simulator));
  Target target = startTarget(folder / L"target.log");
  ASSERT_TRUE(target.ready);
  // The user clicks into the simulator, types the phrase and presses Enter.
  auto typeIntoSimulator = [&](std::wstring_view phrase) {
    const HWND edit = control(simulator, speechsim::kSimulatorEdit);
    const RECT field = screenRect(edit);
    SetCursorPos((field.left + field.right) / 2, (field.top + field.bottom) / 2);
    mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
    mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    ASSERT_TRUE(waitFor([&] { return GetForegroundWindow() == simulator; }));
    ASSERT_TRUE(typeText(edit, phrase));
    PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
  };

  typeIntoSimulator(L"Tobrin");
  ASSERT_TRUE(waitForCall(simLog, "event Recognition(\"Tobrin\")"));
  EXPECT_TRUE(waitFor([&] { return GetForegroundWindow() == target.window; }));
  EXPECT_TRUE(waitFor([&] { return text16(control(simulator, speechsim::kSimulatorStatus)) == u"已识别：Tobrin"; }));
  EXPECT_TRUE(text16(control(simulator, speechsim::kSimulatorEdit)).empty());

  // What a newcomer sees: the simulator, the built-in character with its bubble, the target.
  writePng(captureScreen(), artifactFolder() / "speech-simulator.png");

  // Alt+F4 goes to the window the focus was handed back to, not to the simulator.
  typeIntoSimulator(L"关闭窗口");
  EXPECT_EQ(target.process.waitExit(10s), 0);
  EXPECT_TRUE(visible(simulator));
  EXPECT_TRUE(program.running());
}

TEST_F(BuiltInCharacter, StandsInAlsoWhenTheCharacterFileIsMissing) {
  ASSERT_TRUE(setRegistered(StandIn::character, true));
  fs::remove(folder / L"merlin.acs");
  startSpoken();
  const HWND character = program.waitWindow(sayvane::win32::kCharacterWindowClass);
  ASSERT_NE(character, nullptr);
  EXPECT_TRUE(waitFor([&] { return visible(character); }));
  const auto calls = readSimLog(simLog);
  const auto loads = callsStartingWith(calls, "Characters.Load(");
  ASSERT_EQ(loads.size(), 1u);
  EXPECT_NE(loads[0].find("-> error"), std::string::npos);
  // Nothing more is asked of a control whose character did not load.
  EXPECT_TRUE(callsStartingWith(calls, "Character.").empty());
}

}  // namespace
}  // namespace e2e
