// The set text: the template, entries added, found and removed, scans of damaged text, the grammar
// check and the set checker's findings.
#include "commandsets/SetText.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "commandsets/Grammar.h"
#include "commandsets/SetCheck.h"
#include "text/Text.h"

namespace sayvane {
namespace {

// Phrases that hold "+" or whose actions hold markup, beside a phrase that ends one of them.
std::u16string marked() {
  return setTextWithEntries({{u"Alt+F4", u"打开+关闭"}, {u"Write[<br>]", u"换行"}, {u"CloseSoft", u"关闭"}});
}

// A new set: the header the recognizer reads as code page 936, CRLF line ends, the three entries
// every set starts with.
TEST(SetText, NewSetIsTheTemplateAndAnAddedEntryGoesLastBeforeTheLastListEnd) {
  const auto text = newSetText();
  EXPECT_TRUE(text.starts_with(u"<?xml version=\"1.0\" encoding=\"gb2312\" ?> \r\n<GRAMMAR LANGID=\"804\">\r\n"));
  EXPECT_TRUE(text.ends_with(u"</L>\r\n</RULE>\r\n</GRAMMAR>\r\n"));
  EXPECT_EQ(std::count(text.begin(), text.end(), u'\n'), std::count(text.begin(), text.end(), u'\r'));
  // An added entry goes last, before the last list end, and lists after the template's.
  const auto line = makeEntryLine(u"关闭程序", u"Alt+F4");
  EXPECT_EQ(line, u"<P VALSTR=\"Alt+F4\">+关闭程序</P>");
  const auto added = insertEntry(text, line);
  ASSERT_TRUE(added);
  EXPECT_NE(added->find(u"+更换语音命令</P>\r\n<P VALSTR=\"Alt+F4\">+关闭程序</P>\r\n</L>\r\n"), std::u16string::npos);
  EXPECT_EQ(listEntries(*added), (std::vector<Entry>{{u"CloseSoft", u"退出"}, {u"AddSpeech", u"添加语音命令"},
                                                    {u"AddSpeech", u"更换语音命令"}, {u"Alt+F4", u"关闭程序"}}));
  // Only the last list end takes it; a text without one is refused.
  EXPECT_FALSE(insertEntry(u"<L>\r\n<P VALSTR=\"a\">+b</P>\r\n", u"x"));
  EXPECT_EQ(insertEntry(u"</L>\r\n</L>", u"x"), std::u16string(u"</L>\r\nx\r\n</L>"));
}

// The action of the first entry whose phrase is the whole phrase asked for, and only of a well-formed entry.
TEST(SetText, FindTakesTheWholePhraseAndTheFirstDuplicateAndNeverLendsAnAction) {
  const auto starts = setTextWithEntries({{u"LWindows", u"左开始"}, {u"Enter", u"开始"}, {u"Esc", u"开始"}});
  const struct { std::u16string text, phrase; std::optional<std::u16string> action; } cases[] = {
      {starts, u"开始", u"Enter"}, {starts, u"左开始", u"LWindows"}, {starts, u"始", {}}, {starts, u"", {}},
      // The editor lists an action holding markup, so the lookup finds it.
      {marked(), u"关闭", u"CloseSoft"}, {marked(), u"换行", u"Write[<br>]"},
      // An extra attribute in a hand-edited entry: the lookup agrees with what the editor lists.
      {u"<P VALSTR=\"Alt+F4\" X=\"y\">+关闭</P>", u"关闭", u"Alt+F4"},
      // Malformed entries lend no earlier entry's action; a phrase holding "<" is not what the scan reads.
      {u"<P VALSTR=\"Alt+F4\">+关闭</P>\r\n<P VALSTR=Esc>+停止</P>\r\n", u"停止", {}},
      {u"+x<", u"x", {}}, {u"\"+x<", u"x", {}}, {u"<P VALSTR=\"CloseSoft\">+退出<x</P>", u"退出<x", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(findAction(c.text, c.phrase), c.action) << toUtf8(c.text + u" / " + c.phrase);
}

TEST(SetText, RemovalTouchesOnlyTheEntryWhosePhraseBeginsThere) {
  EXPECT_EQ(removeEntry(marked(), u"换行"), setTextWithEntries({{u"Alt+F4", u"打开+关闭"}, {u"CloseSoft", u"关闭"}}));
  EXPECT_EQ(removeEntry(marked(), u"关闭"), setTextWithEntries({{u"Alt+F4", u"打开+关闭"}, {u"Write[<br>]", u"换行"}}));
  EXPECT_FALSE(removeEntry(marked(), u"打开"));
  // Bare LF line breaks: the entry's line goes, its neighbours stay.
  EXPECT_EQ(removeEntry(u"<L>\n<P VALSTR=\"A\">+一</P>\n<P VALSTR=\"B\">+二</P>\n</L>\n", u"一"),
            u"<L>\n<P VALSTR=\"B\">+二</P>\n</L>\n");
  // An entry sharing its line with other markup loses only its element.
  EXPECT_EQ(removeEntry(u"<L><P VALSTR=\"A\">+一</P><P VALSTR=\"B\">+二</P></L>", u"一"),
            u"<L><P VALSTR=\"B\">+二</P></L>");
  // The first line of a text takes its own line break with it.
  EXPECT_EQ(removeEntry(u"<P VALSTR=\"A\">+一</P>\r\n</L>\r\n", u"一"), u"</L>\r\n");
}

TEST(SetText, ScansSkipMalformedMarkersAndStillEndAndTheMenuListsLowerCasedPhrasesInFileOrder) {
  EXPECT_EQ(listEntries(u"<P VALSTR=Alt>+坏</P>\r\n<P VALSTR=\"Esc\">+停止</P>\r\n"),
            (std::vector<Entry>{{u"Esc", u"停止"}}));
  EXPECT_TRUE(listEntries(u"<P VALSTR=\"a\">+没有结尾").empty());
  EXPECT_TRUE(listEntries(u"<P VALSTR=\"a\"").empty());
  EXPECT_TRUE(listEntries(u"<p valstr=\"Esc\">+停止</p>\r\n").empty());
  EXPECT_EQ(listEntries(u"<P VALSTR=\"Alt+F4\">+关闭</P>"), (std::vector<Entry>{{u"Alt+F4", u"关闭"}}));
  // The character's menu lists the phrases lower-cased, in file order.
  const auto text = setTextWithEntries({{u"A", u"Tobrin"}, {u"B", u"ＡＢＣ"}, {u"C", u"关闭"}});
  EXPECT_EQ(characterMenuEntries(text), (std::vector<std::u16string>{u"tobrin", u"ａｂｃ", u"关闭"}));
  EXPECT_EQ(characterMenuEntries(u"<P VALSTR=\"x>+y\">+z</P>"), (std::vector<std::u16string>{u"y\">+z", u"z"}));
  EXPECT_EQ(characterMenuEntries(u">+a</P>>+b"), (std::vector<std::u16string>{u"a"}));
}

TEST(SetText, PhraseItemsSplitAtTheFirstOpeningAndLastClosingParenthesis) {
  EXPECT_EQ(makePhraseItem(u"记事本", u"openProgram[C:\\a (x86)\\n.exe]"), u"记事本(openProgram[C:\\a (x86)\\n.exe])");
  EXPECT_EQ(splitPhraseItem(u"记事本(openProgram[C:\\a (x86)\\n.exe])"), (Entry{u"openProgram[C:\\a (x86)\\n.exe]", u"记事本"}));
  EXPECT_FALSE(splitPhraseItem(u"没有括号"));
  EXPECT_FALSE(splitPhraseItem(u")反("));
}

// Damaged text built to make a careless scan quadratic: each call here would take minutes.
TEST(SetText, LargeDamagedTextsAreScannedInLinearTime) {
  std::u16string markersWithoutQuotes;
  for (int i = 0; i < 100000; ++i) markersWithoutQuotes += u"<P VALSTR=";
  EXPECT_TRUE(listEntries(markersWithoutQuotes).empty());
  EXPECT_FALSE(removeEntry(markersWithoutQuotes + u"+x<", u"x"));
  EXPECT_EQ(checkSetText(markersWithoutQuotes).size(), 100000u + 1);  // each marker, and no "</L>"

  std::u16string keysWithoutEntries = u"<P VALSTR=a>";
  for (int i = 0; i < 100000; ++i) keysWithoutEntries += u"+x<";
  EXPECT_FALSE(findAction(keysWithoutEntries, u"x"));
  EXPECT_FALSE(removeEntry(keysWithoutEntries, u"x"));
}

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

// "line:phrase:E|N" for each finding, so a test states which entry was named and how.
std::vector<std::string> check(std::u16string_view text) {
  std::vector<std::string> out;
  for (const auto& f : checkSetText(text))
    out.push_back(std::to_string(f.line) + ":" + toUtf8(f.phrase) + ":" + (f.noteOnly ? "N" : "E"));
  return out;
}

// Each finding names its line and, where it has one, its entry's phrase; only notes let a check pass.
TEST(SetCheck, FindsWhatTheFormatCannotHoldLayoutFaultsAndDoubtfulEntries) {
  const std::u16string list = u"<L>\r\n";
  const std::pair<std::u16string, std::vector<std::string>> cases[] = {
      {setTextWithEntries({{u"Alt+F4", u"关闭"}, {u"Write[a b]", u"写"}, {u"LWindows*R", u"运行"}}), {}},
      // Characters the format cannot hold, in actions and in phrases.
      {list + u"<P VALSTR=\"Write[a&b]\">+与</P>\r\n</L>", {"2:与:E"}},
      {list + u"<P VALSTR=\"Write[a\"b]\">+引</P>\r\n</L>", {"2:引:E"}},
      {list + u"<P VALSTR=\"Write[a>+b]\">+大</P>\r\n</L>", {"2:大:E"}},
      {list + u"<P VALSTR=\"Esc\">+停(止</P>\r\n</L>", {"2:停(止:E"}},
      // Layout: bare line feeds, lower-case markup, an unquoted action, no "</L>".
      {u"<L>\n<P VALSTR=\"Esc\">+停止</P>\n</L>", {"1::E"}},
      {u"<L>\r\n<p valstr=\"Esc\">+停止</p>\r\n</L>", {"2::E", "2::E"}},
      {u"<L>\r\n<P VALSTR=Esc>+停止</P>\r\n</L>", {"2::E"}},
      {u"<P VALSTR=\"Esc\">+停止</P>", {"1::E"}},
      // A slow prefix is a note; unknown keys and a duplicate phrase are problems.
      {setTextWithEntries({{u"3", u"三号部队"}, {u"Ctrl+Foo!100*Esc", u"坏键"}, {u"3*MRBC", u"三号部队过来"},
                           {u"Esc", u"三号部队"}, {u"OpenFoo", u"关键字"}}),
       {"8:三号部队:N", "9:坏键:E", "11:三号部队:E"}},
  };
  for (const auto& [text, found] : cases) EXPECT_EQ(check(text), found) << toUtf8(text);
}

}  // namespace
}  // namespace sayvane
