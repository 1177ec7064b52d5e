// The simulated system's keyboard: a standard 101/102-key keyboard with the US layout, whose scan
// codes Windows gives for its virtual keys. The dry run shows game keys with it too.
#pragma once

#include <cstdint>

namespace sayvane::sim {

// 0 for a virtual key no key of this keyboard produces.
std::uint8_t standardScanCode(std::uint8_t virtualKey);

}  // namespace sayvane::sim
