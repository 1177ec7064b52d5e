// Code page 936 through iconv, for the native build.
#pragma once

#include "platform/CodePage936.h"

namespace sayvane {

class IconvCodePage936 final : public CodePage936 {
 public:
  [[nodiscard]] Encoded encode(const std::u16string& text) override;
  [[nodiscard]] std::optional<std::u16string> decode(const std::string& bytes) override;
};

}  // namespace sayvane
