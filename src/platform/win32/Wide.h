// The core's UTF-16 text as the Win32 API's wide strings: both are UTF-16 code units on
// Windows, so the conversion only changes the character type.
#pragma once

#include <string>
#include <string_view>

namespace sayvane::win32 {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Win32 wide strings are UTF-16");

inline std::wstring wide(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }
inline std::u16string utf16(std::wstring_view text) { return std::u16string(text.begin(), text.end()); }

}  // namespace sayvane::win32
