// The per-user settings store under HKEY_CURRENT_USER, laid out as Visual Basic's SaveSetting
// keeps it, so values saved by earlier versions of the program are found again.
#pragma once

#include "platform/DiagnosticRecord.h"
#include "platform/Settings.h"

namespace sayvane {

class WinSettings final : public Settings {
 public:
  // A write or delete the registry refuses goes to `record` with its answer.
  explicit WinSettings(DiagnosticRecord& record = noRecord()) : record_(record) {}
  std::optional<std::u16string> read(const std::u16string& application, const std::u16string& section,
                                     const std::u16string& key) override;
  [[nodiscard]] bool write(const std::u16string& application, const std::u16string& section,
                           const std::u16string& key, const std::u16string& value) override;
  // False when the section does not exist or could not be removed.
  [[nodiscard]] bool deleteSection(const std::u16string& application, const std::u16string& section) override;

 private:
  // A registry answer: true for success; anything else goes to the record.
  bool done(std::u16string_view call, const std::wstring& path, long status);
  DiagnosticRecord& record_;
};

// "Software\VB and VBA Program Settings\<application>\<section>", below HKEY_CURRENT_USER.
std::wstring settingsKeyPath(const std::u16string& application, const std::u16string& section);

}  // namespace sayvane
