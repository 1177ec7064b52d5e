#include "app/CharacterMenu.h"

#include "app/AppTexts.h"
#include "commandsets/SetFile.h"
#include "commandsets/SetText.h"
#include "text/Text.h"

namespace sayvane {

void CharacterMenu::loadAndGreet(CharacterControl& control) {
  character_.set(control.load(std::u16string(kCharacterId), concat({files_.folder(), kCharacterFile})));
  (void)character_.setLanguageId(kCharacterLanguage);
  (void)character_.show();
  (void)character_.speak(std::u16string(kGreeting));
}

std::optional<std::u16string> CharacterMenu::fill(const std::u16string& fileName) {
  const auto read = readSetFileNamed(files_, codePage_, fileName);
  if (!read) return describeSetFileError(read, fileName);
  if (filled_) return std::nullopt;
  // Without a character there is no menu to fill, but voice commands work all the same.
  if (character_.get()) {
    for (auto& phrase : characterMenuEntries(read.text)) {
      // An empty or repeated name is the control's business; it must not stop the switch.
      (void)character_.addCommand(phrase);
      entries_.push_back(std::move(phrase));
    }
  }
  filled_ = true;
  return std::nullopt;
}

void CharacterMenu::clear() {
  if (!filled_) return;
  (void)character_.removeAllCommands();
  entries_.clear();
  filled_ = false;
}

void CharacterMenu::restore(const Snapshot& before) {
  if (filled_ == before.filled && entries_ == before.entries) return;
  clear();
  if (!before.filled) return;
  for (const auto& phrase : before.entries) (void)character_.addCommand(phrase);
  entries_ = before.entries;
  filled_ = true;
}

}  // namespace sayvane
