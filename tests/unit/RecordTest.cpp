// The diagnostic record: the file it writes, its cap, and what the program notes in it.
#include "platform/std/FileRecord.h"

#include "ProgramTest.h"
#include "support/TempFolder.h"

namespace sayvane::testing {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

TEST(FileRecord, WritesStampedLinesAfterAByteOrderMarkOnlyWhenFlushedKeepsToItsCapAndReportsAFailedWrite) {
  TempFolder folder;
  int tick = 0;
  {
    FileRecord record(folder.path() / u"Sayvane.log", [&] { return std::to_string(++tick); }, 64);
    record.note(u"听到：Tobrin");
    EXPECT_FALSE(std::filesystem::exists(folder.path() / u"Sayvane.log")) << "written before a flush";
    ASSERT_TRUE(record.flush());
    record.note(u"提示框：两行\r\n之间");
    ASSERT_TRUE(record.flush());
    EXPECT_EQ(folder.readBytes(u"Sayvane.log"),
              std::string(kBom) + "1 听到：Tobrin\r\n2 提示框：两行\\n之间\r\n");
    // Past the cap of 64 bytes: the newer half stays, in whole lines.
    record.note(u"0123456789");
    record.note(u"abc");
  }
  EXPECT_EQ(folder.readBytes(u"Sayvane.log"), std::string(kBom) + "3 0123456789\r\n4 abc\r\n");
  // A folder that cannot hold the file (here a file stands in the way): nothing fails but the
  // flush, and what waits stays within the cap.
  folder.writeBytes(u"folder", "a file");
  FileRecord record(folder.path() / u"folder" / u"Sayvane.log", {}, 40);
  for (int i = 0; i < 100; ++i) record.note(u"一行字");
  EXPECT_FALSE(record.flush());
  EXPECT_FALSE(record.flush());
  std::filesystem::remove(folder.path() / u"folder");
  std::filesystem::create_directory(folder.path() / u"folder");
  record.note(u"最后");
  ASSERT_TRUE(record.flush());
  const auto kept = folder.readBytes(u"folder/Sayvane.log");
  EXPECT_LE(kept.size(), 40u + kBom.size());
  EXPECT_TRUE(kept.ends_with("一行字\r\n最后\r\n")) << kept;
}

// What the program notes apart from its effects; the notification icon's menu opens the record, or
// says why it cannot be.
TEST_F(Started, NotesWhatIsHeardAndTheNoticeAndOpensTheRecordFromTheMenu) {
  sim->options().foreground = ForegroundLevel::Higher;
  sim->takeRecord();
  for (const auto phrase : {u"打开冰箱", u"运行框", u"Tobrin", u"向下"}) hear(phrase);
  EXPECT_EQ(sim->takeRecord(), (Lines{"没有识别：说的话不是语音命令集里的词汇", "听到：运行框（之前没有唤醒，不执行）",
                                      "听到：Tobrin（唤醒）", "听到：向下 → 执行 Down!1000",
                                      "前台窗口的程序以管理员身份运行：按键和鼠标操作到达不了它"}));
  window->trayCommand(TrayChoice::OpenRecord);
  sim->options().recordUnwritable = true;
  window->trayCommand(TrayChoice::OpenRecord);
  EXPECT_EQ(take(), (Lines{"shell-open C:\\Sayvane\\Sayvane.log",
                           "message Sayvane|无法把诊断记录写入程序文件夹“C:\\Sayvane”。请把 Sayvane 文件夹放在你可以写入的地方。"}));
}

}  // namespace
}  // namespace sayvane::testing
