// The main window as a model: its controls, the run-time state, and every event handler.
// Handlers are grouped by subsystem in their own files (speech/, commandsets/, app/); the
// real window only forwards events here and renders `controls()`.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "actions/ActionRunner.h"
#include "actions/Recognition.h"
#include "app/Controls.h"
#include "app/Layout.h"
#include "app/Options.h"
#include "app/Platform.h"
#include "app/TrayMenu.h"

namespace sayvane {

inline constexpr std::u16string_view kAppTitle = u"Sayvane";
inline constexpr std::u16string_view kWindowCaption = u"Tobrin一号3.0版";

// The character as actions see it: every operation fails while none is loaded.
class LoadedCharacter final : public Character {
 public:
  Character* get() const { return character_; }
  void set(Character* character) { character_ = character; }
  [[nodiscard]] bool speak(const std::u16string& text) override { return character_ && character_->speak(text); }
  [[nodiscard]] std::optional<int> width() override { return character_ ? character_->width() : std::nullopt; }
  [[nodiscard]] std::optional<int> height() override { return character_ ? character_->height() : std::nullopt; }
  [[nodiscard]] bool setWidth(int pixels) override { return character_ && character_->setWidth(pixels); }
  [[nodiscard]] bool setHeight(int pixels) override { return character_ && character_->setHeight(pixels); }
  [[nodiscard]] bool hide() override { return character_ && character_->hide(); }
  [[nodiscard]] bool show() override { return character_ && character_->show(); }
  [[nodiscard]] bool moveTo(int x, int y) override { return character_ && character_->moveTo(x, y); }
  [[nodiscard]] bool setLanguageId(int id) override { return character_ && character_->setLanguageId(id); }
  [[nodiscard]] bool addCommand(const std::u16string& name) override { return character_ && character_->addCommand(name); }
  [[nodiscard]] bool removeAllCommands() override { return character_ && character_->removeAllCommands(); }
  void showArmed(bool armed) override {
    if (character_) character_->showArmed(armed);
  }

 private:
  Character* character_ = nullptr;
};

struct Flags {
  bool rulesActive = false;
  bool grammarLoaded = false;
  bool menuFilled = false;
};

class MainWindow final : public MainWindowControl, public ResultField {
 public:
  explicit MainWindow(Platform& platform);

  // Form load: the start-up sequence, once.
  void start();

  // Events from the platform.
  void RC_Recognition(const std::u16string& phraseText);
  void RC_FalseRecognition();
  void Agent1_Command(const std::u16string& name);
  void trayCommand(TrayChoice choice);
  // The notification icon's menu as it stands now, in menu order; the first entry is also what
  // a double-click on the icon does.
  std::vector<TrayEntry> trayMenu() const;
  void Timer1_Timer();

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

  const Controls& controls() const { return ui_; }
  const RecognitionState& recognition() const { return speech_; }
  const Flags& flags() const { return flags_; }
  const std::u16string& loadedSetName() const { return loadedSetName_; }
  const std::vector<std::u16string>& characterMenu() const { return characterMenu_; }
  const Options& options() const { return options_; }
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
  // app/MainWindow.cpp
  void Form_Resize_Minimized();
  void Check1_Click();
  void Image1_Click();
  void Command7_Click();
  void hideMainWindow();
  void message(std::u16string_view text, std::u16string_view caption = kAppTitle);
  void setTimer(bool running);

  // app/Startup.cpp
  void startupPhase1();
  bool startupPhase2();

  // app/Assistant.cpp
  void loadAndGreet();
  [[nodiscard]] bool FillAgentMenu(const std::u16string& fileName);
  void clearCommandMenu();
  void restoreCommandMenu(const std::vector<std::u16string>& entries, bool filled);

  // speech/RecognizerControl.cpp
  [[nodiscard]] bool openRecognizer();
  [[nodiscard]] bool recognizerStart();
  // The recognizer the user chose from the notification icon's menu, at once: the set loaded
  // and the rules' state carry over into it.
  void useRecognizer(RecognizerChoice choice);
  void showEditorLocked(bool locked);
  void showSetStopped();
  [[nodiscard]] bool grammarLoad(std::u16string_view setName);
  enum class SwitchResult { Done, Refused, MenuFailed };
  SwitchResult Command5_Click();
  bool engineCheckShort() const;
  bool engineCheckFull();

  // speech/TestMode.cpp
  void Command6_Click();
  void setTesting(bool testing);

  // commandsets/Editor.cpp
  void List2_Click();
  void List1_Click();
  void Command1_Click();
  void Command2_Click();
  void Command3_Click();
  void Command4_Click();
  bool editableLoadedSet();

  // commandsets/Composer.cpp
  void Image2_Click();
  void Image3_Click();
  void openComposerMenu(ComposerMenu menu);
  void composerMenuItem(std::string_view item);

  Platform& p_;
  LoadedCharacter character_;
  Controls ui_;
  RecognitionState speech_;
  Flags flags_;
  Options options_;
  std::u16string loadedSetName_;
  std::vector<std::u16string> characterMenu_;
  std::u16string menuError_;  // why the last menu fill failed
  int clientWidth_ = kClientWidth, clientHeight_ = kClientHeight;
  bool shown_ = true;
  bool quitting_ = false;
  bool started_ = false;
};

}  // namespace sayvane
