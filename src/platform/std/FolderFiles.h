// Files of one folder through std::filesystem: the same code serves Linux and Windows.
#pragma once

#include <filesystem>

#include "platform/Files.h"

namespace sayvane {

class FolderFiles final : public Files {
 public:
  explicit FolderFiles(std::filesystem::path folder);

  std::u16string folder() override;
  std::vector<std::u16string> listXml() override;
  [[nodiscard]] std::optional<std::string> read(const std::u16string& name) override;
  [[nodiscard]] bool writeAtomic(const std::u16string& name, const std::string& bytes) override;
  [[nodiscard]] bool remove(const std::u16string& name) override;

 private:
  std::filesystem::path pathOf(const std::u16string& name) const;
  std::filesystem::path folder_;
};

}  // namespace sayvane
