// The key name table: the only place that turns a key or mouse name into input events.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Input.h"

namespace sayvane {

inline constexpr std::uint32_t kKeyUp = 0x0002;           // KEYEVENTF_KEYUP
inline constexpr std::uint32_t kMouseMove = 0x0001;       // MOUSEEVENTF_MOVE
inline constexpr std::uint32_t kMouseLeftClick = 0x0006;  // LEFTDOWN | LEFTUP
inline constexpr std::uint32_t kMouseRightClick = 0x0018; // RIGHTDOWN | RIGHTUP

struct InputEvent {
  enum class Type { Key, Mouse };
  Type type = Type::Key;
  std::uint8_t virtualKey = 0;  // keys only
  std::uint32_t flags = 0;
  std::int32_t dx = 0;  // mouse only
  std::int32_t dy = 0;
  friend bool operator==(const InputEvent&, const InputEvent&) = default;
};

// Virtual-key code of a key row; nothing for mouse tokens and unknown names. Case-insensitive.
std::optional<std::uint8_t> keyCode(std::u16string_view name);
// True for every name of the table, keys and mouse tokens alike. Case-insensitive.
bool isKeyName(std::u16string_view name);

// What kjPress and kjPressUp send for a name: a key-down, a key-up, or a mouse token's events.
std::vector<InputEvent> pressEvents(std::u16string_view name);
std::vector<InputEvent> releaseEvents(std::u16string_view name);

void send(Input& input, const InputEvent& event);
void kjPress(Input& input, std::u16string_view name);
void kjPressUp(Input& input, std::u16string_view name);

}  // namespace sayvane
