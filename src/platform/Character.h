// The assistant character on the desktop: what actions and the program ask of it.
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
};

}  // namespace sayvane
