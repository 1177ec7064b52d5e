// The assistant character on the desktop and the control that loads it.
#pragma once

#include <optional>
#include <string>

namespace sayvane {

class Character {
 public:
  Character() = default;
  Character(const Character&) = delete;
  Character& operator=(const Character&) = delete;
  virtual ~Character() = default;

  [[nodiscard]] virtual bool speak(const std::u16string& text) = 0;
  // Sizes are 16-bit signed pixel counts in the character control.
  [[nodiscard]] virtual std::optional<int> width() = 0;
  [[nodiscard]] virtual std::optional<int> height() = 0;
  [[nodiscard]] virtual bool setWidth(int pixels) = 0;
  [[nodiscard]] virtual bool setHeight(int pixels) = 0;
  [[nodiscard]] virtual bool hide() = 0;
  [[nodiscard]] virtual bool show() = 0;
  [[nodiscard]] virtual bool moveTo(int x, int y) = 0;
  [[nodiscard]] virtual bool setLanguageId(int languageId) = 0;
  // A command-menu entry whose name, caption and voice text are all `name`; enabled, visible.
  [[nodiscard]] virtual bool addCommand(const std::u16string& name) = 0;
  [[nodiscard]] virtual bool removeAllCommands() = 0;
  // Whether the wake phrase was heard, so the next phrase acts. The system's character has no
  // picture for it and is not asked; only the program's own shows it.
  virtual void showArmed(bool) {}
};

// Menu choices come back as events the platform delivers, carrying the entry's name.
class CharacterControl {
 public:
  CharacterControl() = default;
  CharacterControl(const CharacterControl&) = delete;
  CharacterControl& operator=(const CharacterControl&) = delete;
  virtual ~CharacterControl() = default;

  // Loads the character `id` from `loadKey` (a file path) and returns it; nothing when the
  // control or the file is missing. The character lives as long as the control.
  [[nodiscard]] virtual Character* load(const std::u16string& id, const std::u16string& loadKey) = 0;
};

}  // namespace sayvane
