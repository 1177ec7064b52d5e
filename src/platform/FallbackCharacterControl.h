// The character the system offers, or the program's own when the system has none: the second
// control is asked only when the first cannot load the character, so a working system control
// is never doubled by the built-in one.
#pragma once

#include "platform/Character.h"

namespace sayvane {

class FallbackCharacterControl final : public CharacterControl {
 public:
  FallbackCharacterControl(CharacterControl& preferred, CharacterControl& fallback)
      : preferred_(preferred), fallback_(fallback) {}

  [[nodiscard]] Character* load(const std::u16string& id, const std::u16string& loadKey) override {
    if (Character* character = preferred_.load(id, loadKey)) return character;
    return fallback_.load(id, loadKey);
  }

 private:
  CharacterControl& preferred_;
  CharacterControl& fallback_;
};

}  // namespace sayvane
