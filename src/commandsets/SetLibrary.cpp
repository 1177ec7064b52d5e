#include "commandsets/SetLibrary.h"

#include <algorithm>

#include "commandsets/DefaultSets.h"
#include "commandsets/EditorTexts.h"
#include "commandsets/EntryRules.h"
#include "commandsets/SetFile.h"
#include "text/Text.h"

namespace sayvane {
namespace {

Refusal notice(std::u16string_view message) { return {std::u16string(message), true}; }
Refusal failure(std::u16string message) { return {std::move(message), false}; }

}  // namespace

SetLibrary::SetLibrary(Files& files, CodePage936& codePage) : files_(files), codePage_(codePage) {}

void SetLibrary::list() { names_ = listSetNames(files_); }

std::u16string SetLibrary::path(std::u16string_view name) const { return setPath(files_.folder(), name); }

void SetLibrary::setLoaded(std::u16string name, std::u16string text) {
  loadedName_ = std::move(name);
  loadedText_ = std::move(text);
  ++revision_;
}

void SetLibrary::choose(const std::u16string& name) {
  chosenName_ = name;
  ++revision_;
}

Outcome SetLibrary::loadChosen() {
  const auto read = readSetFile(files_, codePage_, chosenName_);
  if (!read) return failure(describeSetFileError(read, setFileName(chosenName_)));
  setLoaded(chosenName_, read.text);
  return std::nullopt;
}

// Written before anything changes: a failed save leaves the library and the file as they were.
Outcome SetLibrary::write(const std::u16string& text) {
  const auto written = writeSetFile(files_, codePage_, loadedName_, text);
  if (!written) return failure(describeSetFileError(written, setFileName(loadedName_), text));
  setLoaded(loadedName_, text);
  return std::nullopt;
}

Outcome SetLibrary::addPhrase(const std::u16string& phrase, const std::u16string& action) {
  if (phrase.empty()) return notice(kEnterPhrase);
  if (action.empty()) return notice(kEnterAction);
  for (const auto& entry : listEntries(loadedText_))
    if (entry.phrase == phrase) return notice(kDuplicatePhrase);
  for (const auto& problem : {phraseProblem(phrase, codePage_), actionProblem(action, codePage_)})
    if (!problem.empty()) return notice(problem);
  if (!chosenIsLoaded()) return notice(kNoLoadedSet);
  const auto text = insertEntry(loadedText_, makeEntryLine(phrase, action));
  if (!text) return failure(std::u16string(kNoListEnd));
  return write(*text);
}

Outcome SetLibrary::removePhrase(const Entry& entry) {
  if (contains(entry.phrase, kProtectedWord) || contains(entry.action, kProtectedWord))
    return notice(kProtectedPhrase);
  if (!chosenIsLoaded()) return notice(kNoLoadedSet);
  // Of two entries with one phrase the file loses the first, whichever was chosen.
  const auto text = removeEntry(loadedText_, entry.phrase);
  if (!text) return failure(std::u16string(kPhraseNotInFile));
  return write(*text);
}

Outcome SetLibrary::create(const std::u16string& name) {
  if (name.empty()) return notice(kEnterSetName);
  auto existing = files_.listXml();
  for (const auto& listed : names_) existing.push_back(setFileName(listed));
  if (const auto problem = setNameProblem(name, files_.folder(), existing, codePage_); !problem.empty())
    return notice(problem);
  const auto written = writeSetFile(files_, codePage_, name, newSetText());
  if (!written) return failure(describeSetFileError(written, setFileName(name)));
  names_.push_back(name);
  return std::nullopt;
}

Outcome SetLibrary::removable() const {
  if (chosenName_ == kInitialSetName) return notice(kProtectedSet);
  return std::nullopt;
}

Outcome SetLibrary::removeChosen() {
  if (auto refused = removable()) return refused;
  if (chosenName_.empty()) return std::nullopt;
  if (!files_.remove(setFileName(chosenName_))) {
    SetFileResult failed;
    failed.error = SetFileError::DeleteFailed;
    return failure(describeSetFileError(failed, setFileName(chosenName_)));
  }
  if (const auto listed = std::find(names_.begin(), names_.end(), chosenName_); listed != names_.end())
    names_.erase(listed);
  chosenName_.clear();
  // Forgotten with its text: a set created again under the loaded name is read afresh.
  setLoaded({}, {});
  return std::nullopt;
}

std::optional<std::u16string> SetLibrary::writeDefaultsIfEmpty() {
  // A folder that holds any set file is never touched.
  if (!files_.listXml().empty()) return std::nullopt;
  const auto restored = restoreDefaultSets(files_, codePage_);
  if (restored) return std::nullopt;
  // A half set of defaults would stop the next start in a writable folder from writing all eight.
  for (const auto& file : files_.listXml()) (void)files_.remove(file);
  return setFileName(restored.setName);
}

}  // namespace sayvane
