// Conversion between the core's UTF-16 text and the GBK bytes of set files on disk.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace sayvane {

struct Encoded {
  std::optional<std::string> bytes;
  // When bytes is empty: index of the first character the code page cannot hold.
  std::size_t badIndex = 0;
};

class CodePage936 {
 public:
  CodePage936() = default;
  CodePage936(const CodePage936&) = delete;
  CodePage936& operator=(const CodePage936&) = delete;
  virtual ~CodePage936() = default;

  // Never substitutes a question mark: unrepresentable text is reported.
  [[nodiscard]] virtual Encoded encode(const std::u16string& text) = 0;
  // Nothing when the bytes are not valid code page 936 text.
  [[nodiscard]] virtual std::optional<std::u16string> decode(const std::string& bytes) = 0;
};

}  // namespace sayvane
