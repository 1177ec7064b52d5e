// UTF-8 conversion, lower-casing and the text search.
#include "text/Text.h"

#include <gtest/gtest.h>

namespace sayvane {
namespace {

TEST(Text, Utf8RoundTripsEveryPlaneAndBrokenUtf8BecomesReplacementCharacters) {
  const std::u16string text = u"Tobrin 关闭窗口 é \U0001F600";
  EXPECT_EQ(fromUtf8(toUtf8(text)), text);
  EXPECT_EQ(toUtf8(u"关"), "\xE5\x85\xB3");
  // Broken UTF-8 becomes replacement characters.
  EXPECT_EQ(fromUtf8("a\xFF" "b"), u"a\uFFFDb");
  EXPECT_EQ(fromUtf8("\xE5\x85"), u"\uFFFD\uFFFD");
  EXPECT_EQ(fromUtf8("\xC0\x80"), u"\uFFFD\uFFFD");     // overlong
  EXPECT_EQ(fromUtf8("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");  // encoded surrogate
  EXPECT_EQ(toUtf8(std::u16string(1, u'\xD800')), "\xEF\xBF\xBD");
}

TEST(Text, LowerCaseKeepsLengthAndLeavesChineseAlone) {
  EXPECT_EQ(lowerCase(u"LWindows ＡＢＣ ÀÉ ΑΩ АЯ 关闭 ×"), u"lwindows ａｂｃ àé αω ая 关闭 ×");
}

TEST(Text, FindTextAgreesWithTheStandardSearch) {
  // A small alphabet with low bytes that collide (U+0141 and U+0041) exercises the skip table.
  const std::u16string alphabet = u"AB\u0141<+";
  std::uint32_t state = 12345;
  const auto pick = [&] { return alphabet[(state = state * 1103515245u + 12345u) >> 16 & 0xFFFF % alphabet.size()]; };
  for (int round = 0; round < 200; ++round) {
    std::u16string text(70 + round % 50, u'A');
    for (auto& c : text) c = pick();
    std::u16string part(3 + round % 5, u'A');
    for (auto& c : part) c = pick();
    for (std::size_t from = 0; from <= text.size() + 1; from += 7)
      ASSERT_EQ(findText(text, part, from), std::u16string_view(text).find(part, from)) << round;
  }
}

}  // namespace
}  // namespace sayvane
