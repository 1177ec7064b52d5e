// UTF-8 and UTF-16 conversions for the stand-ins: pipes and the log speak UTF-8, COM speaks BSTRs.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>
#include <string_view>

namespace speechsim {

inline std::string utf8(std::wstring_view text) {
  if (text.empty()) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                       nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
  return out;
}

inline std::wstring wide(std::string_view text, UINT codePage = CP_UTF8, DWORD flags = 0) {
  if (text.empty()) return {};
  const int size = MultiByteToWideChar(codePage, flags, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(codePage, flags, text.data(), static_cast<int>(text.size()), out.data(), size);
  return out;
}

// A BSTR's text, or empty for a null BSTR (which automation treats as "").
inline std::wstring_view view(BSTR text) { return text ? std::wstring_view(text, SysStringLen(text)) : L""; }

}  // namespace speechsim
