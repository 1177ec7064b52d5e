// The recognizer context, the command grammar, the set switch and the Chinese-engine check.
#include "app/MainWindow.h"
#include "commandsets/DefaultSets.h"
#include "commandsets/SetFile.h"
#include "speech/SpeechTexts.h"
#include "text/Text.h"

namespace sayvane {

std::u16string_view recognizerName(RecognizerChoice choice) {
  return choice == RecognizerChoice::Own ? kUseOwnRecognizer : kUseSharedRecognizer;
}

bool namesChineseEngine(std::u16string_view description) {
  const auto lower = lowerCase(description);
  return contains(lower, u"chinese") || contains(lower, u"中文");
}

bool MainWindow::openRecognizer() {
  flags_.rulesActive = false;
  flags_.grammarLoaded = false;
  auto& r = p_.recognizer;
  if (!r.createContext(options_.recognizer)) return false;
  p_.record.note(concat({u"识别器：", recognizerName(*r.contextClass()),
                         r.contextClass() == options_.recognizer ? u"" : u"（选择的那个用不了）"}));
  const auto descriptions = r.recognizerDescriptions();
  // Selecting entry 0 of an empty list is a failure: without a recognizer nothing can work.
  if (!descriptions || descriptions->empty()) return false;
  ui_.SREngines.items = *descriptions;
  // The entry of the engine that listens, so the set switch's check judges what is heard.
  const std::size_t inUse = r.recognizerInUse();
  ui_.SREngines.selection = inUse < descriptions->size() ? static_cast<int>(inUse) : 0;
  if (!r.createGrammar() || !r.loadDictation() || !r.deactivateDictation()) return false;
  // Interests already set by the recognizer stay set.
  for (const auto interest : {kRecognitionInterest, kFalseRecognitionInterest}) {
    const auto interests = r.eventInterests();
    if (!interests || !r.setEventInterests(*interests | interest)) return false;
  }
  return true;
}

bool MainWindow::recognizerStart() {
  if (!openRecognizer()) return false;
  for (std::size_t i = 0; i < ui_.List2.items.size(); ++i) {
    if (ui_.List2.items[i] != kInitialSetName) continue;
    ui_.List2.selection = static_cast<int>(i);
    List2_Click();
  }
  return Command5_Click() != SwitchResult::MenuFailed;
}

void MainWindow::useRecognizer(RecognizerChoice choice) {
  p_.record.note(concat({u"通知区域菜单：", recognizerName(choice)}));
  // Remembered even when it cannot be had now: the next start tries it first.
  options_.recognizer = choice;
  (void)writeOptions(p_.settings, options_);
  auto& r = p_.recognizer;
  if (r.contextClass() == choice) return;
  if (speech_.testMode) {
    (void)r.setRulesActive(false);
    setTesting(false);
  }
  const bool wasActive = flags_.rulesActive;
  if (!openRecognizer()) {
    r.closeContext();
    ui_.SREngines.items.clear();
    ui_.SREngines.selection = -1;
    if (wasActive) showSetStopped();
    return message(kNoRecognizer);
  }
  if (r.contextClass() != choice)
    message(concat({u"无法", recognizerName(choice), u"，现在仍然", recognizerName(*r.contextClass()), u"。"}), u"提示");
  // The set last loaded, even one a failed switch left without rules: its phrases are the ones shown.
  if (!loadedSetName_.empty() && !grammarLoad(loadedSetName_)) message(kGrammarLoadFailedOnSelect);
  if (!wasActive) return;
  // The set comes on again in the new recognizer, or the window says it is off.
  if (flags_.grammarLoaded && engineCheckShort() && r.setRulesActive(true)) {
    flags_.rulesActive = true;
    return;
  }
  showSetStopped();
  if (!flags_.grammarLoaded) return;
  if (!engineCheckShort()) message(kMustUseChinese, u"提示");
  else message(kAudioBusy);
}

bool MainWindow::grammarLoad(std::u16string_view setName) {
  auto& r = p_.recognizer;
  const bool loaded = r.loadCommandFile(setPath(p_.files.folder(), setName)) && r.setRulesActive(false) &&
                      (!flags_.rulesActive || r.setRulesActive(true));
  flags_.grammarLoaded = loaded;
  return loaded;
}

bool MainWindow::engineCheckShort() const {
  const auto* shown = ui_.SREngines.selectedItem();
  return shown && namesChineseEngine(*shown);
}

bool MainWindow::engineCheckFull() {
  if (engineCheckShort()) return true;
  bool anyChinese = false;
  for (const auto& description : ui_.SREngines.items) anyChinese = anyChinese || namesChineseEngine(description);
  if (anyChinese) message(concat({kMustUseChinese, kChangeInControlPanel}), u"提示");
  else message(concat({kNoChineseEngine, kSeeHelp}), u"提示");
  return false;
}

MainWindow::SwitchResult MainWindow::Command5_Click() {
  if (!engineCheckShort()) {
    message(kMustUseChinese, u"提示");
    return SwitchResult::Refused;
  }
  const auto* selected = ui_.List2.selectedItem();
  if (!selected) {
    message(kSelectASet, u"提示");
    return SwitchResult::Refused;
  }
  const std::u16string setName = *selected;
  // A refused selection leaves the list on a set whose rules were never loaded: switching on
  // would name it on the label and the menu while the loaded set's phrases act.
  if (ui_.Command1.enabled && flags_.grammarLoaded && setName != loadedSetName_) {
    message(kSelectedSetNotLoaded, u"提示");
    return SwitchResult::Refused;
  }

  // What the button phase changes, so that a failure after it can put everything back.
  const Controls before = ui_;
  const auto menuBefore = characterMenu_;
  const bool filledBefore = flags_.menuFilled;
  const auto undoButtonPhase = [&] {
    for (Control Controls::*c : {&Controls::Command1, &Controls::Command3, &Controls::Command4, &Controls::Command5,
                                 &Controls::Command6, &Controls::List2})
      ui_.*c = before.*c;
    restoreCommandMenu(menuBefore, filledBefore);
  };

  const bool switchOn = ui_.Command1.enabled;
  showEditorLocked(switchOn);
  if (switchOn && !FillAgentMenu(setFileName(setName))) {
    undoButtonPhase();
    return SwitchResult::MenuFailed;
  }

  if (!flags_.grammarLoaded) return SwitchResult::Done;
  // The rules go the way the buttons went. A switch that found no grammar turned only the
  // buttons; the click that turns them back must not start rules the window then calls stopped.
  if (switchOn) speech_.testMode = false;
  if (flags_.rulesActive != switchOn) {
    if (!p_.recognizer.setRulesActive(switchOn)) {
      undoButtonPhase();
      message(kAudioBusy);
      return SwitchResult::Done;
    }
    flags_.rulesActive = switchOn;
  }
  ui_.SREngines.enabled = !switchOn;
  ui_.Label5.caption = switchOn ? concat({kActiveSetLabel, setName}) : std::u16string(kNoActiveSetLabel);
  p_.record.note(ui_.Label5.caption);
  return SwitchResult::Done;
}

void MainWindow::showEditorLocked(bool locked) {
  ui_.Command1.enabled = ui_.Command4.enabled = !locked;
  ui_.Command5.caption = locked ? kStopSetCaption : kUseSetCaption;
  ui_.Command6.enabled = ui_.Command3.enabled = ui_.List2.enabled = !locked;
  clearCommandMenu();
}

void MainWindow::showSetStopped() {
  showEditorLocked(false);
  ui_.SREngines.enabled = true;
  ui_.Label5.caption = kNoActiveSetLabel;
}

}  // namespace sayvane
