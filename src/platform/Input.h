// Synthesized keyboard and mouse input, shaped exactly like keybd_event and mouse_event.
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
};

}  // namespace sayvane
