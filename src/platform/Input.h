// Synthesized keyboard and mouse input, shaped exactly like keybd_event and mouse_event, and the
// keyboard layout's scan code for a virtual key.
#pragma once

#include <cstdint>

namespace sayvane {

class Input {
 public:
  Input() = default;
  Input(const Input&) = delete;
  Input& operator=(const Input&) = delete;
  virtual ~Input() = default;

  virtual void keyEvent(std::uint8_t virtualKey, std::uint8_t scanCode, std::uint32_t flags,
                        std::uintptr_t extraInfo) = 0;
  virtual void mouseEvent(std::uint32_t flags, std::int32_t dx, std::int32_t dy, std::int32_t data,
                          std::uintptr_t extraInfo) = 0;
  // The scan code of the key that produces the virtual key in the layout of the window the input
  // goes to; 0 when no key does.
  virtual std::uint8_t scanCode(std::uint8_t virtualKey) = 0;
};

}  // namespace sayvane
