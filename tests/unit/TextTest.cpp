#include "text/Text.h"

#include <gtest/gtest.h>

namespace sayvane {
namespace {

TEST(Text, Utf8RoundTripsEveryPlane) {
  const std::u16string text = u"Tobrin 关闭窗口 é \U0001F600";
  EXPECT_EQ(fromUtf8(toUtf8(text)), text);
  EXPECT_EQ(toUtf8(u"关"), "\xE5\x85\xB3");
}

TEST(Text, BrokenUtf8BecomesReplacementCharacters) {
  EXPECT_EQ(fromUtf8("a\xFF" "b"), u"a\uFFFDb");
  EXPECT_EQ(fromUtf8("\xE5\x85"), u"\uFFFD\uFFFD");
  EXPECT_EQ(fromUtf8("\xC0\x80"), u"\uFFFD\uFFFD");     // overlong
  EXPECT_EQ(fromUtf8("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");  // encoded surrogate
  EXPECT_EQ(toUtf8(std::u16string(1, u'\xD800')), "\xEF\xBF\xBD");
}

TEST(Text, LowerCaseKeepsLengthAndLeavesChineseAlone) {
  EXPECT_EQ(lowerCase(u"LWindows ＡＢＣ ÀÉ ΑΩ АЯ 关闭 ×"), u"lwindows ａｂｃ àé αω ая 关闭 ×");
}

}  // namespace
}  // namespace sayvane
