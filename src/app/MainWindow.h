// The main window as a model: the controls and the three owners of the program's state (the
// set library, the listener, the character's menu). A user's input reaches a handler through one
// table; `present()` draws every list, enabled flag, caption and label from the owners. The
// real window only forwards events here and renders `controls()`.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "actions/ActionRunner.h"
#include "app/CharacterMenu.h"
#include "app/Controls.h"
#include "app/Layout.h"
#include "app/Options.h"
#include "app/Platform.h"
#include "app/TrayMenu.h"
#include "commandsets/SetLibrary.h"
#include "speech/Listener.h"

namespace sayvane {

inline constexpr std::u16string_view kAppTitle = u"Sayvane";
inline constexpr std::u16string_view kWindowCaption = u"Tobrin一号3.0版";

class MainWindow final : public MainWindowControl, public ResultField {
 public:
  explicit MainWindow(Platform& platform);

  // The start-up sequence, once, when the window is made.
  void start();

  // Events from the platform.
  void heard(const std::u16string& phrase);
  void heardNothing();
  void characterCommand(const std::u16string& name);
  void trayCommand(TrayChoice choice);
  void clearTimerTick();

  // User input, as a window delivers it: a disabled or hidden control ignores it, and the
  // result says whether it was taken.
  bool click(std::string_view control);
  bool select(std::string_view list, int index);
  bool type(std::string_view field, const std::u16string& text);
  bool chooseMenuItem(std::string_view item);
  void minimize();
  // The client area's new size in 96 DPI pixels: the composer menus open from the panel where it now is.
  void resized(int clientWidth, int clientHeight);
  void close();

  // Brings the controls in line with the owners; every event ends with it, and a view calls it
  // before it draws in the middle of one (a wait, a message box).
  void present();
  const Controls& controls() const { return ui_; }
  const SetLibrary& library() const { return library_; }
  const Listener& listener() const { return listener_; }
  const CharacterMenu& characterMenu() const { return menu_; }
  const Options& options() const { return options_; }
  // The notification icon's menu as it stands now, in menu order; the first entry is also what
  // a double-click on the icon does.
  std::vector<TrayEntry> trayMenu() const;
  bool shown() const { return shown_; }
  bool quitting() const { return quitting_; }

  // MainWindowControl: what actions and menu choices do to the window.
  void showMainWindow() override;
  void quit() override;
  // ResultField: writes Text4; a change starts the clear timer.
  void showResult(const std::u16string& text) override;
  // What this window's actions reach: the platform, the loaded character and the window itself.
  ActionServices services();

 private:
  // app/MainWindow.cpp: the window itself, the composer, the help and the tick box.
  void hideMainWindow();
  void message(std::u16string_view text, std::u16string_view caption = kAppTitle);
  void show(const Refusal& refusal);
  void setTimer(bool running);
  void tickStartupSetting();
  void openManual();
  void openHelp();
  void pickProgramOrFile();
  void insertWebTemplate();
  void openMouseMenu();
  void openKeyboardMenu();
  void openComposerMenu(ComposerMenu menu);
  void appendComposerItem(std::string_view item);

  // app/SetHandlers.cpp: the sets, their phrases, the set switch and the test mode.
  // Choosing a set: its phrases listed and its rules loaded. The engine check speaks for itself;
  // a file that could not be read or loaded comes back described, for the caller to say.
  struct SetProblem {
    bool recognizerRefused = false;
    std::u16string description;  // names the file and the cause
  };
  std::optional<SetProblem> chooseSet(const std::u16string& name);
  void selectSet(const std::u16string& name);
  void showPhrase(int index);
  void addPhrase();
  void deletePhrase();
  void createSet();
  void deleteSet();
  enum class SwitchResult { Done, Refused, MenuFailed };
  SwitchResult switchActiveSet();
  void clickSwitch();
  void toggleTestMode();
  // The recognizer chosen from the notification icon's menu, at once: the loaded set and the
  // rules' state carry over into it.
  void useRecognizer(RecognizerChoice choice);

  // app/TrayMenu.cpp
  void trayChoice(TrayChoice choice);

  // app/Startup.cpp
  void startupPhase1();
  bool startupPhase2();
  std::u16string defaultsNotWritten(const std::u16string& fileName);

  Platform& p_;
  SetLibrary library_;
  Listener listener_;
  CharacterMenu menu_;
  Options options_;
  Controls ui_;
  unsigned listedRevision_ = ~0u;  // the library revision List1 shows
  std::u16string menuError_;        // why the last menu fill failed
  int clientWidth_ = kClientWidth, clientHeight_ = kClientHeight;
  bool shown_ = true;
  bool quitting_ = false;
  bool started_ = false;
};

}  // namespace sayvane
