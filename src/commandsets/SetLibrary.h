// The command sets of the program folder: their names, the one the user chose in the list, the
// one loaded (its name and text: what edits reach and actions are looked up in), and every
// edit, each written to disk before the library takes it. The chosen set is the loaded one
// unless loading it was refused; then it can only be deleted, or chosen again.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "commandsets/SetText.h"
#include "platform/CodePage936.h"
#include "platform/Files.h"

namespace sayvane {

// Why an edit or a read did not happen, in words for the user.
struct Refusal {
  std::u16string message;
  bool notice = false;  // about what the user entered or chose, rather than a failure
};
using Outcome = std::optional<Refusal>;  // nothing: done

class SetLibrary {
 public:
  SetLibrary(Files& files, CodePage936& codePage);
  SetLibrary(const SetLibrary&) = delete;
  SetLibrary& operator=(const SetLibrary&) = delete;

  // The folder's sets afresh, in the order the folder lists them.
  void list();
  const std::vector<std::u16string>& names() const { return names_; }
  // Empty while no set is chosen.
  const std::u16string& chosenName() const { return chosenName_; }
  // Empty while no set is loaded.
  const std::u16string& loadedName() const { return loadedName_; }
  bool chosenIsLoaded() const { return !chosenName_.empty() && chosenName_ == loadedName_; }
  const std::u16string& loadedText() const { return loadedText_; }
  // Counts every change of the chosen or the loaded set, so a view redraws only what changed.
  unsigned revision() const { return revision_; }
  // What the recognizer is given to load.
  std::u16string path(std::u16string_view name) const;

  // The user's choice in the list; it is loaded by `loadChosen`.
  void choose(const std::u16string& name);
  // Reads the chosen set; on success it is the loaded one, otherwise the loaded one stays.
  [[nodiscard]] Outcome loadChosen();
  // Edits reach the loaded set only while it is the chosen one: after a refused choice they
  // would otherwise land in a set the list does not show.
  // The loaded set gains an entry at its end.
  [[nodiscard]] Outcome addPhrase(const std::u16string& phrase, const std::u16string& action);
  // The loaded set loses the first entry of the entry's phrase.
  [[nodiscard]] Outcome removePhrase(const Entry& entry);
  // A new set from the template, listed last; it is not loaded.
  [[nodiscard]] Outcome create(const std::u16string& name);
  // Whether the chosen set may be deleted, before the user is asked.
  [[nodiscard]] Outcome removable() const;
  // Deletes the chosen set's file; then no set is chosen or loaded. Asking the user first is
  // the caller's.
  [[nodiscard]] Outcome removeChosen();
  // A folder with no set at all gets the default sets; the sets written before a failure go
  // again, so that the next start in a writable folder writes all of them. On failure, the
  // file that could not be written.
  [[nodiscard]] std::optional<std::u16string> writeDefaultsIfEmpty();

 private:
  Outcome write(const std::u16string& text);
  void setLoaded(std::u16string name, std::u16string text);

  Files& files_;
  CodePage936& codePage_;
  std::vector<std::u16string> names_;
  std::u16string chosenName_;
  std::u16string loadedName_;
  std::u16string loadedText_;
  unsigned revision_ = 0;
};

}  // namespace sayvane
