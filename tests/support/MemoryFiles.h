// A program folder kept in memory, whose writes and removals can be told to fail.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/Files.h"

namespace sayvane::testing {

class MemoryFiles final : public Files {
 public:
  std::u16string folder() override { return u"C:\\Sayvane"; }
  std::vector<std::u16string> listXml() override;
  [[nodiscard]] std::optional<std::string> read(const std::u16string& name) override;
  [[nodiscard]] bool writeAtomic(const std::u16string& name, const std::string& bytes) override;
  [[nodiscard]] bool remove(const std::u16string& name) override;
  Kind kindOf(const std::u16string& name) override;
  std::map<std::u16string, std::string> files;
  std::vector<std::u16string> folders;  // never listed, never written over
  bool failWrites = false;
  std::vector<std::u16string> unwritable;  // names whose writes fail, as on a full disk
  bool failRemoves = false;
};

}  // namespace sayvane::testing
