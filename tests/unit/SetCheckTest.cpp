#include "commandsets/SetCheck.h"

#include <gtest/gtest.h>

#include "commandsets/SetText.h"
#include "text/Text.h"

namespace sayvane {
namespace {

// "line:phrase:E|N" for each finding, so a test states which entry was named and how.
std::vector<std::string> check(std::u16string_view text) {
  std::vector<std::string> out;
  for (const auto& f : checkSetText(text))
    out.push_back(std::to_string(f.line) + ":" + toUtf8(f.phrase) + ":" + (f.noteOnly ? "N" : "E"));
  return out;
}

using Found = std::vector<std::string>;

TEST(SetCheck, AWellFormedSetHasNothingToReport) {
  EXPECT_TRUE(check(setTextWithEntries({{u"Alt+F4", u"关闭"}, {u"Write[a b]", u"写"}, {u"LWindows*R", u"运行"}})).empty());
}

TEST(SetCheck, CharactersTheFormatCannotHoldAreFoundInActionsAndPhrases) {
  const std::u16string header = u"<L>\r\n";
  EXPECT_EQ(check(header + u"<P VALSTR=\"Write[a&b]\">+与</P>\r\n</L>"), (Found{"2:与:E"}));
  EXPECT_EQ(check(header + u"<P VALSTR=\"Write[a\"b]\">+引</P>\r\n</L>"), (Found{"2:引:E"}));
  EXPECT_EQ(check(header + u"<P VALSTR=\"Write[a>+b]\">+大</P>\r\n</L>"), (Found{"2:大:E"}));
  EXPECT_EQ(check(header + u"<P VALSTR=\"Esc\">+停(止</P>\r\n</L>"), (Found{"2:停(止:E"}));
}

TEST(SetCheck, LayoutFaultsAreFound) {
  EXPECT_EQ(check(u"<L>\n<P VALSTR=\"Esc\">+停止</P>\n</L>"), (Found{"1::E"}));
  EXPECT_EQ(check(u"<L>\r\n<p valstr=\"Esc\">+停止</p>\r\n</L>"), (Found{"2::E", "2::E"}));
  EXPECT_EQ(check(u"<L>\r\n<P VALSTR=Esc>+停止</P>\r\n</L>"), (Found{"2::E"}));
  EXPECT_EQ(check(u"<P VALSTR=\"Esc\">+停止</P>"), (Found{"1::E"}));  // no "</L>"
}

TEST(SetCheck, DuplicatesUnknownKeysAndSlowPrefixes) {
  const auto text = setTextWithEntries({{u"3", u"三号部队"}, {u"Ctrl+Foo!100*Esc", u"坏键"}, {u"3*MRBC", u"三号部队过来"},
                                        {u"Esc", u"三号部队"}, {u"OpenFoo", u"关键字"}});
  EXPECT_EQ(check(text), (Found{"8:三号部队:N", "9:坏键:E", "11:三号部队:E"}));
}

}  // namespace
}  // namespace sayvane
