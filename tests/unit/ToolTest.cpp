#include "tool/Tool.h"

#include <gtest/gtest.h>

#include <sstream>

#include "commandsets/DefaultSets.h"
#include "platform/HostCodePage936.h"
#include "support/TempFolder.h"
#include "text/Text.h"

namespace sayvane {
namespace {

struct Tool : ::testing::Test {
  testing::TempFolder folder;
  std::unique_ptr<CodePage936> codePage = makeHostCodePage936();
  std::string out, err;

  int run(std::vector<std::string> args) {
    std::ostringstream o, e;
    const int status = runTool(args, o, e, *codePage);
    out = o.str();
    err = e.str();
    return status;
  }
  std::string file(const std::u16string& name) { return toUtf8((folder.path() / std::filesystem::path(name)).u16string()); }
  void writeSet(const std::u16string& name, const std::u16string& text) {
    folder.writeBytes(name, *codePage->encode(text).bytes);
  }
};

TEST_F(Tool, DryRunPrintsOneOperationALine) {
  EXPECT_EQ(run({"dry-run", "LWindows*R"}), 0);
  EXPECT_EQ(out, "key-down 0x5B\nkey-up 0x5B\nwait 500\nkey-down 0x52\nkey-up 0x52\nwait 500\n");
  EXPECT_EQ(run({"dry-run", "Write[你好]"}), 0);
  EXPECT_EQ(out, "clipboard-clear\nclipboard-set 你好\nkey-down 0x11\nkey-down 0x56\nkey-up 0x11\nkey-up 0x56\n");
  EXPECT_EQ(run({"dry-run", ""}), 0);
  EXPECT_EQ(out, "");
}

TEST_F(Tool, ListFindAndMenuReadCodePage936Files) {
  writeSet(u"测试.xml", setTextWithEntries({{u"Alt+F4", u"关闭"}, {u"Esc", u"Tobrin"}}));
  EXPECT_EQ(run({"list", file(u"测试.xml")}), 0);
  EXPECT_EQ(out, "关闭\tAlt+F4\nTobrin\tEsc\n");
  EXPECT_EQ(run({"find", file(u"测试.xml"), "关闭"}), 0);
  EXPECT_EQ(out, "Alt+F4\n");
  EXPECT_EQ(run({"find", file(u"测试.xml"), "关"}), 1);
  EXPECT_EQ(out, "");
  EXPECT_EQ(run({"menu", file(u"测试.xml")}), 0);
  EXPECT_EQ(out, "关闭\ntobrin\n");
}

TEST_F(Tool, CheckFailsOnProblemsButNotOnNotes) {
  writeSet(u"good.xml", setTextWithEntries({{u"1", u"一号部队"}, {u"1*MRBC", u"一号部队过来"}}));
  writeSet(u"bad.xml", setTextWithEntries({{u"Write[a&b]", u"与"}}));
  EXPECT_EQ(run({"check", file(u"good.xml")}), 0);
  EXPECT_NE(out.find("good.xml:8: 注意: “一号部队”"), std::string::npos);
  EXPECT_EQ(run({"check", file(u"good.xml"), file(u"bad.xml")}), 1);
  EXPECT_NE(out.find("bad.xml:8: “与”: "), std::string::npos);
}

TEST_F(Tool, RestoreAsksForConsentAndThenWritesTheDefaults) {
  folder.writeBytes(u"mine.xml", "mine");
  EXPECT_EQ(run({"restore-defaults", toUtf8(folder.path().u16string())}), 2);
  EXPECT_EQ(folder.readBytes(u"mine.xml"), "mine");
  EXPECT_EQ(run({"restore-defaults", toUtf8(folder.path().u16string()), "--yes"}), 0);
  EXPECT_FALSE(std::filesystem::exists(folder.path() / "mine.xml"));
  for (const auto& set : defaultSets())
    EXPECT_EQ(folder.readBytes(setFileName(set.name)), *codePage->encode(set.text() + u"\r\n").bytes);
}

TEST_F(Tool, BadArgumentsAndUnreadableFilesExitWithTwo) {
  for (const auto& args : std::vector<std::vector<std::string>>{
           {}, {"frobnicate"}, {"dry-run"}, {"dry-run", "a", "b"}, {"list"}, {"find", "x"}, {"check"},
           {"restore-defaults"}, {"restore-defaults", file(u"nowhere"), "--yes"}, {"list", file(u"missing.xml")}}) {
    EXPECT_EQ(run(args), 2);
    EXPECT_FALSE(err.empty());
  }
}

}  // namespace
}  // namespace sayvane
