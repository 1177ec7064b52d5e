// Modal message boxes; events keep being processed while one is open.
#pragma once

#include <string>

namespace sayvane {

class Dialogs {
 public:
  Dialogs() = default;
  Dialogs(const Dialogs&) = delete;
  Dialogs& operator=(const Dialogs&) = delete;
  virtual ~Dialogs() = default;

  // An OK-only box; returns when the user has closed it.
  virtual void message(const std::u16string& text, const std::u16string& caption) = 0;
};

}  // namespace sayvane
