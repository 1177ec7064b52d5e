// The speech recognizer and the character control as a system without either presents them:
// nothing can be created or loaded. The program then runs on as its start-up allows.
#pragma once

#include "platform/Character.h"
#include "platform/Recognizer.h"

namespace sayvane::win32 {

class UnavailableRecognizer final : public Recognizer {
 public:
  bool createContext() override { return false; }
  std::optional<std::vector<std::u16string>> recognizerDescriptions() override { return std::nullopt; }
  bool createGrammar() override { return false; }
  bool loadDictation() override { return false; }
  bool deactivateDictation() override { return false; }
  std::optional<std::uint32_t> eventInterests() override { return std::nullopt; }
  bool setEventInterests(std::uint32_t) override { return false; }
  bool loadCommandFile(const std::u16string&) override { return false; }
  bool setRulesActive(bool) override { return false; }
};

class UnavailableCharacterControl final : public CharacterControl {
 public:
  Character* load(const std::u16string&, const std::u16string&) override { return nullptr; }
};

}  // namespace sayvane::win32
