#include "actions/Recognition.h"

#include <gtest/gtest.h>

#include "commandsets/SetText.h"
#include "support/Fakes.h"
#include "support/Ends.h"

namespace sayvane {
namespace {

using Lines = std::vector<std::string>;

struct Text4 final : ResultField {
  void showResult(const std::u16string& text) override { shown = text; }
  std::u16string shown;
};

struct Story : ::testing::Test {
  testing::FakeServices f;
  RecognitionState state;
  Text4 text4;
  void SetUp() override {
    state.loadedSetText = setTextWithEntries({{u"Alt+F4", u"关闭窗口"}, {u"Alt+F4", u"关闭"}, {u"Write[x]", u"关闭"},
                                              {u"OpenShow", u"Tobrin"}});
  }
  void hear(std::u16string phrase) { RC_Recognition(state, text4, phrase, f.services); }
};

TEST_F(Story, ASecondWakePhraseKeepsTheFlagAndTheWakeActionNeverRuns) {
  hear(u"Tobrin");
  hear(u"Tobrin");
  hear(u"关闭");
  EXPECT_EQ(f.journal.lines, (Lines{"speak Tobrin", "speak Tobrin", "speak 关闭", "key-down 0x12", "key-down 0x73",
                                    "key-up 0x12", "key-up 0x73"}));  // the first of the two 关闭 entries
}

TEST_F(Story, AMissingPhraseStillUsesUpTheWakePhrase) {
  hear(u"Tobrin");
  hear(u"已删除");
  hear(u"关闭窗口");
  EXPECT_EQ(f.journal.lines, (Lines{"speak Tobrin", "speak 已删除", "speak 关闭窗口"}));
}

TEST_F(Story, ARejectedUtteranceShowsTheNoticeInEveryModeAndChangesNothingElse) {
  for (bool testMode : {false, true}) {
    state.testMode = testMode;
    state.wakeFlag = true;
    text4.shown.clear();
    RC_FalseRecognition(text4);
    EXPECT_EQ(text4.shown, u"没有识别重新念");
    EXPECT_TRUE(state.wakeFlag);
  }
  EXPECT_TRUE(f.journal.lines.empty());
}

TEST_F(Story, ACharacterThatCannotSpeakDoesNotCostTheCommand) {
  f.character.fail = true;
  hear(u"Tobrin");
  hear(u"关闭窗口");
  EXPECT_EQ(testing::lastOf(f.journal.lines), "key-up 0x73");
}

}  // namespace
}  // namespace sayvane
