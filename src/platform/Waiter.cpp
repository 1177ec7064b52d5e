#include "platform/Waiter.h"

namespace sayvane {

bool waitMoreThan(Waiter& waiter, std::chrono::nanoseconds duration) {
  if (duration < std::chrono::nanoseconds::zero()) duration = std::chrono::nanoseconds::zero();
  const auto start = waiter.now();
  for (;;) {
    const auto elapsed = waiter.now() - start;
    if (elapsed > duration) return true;
    // A clock that reads earlier than the start (it must not, but a broken one might) still
    // counts down: the remaining time is never more than the whole duration plus one tick.
    auto remaining = duration - elapsed + std::chrono::nanoseconds(1);
    if (remaining > duration + std::chrono::nanoseconds(1)) remaining = duration + std::chrono::nanoseconds(1);
    if (!waiter.pump(remaining)) return false;
  }
}

}  // namespace sayvane
