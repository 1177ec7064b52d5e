#include "platform/std/ClockRandom.h"

#include <chrono>

namespace sayvane {
namespace {

std::uint32_t low(std::uint64_t value) { return static_cast<std::uint32_t>(value); }
std::uint32_t high(std::uint64_t value) { return static_cast<std::uint32_t>(value >> 32); }

}  // namespace

ClockRandom::ClockRandom() { reseedFromClock(); }

void ClockRandom::reseedFromClock() {
  // The steady clock's fine ticks separate reseeds close together, the wall clock separates runs;
  // the count and the address separate reseeds that read the very same ticks.
  const auto steady = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
  const auto system = static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
  const std::uint64_t count = ++reseeds_;
  const auto address = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(this));
  std::seed_seq seed{low(steady), high(steady), low(system), high(system),
                     low(count),  high(count),  low(address), high(address)};
  engine_.seed(seed);
}

double ClockRandom::next() { return static_cast<double>(engine_() >> 11) * 0x1.0p-53; }

}  // namespace sayvane
