#include "platform/FallbackCharacterControl.h"

#include <gtest/gtest.h>

#include "support/Fakes.h"

namespace sayvane {
namespace {

using testing::FakeCharacter;
using testing::FakeWaiter;
using testing::Journal;

// Counts its loads and hands out its character, or nothing when told it has none.
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

TEST(FallbackCharacterControlTest, TheSystemCharacterWinsAndTheBuiltInOneIsNeverLoadedBesideIt) {
  FakeWaiter waiter;
  Journal journal{waiter};
  FakeCharacter system{journal}, builtIn{journal};
  CountingControl preferred{&system}, fallback{&builtIn};
  FallbackCharacterControl control{preferred, fallback};
  EXPECT_EQ(control.load(u"merlin", u"C:\\p/merlin.acs"), &system);
  EXPECT_EQ(preferred.lastKey, u"C:\\p/merlin.acs");
  EXPECT_EQ(fallback.loads, 0);
}

TEST(FallbackCharacterControlTest, WithoutTheSystemCharacterTheBuiltInOneIsLoadedWithTheSameArguments) {
  FakeWaiter waiter;
  Journal journal{waiter};
  FakeCharacter builtIn{journal};
  CountingControl preferred{nullptr}, fallback{&builtIn};
  FallbackCharacterControl control{preferred, fallback};
  EXPECT_EQ(control.load(u"merlin", u"C:\\p/merlin.acs"), &builtIn);
  EXPECT_EQ(preferred.loads, 1);
  EXPECT_EQ(fallback.lastId, u"merlin");
  EXPECT_EQ(fallback.lastKey, u"C:\\p/merlin.acs");
  // Neither has one: the program runs without a character.
  CountingControl none{nullptr};
  FallbackCharacterControl nothing{none, none};
  EXPECT_EQ(nothing.load(u"merlin", u"x"), nullptr);
}

}  // namespace
}  // namespace sayvane
