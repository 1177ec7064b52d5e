// Opening documents, folders and web addresses through the desktop shell.
#pragma once

#include <string>

namespace sayvane {

class Shell {
 public:
  Shell() = default;
  Shell(const Shell&) = delete;
  Shell& operator=(const Shell&) = delete;
  virtual ~Shell() = default;

  // The target is passed unchanged; whether it opened is deliberately not reported.
  virtual void open(const std::u16string& target) = 0;
};

}  // namespace sayvane
