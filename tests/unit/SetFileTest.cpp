// Set files on disk: code page 936 both ways, safe saves, listing, and read errors.
#include "commandsets/SetFile.h"

#include <gtest/gtest.h>

#include "platform/HostCodePage936.h"
#include "platform/std/FolderFiles.h"
#include "support/TempFolder.h"

namespace sayvane {
namespace {

using testing::TempFolder;

struct OnDisk : ::testing::Test {
  TempFolder folder;
  FolderFiles files{folder.path()};
  std::unique_ptr<CodePage936> codePage = makeHostCodePage936();
};

// Chinese text is GBK both ways; what the code page cannot hold is reported, never replaced.
TEST(CodePage, ChineseTextIsGbkBothWaysAndUnrepresentableTextIsReportedNeverReplaced) {
  auto codePage = makeHostCodePage936();
  const auto encoded = codePage->encode(u"退出A");
  ASSERT_TRUE(encoded.bytes);
  EXPECT_EQ(*encoded.bytes, "\xCD\xCB\xB3\xF6" "A");
  EXPECT_EQ(codePage->decode("\xCD\xCB\xB3\xF6" "A"), u"退出A");
  const auto thai = codePage->encode(u"好ก好");
  EXPECT_FALSE(thai.bytes);
  EXPECT_EQ(thai.badIndex, 1u);
  EXPECT_FALSE(codePage->encode(u"ab\U0001F600").bytes);
  EXPECT_FALSE(codePage->decode("\xCD"));  // a lead byte with nothing after it
}

TEST_F(OnDisk, WriteAppendsOneLineBreakInCodePage936ReadGivesTheTextBackOrAnError) {
  ASSERT_TRUE(writeSetFile(files, *codePage, u"测试", u"<L>\r\n</L>\r\n"));
  EXPECT_EQ(folder.readBytes(u"测试.xml"), "<L>\r\n</L>\r\n\r\n");
  const auto read = readSetFile(files, *codePage, u"测试");
  ASSERT_TRUE(read);
  EXPECT_EQ(read.text, u"<L>\r\n</L>\r\n\r\n");
  EXPECT_EQ(listSetNames(files), std::vector<std::u16string>{u"测试"});
  // Missing and non-GBK files are errors, not empty sets.
  EXPECT_EQ(readSetFile(files, *codePage, u"没有").error, SetFileError::ReadFailed);
  folder.writeBytes(u"bad.xml", "\xFF\xFF");
  EXPECT_EQ(readSetFile(files, *codePage, u"bad").error, SetFileError::NotCodePage936);
}

TEST_F(OnDisk, TextTheCodePageCannotHoldLeavesTheOldFileAndNamesTheCharacter) {
  folder.writeBytes(u"a.xml", "old");
  const std::u16string text = u"<P VALSTR=\"Write[ก]\">+泰</P>";
  const auto result = writeSetFile(files, *codePage, u"a", text);
  EXPECT_EQ(result.error, SetFileError::Unrepresentable);
  EXPECT_EQ(folder.readBytes(u"a.xml"), "old");
  EXPECT_NE(describeSetFileError(result, u"a.xml", text).find(u"“ก”"), std::u16string::npos);
}

TEST_F(OnDisk, AFailedSaveOrAReadOnlySetKeepsTheOldFile) {
  folder.writeBytes(u"a.xml", "old");
  // A folder where the temporary file would go makes the save fail before the replace.
  std::filesystem::create_directory(folder.path() / "a.xml.saving");
  EXPECT_EQ(writeSetFile(files, *codePage, u"a", u"new").error, SetFileError::WriteFailed);
  EXPECT_EQ(folder.readBytes(u"a.xml"), "old");
  std::filesystem::remove(folder.path() / "a.xml.saving");
  // Nor is a read-only set replaced (the folder gives the write permission back when it goes).
  std::filesystem::permissions(folder.path() / "a.xml", std::filesystem::perms::owner_write |
                                   std::filesystem::perms::group_write | std::filesystem::perms::others_write,
                               std::filesystem::perm_options::remove);
  EXPECT_EQ(writeSetFile(files, *codePage, u"a", u"new").error, SetFileError::WriteFailed);
  EXPECT_EQ(folder.readBytes(u"a.xml"), "old");
}

TEST_F(OnDisk, TheNewFileReachesTheDiskBeforeItReplacesTheOldOneWhole) {
  const std::string old = "old, and longer than what replaces it";
  folder.writeBytes(u"a.xml", old);
  std::vector<std::string> flushed, inPlace;
  bool diskFails = false;
  FolderFiles flushing(folder.path(), [&](const std::filesystem::path& file) {
    flushed.push_back(folder.readBytes(file.filename().u16string()));
    inPlace.push_back(folder.readBytes(u"a.xml"));
    return !diskFails;
  });
  ASSERT_TRUE(writeSetFile(flushing, *codePage, u"a", u"new"));
  // Flushed whole, while the old file still stood in its place.
  EXPECT_EQ(flushed, std::vector<std::string>{"new\r\n"});
  EXPECT_EQ(inPlace, std::vector<std::string>{old});
  EXPECT_EQ(folder.readBytes(u"a.xml"), "new\r\n");

  diskFails = true;
  EXPECT_EQ(writeSetFile(flushing, *codePage, u"a", u"newer").error, SetFileError::WriteFailed);
  EXPECT_EQ(folder.readBytes(u"a.xml"), "new\r\n");
  EXPECT_FALSE(std::filesystem::exists(folder.path() / "a.xml.saving"));
}

TEST_F(OnDisk, ListingTakesXmlFilesOnlySortedAndKeepsNamesVerbatim) {
  for (const auto* name : {u"b.xml", u"A.XML", u"c.xml.saving", u"d.txt", u"点歌台.xml"}) folder.writeBytes(name, "x");
  std::filesystem::create_directory(folder.path() / "dir.xml");
  EXPECT_EQ(listSetNames(files), (std::vector<std::u16string>{u"A", u"b", u"点歌台"}));
  // What a listing leaves out may still stand in a set file's way.
  EXPECT_FALSE(files.writeAtomic(u"dir.xml", "x"));
  EXPECT_EQ(files.kindOf(u"dir.xml"), Files::Kind::Folder);
  EXPECT_EQ(files.kindOf(u"b.xml"), Files::Kind::File);
  EXPECT_EQ(files.kindOf(u"c.xml"), Files::Kind::Missing);
}

}  // namespace
}  // namespace sayvane
