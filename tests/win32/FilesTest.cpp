// Set files on the real file system: FolderFiles with the Win32 code page 936 converter.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>

#include "commandsets/SetFile.h"
#include "platform/std/FolderFiles.h"
#include "platform/win32/FlushToDisk.h"
#include "platform/win32/WinCodePage936.h"
#include "win32/Win32Test.h"

namespace {

using win32test::TempFolder;

std::string rawBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void writeRaw(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}

std::vector<std::wstring> folderContents(const std::filesystem::path& folder) {
  std::vector<std::wstring> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.push_back(entry.path().filename().wstring());
  std::sort(names.begin(), names.end());
  return names;
}

class FilesTest : public ::testing::Test {
 protected:
  TempFolder folder_;
  sayvane::FolderFiles files_{folder_.path(), sayvane::win32::flushToDisk};  // as the program has it
  sayvane::WinCodePage936 codePage_;
};

TEST_F(FilesTest, SetFilesRoundTripInCodePage936WithCrLf) {
  const std::u16string text = u"<GRAMMAR>\r\n测试 打开\r\n</GRAMMAR>";
  ASSERT_TRUE(sayvane::writeSetFile(files_, codePage_, u"测试", text));

  const std::string expected = "<GRAMMAR>\r\n\xB2\xE2\xCA\xD4 \xB4\xF2\xBF\xAA\r\n</GRAMMAR>\r\n";
  EXPECT_EQ(rawBytes(folder_.path() / L"测试.xml"), expected);
  const auto back = sayvane::readSetFile(files_, codePage_, u"测试");
  ASSERT_TRUE(back);
  EXPECT_EQ(back.text, text + u"\r\n");
  EXPECT_EQ(files_.folder(), folder_.path().u16string());
}

TEST_F(FilesTest, ASaveReplacesTheWholeFileAndLeavesNoTemporary) {
  writeRaw(folder_.path() / L"集.xml", "old contents that are longer than the new ones");
  ASSERT_TRUE(files_.writeAtomic(u"集.xml", "new"));
  EXPECT_EQ(rawBytes(folder_.path() / L"集.xml"), "new");
  EXPECT_EQ(folderContents(folder_.path()), std::vector<std::wstring>{L"集.xml"});
  EXPECT_TRUE(files_.remove(u"集.xml"));
  EXPECT_FALSE(files_.remove(u"集.xml"));
  EXPECT_EQ(files_.read(u"集.xml"), std::nullopt);
}

TEST_F(FilesTest, ASaveOverAFileHeldOpenWithoutSharingFailsAndKeepsTheOldFile) {
  const auto path = folder_.path() / L"占用.xml";
  writeRaw(path, "old");
  HANDLE held = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  const bool saved = files_.writeAtomic(u"占用.xml", "new");
  CloseHandle(held);
  EXPECT_FALSE(saved);
  EXPECT_EQ(rawBytes(path), "old");
  EXPECT_EQ(folderContents(folder_.path()), std::vector<std::wstring>{L"占用.xml"});
}

// A set the user made read-only stays as it is, as Windows itself would keep it (Wine's rename
// would replace it).
TEST_F(FilesTest, ASaveOverAReadOnlyFileFailsAndKeepsIt) {
  const auto path = folder_.path() / L"只读.xml";
  writeRaw(path, "old");
  ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_FALSE(files_.writeAtomic(u"只读.xml", "new"));
  EXPECT_EQ(rawBytes(path), "old");
  EXPECT_EQ(folderContents(folder_.path()), std::vector<std::wstring>{L"只读.xml"});
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace
