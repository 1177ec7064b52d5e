#include "platform/Waiter.h"

#include <algorithm>

namespace sayvane {

bool waitMoreThan(Waiter& waiter, std::chrono::nanoseconds duration) {
  if (duration < std::chrono::nanoseconds::zero()) duration = std::chrono::nanoseconds::zero();
  const auto start = waiter.now();
  for (;;) {
    const auto elapsed = waiter.now() - start;
    if (elapsed > duration) return true;
    // Never asks for more than the whole wait, even of a clock that reads before the start.
    if (!waiter.pump(std::min(duration - elapsed, duration) + std::chrono::nanoseconds(1))) return false;
  }
}

}  // namespace sayvane
