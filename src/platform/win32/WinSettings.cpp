#include "platform/win32/WinSettings.h"

#include <windows.h>

#include <climits>

#include "platform/win32/Owned.h"
#include "platform/win32/Wide.h"
#include "text/Text.h"

namespace sayvane {
namespace {

const wchar_t* wide(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

}  // namespace

std::wstring settingsKeyPath(const std::u16string& application, const std::u16string& section) {
  std::wstring path = L"Software\\VB and VBA Program Settings\\";
  path += wide(application);
  path += L'\\';
  path += wide(section);
  return path;
}

std::optional<std::u16string> WinSettings::read(const std::u16string& application, const std::u16string& section,
                                                const std::u16string& key) {
  const auto path = settingsKeyPath(application, section);
  // The value may grow between asking for its size and reading it; then ask again.
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD bytes = 0;
    LSTATUS status = RegGetValueW(HKEY_CURRENT_USER, path.c_str(), wide(key), RRF_RT_REG_SZ, nullptr, nullptr, &bytes);
    if (status != ERROR_SUCCESS) return std::nullopt;
    std::u16string value(bytes / sizeof(char16_t) + 1, u'\0');
    bytes = static_cast<DWORD>(value.size() * sizeof(char16_t));
    status = RegGetValueW(HKEY_CURRENT_USER, path.c_str(), wide(key), RRF_RT_REG_SZ, nullptr, value.data(), &bytes);
    if (status == ERROR_MORE_DATA) continue;
    if (status != ERROR_SUCCESS) return std::nullopt;
    // RegGetValueW terminates the string; what it reports includes that terminator.
    value.resize(bytes / sizeof(char16_t));
    while (!value.empty() && value.back() == u'\0') value.pop_back();
    return value;
  }
  return std::nullopt;
}

bool WinSettings::write(const std::u16string& application, const std::u16string& section, const std::u16string& key,
                        const std::u16string& value) {
  if (value.size() >= INT_MAX / sizeof(char16_t)) return false;
  const auto path = settingsKeyPath(application, section);
  HKEY handle = nullptr;
  const LSTATUS created = RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                         KEY_SET_VALUE, nullptr, &handle, nullptr);
  if (!done(u"RegCreateKeyEx", path, created)) return false;
  const win32::UniqueKey opened(handle);
  const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(char16_t));
  const LSTATUS status =
      RegSetValueExW(opened, wide(key), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), bytes);
  return done(u"RegSetValueEx", path, status);
}

bool WinSettings::deleteSection(const std::u16string& application, const std::u16string& section) {
  const auto path = settingsKeyPath(application, section);
  HKEY handle = nullptr;
  constexpr REGSAM kAccess = DELETE | KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE | KEY_SET_VALUE;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, kAccess, &handle) != ERROR_SUCCESS)
    return false;
  // Empties the section (values and subkeys), then removes the section key itself.
  const LSTATUS emptied = RegDeleteTreeW(win32::UniqueKey(handle), nullptr);
  return done(u"RegDeleteTree", path, emptied) && done(u"RegDeleteKey", path, RegDeleteKeyW(HKEY_CURRENT_USER, path.c_str()));
}

bool WinSettings::done(std::u16string_view call, const std::wstring& path, long status) {
  if (status == ERROR_SUCCESS) return true;
  record_.note(concat({u"设置：", call, u"(", win32::utf16(path), u") -> ", answerText(static_cast<std::uint32_t>(status))}));
  return false;
}

}  // namespace sayvane
