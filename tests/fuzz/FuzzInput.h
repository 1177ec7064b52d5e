// Turns fuzzer bytes into UTF-16 text; the first byte picks the decoding.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "text/Text.h"

namespace sayvane::fuzz {

// Stops the run with a report the fuzzer records as a crash, keeping the input.
#define SAYVANE_FUZZ_CHECK(condition) \
  do {                                \
    if (!(condition)) __builtin_trap(); \
  } while (0)

enum class Decoding { Utf16Le, Utf8, Structured };

// '0' (and every byte = 0 mod 3) reads UTF-16LE pairs, '1' UTF-8, '2' the structured form.
inline Decoding decodingOf(std::uint8_t first) {
  switch (first % 3) {
    case 0: return Decoding::Utf16Le;
    case 1: return Decoding::Utf8;
    default: return Decoding::Structured;
  }
}

// Pairs of bytes as little-endian units: every char16_t value, lone surrogates included.
inline std::u16string fromUtf16Le(const std::uint8_t* data, std::size_t size) {
  std::u16string text;
  text.reserve(size / 2);
  for (std::size_t i = 0; i + 1 < size; i += 2)
    text.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
  return text;
}

inline std::u16string decode(Decoding decoding, const std::uint8_t* data, std::size_t size) {
  if (decoding == Decoding::Utf16Le) return fromUtf16Le(data, size);
  return fromUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
}

}  // namespace sayvane::fuzz
