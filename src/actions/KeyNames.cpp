#include "actions/KeyNames.h"

#include "text/Text.h"

namespace sayvane {
namespace {

struct FixedKey {
  std::u16string_view name;
  std::uint8_t code;
};

constexpr FixedKey kFixedKeys[] = {
    {u"ctrl", 0x11},       {u"alt", 0x12},        {u"shift", 0x10},     {u"backspace", 0x08},
    {u"space", 0x20},      {u"tab", 0x09},        {u"capslock", 0x14},  {u"insert", 0x2D},
    {u"pageup", 0x21},     {u"pagedown", 0x22},   {u"up", 0x26},        {u"down", 0x28},
    {u"left", 0x25},       {u"right", 0x27},      {u"esc", 0x1B},
    {u"printscreen", 0x2A},  // VK_PRINT, not VK_SNAPSHOT: what the sets were written against
    {u"delete", 0x2E},     {u"home", 0x24},       {u"end", 0x23},       {u"enter", 0x0D},
    {u"scrolllock", 0x91}, {u"pause", 0x13},      {u"numlock", 0x90},   {u".", 0xBE},
    {u",", 0xBC},          {u";", 0xBA},          {u"'", 0xDE},         {u"/", 0xBF},
    {u"\\", 0xDC},         {u"=", 0xBB},          {u"-", 0xBD},         {u"lwindows", 0x5B},
    {u"rwindows", 0x5C},   {u"popmenu", 0x5D},    {u"add", 0x6B},       {u"sub", 0x6D},
    {u"mul", 0x6A},        {u"div", 0x6F},
};

struct MouseToken {
  std::u16string_view name;
  std::uint32_t flags;
  std::int32_t dx;
  std::int32_t dy;
  int times;
};

constexpr MouseToken kMouseTokens[] = {
    {u"mlbc", kMouseLeftClick, 0, 0, 1},   {u"mrbc", kMouseRightClick, 0, 0, 1},
    {u"mlbdc", kMouseLeftClick, 0, 0, 2},  {u"mrbdc", kMouseRightClick, 0, 0, 2},
    {u"mleftm", kMouseMove, -10, 0, 1},    {u"mrightm", kMouseMove, 10, 0, 1},
    {u"mupm", kMouseMove, 0, -10, 1},      {u"mdownm", kMouseMove, 0, 10, 1},
    {u"mleftbm", kMouseMove, -100, 0, 1},  {u"mrightbm", kMouseMove, 100, 0, 1},
    {u"mupbm", kMouseMove, 0, -100, 1},    {u"mdownbm", kMouseMove, 0, 100, 1},
};

std::optional<std::uint8_t> lowerKeyCode(std::u16string_view n) {
  if (n.empty()) return std::nullopt;
  if (n.size() == 1 && n[0] >= u'0' && n[0] <= u'9') return static_cast<std::uint8_t>(n[0] - u'0' + 48);
  if (n.size() == 1 && n[0] >= u'a' && n[0] <= u'z') return static_cast<std::uint8_t>(n[0] - u'a' + 65);
  if (n[0] == u'f' && (n.size() == 2 || n.size() == 3)) {
    int value = 0;
    for (std::size_t i = 1; i < n.size(); ++i) {
      if (n[i] < u'0' || n[i] > u'9') return std::nullopt;
      value = value * 10 + (n[i] - u'0');
    }
    // "f01" is not a row of the table even though its number would be 1.
    if (n[1] != u'0' && value >= 1 && value <= 12) return static_cast<std::uint8_t>(value + 111);
    return std::nullopt;
  }
  for (const auto& key : kFixedKeys)
    if (key.name == n) return key.code;
  return std::nullopt;
}

constexpr std::uint8_t kExtendedKeys[] = {
    0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27, 0x28,  // Page Up ... Down: navigation block and arrows
    0x2C, 0x2D, 0x2E,                                // Print Screen, Insert, Delete
    0x5B, 0x5C, 0x5D,                                // the Windows keys, Applications
    0x6F, 0x90,                                      // keypad divide, Num Lock
    0xA3, 0xA5,                                      // right Ctrl, right Alt
};

const MouseToken* lowerMouseToken(std::u16string_view n) {
  for (const auto& token : kMouseTokens)
    if (token.name == n) return &token;
  return nullptr;
}

}  // namespace

std::optional<std::uint8_t> keyCode(std::u16string_view name) { return lowerKeyCode(lowerCase(name)); }

bool isKeyName(std::u16string_view name) {
  const auto n = lowerCase(name);
  return lowerKeyCode(n).has_value() || lowerMouseToken(n) != nullptr;
}

std::vector<InputEvent> pressEvents(std::u16string_view name) {
  const auto n = lowerCase(name);
  if (const auto code = lowerKeyCode(n)) return {InputEvent{InputEvent::Type::Key, *code, 0, 0, 0, 0}};
  std::vector<InputEvent> events;
  if (const auto* token = lowerMouseToken(n))
    for (int i = 0; i < token->times; ++i)
      events.push_back(InputEvent{InputEvent::Type::Mouse, 0, token->flags, token->dx, token->dy, 0});
  return events;
}

std::vector<InputEvent> releaseEvents(std::u16string_view name) {
  if (const auto code = keyCode(name)) return {InputEvent{InputEvent::Type::Key, *code, kKeyUp, 0, 0, 0}};
  return {};
}

bool isExtendedKey(std::uint8_t virtualKey) {
  for (const auto key : kExtendedKeys)
    if (key == virtualKey) return true;
  return false;
}

InputEvent withScanCode(InputEvent event, std::uint8_t scanCode) {
  if (event.type != InputEvent::Type::Key) return event;
  event.scanCode = scanCode;
  if (isExtendedKey(event.virtualKey)) event.flags |= kExtendedKey;
  return event;
}

InputEvent send(Input& input, const InputEvent& event, bool gameKeys) {
  if (event.type == InputEvent::Type::Mouse) {
    input.mouseEvent(event.flags, event.dx, event.dy, 0, 0);
    return event;
  }
  const auto key = gameKeys ? withScanCode(event, input.scanCode(event.virtualKey)) : event;
  input.keyEvent(key.virtualKey, key.scanCode, key.flags, 0);
  return key;
}

void kjPress(Input& input, std::u16string_view name) {
  for (const auto& event : pressEvents(name)) send(input, event, false);
}

void kjPressUp(Input& input, std::u16string_view name) {
  for (const auto& event : releaseEvents(name)) send(input, event, false);
}

}  // namespace sayvane
