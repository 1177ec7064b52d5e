// The character the system offers, or the program's own when the system has none: the second
// control is asked only when the first cannot load the character, so a working system control
// is never doubled by the built-in one.
#pragma once

#include "platform/Character.h"
#include "platform/DiagnosticRecord.h"

namespace sayvane {

class FallbackCharacterControl final : public CharacterControl {
 public:
  // Which character came goes to `record`.
  FallbackCharacterControl(CharacterControl& preferred, CharacterControl& fallback, DiagnosticRecord& record = noRecord())
      : preferred_(preferred), fallback_(fallback), record_(record) {}

  [[nodiscard]] Character* load(const std::u16string& id, const std::u16string& loadKey) override {
    if (Character* character = preferred_.load(id, loadKey)) {
      record_.note(u"角色：系统的角色控件");
      return character;
    }
    Character* character = fallback_.load(id, loadKey);
    record_.note(character ? u"角色：系统的角色控件载入不了角色，用 Sayvane 自己的角色" : u"角色：没有角色");
    return character;
  }

 private:
  CharacterControl& preferred_;
  CharacterControl& fallback_;
  DiagnosticRecord& record_;
};

}  // namespace sayvane
