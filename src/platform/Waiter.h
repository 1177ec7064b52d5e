// A monotonic clock plus an event pump: waits inside actions keep the program responsive.
#pragma once

#include <chrono>

namespace sayvane {

class Waiter {
 public:
  Waiter() = default;
  Waiter(const Waiter&) = delete;
  Waiter& operator=(const Waiter&) = delete;
  virtual ~Waiter() = default;

  // Monotonic: never jumps with the wall clock, so a wait across midnight still ends.
  virtual std::chrono::nanoseconds now() = 0;
  // Processes pending events for at most `atMost`; false once the program is quitting.
  [[nodiscard]] virtual bool pump(std::chrono::nanoseconds atMost) = 0;
};

// Returns once strictly more than `duration` has passed on the waiter's clock, pumping
// meanwhile; false when the program began to quit during the wait.
[[nodiscard]] bool waitMoreThan(Waiter& waiter, std::chrono::nanoseconds duration);

}  // namespace sayvane
