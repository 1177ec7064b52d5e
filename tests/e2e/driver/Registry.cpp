// The program's saved settings, where Visual-Basic-style SaveSetting keeps them.
#include "e2e/driver/Registry.h"

#include <windows.h>

#include <vector>

namespace e2e {

namespace {

std::wstring sectionKey(const std::wstring& app, const std::wstring& section) {
  return L"Software\\VB and VBA Program Settings\\" + app + L"\\" + section;
}

}  // namespace

std::optional<std::wstring> vbSetting(const std::wstring& app, const std::wstring& section,
                                      const std::wstring& key) {
  HKEY handle = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, sectionKey(app, section).c_str(), 0, KEY_QUERY_VALUE, &handle) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  std::optional<std::wstring> result;
  DWORD type = 0, bytes = 0;
  if (RegQueryValueExW(handle, key.c_str(), nullptr, &type, nullptr, &bytes) == ERROR_SUCCESS &&
      (type == REG_SZ || type == REG_EXPAND_SZ)) {
    std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 1, L'\0');
    DWORD size = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    if (RegQueryValueExW(handle, key.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size) ==
        ERROR_SUCCESS) {
      // A stored string may or may not carry its terminating zero.
      std::wstring value(buffer.data(), size / sizeof(wchar_t));
      while (!value.empty() && value.back() == L'\0') value.pop_back();
      result = std::move(value);
    }
  }
  RegCloseKey(handle);
  return result;
}

bool deleteVbSection(const std::wstring& app, const std::wstring& section) {
  const std::wstring path = sectionKey(app, section);
  const LSTATUS status = RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str());
  if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) return false;
  HKEY handle = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return true;
  RegCloseKey(handle);
  return false;
}

}  // namespace e2e
