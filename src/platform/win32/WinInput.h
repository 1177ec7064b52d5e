// Synthesized keyboard and mouse input through keybd_event and mouse_event, values passed as given;
// scan codes from MapVirtualKeyExW.
#pragma once

#include "platform/Input.h"

namespace sayvane {

class WinInput final : public Input {
 public:
  void keyEvent(std::uint8_t virtualKey, std::uint8_t scanCode, std::uint32_t flags,
                std::uintptr_t extraInfo) override;
  void mouseEvent(std::uint32_t flags, std::int32_t dx, std::int32_t dy, std::int32_t data,
                  std::uintptr_t extraInfo) override;
  std::uint8_t scanCode(std::uint8_t virtualKey) override;
};

}  // namespace sayvane
