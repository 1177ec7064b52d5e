#include "ProgramTest.h"
#include "support/Ends.h"

namespace sayvane::testing {
namespace {

// Recognitions against a loaded set that no longer holds every phrase the recognizer hears: a
// deleted phrase leaves the grammar only when the next one is added.
struct Story : Program {
  void SetUp() override {
    addSet(u"初始默认语音命令集", {{u"Alt+F4", u"关闭窗口"}, {u"Alt+F4", u"关闭"}, {u"Write[x]", u"关闭"},
                                 {u"OpenShow", u"Tobrin"}, {u"Space", u"已删除"}});
    startQuietly();
    click("Command5");
    ASSERT_TRUE(window->select("List1", 4));
    click("Command4");
    click("Command5");
  }
};

TEST_F(Story, ASecondWakePhraseKeepsTheFlagAndTheWakeActionNeverRuns) {
  EXPECT_EQ(hear(u"Tobrin"), Lines{"speak Tobrin"});
  EXPECT_EQ(hear(u"Tobrin"), Lines{"speak Tobrin"});
  // The first of the two 关闭 entries.
  EXPECT_EQ(hear(u"关闭"), (Lines{"speak 关闭", "key-down 0x12", "key-down 0x73", "key-up 0x12", "key-up 0x73"}));
}

TEST_F(Story, AMissingPhraseStillUsesUpTheWakePhrase) {
  hear(u"Tobrin");
  EXPECT_EQ(hear(u"已删除"), Lines{"speak 已删除"});
  EXPECT_EQ(hear(u"关闭窗口"), Lines{"speak 关闭窗口"});
}

TEST_F(Story, ACharacterThatCannotSpeakDoesNotCostTheCommand) {
  sim->options().characterFails = true;
  hear(u"Tobrin");
  EXPECT_EQ(lastOf(hear(u"关闭窗口")), "key-up 0x73");
}

}  // namespace
}  // namespace sayvane::testing
