// A random generator that can be re-seeded from the clock.
#pragma once

namespace sayvane {

class Random {
 public:
  Random() = default;
  Random(const Random&) = delete;
  Random& operator=(const Random&) = delete;
  virtual ~Random() = default;

  virtual void reseedFromClock() = 0;
  // Uniform in [0, 1).
  virtual double next() = 0;
};

}  // namespace sayvane
