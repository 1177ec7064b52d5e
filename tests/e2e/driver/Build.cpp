#include "e2e/driver/Build.h"

#include <windows.h>

#include "platform/win32/ProgramFolder.h"

namespace e2e {

namespace fs = std::filesystem;

std::optional<fs::path> folderFromEnvironment(const wchar_t* name) {
  std::wstring folder(32768, L'\0');
  const DWORD length = GetEnvironmentVariableW(name, folder.data(), static_cast<DWORD>(folder.size()));
  if (length == 0 || length >= folder.size()) return std::nullopt;
  folder.resize(length);
  if (folder.front() == L'/') {
    for (auto& c : folder)
      if (c == L'/') c = L'\\';
    folder = L"Z:" + folder;
  }
  return fs::path(folder);
}

fs::path programBuild() {
  // The build puts Sayvane.exe and its manual one folder above the test programs.
  static const fs::path build =
      folderFromEnvironment(L"SAYVANE_E2E_PROGRAM_BUILD").value_or(sayvane::programFolder().parent_path());
  return build;
}

bool programBuildIs32Bit() {
  DWORD type = 0;
  return GetBinaryTypeW((programBuild() / L"Sayvane.exe").c_str(), &type) && type == SCS_32BIT_BINARY;
}

}  // namespace e2e
