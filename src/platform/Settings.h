// The per-user settings store: text values addressed by application, section and key.
#pragma once

#include <optional>
#include <string>

namespace sayvane {

class Settings {
 public:
  Settings() = default;
  Settings(const Settings&) = delete;
  Settings& operator=(const Settings&) = delete;
  virtual ~Settings() = default;

  // Nothing when the value is absent or the store cannot be read.
  virtual std::optional<std::u16string> read(const std::u16string& application, const std::u16string& section,
                                             const std::u16string& key) = 0;
  [[nodiscard]] virtual bool write(const std::u16string& application, const std::u16string& section,
                                   const std::u16string& key, const std::u16string& value) = 0;
  // Removes the section with all its values.
  [[nodiscard]] virtual bool deleteSection(const std::u16string& application, const std::u16string& section) = 0;
};

}  // namespace sayvane
