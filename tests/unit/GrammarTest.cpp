#include "commandsets/Grammar.h"

#include <gtest/gtest.h>

#include "commandsets/DefaultSets.h"
#include "commandsets/SetText.h"

namespace sayvane {
namespace {

TEST(GrammarTest, EveryDefaultSetCompilesToItsPhrasesInFileOrder) {
  for (const auto& set : defaultSets()) {
    const auto phrases = compileGrammar(set.text());
    ASSERT_TRUE(phrases);
    ASSERT_EQ(phrases->size(), set.entries.size());
    for (std::size_t i = 0; i < phrases->size(); ++i) EXPECT_EQ((*phrases)[i], set.entries[i].phrase);
  }
}

TEST(GrammarTest, AFreshSetCompilesAndAnEmptyListHasNoPhrases) {
  EXPECT_TRUE(compileGrammar(newSetText()));
  const auto empty = compileGrammar(setTextWithEntries({}));
  ASSERT_TRUE(empty);
  EXPECT_TRUE(empty->empty());
}

TEST(GrammarTest, TextsARecognizerCannotCompileAreRefused) {
  const auto good = setTextWithEntries({{u"Alt+F4", u"关闭窗口"}});
  // The grammar element opened but never closed, or missing altogether.
  EXPECT_FALSE(compileGrammar(u"<GRAMMAR LANGID=\"804\">"));
  EXPECT_FALSE(compileGrammar(u""));
  // A phrase element opened and not closed.
  auto unbalanced = good;
  unbalanced.insert(unbalanced.find(kListEnd), u"<P VALSTR=\"x\">+y\r\n");
  EXPECT_FALSE(compileGrammar(unbalanced));
  // Markup inside a phrase or an action.
  EXPECT_FALSE(compileGrammar(setTextWithEntries({{u"Alt+F4", u"关闭&窗口"}})));
  EXPECT_FALSE(compileGrammar(setTextWithEntries({{u"A<B", u"关闭窗口"}})));
  // Element names that only start like a phrase element are not phrase elements.
  auto lookalike = good;
  lookalike.insert(lookalike.find(kListEnd), u"<PX/>\r\n");
  EXPECT_TRUE(compileGrammar(lookalike));
}

}  // namespace
}  // namespace sayvane
