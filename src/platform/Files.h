// The files of the program folder, addressed by file name.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace sayvane {

class Files {
 public:
  Files() = default;
  Files(const Files&) = delete;
  Files& operator=(const Files&) = delete;
  virtual ~Files() = default;

  // The program folder as shown to the user and passed to the recognizer.
  virtual std::u16string folder() = 0;
  // File names matching "*.xml" (case-insensitive, as Windows matches), sorted by name.
  virtual std::vector<std::u16string> listXml() = 0;
  [[nodiscard]] virtual std::optional<std::string> read(const std::u16string& name) = 0;
  // Replaces the file as a whole: after a failure or crash the old contents remain.
  [[nodiscard]] virtual bool writeAtomic(const std::u16string& name, const std::string& bytes) = 0;
  [[nodiscard]] virtual bool remove(const std::u16string& name) = 0;
  // What lies under `name`: a folder there blocks a set file of that name as surely as an
  // unwritable folder does, and the user must be told which it is.
  enum class Kind { Missing, File, Folder };
  virtual Kind kindOf(const std::u16string& name) = 0;
};

}  // namespace sayvane
