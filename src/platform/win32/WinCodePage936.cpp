#include "platform/win32/WinCodePage936.h"

#include <windows.h>

#include <climits>

namespace sayvane {
namespace {

constexpr UINT kGbk = 936;

bool convertible(const wchar_t* text, int length) {
  BOOL usedDefault = FALSE;
  const int size = WideCharToMultiByte(kGbk, WC_NO_BEST_FIT_CHARS, text, length, nullptr, 0, nullptr, &usedDefault);
  return size > 0 && !usedDefault;
}

}  // namespace

Encoded WinCodePage936::encode(const std::u16string& text) {
  Encoded result;
  if (text.empty()) {
    result.bytes = std::string();
    return result;
  }
  if (text.size() > INT_MAX / 2) return result;
  const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
  const int length = static_cast<int>(text.size());
  BOOL usedDefault = FALSE;
  const int size = WideCharToMultiByte(kGbk, WC_NO_BEST_FIT_CHARS, wide, length, nullptr, 0, nullptr, &usedDefault);
  if (size > 0 && !usedDefault) {
    std::string bytes(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(kGbk, WC_NO_BEST_FIT_CHARS, wide, length, bytes.data(), size, nullptr, &usedDefault);
    result.bytes = std::move(bytes);
    return result;
  }
  // Find the first character (or surrogate pair) that the code page cannot hold.
  for (int i = 0; i < length; ++i) {
    const int units = (IS_HIGH_SURROGATE(wide[i]) && i + 1 < length && IS_LOW_SURROGATE(wide[i + 1])) ? 2 : 1;
    if (!convertible(wide + i, units)) {
      result.badIndex = static_cast<std::size_t>(i);
      return result;
    }
    i += units - 1;
  }
  return result;
}

std::optional<std::u16string> WinCodePage936::decode(const std::string& bytes) {
  if (bytes.empty()) return std::u16string();
  if (bytes.size() > INT_MAX) return std::nullopt;
  const int length = static_cast<int>(bytes.size());
  const int size = MultiByteToWideChar(kGbk, MB_ERR_INVALID_CHARS, bytes.data(), length, nullptr, 0);
  if (size <= 0) return std::nullopt;
  std::u16string text(static_cast<std::size_t>(size), u'\0');
  MultiByteToWideChar(kGbk, MB_ERR_INVALID_CHARS, bytes.data(), length, reinterpret_cast<wchar_t*>(text.data()), size);
  return text;
}

}  // namespace sayvane

#include "platform/HostCodePage936.h"

namespace sayvane {
std::unique_ptr<CodePage936> makeHostCodePage936() { return std::make_unique<WinCodePage936>(); }
}  // namespace sayvane
