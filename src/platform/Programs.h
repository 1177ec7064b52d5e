// Starting a program from its command line, with a normal window that gets the focus.
#pragma once

#include <string>

namespace sayvane {

class Programs {
 public:
  Programs() = default;
  Programs(const Programs&) = delete;
  Programs& operator=(const Programs&) = delete;
  virtual ~Programs() = default;

  [[nodiscard]] virtual bool start(const std::u16string& commandLine) = 0;
};

}  // namespace sayvane
