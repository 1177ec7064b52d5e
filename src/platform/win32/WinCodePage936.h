// Code page 936 through the Win32 converters, always 936 and never the system's ANSI page.
#pragma once

#include "platform/CodePage936.h"

namespace sayvane {

class WinCodePage936 final : public CodePage936 {
 public:
  [[nodiscard]] Encoded encode(const std::u16string& text) override;
  [[nodiscard]] std::optional<std::u16string> decode(const std::string& bytes) override;
};

}  // namespace sayvane
