// The set editor in the main window: selecting, adding, deleting and creating sets and phrases.
#include "ProgramTest.h"

#include "commandsets/EntryRules.h"

namespace sayvane::testing {
namespace {

// Every save ends the text with one more line break, as the set files' writer always has: the
// fixture's save and the edit's.
constexpr const char* kTwoSaves = "\r\n\r\n";

struct Editor : Program {
  void SetUp() override {
    addSet(u"游戏", {{u"CloseSoft", u"退出"}, {u"Space", u"跳"}, {u"Ctrl", u"开火"}});
    startQuietly();
    click("Command5");  // editing needs the set stopped
    selectSet(u"游戏");
  }
};

TEST_F(Editor, SelectingASetListsItsPhrasesAndLoadsItsGrammarAndAddingWritesAndReloadsIt) {
  EXPECT_EQ(utf8(ui().List1.items), (Lines{"退出(CloseSoft)", "跳(Space)", "开火(Ctrl)"}));
  EXPECT_EQ(window->library().loadedName(), u"游戏");
  EXPECT_EQ(sim->grammarPhrases(), (std::vector<std::u16string>{u"退出", u"跳", u"开火"}));
  // Adding a phrase writes the file, reloads the grammar and keeps the fields.
  EXPECT_EQ(addPhrase(u"蹲下", u"Ctrl+C"), (Lines{"write 游戏.xml", "grammar-load 游戏.xml", "rules off"}));
  EXPECT_EQ(fileText(u"游戏"), toUtf8(setTextWithEntries({{u"CloseSoft", u"退出"}, {u"Space", u"跳"}, {u"Ctrl", u"开火"},
                                                   {u"Ctrl+C", u"蹲下"}})) + kTwoSaves);
  EXPECT_EQ(lastOf(utf8(ui().List1.items)), "蹲下(Ctrl+C)");
  EXPECT_EQ(ui().Text1.text, u"蹲下");
  EXPECT_EQ(ui().Text2.text, u"Ctrl+C");
  EXPECT_THAT(sim->grammarPhrases(), Contains(u"蹲下"));
  // The same set again reads nothing.
  files.files[u"游戏.xml"] = "garbage";
  EXPECT_TRUE(selectSet(u"游戏").empty());
}

// The set in use answers from the text it loaded: an added phrase must reach that text too.
TEST_F(Started, APhraseAddedWhileTheSetIsOffActsOnceItIsOnAgain) {
  click("Command5");
  addPhrase(u"按键甲", u"A");
  click("Command5");
  EXPECT_EQ(command(u"按键甲"), (Lines{"speak 按键甲", "key-down 0x41", "key-up 0x41"}));
}

TEST_F(Editor, RefusedAddsAndFailedSavesChangeNothing) {
  const auto before = files.files;
  EXPECT_EQ(addPhrase(u"", u"A"), (Lines{"message 提示|请添加你想读的中文词汇"}));
  EXPECT_EQ(addPhrase(u"跳", u""), (Lines{"message 提示|请添加中文词汇对应的操作"}));
  EXPECT_EQ(addPhrase(u"跳", u"B"), (Lines{"message 提示|请添加新的词汇，这个词汇已经有了！"}));
  EXPECT_EQ(addPhrase(u"打开(新)", u"A"), (Lines{"message 提示|发音词汇中不能含有“(”，请修改。"}));
  EXPECT_EQ(addPhrase(u"引号", u"Write[\"a\" & <b>]"), (Lines{"message 提示|对应的操作中不能含有“\"”“<”“>”“&”，请修改。"}));
  EXPECT_EQ(addPhrase(u"表情", u"Write[😀]"), (Lines{"message 提示|对应的操作中的文字“😀”无法用GBK编码保存，请修改。"}));
  EXPECT_EQ(files.files, before);
  EXPECT_EQ(ui().List1.items.size(), 3u);
  // A save that fails changes nothing either, the phrases listed included.
  files.failWrites = true;
  EXPECT_EQ(addPhrase(u"蹲下", u"C"), (Lines{"message Sayvane|无法写入语音命令集文件“游戏.xml”，原文件没有改动。"}));
  ASSERT_TRUE(window->select("List1", 1));
  EXPECT_EQ(click("Command4"), (Lines{"message Sayvane|无法写入语音命令集文件“游戏.xml”，原文件没有改动。"}));
  files.failWrites = false;
  EXPECT_EQ(utf8(ui().List1.items), (Lines{"退出(CloseSoft)", "跳(Space)", "开火(Ctrl)"}));
  EXPECT_EQ(fileText(u"游戏"), toUtf8(setTextWithEntries({{u"CloseSoft", u"退出"}, {u"Space", u"跳"}, {u"Ctrl", u"开火"}})) + "\r\n");
  // The duplicate test is exact: a trailing blank makes another phrase.
  EXPECT_EQ(firstOf(addPhrase(u"跳 ", u"   ")), "write 游戏.xml");
}

TEST_F(Editor, DeletingAPhraseRewritesTheFileOnlyAndProtectsExit) {
  ASSERT_TRUE(window->select("List1", 1));
  EXPECT_EQ(ui().Text1.text, u"跳");
  EXPECT_EQ(ui().Text2.text, u"Space");
  EXPECT_EQ(click("Command4"), (Lines{"write 游戏.xml"}));
  EXPECT_EQ(fileText(u"游戏"), toUtf8(setTextWithEntries({{u"CloseSoft", u"退出"}, {u"Ctrl", u"开火"}})) + kTwoSaves);
  EXPECT_EQ(utf8(ui().List1.items), (Lines{"退出(CloseSoft)", "开火(Ctrl)"}));
  EXPECT_EQ(click("Command4"), (Lines{"message 提示|选中你要删除的语音命令"}));
  ASSERT_TRUE(window->select("List1", 0));
  EXPECT_EQ(click("Command4"), (Lines{"message 提示|不可删除默认的语音命令!"}));
  // A deleted phrase no longer has an action, though the grammar still hears it.
  click("Command5");
  EXPECT_EQ(command(u"跳"), (Lines{"speak 跳"}));
}

TEST_F(Editor, DeletingOneOfTwoEntriesOfAPhraseShowsWhatTheFileKeeps) {
  // Edited by hand: the editor itself never writes a phrase twice.
  files.files[u"游戏.xml"] = *codePage->encode(setTextWithEntries({{u"CloseSoft", u"退出"}, {u"Space", u"跳"},
                                                                  {u"Shift", u"跳"}})).bytes;
  selectSet(u"初始默认语音命令集");
  selectSet(u"游戏");
  ASSERT_TRUE(window->select("List1", 2));
  click("Command4");
  // Deleting removes the phrase's first entry, whichever line was selected.
  EXPECT_EQ(utf8(ui().List1.items), (Lines{"退出(CloseSoft)", "跳(Shift)"}));
  EXPECT_EQ(window->library().loadedText().find(u"Space"), std::u16string::npos);
}

TEST_F(Editor, CreatingRefusesNamesThatExistOrCannotBeFileNamesElseWritesTheTemplateAndSelectsIt) {
  const auto before = files.files;
  EXPECT_EQ(createSet(u""), (Lines{"message 提示|请填入语音命令集名字！"}));
  EXPECT_EQ(createSet(u"游戏"), (Lines{"message 提示|已经有名为“游戏”的语音命令集了，请换一个名字。"}));
  EXPECT_EQ(createSet(u"a/b:c"), (Lines{"message 提示|语音命令集名字不能含有“/”“:”，请换一个名字。"}));
  EXPECT_EQ(createSet(u"新的."), (Lines{"message 提示|语音命令集名字不能以点或空格结尾，请换一个名字。"}));
  EXPECT_EQ(createSet(u"Com1"), (Lines{"message 提示|“Com1”是系统保留的名字，不能用作语音命令集名字，请换一个名字。"}));
  EXPECT_EQ(createSet(u"表情😀"), (Lines{"message 提示|语音命令集名字中的文字“😀”无法用GBK编码保存，请换一个名字。"}));
  EXPECT_EQ(files.files, before);
  EXPECT_EQ(ui().Text3.text, u"表情😀");  // kept, so the user can mend it
  // The name rules cover what Windows rejects.
  const std::vector<std::u16string> existing{u"Windows.xml"};
  for (std::u16string_view bad : {u"WINDOWS", u"a\\b", u"a*", u"a?", u"a\"", u"a<", u"a>", u"a|", u"a\tb", u"nul.txt",
                                  u"lpt9", u"a "})
    EXPECT_FALSE(setNameProblem(bad, u"C:\\Sayvane", existing, *codePage).empty()) << toUtf8(bad);
  for (std::u16string_view good : {u"Windows2", u"我的 游戏", u"con游戏", u".隐藏", u"a.b"})
    EXPECT_TRUE(setNameProblem(good, u"C:\\Sayvane", existing, *codePage).empty()) << toUtf8(good);
  // The whole path "C:\\Sayvane\\<name>.xml" may be 259 characters long, not one more.
  EXPECT_TRUE(setNameProblem(std::u16string(244, u'长'), u"C:\\Sayvane", existing, *codePage).empty());
  EXPECT_FALSE(setNameProblem(std::u16string(245, u'长'), u"C:\\Sayvane", existing, *codePage).empty());
  // A name that is fine: the template is written, selected, and the name field emptied.
  EXPECT_EQ(createSet(u"测试"), (Lines{"write 测试.xml", "grammar-load 测试.xml", "rules off"}));
  EXPECT_EQ(fileText(u"测试"), toUtf8(newSetText()) + "\r\n");
  EXPECT_EQ(lastOf(utf8(ui().List2.items)), "测试");
  EXPECT_EQ(ui().List2.selection, static_cast<int>(ui().List2.items.size()) - 1);
  EXPECT_EQ(utf8(ui().List1.items), (Lines{"退出(CloseSoft)", "添加语音命令(AddSpeech)", "更换语音命令(AddSpeech)"}));
  EXPECT_EQ(ui().Text3.text, u"");
}

TEST_F(Editor, DeletingASetAsksThenRemovesItAndEditsAreRefusedAfterwardsButNeverTheInitialSet) {
  sim->answer(false);  // both answers queued: the first question takes the first
  sim->answer(true);
  EXPECT_EQ(click("Command3"), (Lines{"question 提示|确实要删除这个语音命令集吗？|no"}));
  EXPECT_TRUE(files.files.count(u"游戏.xml"));
  EXPECT_EQ(click("Command3"), (Lines{"question 提示|确实要删除这个语音命令集吗？|yes", "delete 游戏.xml"}));
  EXPECT_FALSE(files.files.count(u"游戏.xml"));
  EXPECT_THAT(utf8(ui().List2.items), Not(Contains("游戏")));
  EXPECT_TRUE(ui().List1.items.empty());
  EXPECT_TRUE(window->library().loadedText().empty());
  // Nothing is selected now: deleting does nothing, adding writes no file.
  EXPECT_TRUE(click("Command3").empty());
  const auto before = files.files;
  EXPECT_EQ(firstOf(addPhrase(u"新词", u"A")).substr(0, 15), "message 提示|");
  EXPECT_EQ(files.files, before);
  // Created again under the same name, the set is read afresh.
  createSet(u"游戏");
  EXPECT_EQ(ui().List1.items.size(), 3u);
  // The initial set cannot be deleted, and a file that vanished is reported.
  selectSet(u"初始默认语音命令集");
  EXPECT_EQ(click("Command3"), (Lines{"message 提示|初始默认语音命令集不允许被删除"}));
  selectSet(u"游戏");
  files.files.erase(u"游戏.xml");
  sim->answer(true);
  EXPECT_EQ(lastOf(click("Command3")), "message Sayvane|无法删除语音命令集文件“游戏.xml”。");
  EXPECT_THAT(utf8(ui().List2.items), Contains("游戏"));
}

TEST_F(Editor, EditsAfterARefusedSelectionNeverReachTheOtherFile) {
  files.files[u"坏.xml"] = "\x81";
  // The set list is filled at start-up: start again with the damaged file in the folder.
  startQuietly();
  click("Command5");
  selectSet(u"游戏");
  EXPECT_EQ(selectSet(u"坏"), (Lines{"message Sayvane|语音命令集文件“坏.xml”不是有效的GBK编码文本，无法读取。"}));
  EXPECT_EQ(window->library().loadedName(), u"游戏");
  const auto before = files.files;
  EXPECT_EQ(addPhrase(u"新词", u"A"), (Lines{"message 提示|" + toUtf8(u"语音命令集列表中选中的语音命令集没有载入，不能修改。请在列表中选中一个语音命令集，等它的语音命令显示出来再修改。")}));
  EXPECT_EQ(files.files, before);
  // Back on the loaded set, its phrases are listed again without a read, and the duplicate
  // test sees them.
  files.files[u"游戏.xml"] = "\x81";
  EXPECT_TRUE(selectSet(u"游戏").empty());
  EXPECT_EQ(utf8(ui().List1.items), (Lines{"退出(CloseSoft)", "跳(Space)", "开火(Ctrl)"}));
  EXPECT_EQ(addPhrase(u"跳", u"A"), (Lines{"message 提示|请添加新的词汇，这个词汇已经有了！"}));
}

}  // namespace
}  // namespace sayvane::testing
