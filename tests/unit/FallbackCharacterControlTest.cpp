// The character control that tries the system's control first and the built-in one after it.
#include "platform/FallbackCharacterControl.h"

#include "ProgramTest.h"

namespace sayvane::testing {
namespace {

using ::testing::Return;

struct MockControl : CharacterControl {
  MOCK_METHOD(Character*, load, (const std::u16string& id, const std::u16string& key), (override));
};

TEST_F(Attached, TheSystemCharacterWinsElseTheBuiltInOneIsLoadedWithTheSameArguments) {
  Character* character = sim->platform().characterControl.load(u"", u"");
  ASSERT_NE(character, nullptr);
  const std::u16string id = u"merlin", key = u"C:\\p/merlin.acs";
  // Strict: a load the test does not expect fails it, so the built-in one is never loaded beside the system one.
  ::testing::StrictMock<MockControl> present, absent, builtIn;
  EXPECT_CALL(present, load(id, key)).WillOnce(Return(character));
  EXPECT_EQ(FallbackCharacterControl(present, builtIn).load(id, key), character);

  EXPECT_CALL(absent, load(id, key)).WillOnce(Return(nullptr));
  EXPECT_CALL(builtIn, load(id, key)).WillOnce(Return(character));
  EXPECT_EQ(FallbackCharacterControl(absent, builtIn).load(id, key), character);
  // Neither has one: the program runs without a character.
  ::testing::NiceMock<MockControl> none;
  EXPECT_EQ(FallbackCharacterControl(none, none).load(id, key), nullptr);
}

}  // namespace
}  // namespace sayvane::testing
