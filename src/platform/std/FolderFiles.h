// Files of one folder through std::filesystem: the same code serves Linux and Windows.
#pragma once

#include <filesystem>
#include <functional>

#include "platform/Files.h"

namespace sayvane {

// Puts a written file's data on the disk before it replaces the old one, so that a power cut
// cannot leave a set file empty; false when it could not. The standard library has no such call.
using FlushToDisk = std::function<bool(const std::filesystem::path& file)>;

class FolderFiles final : public Files {
 public:
  explicit FolderFiles(std::filesystem::path folder, FlushToDisk flushToDisk = {});

  std::u16string folder() override;
  std::vector<std::u16string> listXml() override;
  [[nodiscard]] std::optional<std::string> read(const std::u16string& name) override;
  [[nodiscard]] bool writeAtomic(const std::u16string& name, const std::string& bytes) override;
  [[nodiscard]] bool remove(const std::u16string& name) override;
  Kind kindOf(const std::u16string& name) override;

 private:
  std::filesystem::path pathOf(const std::u16string& name) const;
  std::filesystem::path folder_;
  FlushToDisk flushToDisk_;
};

}  // namespace sayvane
