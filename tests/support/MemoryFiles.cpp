// The in-memory program folder: writes and removals fail where the test says.
#include "support/MemoryFiles.h"

#include <algorithm>

#include "text/Text.h"

namespace sayvane::testing {

std::vector<std::u16string> MemoryFiles::listXml() {
  std::vector<std::u16string> names;
  for (const auto& [name, bytes] : files)
    if (name.size() >= 4 && lowerCase(std::u16string_view(name).substr(name.size() - 4)) == u".xml") names.push_back(name);
  return names;
}

std::optional<std::string> MemoryFiles::read(const std::u16string& name) {
  const auto it = files.find(name);
  return it == files.end() ? std::nullopt : std::optional<std::string>(it->second);
}

bool MemoryFiles::writeAtomic(const std::u16string& name, const std::string& bytes) {
  if (failWrites || kindOf(name) == Kind::Folder ||
      std::find(unwritable.begin(), unwritable.end(), name) != unwritable.end())
    return false;
  files[name] = bytes;
  return true;
}

bool MemoryFiles::remove(const std::u16string& name) { return !failRemoves && files.erase(name) > 0; }

Files::Kind MemoryFiles::kindOf(const std::u16string& name) {
  if (std::find(folders.begin(), folders.end(), name) != folders.end()) return Kind::Folder;
  return files.count(name) ? Kind::File : Kind::Missing;
}

}  // namespace sayvane::testing
