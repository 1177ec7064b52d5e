// The real Sayvane.exe in a throw-away program folder, started and driven from outside.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "commandsets/SetText.h"
#include "e2e/driver/Process.h"
#include "e2e/driver/SpeechSim.h"
#include "e2e/driver/Ui.h"
#include "speech/SpeechTexts.h"

namespace e2e {

// Where the program keeps its settings (HKCU), as Visual-Basic-style SaveSetting does: the
// start-up setting, and the user's options in a section of their own.
inline constexpr wchar_t kSettingsKey[] = L"Software\\VB and VBA Program Settings\\Sayvane";
inline constexpr wchar_t kSettingKey[] = L"Software\\VB and VBA Program Settings\\Sayvane\\Startup";
inline constexpr wchar_t kOptionsKey[] = L"Software\\VB and VBA Program Settings\\Sayvane\\Options";

// The stand-in's log lines of the grammar's rules switched on and off.
inline constexpr std::string_view kRulesOn = "ISpeechRecoGrammar.CmdSetRuleIdState(0, 1) -> ok";
inline constexpr std::string_view kRulesOff = "ISpeechRecoGrammar.CmdSetRuleIdState(0, 0) -> ok";

// Where the entry with `caption` stands in the notification icon's menu, counted from 1 as the
// keyboard walks it (separators skipped).
int trayMenuPosition(std::u16string_view caption);
// A stored value under `key`; nothing when it is absent.
std::optional<std::wstring> storedValue(const wchar_t* key, const wchar_t* name);
// Whether the notification area holds the icon of `owner` (only then NIM_SETVERSION takes it).
bool trayIconShown(HWND owner);
// The default sets' names as the main window lists them, by file name.
std::vector<std::u16string> defaultSetNamesSorted();

class ProgramTest : public ::testing::Test {
 public:
  // What the machine offers the program besides Windows itself. By default nothing: no speech
  // recognizer and no character control, as on a system without speech.
  struct System {
    bool recognizer = false;        // the stand-in recognizer is registered
    bool character = false;         // the stand-in character control is registered
    bool characterFile = false;     // "merlin.acs" lies in the program folder
    bool inprocRecognizer = false;  // the stand-in in-process recognizer is registered
    bool simulatorWindow = false;   // the recognizer stand-in shows its window, as the run command starts it
  };
  virtual System system() const { return {}; }
  // A folder to start Sayvane.exe in as it is (an unpacked release) instead of a fresh copy
  // of the build's program; the test leaves it in place.
  virtual std::optional<std::filesystem::path> shippedFolder() const { return std::nullopt; }

  void SetUp() override;
  void TearDown() override;

  // Starts Sayvane.exe from the program folder.
  void launch();
  // Expects the next message box to read exactly `text` under `caption`, with or without the
  // error icon and with only `buttons`, owned by the main window while it is shown (by none
  // before), and answers it with the first of them. With a `picture` name, the box is also
  // pictured and must show its text and its button drawn.
  void expectMessage(std::u16string_view caption, std::u16string_view text, bool icon = false,
                     const char* picture = nullptr, const std::vector<int>& buttons = {IDOK});
  // Start-up where the recognizer cannot listen: the tips unless the setting says not, the box
  // saying why (by default the start-up failure of a system without a recognizer, pictured), then
  // the main window is shown.
  void startToMainWindow(bool tips = true, std::u16string_view failure = sayvane::kStartupFailure, bool icon = true);
  // Start-up with a recognizer: the tips, then the initial set switched on; the window stays hidden.
  void startListening();
  std::filesystem::path setFile(std::u16string_view setName) const;
  // The stand-in's log line of the initial set's file loaded into the grammar.
  std::string initialSetLoaded() const;
  // Clicks the set switch: the rules go off (or on) within a hold or pause the program may be in,
  // the character's menu is emptied (or filled again), the caption follows, and the editor and the
  // engine list are unlocked (or locked). The rules' call, when it came.
  std::optional<SimCall> switchSet(bool on);
  // Closes the main window with its close box and expects the program to end cleanly.
  void closeAndExpectExit();
  // The notification icon's owner window, and its menu opened by a right click (nullptr when
  // none opened).
  HWND trayOwner() const;
  HWND openTrayMenu() const;
  // Chooses the entry with `caption` from the notification icon's menu with the keyboard, as a
  // user may; false when the menu did not open.
  bool chooseFromTrayMenu(std::u16string_view caption);
  // The wake phrase, then "关闭窗口": Alt, then F4 while Alt is down, reach a target window in
  // front (logging to `logName` in the program folder), which closes.
  void closeTheWindowInFrontBySpeech(const wchar_t* logName);
  // A picture of where `window` lies, in the folder of the run's pictures, once the last paint landed.
  void snapshot(HWND window, const std::string& name) const;

  std::filesystem::path folder;
  // Where the stand-ins log the calls they receive (SAYVANE_SIM_LOG).
  std::filesystem::path simLog;
  Process program;
  HWND main = nullptr;
};

}  // namespace e2e
