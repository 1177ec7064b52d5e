// Random numbers from a generator seeded from the clocks; only the standard library.
#pragma once

#include <cstdint>
#include <random>

#include "platform/Random.h"

namespace sayvane {

class ClockRandom final : public Random {
 public:
  ClockRandom();

  void reseedFromClock() override;
  // Uniform in [0, 1): the top 53 bits of one draw, so 1.0 can never come out.
  double next() override;

 private:
  std::mt19937_64 engine_;
  std::uint64_t reseeds_ = 0;
};

}  // namespace sayvane
