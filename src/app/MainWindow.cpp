#include "app/MainWindow.h"

#include "app/AppTexts.h"
#include "commandsets/Composer.h"
#include "text/Text.h"

namespace sayvane {

MainWindow::MainWindow(Platform& platform) : p_(platform), ui_(initialControls()) {}

ActionServices MainWindow::services() {
  return ActionServices{p_.input,  p_.shell,  p_.programs, p_.clipboard, p_.screen,     p_.random,
                        p_.waiter, p_.dialogs, character_,  *this,        p_.foreground, p_.record};
}

void MainWindow::message(std::u16string_view text, std::u16string_view caption) {
  p_.record.note(concat({u"提示框：", text}));
  p_.dialogs.message(std::u16string(text), std::u16string(caption));
}

void MainWindow::setTimer(bool running) {
  if (ui_.Timer1.enabled == running) return;
  ui_.Timer1.enabled = running;
  if (running) p_.timer.start(std::chrono::milliseconds(1000));
  else p_.timer.stop();
}

void MainWindow::RC_Recognition(const std::u16string& phraseText) {
  if (quitting_) return;
  auto s = services();
  sayvane::RC_Recognition(speech_, *this, phraseText, s);
}

void MainWindow::RC_FalseRecognition() {
  if (!quitting_) sayvane::RC_FalseRecognition(*this, p_.record);
}

void MainWindow::showResult(const std::u16string& text) {
  if (ui_.Text4.text == text) return;
  ui_.Text4.text = text;
  setTimer(true);  // a running timer keeps its time: the first change within a second counts
}

void MainWindow::Timer1_Timer() {
  if (quitting_) return;
  showResult(u"");
  setTimer(false);
}

void MainWindow::showMainWindow() {
  if (quitting_) return;
  shown_ = true;
  p_.view.show();
}

void MainWindow::hideMainWindow() {
  shown_ = false;
  p_.view.hide();
}

void MainWindow::quit() {
  if (quitting_) return;
  quitting_ = true;
  p_.record.note(u"退出");
  character_.showArmed(false);
  p_.view.quit();
}

void MainWindow::Form_Resize_Minimized() { hideMainWindow(); }

void MainWindow::minimize() {
  if (shown_ && !quitting_) Form_Resize_Minimized();
}

void MainWindow::resized(int clientWidth, int clientHeight) {
  clientWidth_ = clientWidth;
  clientHeight_ = clientHeight;
}

void MainWindow::close() { quit(); }

void MainWindow::Check1_Click() {
  // The store's errors are ignored: the tick box still shows what the user chose.
  if (ui_.Check1.checked)
    (void)p_.settings.write(std::u16string(kSettingsApplication), std::u16string(kSettingsSection),
                            std::u16string(kSettingsKey), u"1");
  else
    (void)p_.settings.deleteSection(std::u16string(kSettingsApplication), std::u16string(kSettingsSection));
}

void MainWindow::Image1_Click() { p_.shell.open(concat({p_.files.folder(), u"\\", kManualFile})); }

void MainWindow::Command7_Click() {
  p_.dialogs.showHelp();
  Image1_Click();
}

bool MainWindow::click(std::string_view name) {
  if (!shown_ || quitting_) return false;
  Control* control = ui_.find(name);
  if (!control || !control->enabled || !control->visible) return false;
  if (name == "Command1") Command1_Click();
  else if (name == "Command2") Command2_Click();
  else if (name == "Command3") Command3_Click();
  else if (name == "Command4") Command4_Click();
  else if (name == "Command5") {
    if (Command5_Click() == SwitchResult::MenuFailed) message(menuError_);
  } else if (name == "Command6") Command6_Click();
  else if (name == "Command7") Command7_Click();
  else if (name == "Check1") {
    ui_.Check1.checked = !ui_.Check1.checked;
    Check1_Click();
  } else if (name == "Image1") Image1_Click();
  else if (name == "Image2") Image2_Click();
  else if (name == "Image3") Image3_Click();
  else if (name == "Image4") openComposerMenu(ComposerMenu::Mouse);
  else if (name == "Image5") openComposerMenu(ComposerMenu::Keyboard);
  else return false;
  return true;
}

bool MainWindow::select(std::string_view list, int index) {
  if (!shown_ || quitting_) return false;
  Control* control = ui_.find(list);
  if (!control || !control->enabled || !control->visible) return false;
  if (index < 0 || static_cast<std::size_t>(index) >= control->items.size()) return false;
  if (list == "List2") {
    ui_.List2.selection = index;
    List2_Click();
  } else if (list == "List1") {
    ui_.List1.selection = index;
    List1_Click();
  } else if (list == "SREngines") {
    // Only what the engine check reads changes; the recognizer itself is not touched.
    ui_.SREngines.selection = index;
  } else {
    return false;
  }
  return true;
}

bool MainWindow::type(std::string_view field, const std::u16string& text) {
  if (!shown_ || quitting_) return false;
  if (field != "Text1" && field != "Text2" && field != "Text3") return false;
  Control* control = ui_.find(field);
  if (!control->enabled || !control->visible) return false;
  control->text = text;
  return true;
}

bool MainWindow::chooseMenuItem(std::string_view item) {
  if (!shown_ || quitting_) return false;
  ComposerMenu menu;
  if (!findComposerItem(item, &menu)) return false;
  const Control& button = menu == ComposerMenu::Mouse ? ui_.Image4 : ui_.Image5;
  if (!button.enabled || !button.visible) return false;
  composerMenuItem(item);
  return true;
}

}  // namespace sayvane
