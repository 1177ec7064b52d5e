#include "platform/win32/WinInput.h"

#include <windows.h>

namespace sayvane {

// Nothing is added to the caller's flags: no extended-key bit, and moves stay relative.
void WinInput::keyEvent(std::uint8_t virtualKey, std::uint8_t scanCode, std::uint32_t flags,
                        std::uintptr_t extraInfo) {
  keybd_event(virtualKey, scanCode, flags, extraInfo);
}

void WinInput::mouseEvent(std::uint32_t flags, std::int32_t dx, std::int32_t dy, std::int32_t data,
                          std::uintptr_t extraInfo) {
  // The DWORD parameters carry signed values: relative moves and wheel deltas may be negative.
  mouse_event(flags, static_cast<DWORD>(dx), static_cast<DWORD>(dy), static_cast<DWORD>(data), extraInfo);
}

}  // namespace sayvane
