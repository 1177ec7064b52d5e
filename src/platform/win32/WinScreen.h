// The primary screen's size from the system metrics.
#pragma once

#include "platform/Screen.h"

namespace sayvane {

class WinScreen final : public Screen {
 public:
  int width() override;
  int height() override;
};

}  // namespace sayvane
