#include "commandsets/DefaultSets.h"

#include <gtest/gtest.h>

#include "actions/ActionPlan.h"
#include "commandsets/SetCheck.h"
#include "platform/HostCodePage936.h"
#include "support/Fakes.h"
#include "text/Text.h"

namespace sayvane {
namespace {

TEST(DefaultSets, EightSetsInRestoreOrderWithTheirRowCounts) {
  const std::vector<std::pair<std::u16string, std::size_t>> expected = {
      {u"Windows", 29}, {u"帝国时代2", 35}, {u"封神榜", 21}, {u"PowerPoint幻灯片播放", 17},
      {u"输入常用词汇和语句", 18}, {u"点歌台", 8}, {u"IE浏览器", 30}, {u"初始默认语音命令集", 38}};
  ASSERT_EQ(defaultSets().size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const auto& set = defaultSets()[i];
    EXPECT_EQ(set.name, expected[i].first);
    EXPECT_EQ(set.entries.size(), expected[i].second);
    // What the editor lists is exactly the table: nothing in a row confuses the scanner.
    EXPECT_EQ(listEntries(set.text()), set.entries);
    const std::vector<Entry> head{{u"CloseSoft", u"退出"}, {u"AddSpeech", u"添加语音命令"}, {u"AddSpeech", u"更换语音命令"}};
    EXPECT_EQ(std::vector<Entry>(set.entries.begin(), set.entries.begin() + 3), head);
    EXPECT_EQ(set.entries.back(), (Entry{u"OpenShow", u"Tobrin"}));
    for (const auto& finding : checkSetText(set.text())) EXPECT_TRUE(finding.noteOnly) << toUtf8(finding.message);
  }
}

TEST(DefaultSets, SongSetIsByteForByteTheBuiltInText) {
  EXPECT_EQ(defaultSets()[5].text(),
            u"<?xml version=\"1.0\" encoding=\"gb2312\" ?> \r\n<GRAMMAR LANGID=\"804\">\r\n<DEFINE>\r\n"
            u"<ID NAME=\"RID_Game1\" VAL=\"1001\"/>\r\n</DEFINE>\r\n"
            u"<RULE NAME=\"Game1\" ID=\"RID_Game1\" TOPLEVEL=\"ACTIVE\">\r\n<L PROPNAME=\"Game1\" PROPID=\"RID_Game1\">\r\n"
            u"<P VALSTR=\"CloseSoft\">+退出</P>\r\n<P VALSTR=\"AddSpeech\">+添加语音命令</P>\r\n"
            u"<P VALSTR=\"AddSpeech\">+更换语音命令</P>\r\n<P VALSTR=\"OpenFile[f:\\music\\甜蜜蜜.mp3]\">+甜蜜蜜</P>\r\n"
            u"<P VALSTR=\"OpenFile[f:\\music\\2002年的第一场雪.mp3]\">+2002年的第一场雪</P>\r\n"
            u"<P VALSTR=\"OpenFile[f:\\music\\好大一棵树.mp3]\">+好大一棵树</P>\r\n"
            u"<P VALSTR=\"OpenFile[f:\\music\\在那桃花盛开的地方.mp3]\">+在那桃花盛开的地方</P>\r\n"
            u"<P VALSTR=\"OpenShow\">+Tobrin</P>\r\n</L>\r\n</RULE>\r\n</GRAMMAR>\r\n");
}

TEST(DefaultSets, OnlyTheSlideShowSplitsItsRuleTag) {
  for (const auto& set : defaultSets()) {
    const bool split = contains(set.text(), u"ID=\"RID_Game1\"\r\nTOPLEVEL=\"ACTIVE\">\r\n");
    EXPECT_EQ(split, set.name == u"PowerPoint幻灯片播放") << toUtf8(set.name);
  }
}

TEST(DefaultSets, WebRowsOpenOneSecureAddressAndNothingElse) {
  std::size_t webRows = 0;
  for (const auto& set : defaultSets())
    for (const auto& entry : set.entries) {
      if (!contains(lowerCase(entry.action), u"openie")) continue;
      ++webRows;
      const auto plan = planAction(entry.action);
      ASSERT_EQ(plan.size(), 1u) << toUtf8(entry.phrase);
      EXPECT_EQ(plan[0].kind, Operation::Kind::ShellOpen);
      EXPECT_EQ(plan[0].text.rfind(u"https://", 0), 0u) << toUtf8(entry.phrase);
    }
  EXPECT_EQ(webRows, 7u + 1 + 8 + 9);
}

struct Restore : ::testing::Test {
  testing::MemoryFiles files;
  std::unique_ptr<CodePage936> codePage = makeHostCodePage936();
};

TEST_F(Restore, ReplacesEverySetWithTheEightDefaultsPlusOneLineBreak) {
  files.files = {{u"我的.xml", "mine"}, {u"别的.XML", "other"}, {u"Windows.xml", "edited"}, {u"说明.txt", "keep"}};
  ASSERT_TRUE(restoreDefaultSets(files, *codePage));
  EXPECT_EQ(files.files.size(), 9u);
  EXPECT_EQ(files.files.at(u"说明.txt"), "keep");
  for (const auto& set : defaultSets())
    EXPECT_EQ(files.files.at(setFileName(set.name)), *codePage->encode(set.text() + u"\r\n").bytes);
}

TEST_F(Restore, StopsAtTheFirstFailureAndSaysWhere) {
  files.files = {{u"我的.xml", "mine"}};
  files.failRemoves = true;
  const auto failed = restoreDefaultSets(files, *codePage);
  EXPECT_EQ(failed.result.error, SetFileError::DeleteFailed);
  EXPECT_EQ(failed.fileName, u"我的.xml");
  EXPECT_EQ(files.files.size(), 1u);

  files.failRemoves = false;
  files.failWrites = true;
  const auto unwritten = restoreDefaultSets(files, *codePage);
  EXPECT_EQ(unwritten.result.error, SetFileError::WriteFailed);
  EXPECT_EQ(unwritten.setName, u"Windows");
}

}  // namespace
}  // namespace sayvane
