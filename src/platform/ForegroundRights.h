// Whether the window in front belongs to a program running with more rights than this one:
// Windows drops the keys and clicks sent to such a window and tells the sender nothing.
#pragma once

namespace sayvane {

enum class ForegroundLevel { NotHigher, Higher, Unknown };

class ForegroundRights {
 public:
  ForegroundRights() = default;
  ForegroundRights(const ForegroundRights&) = delete;
  ForegroundRights& operator=(const ForegroundRights&) = delete;
  virtual ~ForegroundRights() = default;

  // Unknown when there is no window in front or either program's level cannot be read.
  [[nodiscard]] virtual ForegroundLevel compare() = 0;
};

}  // namespace sayvane
