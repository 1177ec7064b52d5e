#include "platform/win32/ProgramFolder.h"

#include <windows.h>

#include <string>

namespace sayvane {

std::filesystem::path programFolder() {
  // MAX_PATH is not a limit any more; a truncated name fills the buffer exactly, so grow and retry.
  std::wstring name(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
    if (length == 0) return {};
    if (length < name.size()) {
      name.resize(length);
      return std::filesystem::path(name).parent_path();
    }
    if (name.size() >= 32768) return {};
    name.resize(name.size() * 2);
  }
}

}  // namespace sayvane
