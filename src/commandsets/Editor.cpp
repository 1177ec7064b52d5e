// The command-set editor: selecting sets, adding and deleting phrases, creating and deleting sets.
#include "app/MainWindow.h"
#include "commandsets/DefaultSets.h"
#include "commandsets/EditorTexts.h"
#include "commandsets/EntryRules.h"
#include "commandsets/Grammar.h"
#include "commandsets/SetFile.h"
#include "commandsets/SetText.h"
#include "speech/SpeechTexts.h"
#include "text/Text.h"

namespace sayvane {
namespace {

std::u16string phrasePart(std::u16string_view item) { return std::u16string(item.substr(0, item.find(u'('))); }

void clearList(Control& list) {
  list.items.clear();
  list.selection = -1;
}

void listPhrases(Control& list, std::u16string_view text) {
  clearList(list);
  for (const auto& entry : listEntries(text)) list.items.push_back(makePhraseItem(entry.phrase, entry.action));
}

}  // namespace

void MainWindow::List2_Click() {
  if (const auto problem = loadSelectedSet())
    message(problem->recognizerRefused ? kGrammarLoadFailedOnSelect : problem->description);
}

std::optional<MainWindow::SetProblem> MainWindow::loadSelectedSet() {
  const auto* selected = ui_.List2.selectedItem();
  if (!selected) return std::nullopt;
  const std::u16string name = *selected;
  if (name == loadedSetName_) {
    // Not read again; but a refused selection in between emptied the list, and the user
    // coming back must see the set's phrases (the duplicate test reads them too).
    Control listed;
    listPhrases(listed, speech_.loadedSetText);
    if (listed.items != ui_.List1.items) listPhrases(ui_.List1, speech_.loadedSetText);
    return std::nullopt;
  }
  clearList(ui_.List1);
  if (!engineCheckFull()) return std::nullopt;
  const auto read = readSetFile(p_.files, p_.codePage, name);
  if (!read) return SetProblem{false, describeSetFileError(read, setFileName(name))};
  speech_.loadedSetText = read.text;
  listPhrases(ui_.List1, read.text);
  loadedSetName_ = name;
  if (grammarLoad(name)) return std::nullopt;
  // Our own reading of the text knows most of what a recognizer refuses.
  auto cause = grammarProblem(read.text);
  if (cause.empty()) cause = kSetRefusedUnknownCause;
  return SetProblem{true, concat({kSetRefused, setFileName(name), u"”：", cause, u"。"})};
}

void MainWindow::List1_Click() {
  const auto* item = ui_.List1.selectedItem();
  if (!item) return;
  if (const auto entry = splitPhraseItem(*item)) {
    ui_.Text1.text = entry->phrase;
    ui_.Text2.text = entry->action;
  }
}

// Edits go to the loaded set's file only, and only while the set list shows that set: after a
// refused selection or a deleted set, they would otherwise land in some other file.
bool MainWindow::editableLoadedSet() {
  const auto* selected = ui_.List2.selectedItem();
  if (loadedSetName_.empty() || !selected || *selected != loadedSetName_) {
    message(kNoLoadedSet, u"提示");
    return false;
  }
  return true;
}

void MainWindow::Command1_Click() {
  const std::u16string phrase = ui_.Text1.text;
  const std::u16string action = ui_.Text2.text;
  if (phrase.empty()) return message(kEnterPhrase, u"提示");
  if (action.empty()) return message(kEnterAction, u"提示");
  for (const auto& item : ui_.List1.items)
    if (phrasePart(item) == phrase) return message(kDuplicatePhrase, u"提示");
  for (const auto& problem : {phraseProblem(phrase, p_.codePage), actionProblem(action, p_.codePage)})
    if (!problem.empty()) return message(problem, u"提示");
  if (!editableLoadedSet()) return;
  const auto text = insertEntry(speech_.loadedSetText, makeEntryLine(phrase, action));
  if (!text) return message(kNoListEnd);
  // Written before anything changes: a failed save leaves the editor and the file as they were.
  const auto written = writeSetFile(p_.files, p_.codePage, loadedSetName_, *text);
  if (!written) return message(describeSetFileError(written, setFileName(loadedSetName_), *text));
  speech_.loadedSetText = *text;
  ui_.List1.items.push_back(makePhraseItem(phrase, action));
  if (!grammarLoad(loadedSetName_)) message(kGrammarLoadFailedOnAdd);
}

void MainWindow::Command4_Click() {
  const auto* item = ui_.List1.selectedItem();
  if (!item) return message(kSelectPhrase, u"提示");
  if (contains(*item, kProtectedWord)) return message(kProtectedPhrase, u"提示");
  if (!editableLoadedSet()) return;
  const auto text = removeEntry(speech_.loadedSetText, phrasePart(*item));
  if (!text) return message(kPhraseNotInFile);
  const auto written = writeSetFile(p_.files, p_.codePage, loadedSetName_, *text);
  if (!written) return message(describeSetFileError(written, setFileName(loadedSetName_), *text));
  speech_.loadedSetText = *text;
  // Listed afresh rather than the selected line erased: of two entries with one phrase the
  // file loses the first, and the list must show what the file now holds.
  listPhrases(ui_.List1, speech_.loadedSetText);
}

void MainWindow::Command2_Click() {
  const std::u16string name = ui_.Text3.text;
  if (name.empty()) return message(kEnterSetName, u"提示");
  auto existing = p_.files.listXml();
  for (const auto& listed : ui_.List2.items) existing.push_back(setFileName(listed));
  if (const auto problem = setNameProblem(name, p_.files.folder(), existing, p_.codePage); !problem.empty())
    return message(problem, u"提示");
  const auto written = writeSetFile(p_.files, p_.codePage, name, newSetText());
  if (!written) return message(describeSetFileError(written, setFileName(name)));
  ui_.List2.items.push_back(name);
  // While a set is active the new one waits in the list: loading it would silence the active
  // set under a label and a menu that still name it.
  if (!flags_.rulesActive) {
    clearList(ui_.List1);
    // The selection reads the new file back, lists its template entries and loads the grammar.
    ui_.List2.selection = static_cast<int>(ui_.List2.items.size()) - 1;
    List2_Click();
  }
  ui_.Text3.text.clear();
}

void MainWindow::Command3_Click() {
  const auto* selected = ui_.List2.selectedItem();
  if (selected && *selected == kInitialSetName) return message(kProtectedSet, u"提示");
  if (!selected) return;
  const std::u16string name = *selected;
  if (!p_.dialogs.ask(std::u16string(kConfirmDeleteSet), u"提示")) return;
  if (!p_.files.remove(setFileName(name))) {
    SetFileResult failed;
    failed.error = SetFileError::DeleteFailed;
    return message(describeSetFileError(failed, setFileName(name)));
  }
  speech_.loadedSetText.clear();
  // Forgotten with its text: a set created again under this name must be read afresh.
  loadedSetName_.clear();
  ui_.List2.items.erase(ui_.List2.items.begin() + ui_.List2.selection);
  ui_.List2.selection = -1;
  clearList(ui_.List1);
}

}  // namespace sayvane
