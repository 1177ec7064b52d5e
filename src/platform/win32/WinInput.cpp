#include "platform/win32/WinInput.h"

#include <windows.h>

namespace sayvane {

// The virtual key stays, with the scan code beside it rather than instead of it: ordinary windows
// get exactly the key named (the layout cannot turn it into another one, and keys without a scan
// code still arrive), while games and remote desktops read the scan code. Nothing is added to the
// caller's flags, and moves stay relative.
void WinInput::keyEvent(std::uint8_t virtualKey, std::uint8_t scanCode, std::uint32_t flags,
                        std::uintptr_t extraInfo) {
  keybd_event(virtualKey, scanCode, flags, extraInfo);
}

void WinInput::mouseEvent(std::uint32_t flags, std::int32_t dx, std::int32_t dy, std::int32_t data,
                          std::uintptr_t extraInfo) {
  // The DWORD parameters carry signed values: relative moves and wheel deltas may be negative.
  mouse_event(flags, static_cast<DWORD>(dx), static_cast<DWORD>(dy), static_cast<DWORD>(data), extraInfo);
}

std::uint8_t WinInput::scanCode(std::uint8_t virtualKey) {
  // The keys pretend to come from the keyboard of the window in front, whose layout may differ
  // from this thread's.
  const DWORD thread = GetWindowThreadProcessId(GetForegroundWindow(), nullptr);
  return static_cast<std::uint8_t>(MapVirtualKeyExW(virtualKey, MAPVK_VK_TO_VSC, GetKeyboardLayout(thread)) & 0xFF);
}

}  // namespace sayvane
