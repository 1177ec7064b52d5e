// The real program with the stand-in recognizers and character control: what a user says
// reaches the window in front, the character speaks it, and the program makes the calls of both
// services that carry meaning. Each story starts the program once.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>

#include "SimulatorWindow.h"
#include "app/AppTexts.h"
#include "app/win32/WindowClasses.h"
#include "commandsets/DefaultSets.h"
#include "e2e/ProgramFixture.h"
#include "e2e/driver/TargetLog.h"
#include "speech/SpeechTexts.h"
#include "text/Text.h"

namespace e2e {
namespace {

using sayvane::concat;
using sayvane::toUtf8;

std::string inQuotes(std::u16string_view text) { return "\"" + toUtf8(text) + "\""; }

// Both stand-ins and a character file: a system where speech and the character work.
class Spoken : public ProgramTest {
 protected:
  System system() const override { return {true, true, true}; }
};

// A start hears the wake phrase and acts on the window in front; a second start without the
// shared recognizer (as today's Windows may be) runs an in-process one itself, on the Chinese
// engine, and then hears as before.
TEST_F(Spoken, AStartHearsTheWakePhraseAndActsOnTheWindowInFrontThenWithoutTheSharedRecognizerOursHearsAsIt) {
  startListening();
  // The control is connected before anything else is asked of it, then the character greets.
  const auto calls = readSimLog(simLog);
  EXPECT_NE(std::adjacent_find(calls.begin(), calls.end(), [](const SimCall& a, const SimCall& b) {
              return a.text == "create Agent" && b.text == "Agent.Connected = true -> ok";
            }), calls.end());
  const std::string loadKey = inQuotes(std::u16string_view(folder.u16string() + u"/merlin.acs"));
  EXPECT_TRUE(inOrder(calls, {"Characters.Load(\"merlin\", " + loadKey + ") -> ok", "Character.LanguageID = 1033 -> ok",
                              "Character.Show() -> ok",
                              "Character.Speak(" + inQuotes(sayvane::kGreeting) + ") -> ok"}));
  // The recognizer: dictation off, the initial set's file loaded with its rules off, then switched
  // on; the menu holds its phrases lower-cased.
  EXPECT_TRUE(inOrder(calls, {"create SpSharedRecoContext", "ISpeechRecoGrammar.DictationSetState(0) -> ok",
                              initialSetLoaded(), std::string(kRulesOff), "Commands.Add(\"tobrin\", \"tobrin\", \"tobrin\", true, true) -> ok",
                              std::string(kRulesOn)}));
  EXPECT_EQ(text16(control(main, "Label5")), concat({sayvane::kActiveSetLabel, sayvane::kInitialSetName}));

  // The wake phrase is spoken; the phrase after it closes the window in front.
  ASSERT_NO_FATAL_FAILURE(closeTheWindowInFrontBySpeech(L"target.log"));

  // The menu shows the main window.
  ASSERT_EQ(chooseFromMenu(u"添加语音命令"), "command");
  EXPECT_TRUE(waitFor([&] { return visible(main); }));
  closeAndExpectExit();

  ASSERT_TRUE(setRegistered(StandIn::recognizer, false) && setRegistered(StandIn::inprocRecognizer, true));
  SetEnvironmentVariableW(L"SAYVANE_SIM_RECOGNIZERS", L"Microsoft English Recognizer|模拟识别引擎 (中文)");
  startListening();
  EXPECT_TRUE(inOrder(readSimLog(simLog),
                      {"create SpInprocRecognizer", "SpInprocRecognizer.Recognizer = object -> ok \"模拟识别引擎 (中文)\"",
                       "SpInprocRecognizer.AudioInput = object -> ok \"模拟麦克风\"",
                       initialSetLoaded(), std::string(kRulesOn)}));
  ASSERT_NO_FATAL_FAILURE(closeTheWindowInFrontBySpeech(L"own.log"));
  // The list shows the engine that listens.
  EXPECT_EQ(selection(control(main, "SREngines")), 1);
  closeAndExpectExit();
}

// No character control on the system: the program's own character stands in for it. Started as
// the run command starts it, with the recognizer stand-in's window.
class BuiltInCharacter : public Spoken {
 protected:
  System system() const override { return {true, false, true, false, true}; }
};

TEST_F(BuiltInCharacter, TakesOverSpeaksWithoutTakingTheFocusAndTheSimulatorActsOnTheWindowInFront) {
  startListening();
  const HWND character = program.waitWindow(sayvane::win32::kCharacterWindowClass);
  EXPECT_TRUE(waitFor([&] { return visible(character); }));
  const HWND bubble = program.waitWindow(sayvane::win32::kSpeechBubbleClass);
  EXPECT_TRUE(waitFor([&] { return text16(bubble) == sayvane::kGreeting; }));

  // What is heard is spoken by it, and the window in front keeps the focus.
  Target target = startTarget(folder / L"target.log");
  ASSERT_TRUE(target.ready);
  EXPECT_EQ(say(u"Tobrin"), "recognition");
  EXPECT_TRUE(waitFor([&] { return text16(bubble) == u"Tobrin" && visible(bubble); }));
  EXPECT_EQ(GetForegroundWindow(), target.window);

  // The user clicks into the simulator, types a phrase and presses Enter: it acts on the window
  // that was in front of the simulator, which gets the focus back.
  const HWND simulator = program.waitWindow(speechsim::kSimulatorWindowClass);
  const HWND edit = control(simulator, speechsim::kSimulatorEdit);
  const auto typeIntoSimulator = [&](std::u16string_view phrase) {
    const RECT field = screenRect(edit);
    SetCursorPos((field.left + field.right) / 2, (field.top + field.bottom) / 2);
    mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
    mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    ASSERT_TRUE(waitFor([&] { return GetForegroundWindow() == simulator; }));
    ASSERT_TRUE(typeText(edit, phrase));
    PostMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
  };
  typeIntoSimulator(u"Tobrin");
  ASSERT_TRUE(waitForCall(simLog, "event Recognition(\"Tobrin\")", 5s, 0));
  EXPECT_TRUE(waitFor([&] { return GetForegroundWindow() == target.window; }));
  EXPECT_TRUE(waitFor([&] { return text16(control(simulator, speechsim::kSimulatorStatus)) == u"已识别：Tobrin"; }));
  EXPECT_TRUE(text16(edit).empty());
  // What a newcomer sees: the simulator, the built-in character with its bubble, the target.
  snapshot(GetDesktopWindow(), "speech-simulator");
  typeIntoSimulator(u"关闭窗口");
  EXPECT_EQ(target.process.waitExit(10s), 0);
  EXPECT_TRUE(visible(simulator));
  EXPECT_TRUE(program.running());
}

// Every way of quitting, with the wake phrase armed: the character and the notification icon are
// seen gone while the program still runs, and it has ended at once.
class BuiltInCharacterQuit : public BuiltInCharacter, public ::testing::WithParamInterface<std::string> {};

TEST_P(BuiltInCharacterQuit, TakesTheCharacterAndTheIconAwayFirstAndEndsAtOnce) {
  startListening();
  const HWND character = program.waitWindow(sayvane::win32::kCharacterWindowClass);
  ASSERT_TRUE(waitFor([&] { return visible(character); }));
  const HWND tray = trayOwner();  // taken now: the icon is asked about by its owner after the window has gone
  ASSERT_TRUE(trayIconShown(tray));
  const std::string way = GetParam();
  if (way == "CloseBox")
    ASSERT_TRUE(say(u"Tobrin") == "recognition" && say(u"添加语音命令") == "recognition" && waitFor([&] { return visible(main); }));
  EXPECT_EQ(say(u"Tobrin"), "recognition");
  // From a menu, the quit is the key that chooses "退出", first in the initial set, last for the icon.
  if (way == "CharacterMenu") PostMessageW(character, WM_RBUTTONUP, 0, MAKELPARAM(10, 10));
  const HWND menu = way == "TrayMenu" ? openTrayMenu() : way == "CharacterMenu" ? waitPopupMenu(program) : nullptr;
  for (int i = way == "TrayMenu" ? trayMenuPosition(u"退出") : menu ? 1 : 0; i > 0; --i) PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);

  const long long asked = microsNow();
  if (way == "Speech") ASSERT_TRUE(sayWithoutWaiting(u"退出"));
  if (way == "CloseBox") PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
  if (menu) PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
  // The program is asked after the windows, so what went before it ended is seen gone while it runs.
  long long characterGone = 0, iconGone = 0, ended = 0;
  for (const long long deadline = asked + 10'000'000; !ended && microsNow() < deadline; Sleep(1)) {
    const bool characterShown = !characterGone && visible(character), iconShown = !iconGone && trayIconShown(tray);
    const bool running = program.running();
    const long long now = microsNow();
    characterGone = characterGone || characterShown ? characterGone : now;
    iconGone = iconGone || iconShown ? iconGone : now;
    ended = running ? 0 : now;
  }
  ASSERT_NE(ended, 0) << "the program did not end";
  EXPECT_EQ(program.waitExit(0ms), 0);
  const auto ms = [&](long long at) { return (at - asked) / 1000.0; };
  std::printf("[ figures  ] quit by %s: the character gone after %.1f ms, the icon after %.1f ms, the program after %.1f ms\n",
              way.c_str(), ms(characterGone), ms(iconGone), ms(ended));
  EXPECT_LT(ms(ended), 200.0);
  EXPECT_LT(characterGone, ended);
  EXPECT_LT(iconGone, ended);
}

INSTANTIATE_TEST_SUITE_P(Ways, BuiltInCharacterQuit, ::testing::Values("Speech", "CharacterMenu", "TrayMenu", "CloseBox"),
                         [](const auto& info) { return info.param; });

// The recognizer refuses the initial set (the folder holds only it, cut off after its "<L>"): the
// file is named, not the recognizer blamed, and the window offers the set list, with the
// recognizer started and nothing switched on.
TEST_F(Spoken, AnInitialSetCutShortIsNamedAndTheWindowOffersTheSetList) {
  std::ofstream(setFile(sayvane::kInitialSetName)) << "<GRAMMAR LANGID=\"804\">\n<RULE TOPLEVEL=\"ACTIVE\">\n<L>\n";
  startToMainWindow(true,
                    concat({sayvane::kSetRefused, u"初始默认语音命令集.xml”：文件不完整，缺少结尾的“</GRAMMAR>”。",
                            sayvane::kChooseAnotherSet}),
                    false);
  EXPECT_TRUE(waitFor([&] { return enabled(control(main, "List2")); }));
  closeAndExpectExit();
}

}  // namespace
}  // namespace e2e
