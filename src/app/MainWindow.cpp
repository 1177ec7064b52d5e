#include "app/MainWindow.h"

#include <algorithm>

#include "app/AppTexts.h"
#include "app/Composer.h"
#include "speech/SpeechTexts.h"
#include "text/Text.h"

namespace sayvane {
namespace {

// The first caption of the set switch and of the test button; later ones name what a click does.
constexpr std::u16string_view kFirstSwitchCaption = u"更改为选中的语音命令";
constexpr std::u16string_view kFirstTestCaption = u"开始测试语音命令";

std::u16string_view caption(Toggle toggle, std::u16string_view first, std::u16string_view on,
                            std::u16string_view off) {
  return toggle == Toggle::Untouched ? first : toggle == Toggle::On ? on : off;
}

}  // namespace

MainWindow::MainWindow(Platform& platform)
    : p_(platform),
      library_(platform.files, platform.codePage),
      listener_(platform.recognizer, library_, platform.record),
      menu_(platform.files, platform.codePage),
      ui_(initialControls()) {}

ActionServices MainWindow::services() {
  return ActionServices{p_.input,  p_.shell,   p_.programs,       p_.clipboard, p_.screen,     p_.random,
                        p_.waiter, p_.dialogs, menu_.character(), *this,        p_.foreground, p_.record,
                        options_.gameKeys};
}

void MainWindow::present() {
  ui_.List2.items = library_.names();
  const auto& names = ui_.List2.items;
  const auto chosen = std::find(names.begin(), names.end(), library_.chosenName());
  ui_.List2.selection = chosen == names.end() ? -1 : static_cast<int>(chosen - names.begin());
  if (library_.revision() != listedRevision_) {
    // Only when the chosen or loaded set changed: a set of many thousand phrases costs its
    // listing once. A set whose loading was refused shows no phrases.
    listedRevision_ = library_.revision();
    ui_.List1.items.clear();
    if (library_.chosenIsLoaded())
      for (const auto& entry : listEntries(library_.loadedText()))
        ui_.List1.items.push_back(makePhraseItem(entry.phrase, entry.action));
    if (!ui_.List1.selectedItem()) ui_.List1.selection = -1;
  }
  ui_.SREngines.items = listener_.engines();
  ui_.SREngines.selection = listener_.shownEngine();

  // While a set is switched on or tested, the editor is locked; while the rules listen, so is
  // the engine the check reads.
  const bool on = listener_.setSwitch() == Toggle::On;
  const bool testing = listener_.testing();
  for (Control* c : {&ui_.List2, &ui_.Command1, &ui_.Command3, &ui_.Command4}) c->enabled = !on && !testing;
  ui_.Command2.enabled = ui_.Command5.enabled = !testing;
  ui_.Command6.enabled = !on;
  ui_.SREngines.enabled = !listener_.rulesActive();
  ui_.Text4.visible = testing;
  ui_.Command5.caption = caption(listener_.setSwitch(), kFirstSwitchCaption, kStopSetCaption, kUseSetCaption);
  ui_.Command6.caption = caption(listener_.testMode(), kFirstTestCaption, kStopTestCaption, kStartTestCaption);
  ui_.Label5.caption = listener_.rulesSwitch() == Toggle::Untouched ? std::u16string()
                       : listener_.rulesSwitch() == Toggle::On      ? concat({kActiveSetLabel, listener_.activeSet()})
                                                                    : std::u16string(kNoActiveSetLabel);
  // The wake phrase armed: nothing would act on it in the test mode or once quitting.
  menu_.character().showArmed(listener_.awake() && !testing && !quitting_);
}

void MainWindow::message(std::u16string_view text, std::u16string_view caption) {
  p_.record.note(concat({u"提示框：", text}));
  present();  // the box's wait draws the window as it is now
  p_.dialogs.message(std::u16string(text), std::u16string(caption));
}

void MainWindow::show(const Refusal& refusal) { message(refusal.message, refusal.notice ? u"提示" : kAppTitle); }

void MainWindow::setTimer(bool running) {
  if (ui_.Timer1.enabled == running) return;
  ui_.Timer1.enabled = running;
  if (running) p_.timer.start(std::chrono::milliseconds(1000));
  else p_.timer.stop();
}

void MainWindow::heard(const std::u16string& phrase) {
  if (quitting_) return;
  auto s = services();
  listener_.heard(phrase, s, *this);
  present();
}

void MainWindow::heardNothing() {
  if (quitting_) return;
  listener_.heardNothing(*this);
  present();
}

void MainWindow::showResult(const std::u16string& text) {
  if (ui_.Text4.text == text) return;
  ui_.Text4.text = text;
  setTimer(true);  // a running timer keeps its time: the first change within a second counts
}

void MainWindow::clearTimerTick() {
  if (quitting_) return;
  showResult(u"");
  setTimer(false);
}

void MainWindow::characterCommand(const std::u16string& name) {
  if (quitting_) return;
  // Only these three; any other entry's action is not carried out.
  if (name == u"添加语音命令" || name == u"更换语音命令") showMainWindow();
  else if (name == u"退出") quit();
  present();
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
  menu_.character().showArmed(false);
  p_.view.quit();
}

void MainWindow::minimize() {
  if (shown_ && !quitting_) hideMainWindow();
}

void MainWindow::resized(int clientWidth, int clientHeight) {
  clientWidth_ = clientWidth;
  clientHeight_ = clientHeight;
}

void MainWindow::close() { quit(); }

void MainWindow::tickStartupSetting() {
  ui_.Check1.checked = !ui_.Check1.checked;
  // The store's errors are ignored: the tick box still shows what the user chose.
  if (ui_.Check1.checked)
    (void)p_.settings.write(std::u16string(kSettingsApplication), std::u16string(kSettingsSection),
                            std::u16string(kSettingsKey), u"1");
  else
    (void)p_.settings.deleteSection(std::u16string(kSettingsApplication), std::u16string(kSettingsSection));
}

void MainWindow::openManual() { p_.shell.open(concat({p_.files.folder(), u"\\", kManualFile})); }

void MainWindow::openHelp() {
  present();
  p_.dialogs.showHelp();
  openManual();
}

void MainWindow::openComposerMenu(ComposerMenu menu) {
  int x = 0, y = 0;
  const auto layout = mainWindowLayout(clientWidth_, clientHeight_);
  composerMenuPoint(menu, findPlacement("Frame1", layout)->rect, x, y);
  p_.view.popupMenu(menu, x, y);
}

void MainWindow::openMouseMenu() { openComposerMenu(ComposerMenu::Mouse); }
void MainWindow::openKeyboardMenu() { openComposerMenu(ComposerMenu::Keyboard); }

// The composer only ever changes the action field.
void MainWindow::appendComposerItem(std::string_view name) {
  const auto* item = findComposerItem(name);
  if (!item) return;
  if (name == kKeyHelpItem) return message(kKeyHelp, u"提示");
  ui_.Text2.text += item->token;
}

void MainWindow::pickProgramOrFile() {
  present();
  const auto path = p_.dialogs.pickFile(std::u16string(kPickerTitle), p_.files.folder(), std::u16string(kPickerFilter));
  if (!path) return;
  const auto action = pickedFileAction(*path);
  if (!action) return message(kPathWithBracket, u"提示");
  ui_.Text2.text = *action;
}

void MainWindow::insertWebTemplate() { ui_.Text2.text = kWebTemplate; }

bool MainWindow::click(std::string_view name) {
  // Every button, picture and the tick box, and what a click on it does.
  static constexpr std::pair<std::string_view, void (MainWindow::*)()> kHandlers[] = {
      {"Command1", &MainWindow::addPhrase},        {"Command2", &MainWindow::createSet},
      {"Command3", &MainWindow::deleteSet},        {"Command4", &MainWindow::deletePhrase},
      {"Command5", &MainWindow::clickSwitch},      {"Command6", &MainWindow::toggleTestMode},
      {"Command7", &MainWindow::openHelp},         {"Check1", &MainWindow::tickStartupSetting},
      {"Image1", &MainWindow::openManual},         {"Image2", &MainWindow::pickProgramOrFile},
      {"Image3", &MainWindow::insertWebTemplate},  {"Image4", &MainWindow::openMouseMenu},
      {"Image5", &MainWindow::openKeyboardMenu},
  };
  if (!shown_ || quitting_) return false;
  const Control* control = ui_.find(name);
  if (!control || !control->enabled || !control->visible) return false;
  const auto handler = std::find_if(std::begin(kHandlers), std::end(kHandlers), [&](const auto& h) { return h.first == name; });
  if (handler == std::end(kHandlers)) return false;
  (this->*handler->second)();
  present();
  return true;
}

bool MainWindow::select(std::string_view list, int index) {
  if (!shown_ || quitting_) return false;
  const Control* control = ui_.find(list);
  if (!control || !control->enabled || !control->visible) return false;
  if (index < 0 || static_cast<std::size_t>(index) >= control->items.size()) return false;
  // A copy: drawing the window while a message box waits replaces the list's items.
  if (list == "List2") selectSet(std::u16string(control->items[static_cast<std::size_t>(index)]));
  else if (list == "List1") showPhrase(index);
  else if (list == "SREngines") listener_.showEngine(index);
  else return false;
  present();
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
  appendComposerItem(item);
  present();
  return true;
}

}  // namespace sayvane
