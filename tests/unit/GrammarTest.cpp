#include "commandsets/Grammar.h"

#include <gtest/gtest.h>

#include "commandsets/SetText.h"
#include "text/Text.h"

namespace sayvane {
namespace {

TEST(GrammarTest, TextsARecognizerCannotCompileAreRefusedWithTheReason) {
  const auto good = setTextWithEntries({{u"Alt+F4", u"关闭窗口"}});
  auto unbalanced = good;  // a phrase element opened and not closed
  unbalanced.insert(unbalanced.find(kListEnd), u"<P VALSTR=\"x\">+y\r\n");
  const std::pair<std::u16string, std::u16string> refused[] = {
      {u" \r\n", u"文件是空的"},
      {u"<L>\r\n</L>", u"文件中没有“<GRAMMAR”"},
      {good.substr(0, good.find(kListEnd)), u"文件不完整，缺少结尾的“</GRAMMAR>”"},
      {unbalanced, u"文件中的“<P”与“</P>”不成对"},
      {setTextWithEntries({{u"Alt+F4", u"关闭&窗口"}}), u"语音命令“关闭&窗口”中含有“<”“>”或“&”"},
      {setTextWithEntries({{u"A<B", u"关闭窗口"}}), u"语音命令“关闭窗口”中含有“<”“>”或“&”"},
  };
  for (const auto& [text, reason] : refused) {
    EXPECT_FALSE(compileGrammar(text)) << toUtf8(reason);
    EXPECT_EQ(grammarProblem(text), reason);
  }
  EXPECT_EQ(grammarProblem(newSetText()), u"");
  EXPECT_EQ(compileGrammar(setTextWithEntries({})), std::vector<std::u16string>{});
  // Element names that only start like a phrase element are not phrase elements.
  auto lookalike = good;
  lookalike.insert(lookalike.find(kListEnd), u"<PX/>\r\n");
  EXPECT_TRUE(compileGrammar(lookalike));
}

}  // namespace
}  // namespace sayvane
