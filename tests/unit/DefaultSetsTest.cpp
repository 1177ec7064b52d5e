// The shipped sets exactly as shipped, restoring them, and the help text that names them.
#include "commandsets/DefaultSets.h"

#include <cstdint>
#include <iterator>

#include "ProgramTest.h"
#include "actions/ActionPlan.h"
#include "app/HelpText.h"
#include "commandsets/SetCheck.h"

namespace sayvane {
namespace {

// 64-bit FNV-1a over the UTF-16 code units: any change to any row, or to a set's envelope, shows.
std::uint64_t fingerprint(std::u16string_view text) {
  std::uint64_t hash = 14695981039346656037ull;
  for (const char16_t unit : text) {
    hash = (hash ^ static_cast<std::uint8_t>(unit)) * 1099511628211ull;
    hash = (hash ^ static_cast<std::uint8_t>(unit >> 8)) * 1099511628211ull;
  }
  return hash;
}

TEST(DefaultSets, EightSetsInRestoreOrderExactlyAsShippedWhoseWebRowsOpenOneSecureAddress) {
  struct Expected {
    std::u16string_view name;
    std::size_t rows;
    std::uint64_t fingerprint;
  };
  const Expected expected[] = {{u"Windows", 29, 0xc62314de093aff1e},
                               {u"帝国时代2", 35, 0x3e0d082b52d560db},
                               {u"封神榜", 21, 0x5df6f9b5e939ee70},
                               {u"PowerPoint幻灯片播放", 17, 0xc72738a2daaf0cfa},
                               {u"输入常用词汇和语句", 18, 0x09dcd2bef6abdce1},
                               {u"点歌台", 8, 0xb40b3cc01c0e642d},
                               {u"IE浏览器", 30, 0x3775321389741b7f},
                               {u"初始默认语音命令集", 38, 0x74e1dc2805fc1ddd}};
  ASSERT_EQ(defaultSets().size(), std::size(expected));
  std::size_t webRows = 0;
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    const auto& set = defaultSets()[i];
    EXPECT_EQ(set.name, expected[i].name);
    EXPECT_EQ(set.entries.size(), expected[i].rows);
    EXPECT_EQ(fingerprint(set.text()), expected[i].fingerprint)
        << toUtf8(set.name) << ": 0x" << std::hex << fingerprint(set.text());
    // What the editor lists is exactly the table: nothing in a row confuses the scanner.
    EXPECT_EQ(listEntries(set.text()), set.entries);
    for (const auto& finding : checkSetText(set.text())) EXPECT_TRUE(finding.noteOnly) << toUtf8(finding.message);
    // Web rows open one secure address and nothing else.
    for (const auto& entry : set.entries) {
      if (!contains(lowerCase(entry.action), u"openie")) continue;
      ++webRows;
      const auto plan = planAction(entry.action);
      ASSERT_EQ(plan.size(), 1u) << toUtf8(entry.phrase);
      EXPECT_EQ(plan[0].kind, Operation::Kind::ShellOpen);
      EXPECT_EQ(plan[0].text.rfind(u"https://", 0), 0u) << toUtf8(entry.phrase);
    }
  }
  EXPECT_EQ(webRows, 7u + 1 + 8 + 9);
}

// The program's folder in memory, not started.
struct Restore : testing::Program {};

TEST_F(Restore, ReplacesEverySetWithTheEightDefaultsPlusOneLineBreakOrStopsAtTheFirstFailureAndSaysWhere) {
  files.files = {{u"我的.xml", "mine"}, {u"别的.XML", "other"}, {u"Windows.xml", "edited"}, {u"说明.txt", "keep"}};
  ASSERT_TRUE(restoreDefaultSets(files, *codePage));
  EXPECT_EQ(files.files.size(), 9u);
  EXPECT_EQ(files.files.at(u"说明.txt"), "keep");
  for (const auto& set : defaultSets())
    EXPECT_EQ(readSetFile(files, *codePage, set.name).text, set.text() + u"\r\n");

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

TEST(HelpText, NamesEveryExampleSetByItsFileFitsCodePage936AndBreaksLinesOnlyWithCrLf) {
  for (const auto& set : defaultSets()) {
    if (set.name == kInitialSetName) continue;
    EXPECT_TRUE(contains(kHelpText, concat({set.name, u".xml"}))) << toUtf8(set.name);
  }
  // The help window shows it on any system; a character outside GBK would be a sign of text
  // pasted from elsewhere.
  EXPECT_TRUE(makeHostCodePage936()->encode(std::u16string(kHelpText)).bytes);
  // A bare line feed shows as nothing in a Win32 edit field: the two lines would run together.
  for (std::size_t i = 0; i < kHelpText.size(); ++i) {
    const bool lineFeed = kHelpText[i] == u'\n', carriageReturn = kHelpText[i] == u'\r';
    EXPECT_FALSE(lineFeed && (i == 0 || kHelpText[i - 1] != u'\r')) << "bare line feed at " << i;
    EXPECT_FALSE(carriageReturn && (i + 1 == kHelpText.size() || kHelpText[i + 1] != u'\n')) << "bare CR at " << i;
  }
}

}  // namespace
}  // namespace sayvane
