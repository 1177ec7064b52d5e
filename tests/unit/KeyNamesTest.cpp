// Key and mouse names: their codes, what they send, and the game-keys mode's scan codes.
#include "actions/KeyNames.h"

#include "ProgramTest.h"

namespace sayvane::testing {
namespace {

struct KeyNames : Attached {
  // The keys and clicks a name sends, as the simulated desktop reports them.
  Lines sent(void (*send)(Input&, std::u16string_view), std::initializer_list<std::u16string_view> names) {
    for (const auto name : names) send(sim->platform().input, name);
    return take();
  }
};

TEST_F(KeyNames, ComputedRowsAndNotableFixedRowsHaveTheirCodesInAnyCaseAndNoOtherNameIsAKey) {
  const std::pair<std::u16string, int> cases[] = {
      {u"0", 0x30},      {u"7", 0x37},     {u"9", 0x39},         {u"a", 0x41},         {u"Q", 0x51},
      {u"z", 0x5A},      {u"F1", 0x70},    {u"f4", 0x73},        {u"F10", 0x79},       {u"f12", 0x7B},
      {u"CTRL", 0x11},   {u"Alt", 0x12},   {u"printscreen", 0x2A}, {u"LWindows", 0x5B}, {u"PopMenu", 0x5D},
      {u"\\", 0xDC},    {u"'", 0xDE},     {u"Div", 0x6F},       {u"Enter", 0x0D},     {u"scrolllock", 0x91},
  };
  for (const auto& [name, code] : cases) {
    SCOPED_TRACE(std::string(name.begin(), name.end()));
    ASSERT_EQ(keyCode(name), code);
    EXPECT_TRUE(isKeyName(name));
  }
  // Names outside the table are not keys and send nothing.
  for (std::u16string name : {u"", u"f0", u"f13", u"f01", u"alt ", u" alt", u"down!100", u"+", u"*", u"!", u"[",
                              u"]", u" ", u"10", u"ctl", u"windows", u"print screen", u"ａ"}) {
    EXPECT_FALSE(keyCode(name)) << std::string(name.begin(), name.end());
    EXPECT_TRUE(pressEvents(name).empty());
    EXPECT_TRUE(releaseEvents(name).empty());
  }
}

// Without the mode a key goes alone; with it, as the keyboard sends it. The arrows and the keypad's
// divide share their scan codes with the keypad's 8 and "/", right Alt with left Alt, Num Lock with
// Pause: only the extended flag tells them apart.
TEST_F(KeyNames, GameKeysCarryTheLayoutsScanCodeAndTheExtendedFlagWhereTheKeyHasItMouseTokensActOnPressOnly) {
  const std::pair<std::uint8_t, std::string> cases[] = {
      {0x41, "0x41 scan 0x1E"},          {0x79, "0x79 scan 0x44"},          {0x26, "0x26 scan 0x48 extended"},
      {0x5B, "0x5B scan 0x5B extended"}, {0xA5, "0xA5 scan 0x38 extended"}, {0x0D, "0x0D scan 0x1C"},
      {0x6F, "0x6F scan 0x35 extended"}, {0x90, "0x90 scan 0x45 extended"}};
  EXPECT_EQ(sent(kjPressUp, {u"Delete"}), std::vector<std::string>{"key-up 0x2E"});  // never pressed: still sent
  for (const bool gameKeys : {false, true}) {
    if (gameKeys) window->trayCommand(TrayChoice::GameKeys);
    take();
    for (const auto& [key, scanned] : cases) {
      const auto expected = gameKeys ? scanned : scanned.substr(0, 4);
      for (const auto flags : {0u, kKeyUp}) send(sim->platform().input, {InputEvent::Type::Key, key, flags, 0, 0, 0}, gameKeys);
      EXPECT_EQ(take(), (Lines{"key-down " + expected, "key-up " + expected}));
    }
  }
  // Mouse tokens act on the press only, whatever the mode.
  const std::pair<std::u16string, std::vector<std::string>> mouse[] = {
      {u"MLBC", {"mouse 0x0006 0 0"}},       {u"mrbdc", {"mouse 0x0018 0 0", "mouse 0x0018 0 0"}},
      {u"MLeftM", {"mouse 0x0001 -10 0"}},   {u"mdownbm", {"mouse 0x0001 0 100"}}};
  for (const auto& [name, expected] : mouse) {
    EXPECT_EQ(sent(kjPress, {name}), expected);
    EXPECT_EQ(sent(kjPressUp, {name}), std::vector<std::string>{});
    EXPECT_TRUE(isKeyName(name));
  }
}

}  // namespace
}  // namespace sayvane::testing
