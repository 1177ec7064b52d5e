// The assistant character as the program holds it, and its command menu: the loaded character
// (which actions reach through here), the menu's entries, filling and clearing them, and taking
// a change back.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/Character.h"
#include "platform/CodePage936.h"
#include "platform/Files.h"

namespace sayvane {

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

class CharacterMenu {
 public:
  struct Snapshot {
    std::vector<std::u16string> entries;
    bool filled = false;
  };

  CharacterMenu(Files& files, CodePage936& codePage) : files_(files), codePage_(codePage) {}
  CharacterMenu(const CharacterMenu&) = delete;
  CharacterMenu& operator=(const CharacterMenu&) = delete;

  LoadedCharacter& character() { return character_; }
  // Loads the character from the program folder and lets it greet; every step is tried even
  // when the one before failed, and a missing character fails them all without a word.
  void loadAndGreet(CharacterControl& control);

  bool filled() const { return filled_; }
  const std::vector<std::u16string>& entries() const { return entries_; }
  // The set file's phrases, lower-cased, in file order. The file is read even when the menu is
  // already filled, so a vanished set is noticed: its message, or nothing.
  std::optional<std::u16string> fill(const std::u16string& fileName);
  void clear();
  Snapshot snapshot() const { return {entries_, filled_}; }
  void restore(const Snapshot& before);

 private:
  Files& files_;
  CodePage936& codePage_;
  LoadedCharacter character_;
  std::vector<std::u16string> entries_;
  bool filled_ = false;
};

}  // namespace sayvane
