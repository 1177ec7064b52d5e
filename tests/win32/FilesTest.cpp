// Saving files on the real file system, as the program does.
#include <gtest/gtest.h>

#include <windows.h>

#include "platform/std/FolderFiles.h"
#include "platform/win32/FlushToDisk.h"
#include "win32/Win32Test.h"

namespace {

// Wine's rename would replace a read-only file; Windows keeps a set the user made read-only.
TEST(FilesTest, ASaveReplacesTheWholeFileOrFailsKeepingTheOldOneAndLeavesNoTemporary) {
  win32test::TempFolder folder;
  sayvane::FolderFiles files{folder.path(), sayvane::win32::flushToDisk};  // as the program has it
  const auto path = folder.path() / L"集.xml";
  const std::string old = "old contents that are longer than the new ones";
  const struct {
    const char* name;
    bool heldOpen, readOnly;
  } cases[] = {{"a plain file", false, false}, {"held open without sharing", true, false}, {"read-only", false, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    folder.writeBytes(u"集.xml", old);
    HANDLE held = c.heldOpen ? CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)
                             : INVALID_HANDLE_VALUE;
    if (c.readOnly) {
      ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
    }
    const bool saved = files.writeAtomic(u"集.xml", "new");
    if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(saved, !c.heldOpen && !c.readOnly);
    EXPECT_EQ(folder.readBytes(u"集.xml"), saved ? "new" : old);
    const auto entries =
        std::distance(std::filesystem::directory_iterator(folder.path()), std::filesystem::directory_iterator{});
    EXPECT_EQ(entries, 1) << "a temporary was left";
  }
  EXPECT_TRUE(files.remove(u"集.xml"));
  EXPECT_FALSE(files.remove(u"集.xml"));
  EXPECT_EQ(files.read(u"集.xml"), std::nullopt);
}

}  // namespace
