// The per-user settings store under HKEY_CURRENT_USER, laid out as Visual Basic's SaveSetting
// keeps it, so values saved by earlier versions of the program are found again.
#pragma once

#include "platform/Settings.h"

namespace sayvane {

class WinSettings final : public Settings {
 public:
  std::optional<std::u16string> read(const std::u16string& application, const std::u16string& section,
                                     const std::u16string& key) override;
  [[nodiscard]] bool write(const std::u16string& application, const std::u16string& section,
                           const std::u16string& key, const std::u16string& value) override;
  // False when the section does not exist or could not be removed.
  [[nodiscard]] bool deleteSection(const std::u16string& application, const std::u16string& section) override;
};

// "Software\VB and VBA Program Settings\<application>\<section>", below HKEY_CURRENT_USER.
std::wstring settingsKeyPath(const std::u16string& application, const std::u16string& section);

}  // namespace sayvane
