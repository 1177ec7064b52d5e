#include "platform/FallbackCharacterControl.h"

#include "ProgramTest.h"

namespace sayvane::testing {
namespace {

// Counts its loads and hands out the character it was given, if any.
class CountingControl final : public CharacterControl {
 public:
  explicit CountingControl(Character* character) : character_(character) {}
  Character* load(const std::u16string& id, const std::u16string& key) override {
    ++loads;
    lastId = id;
    lastKey = key;
    return character_;
  }
  int loads = 0;
  std::u16string lastId, lastKey;

 private:
  Character* character_;
};

TEST_F(Program, TheSystemCharacterWinsElseTheBuiltInOneIsLoadedWithTheSameArguments) {
  attach();
  Character* character = sim->platform().characterControl.load(u"", u"");
  ASSERT_NE(character, nullptr);

  CountingControl present{character}, absent{nullptr};
  EXPECT_EQ(FallbackCharacterControl(present, absent).load(u"merlin", u"C:\\p/merlin.acs"), character);
  EXPECT_EQ(present.lastKey, u"C:\\p/merlin.acs");
  EXPECT_EQ(absent.loads, 0);  // never loaded beside the system one

  CountingControl builtIn{character};
  EXPECT_EQ(FallbackCharacterControl(absent, builtIn).load(u"merlin", u"C:\\p/merlin.acs"), character);
  EXPECT_EQ(absent.loads, 1);
  EXPECT_EQ(builtIn.lastId, u"merlin");
  EXPECT_EQ(builtIn.lastKey, u"C:\\p/merlin.acs");
  // Neither has one: the program runs without a character.
  EXPECT_EQ(FallbackCharacterControl(absent, absent).load(u"merlin", u"x"), nullptr);
}

}  // namespace
}  // namespace sayvane::testing
