// The system clipboard, as far as typing prepared text needs it.
#pragma once

#include <string>

namespace sayvane {

class Clipboard {
 public:
  Clipboard() = default;
  Clipboard(const Clipboard&) = delete;
  Clipboard& operator=(const Clipboard&) = delete;
  virtual ~Clipboard() = default;

  [[nodiscard]] virtual bool clear() = 0;
  [[nodiscard]] virtual bool setText(const std::u16string& text) = 0;
};

}  // namespace sayvane
