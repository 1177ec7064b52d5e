// The key name table: the only place that turns a key or mouse name into input events.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Input.h"

namespace sayvane {

inline constexpr std::uint32_t kExtendedKey = 0x0001;     // KEYEVENTF_EXTENDEDKEY
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
  std::uint8_t scanCode = 0;  // keys only; 0 unless keys go as the keyboard itself sends them
  friend bool operator==(const InputEvent&, const InputEvent&) = default;
};

// Virtual-key code of a key row; nothing for mouse tokens and unknown names. Case-insensitive.
std::optional<std::uint8_t> keyCode(std::u16string_view name);
// True for every name of the table, keys and mouse tokens alike. Case-insensitive.
bool isKeyName(std::u16string_view name);

// What kjPress and kjPressUp send for a name: a key-down, a key-up, or a mouse token's events.
std::vector<InputEvent> pressEvents(std::u16string_view name);
std::vector<InputEvent> releaseEvents(std::u16string_view name);

// Keys the keyboard sends with a prefix byte (the arrows and the block above them, the Windows
// and Applications keys, right Ctrl and Alt, Num Lock, the keypad's divide, Print Screen), which
// synthesized input marks with the extended-key flag.
bool isExtendedKey(std::uint8_t virtualKey);
// A key event as the keyboard itself would send it, for programs that read scan codes rather
// than virtual keys (games through DirectInput or raw input, remote desktop clients): with the
// layout's scan code, and the extended-key flag where the key has it. A mouse event is left as
// it is.
InputEvent withScanCode(InputEvent event, std::uint8_t scanCode);

// The one place an event becomes a platform call; with gameKeys, keys go as withScanCode makes
// them, the scan code from the input's layout. The event as sent.
InputEvent send(Input& input, const InputEvent& event, bool gameKeys);
void kjPress(Input& input, std::u16string_view name);
void kjPressUp(Input& input, std::u16string_view name);

}  // namespace sayvane
