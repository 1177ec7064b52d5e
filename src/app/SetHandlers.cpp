// The editor's handlers and the two switches: what the user does to the sets, their phrases,
// and what is heard. Each asks the owners and shows what they refuse.
#include "app/MainWindow.h"
#include "commandsets/DefaultSets.h"
#include "commandsets/EditorTexts.h"
#include "commandsets/Grammar.h"
#include "commandsets/SetFile.h"
#include "speech/SpeechTexts.h"
#include "text/Text.h"

namespace sayvane {

// The set the grammar holds is the one the library has loaded: neither changes while the rules
// listen, so that what is heard is what the window names.
std::optional<MainWindow::SetProblem> MainWindow::chooseSet(const std::u16string& name) {
  if (listener_.rulesActive()) return std::nullopt;
  const bool loaded = name == library_.loadedName();
  library_.choose(name);
  if (loaded) return std::nullopt;  // not read again
  ui_.List1.selection = -1;
  if (const auto problem = listener_.engineProblem()) {
    message(*problem, u"提示");
    return std::nullopt;
  }
  if (const auto refused = library_.loadChosen()) return SetProblem{false, refused->message};
  if (listener_.load(library_.path(name))) return std::nullopt;
  // Our own reading of the text knows most of what a recognizer refuses.
  auto cause = grammarProblem(library_.loadedText());
  if (cause.empty()) cause = kSetRefusedUnknownCause;
  return SetProblem{true, concat({kSetRefused, setFileName(name), u"”：", cause, u"。"})};
}

void MainWindow::selectSet(const std::u16string& name) {
  if (const auto problem = chooseSet(name))
    message(problem->recognizerRefused ? kGrammarLoadFailedOnSelect : problem->description);
}

void MainWindow::showPhrase(int index) {
  ui_.List1.selection = index;
  if (const auto entry = splitPhraseItem(ui_.List1.items[static_cast<std::size_t>(index)])) {
    ui_.Text1.text = entry->phrase;
    ui_.Text2.text = entry->action;
  }
}

void MainWindow::addPhrase() {
  if (const auto refused = library_.addPhrase(ui_.Text1.text, ui_.Text2.text)) return show(*refused);
  if (!listener_.load(library_.path(library_.loadedName()))) message(kGrammarLoadFailedOnAdd);
}

void MainWindow::deletePhrase() {
  const auto entries = listEntries(library_.loadedText());
  const auto row = static_cast<std::size_t>(ui_.List1.selection);
  if (ui_.List1.selection < 0 || row >= entries.size()) return message(kSelectPhrase, u"提示");
  if (const auto refused = library_.removePhrase(entries[row])) return show(*refused);
  ui_.List1.selection = -1;
}

void MainWindow::createSet() {
  const std::u16string name = ui_.Text3.text;
  if (const auto refused = library_.create(name)) return show(*refused);
  // The selection reads the new file back, lists its template entries and loads the grammar;
  // while a set is heard, the new one waits in the list.
  selectSet(name);
  ui_.Text3.text.clear();
}

void MainWindow::deleteSet() {
  if (const auto refused = library_.removable()) return show(*refused);
  if (library_.chosenName().empty()) return;
  present();
  if (!p_.dialogs.ask(std::u16string(kConfirmDeleteSet), u"提示")) return;
  if (const auto refused = library_.removeChosen()) return show(*refused);
  ui_.List1.selection = -1;
}

MainWindow::SwitchResult MainWindow::switchActiveSet() {
  if (!listener_.chineseEngineShown()) {
    message(kMustUseChinese, u"提示");
    return SwitchResult::Refused;
  }
  const std::u16string set = library_.chosenName();
  if (set.empty()) {
    message(kSelectASet, u"提示");
    return SwitchResult::Refused;
  }
  const bool on = listener_.setSwitch() != Toggle::On;
  // What is switched on must be what the list shows: after a refused choice it is not.
  if (on && !library_.chosenIsLoaded()) {
    message(kSelectedSetNotLoaded, u"提示");
    return SwitchResult::Refused;
  }
  // The menu follows the switch first; a failure after it takes the menu back.
  const auto before = menu_.snapshot();
  menu_.clear();
  if (on) {
    if (auto problem = menu_.fill(setFileName(set))) {
      menuError_ = std::move(*problem);
      menu_.restore(before);
      return SwitchResult::MenuFailed;
    }
  }
  if (!listener_.switchSet(on, set)) {
    menu_.restore(before);
    message(kAudioBusy);
  } else {
    p_.record.note(on ? concat({kActiveSetLabel, set}) : std::u16string(kNoActiveSetLabel));
  }
  return SwitchResult::Done;
}

void MainWindow::clickSwitch() {
  if (switchActiveSet() == SwitchResult::MenuFailed) message(menuError_);
}

void MainWindow::toggleTestMode() {
  if (library_.chosenName().empty()) return message(kSelectASet, u"提示");
  if (!listener_.grammarLoaded()) return;
  if (listener_.testing()) {
    if (!listener_.setTesting(false)) message(kAudioBusy);
    return;
  }
  message(kTestInstructions, u"提示");
  if (quitting_) return;
  if (!listener_.setTesting(true)) message(kAudioBusy);
}

}  // namespace sayvane

namespace sayvane {

void MainWindow::useRecognizer(RecognizerChoice choice) {
  p_.record.note(concat({u"通知区域菜单：", recognizerName(choice)}));
  // Remembered even when it cannot be had now: the next start tries it first.
  options_.recognizer = choice;
  (void)writeOptions(p_.settings, options_);
  if (listener_.inUse() == choice) return;
  const bool wasOn = listener_.rulesActive() && !listener_.testing();
  const auto dropSet = [this] {
    listener_.dropSet();
    menu_.clear();
  };
  if (!listener_.start(choice)) {
    listener_.stop();
    dropSet();
    return message(kNoRecognizer);
  }
  if (listener_.inUse() != choice)
    message(concat({u"无法", recognizerName(choice), u"，现在仍然", recognizerName(*listener_.inUse()), u"。"}), u"提示");
  // The set last loaded, even one a failed switch left without rules: its phrases are the ones shown.
  if (!library_.loadedName().empty() && !listener_.load(library_.path(library_.loadedName())))
    message(kGrammarLoadFailedOnSelect);
  if (!wasOn) return;
  // The set comes on again in the new recognizer, or the window says it is off.
  if (listener_.grammarLoaded() && listener_.chineseEngineShown() &&
      listener_.switchSet(true, listener_.activeSet()))
    return;
  dropSet();
  if (!listener_.grammarLoaded()) return;
  if (!listener_.chineseEngineShown()) message(kMustUseChinese, u"提示");
  else message(kAudioBusy);
}

}  // namespace sayvane
