// The foreground window's process integrity level against this process's, read from the
// two process tokens.
#pragma once

#include "platform/ForegroundRights.h"

namespace sayvane {

class WinForegroundRights final : public ForegroundRights {
 public:
  [[nodiscard]] ForegroundLevel compare() override;
};

}  // namespace sayvane
