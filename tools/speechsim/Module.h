// This DLL's own module handle and environment, as the stand-ins read them.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace speechsim {

inline HINSTANCE thisModule() { return reinterpret_cast<HINSTANCE>(&__ImageBase); }

// The variable's value; nothing when it is not set (set but empty gives an empty string).
inline std::optional<std::wstring> environment(const wchar_t* name) {
  SetLastError(ERROR_SUCCESS);
  const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
  if (size == 0) {
    if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
    return std::wstring();
  }
  std::wstring value(size, L'\0');
  const DWORD length = GetEnvironmentVariableW(name, value.data(), size);
  value.resize(length);
  return value;
}

}  // namespace speechsim
