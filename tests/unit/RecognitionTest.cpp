#include "actions/Recognition.h"

#include "ProgramTest.h"
#include "support/Ends.h"

namespace sayvane::testing {
namespace {

// Recognitions against a set whose text may differ from what the recognizer was given.
struct Story : Program {
  RecognitionState state;
  void SetUp() override {
    startQuietly();
    state.loadedSetText = setTextWithEntries({{u"Alt+F4", u"关闭窗口"}, {u"Alt+F4", u"关闭"}, {u"Write[x]", u"关闭"},
                                              {u"OpenShow", u"Tobrin"}});
  }
  Lines recognise(std::u16string phrase) {
    auto services = window->services();
    RC_Recognition(state, *window, phrase, services);
    return take();
  }
};

TEST_F(Story, ASecondWakePhraseKeepsTheFlagAndTheWakeActionNeverRuns) {
  EXPECT_EQ(recognise(u"Tobrin"), Lines{"speak Tobrin"});
  EXPECT_EQ(recognise(u"Tobrin"), Lines{"speak Tobrin"});
  // The first of the two 关闭 entries.
  EXPECT_EQ(recognise(u"关闭"), (Lines{"speak 关闭", "key-down 0x12", "key-down 0x73", "key-up 0x12", "key-up 0x73"}));
}

TEST_F(Story, AMissingPhraseStillUsesUpTheWakePhrase) {
  recognise(u"Tobrin");
  EXPECT_EQ(recognise(u"已删除"), Lines{"speak 已删除"});
  EXPECT_EQ(recognise(u"关闭窗口"), Lines{"speak 关闭窗口"});
}

TEST_F(Story, ACharacterThatCannotSpeakDoesNotCostTheCommand) {
  sim->options().characterFails = true;
  recognise(u"Tobrin");
  EXPECT_EQ(lastOf(recognise(u"关闭窗口")), "key-up 0x73");
}

}  // namespace
}  // namespace sayvane::testing
