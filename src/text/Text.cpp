#include "text/Text.h"

namespace sayvane {

std::u16string fromUtf8(std::string_view s) {
  std::u16string out;
  out.reserve(s.size());
  std::size_t i = 0;
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
  while (i < s.size()) {
    const unsigned char b = byte(i);
    char32_t cp = 0xFFFD;
    std::size_t len = 1;
    if (b < 0x80) {
      cp = b;
    } else {
      std::size_t need = 0;
      char32_t min = 0;
      if ((b & 0xE0) == 0xC0) { need = 1; cp = b & 0x1F; min = 0x80; }
      else if ((b & 0xF0) == 0xE0) { need = 2; cp = b & 0x0F; min = 0x800; }
      else if ((b & 0xF8) == 0xF0) { need = 3; cp = b & 0x07; min = 0x10000; }
      bool ok = need > 0;
      for (std::size_t k = 1; ok && k <= need; ++k) {
        if (i + k >= s.size() || (byte(i + k) & 0xC0) != 0x80) ok = false;
        else cp = (cp << 6) | (byte(i + k) & 0x3F);
      }
      if (ok && (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))) ok = false;
      if (ok) len = need + 1;
      else cp = 0xFFFD;
    }
    i += len;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
  }
  return out;
}

std::string toUtf8(std::u16string_view t) {
  std::string out;
  out.reserve(t.size() * 3);
  for (std::size_t i = 0; i < t.size(); ++i) {
    char32_t cp = t[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < t.size() && t[i + 1] >= 0xDC00 && t[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (t[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;
    }
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
  return out;
}

char16_t lowerChar(char16_t c) {
  if (c >= u'A' && c <= u'Z') return static_cast<char16_t>(c + 32);
  if (c < 0x80) return c;
  if (c >= 0xFF21 && c <= 0xFF3A) return static_cast<char16_t>(c + 32);  // full-width Ａ-Ｚ
  if ((c >= 0xC0 && c <= 0xDE && c != 0xD7)) return static_cast<char16_t>(c + 32);
  if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return static_cast<char16_t>(c + 32);
  if (c >= 0x410 && c <= 0x42F) return static_cast<char16_t>(c + 32);
  return c;
}

std::u16string lowerCase(std::u16string_view text) {
  std::u16string out(text);
  for (auto& c : out) c = lowerChar(c);
  return out;
}

std::size_t findText(std::u16string_view text, std::u16string_view part, std::size_t from) {
  const std::size_t n = text.size();
  const std::size_t m = part.size();
  if (m < 3 || from > n || n - from < 64) return text.find(part, from);
  // Shifts by the low byte of a unit: units that share it share the smallest shift, which
  // only makes some skips shorter, never wrong.
  std::size_t skip[256];
  for (auto& s : skip) s = m;
  for (std::size_t i = 0; i + 1 < m; ++i) skip[part[i] & 0xFF] = m - 1 - i;
  const char16_t last = part[m - 1];
  const auto head = part.substr(0, m - 1);
  for (std::size_t i = from; i + m <= n;) {
    const char16_t c = text[i + m - 1];
    if (c == last && text.substr(i, m - 1) == head) return i;
    i += skip[c & 0xFF];
  }
  return std::u16string_view::npos;
}

std::u16string concat(std::initializer_list<std::u16string_view> pieces) {
  std::size_t size = 0;
  for (const auto piece : pieces) size += piece.size();
  std::u16string joined;
  joined.reserve(size);
  for (const auto piece : pieces) joined += piece;
  return joined;
}

bool contains(std::u16string_view text, std::u16string_view part) {
  return text.find(part) != std::u16string_view::npos;
}

}  // namespace sayvane
