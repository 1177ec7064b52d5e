// The simulated platform on its own, and the tool: its commands and the script runner that drives
// the program on the simulated platform.
#include "sim/Simulation.h"

#include <sstream>

#include "ProgramTest.h"
#include "commandsets/DefaultSets.h"
#include "platform/std/FolderFiles.h"
#include "support/TempFolder.h"
#include "tool/Tool.h"

namespace sayvane {
namespace {

using namespace std::chrono_literals;

std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The simulated platform on its own, with a main window that is attached but never started.
struct SimulatedPlatform : testing::Attached {
  Platform& p() { return sim->platform(); }
};

TEST_F(SimulatedPlatform, PumpDeliversEventsInTimeOrderEvenFromANestedWaitAndNothingOnceQuitting) {
  std::vector<std::pair<std::string, std::chrono::nanoseconds>> seen;
  auto record = [&](std::string what) { seen.emplace_back(std::move(what), sim->now()); };
  // Queued out of order on purpose; the two at 400 ms keep the order they were queued in.
  sim->schedule(700ms, [&] { record("700"); });
  sim->schedule(400ms, [&] { record("400 first"); });
  sim->schedule(100ms, [&] {
    record("100");
    // An action's hold: other events arrive while it waits, each at its own time.
    EXPECT_TRUE(waitMoreThan(p().waiter, 500ms));
    record("hold over");
  });
  sim->schedule(400ms, [&] { record("400 second"); });
  sim->schedule(200ms, [&] { record("200"); });

  sim->elapse(1000ms);
  const std::vector<std::pair<std::string, std::chrono::nanoseconds>> expected{
      {"100", 100ms},        {"200", 200ms},           {"400 first", 400ms}, {"400 second", 400ms},
      {"hold over", 600ms + 1ns}, {"700", 700ms}};
  EXPECT_EQ(seen, expected);
  EXPECT_EQ(sim->now(), 1000ms);

  // A hold that outlasts the pump it began in: the clock never runs back afterwards.
  sim->schedule(1900ms, [&] { EXPECT_TRUE(waitMoreThan(p().waiter, 500ms)); });
  sim->elapse(1000ms);
  EXPECT_EQ(sim->now(), 2400ms + 1ns);
  // Nothing is delivered once quitting.
  bool late = false;
  const auto t = sim->now();
  sim->schedule(t + 100ms, [&] { p().view.quit(); });
  sim->schedule(t + 200ms, [&] { late = true; });
  sim->elapse(1000ms);
  EXPECT_FALSE(late);
  EXPECT_EQ(sim->now(), t + 100ms);
  EXPECT_FALSE(p().waiter.pump(1000ms));
  EXPECT_FALSE(late);
  EXPECT_EQ(take(), std::vector<std::string>{"quit"});
}

// As on Windows, a key pressed again while down repeats and one release frees it. Keys go bare,
// or in the game-keys mode as this keyboard sends them; a key-up as its key-down went, whatever
// the mode has become; anything else is marked.
TEST_F(SimulatedPlatform, KeysRepeatAndAreMarkedWhenUnlikeTheModeOrTheirKeyDown) {
  auto& input = p().input;
  for (const std::uint32_t flags : {0u, 0u, kKeyUp}) input.keyEvent(0x12, 0, flags, 0);
  EXPECT_TRUE(sim->keysDown().empty());
  input.keyEvent(0x26, 0x48, kExtendedKey, 0);           // a scan code while the mode is off
  input.keyEvent(0x26, 0x48, kExtendedKey | kKeyUp, 0);  // released as pressed
  window->trayCommand(TrayChoice::GameKeys);
  input.keyEvent(0x26, 0x48, 0, 0);                      // an arrow without its flag
  input.keyEvent(0x26, 0x48, kExtendedKey | kKeyUp, 0);  // released otherwise than pressed
  input.keyEvent(0x41, 0x1E, 0, 0);
  window->trayCommand(TrayChoice::GameKeys);
  input.keyEvent(0x41, 0x1E, kKeyUp, 0);  // as pressed, though the mode is off now
  input.keyEvent(0x41, 0, 0, 1);          // extra information
  std::vector<bool> marked;
  for (const auto& line : take())
    if (line.starts_with("key-")) marked.push_back(line.ends_with(" (unexpected)"));
  EXPECT_EQ(marked, (std::vector<bool>{false, false, false, true, false, true, true, false, false, true}));
}

TEST_F(SimulatedPlatform, AGrammarThatCannotBeLoadedKeepsThePhrasesBeforeAndHeardPhrasesArriveOnlyAsReported) {
  const auto good = setTextWithEntries({{u"Esc", u"甲"}, {u"Alt+F4", u"乙"}});
  files.files[u"good.xml"] = *codePage->encode(good).bytes;
  ASSERT_TRUE(p().recognizer.loadCommandFile(u"C:\\Sayvane\\good.xml"));
  files.files[u"unclosed.xml"] = *codePage->encode(good.substr(0, good.find(u"</GRAMMAR>"))).bytes;
  files.files[u"not-gbk.xml"] = "<GRAMMAR>\xFF\xFF</GRAMMAR>";
  for (const auto* name : {u"unclosed.xml", u"not-gbk.xml", u"missing.xml"}) {
    SCOPED_TRACE(toUtf8(name));
    EXPECT_FALSE(p().recognizer.loadCommandFile(u"/some/folder/" + std::u16string(name)));
    EXPECT_EQ(sim->grammarPhrases(), (std::vector<std::u16string>{u"甲", u"乙"}));
  }
  EXPECT_EQ(take(), (std::vector<std::string>{"grammar-load good.xml", "grammar-load unclosed.xml",
                                              "grammar-load not-gbk.xml", "grammar-load missing.xml"}));
  // Heard phrases reach the window only as the recognizer would report them.
  addSet(u"set", {{u"OpenShow", std::u16string(kWakePhrase)}});
  ASSERT_TRUE(p().recognizer.loadCommandFile(u"C:\\x\\set.xml"));
  ASSERT_TRUE(p().recognizer.setEventInterests(kRecognitionInterest | kFalseRecognitionInterest));

  // Rules off: nothing is heard at all.
  sim->hear(std::u16string(kWakePhrase));
  sim->hear(u"别的");
  EXPECT_FALSE(window->listener().awake());
  EXPECT_EQ(ui().Text4.text, u"");

  ASSERT_TRUE(p().recognizer.setRulesActive(true));
  // Each kind of event only with its interest.
  ASSERT_TRUE(p().recognizer.setEventInterests(kRecognitionInterest));
  sim->hear(u"别的");
  EXPECT_EQ(ui().Text4.text, u"");
  ASSERT_TRUE(p().recognizer.setEventInterests(kFalseRecognitionInterest));
  sim->hear(std::u16string(kWakePhrase));
  EXPECT_FALSE(window->listener().awake());

  ASSERT_TRUE(p().recognizer.setEventInterests(kRecognitionInterest | kFalseRecognitionInterest));
  sim->hear(u"别的");
  EXPECT_EQ(ui().Text4.text, kNotRecognized);
  sim->hear(std::u16string(kWakePhrase));
  EXPECT_TRUE(window->listener().awake());
  EXPECT_EQ(take(), (std::vector<std::string>{"grammar-load set.xml", "rules on"}));
}

// ---------------------------------------------------------------------------------------------
// The tool's commands and its script runner, on a folder holding the default sets.

struct Tool : ::testing::Test {
  testing::TempFolder folder;
  FolderFiles files{folder.path()};
  std::unique_ptr<CodePage936> codePage = makeHostCodePage936();
  std::string out, err;

  void SetUp() override { ASSERT_TRUE(restoreDefaultSets(files, *codePage)); }
  std::string file(const std::u16string& name) const {
    return toUtf8((folder.path() / std::filesystem::path(name)).u16string());
  }
  std::string dir() const { return toUtf8(folder.path().u16string()); }
  void writeSet(const std::u16string& name, const std::u16string& text) {
    folder.writeBytes(name, *codePage->encode(text).bytes);
  }

  // The tool's own entry; its standard input, which `simulate` reads its script from, is `input`.
  int tool(const std::vector<std::string>& args, const std::string& input = "") {
    std::istringstream in(input);
    std::ostringstream o, e;
    const int status = runTool(args, in, o, e, *codePage);
    out = o.str();
    err = e.str();
    return status;
  }
  int run(const std::string& script, std::vector<std::string> options = {"--setting", "1"}) {
    options.insert(options.begin(), {"simulate", dir()});
    return tool(options, script);
  }
  // The lines the script printed, after those of the start-up.
  std::vector<std::string> scriptLines(const std::string& script,
                                       std::vector<std::string> options = {"--setting", "1"}) {
    EXPECT_EQ(run("", options), 0);
    const auto startup = out;
    EXPECT_EQ(run(script, options), 0) << err;
    EXPECT_EQ(out.substr(0, startup.size()), startup);
    return splitLines(out.substr(std::min(startup.size(), out.size())));
  }
  static std::string stateLine(const std::vector<std::string>& lines, std::size_t nth = 0) {
    for (const auto& line : lines)
      if (line.starts_with("{\"time_ms\":") && nth-- == 0) return line;
    ADD_FAILURE() << "no state line";
    return {};
  }
};

TEST_F(Tool, AnUnknownLineOrOneWithMissingOrBadArgumentsStopsTheScriptWithItsNumber) {
  // A byte order mark opens the first line, as editors on Windows write it.
  EXPECT_EQ(run("\xEF\xBB\xBFhear Tobrin\n\n# a comment\nfrobnicate now\nhear 关闭窗口\n"), 2);
  EXPECT_EQ(err, "第4行：无法理解“frobnicate now”\n");
  EXPECT_THAT(splitLines(out),
              ::testing::AllOf(testing::Contains("speak Tobrin"), testing::Not(testing::Contains("speak 关闭窗口"))));
  // Lines with missing or bad arguments are not understood either.
  for (const std::string line : {"hear", "click", "click Nope", "click Command1 now", "type Nope x", "type",
                                 "select List1", "select List1 0", "select List1 x", "select List1 -1",
                                 "select Text1 1", "select List2", "select List2 ", "menu", "agent-command",
                                 "answer", "answer maybe", "pick", "pick-cancel now", "elapse", "elapse -1",
                                 "elapse 1.5", "elapse 99999999999999999999", "state now", "minimize please", "tray",
                                 "Hear Tobrin"}) {
    SCOPED_TRACE(line);
    EXPECT_EQ(run(line + "\n"), 2);
    EXPECT_EQ(err, "第1行：无法理解“" + line + "”\n");
  }
}

TEST_F(Tool, StartUpOptionsShapeTheSimulatedSystemAndWithoutTheSettingTheTipsComeFirst) {
  const auto json = stateLine(
      scriptLines("state\n", {"--recognizer", "甲引擎", "--setting", "1", "--recognizer", "乙引擎"}));
  EXPECT_NE(json.find(R"("items":["甲引擎","乙引擎"])"), std::string::npos) << json;
  struct Case {
    std::vector<std::string> options;
    bool grammar, characterShown, rulesOn, speaks;
  };
  const Case cases[] = {{{}, true, true, true, true},
                        {{"--no-speech"}, false, true, false, false},
                        {{"--no-character"}, true, false, true, false},
                        {{"--audio-busy"}, true, true, true, false}};
  for (auto c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.options));
    c.options.insert(c.options.end(), {"--setting", "1"});
    ASSERT_EQ(run("hear Tobrin\n", c.options), 0);
    const auto printed = [&](std::string_view prefix) {
      const auto lines = splitLines(out);
      return std::any_of(lines.begin(), lines.end(), [&](const auto& line) { return line.starts_with(prefix); });
    };
    EXPECT_EQ(printed("grammar-load "), c.grammar);
    EXPECT_EQ(printed("character show"), c.characterShown);
    EXPECT_EQ(printed("rules on"), c.rulesOn);
    EXPECT_EQ(printed("speak Tobrin"), c.speaks);
  }
  // Without the setting the tips come first, one effect a line.
  ASSERT_EQ(run(""), 0);
  for (const auto& line : splitLines(out)) EXPECT_FALSE(line.starts_with("message ")) << line;
  ASSERT_EQ(run("", {}), 0);
  // The tips' own line breaks are written out.
  EXPECT_THAT(testing::firstOf(splitLines(out)),
              ::testing::AllOf(::testing::StartsWith("message 提示|最好进行语音训练，"), ::testing::HasSubstr("\\n")));
}

TEST_F(Tool, StateEscapesTextsAsJsonAndElapseMovesTheClock) {
  // A set whose action holds a line break: the phrase list shows it, and so must the state.
  ASSERT_TRUE(writeSetFile(files, *codePage, kInitialSetName,
                           setTextWithEntries({{u"Write[一\r\n二]", u"两行"}, {u"OpenShow", u"Tobrin"}})));
  const auto lines = scriptLines(
      "agent-command 添加语音命令\n"
      "select List1 2\n"
      "type Text1 say \"hi\" \\ tab\there\rcr\x1F \n"
      "state\n"
      "type Text1\n"
      "state\n"
      "hear 不在命令集里的话\n"
      "elapse 999\n"
      "state\n"
      "elapse 1\n"
      "state\n");
  const auto json = stateLine(lines);
  EXPECT_THAT(json, ::testing::StartsWith(R"({"time_ms":0,"loadedSet":"初始默认语音命令集","mainWindow":"shown","flags":{)"));
  EXPECT_NE(json.find(R"("text":"say \"hi\" \\ tab\u0009here\rcr\u001F ")"), std::string::npos) << json;
  // Selections count from one, as the script's own `select` does.
  EXPECT_THAT(json, ::testing::HasSubstr(R"x("items":["两行(Write[一\r\n二])","Tobrin(OpenShow)"],"selection":2,)x"));
  EXPECT_EQ(json.find('\r'), std::string::npos);
  // `type` with nothing after the name empties the field.
  EXPECT_NE(stateLine(lines, 1).find(R"x("label":"发音词汇：(添加你想读的中文词汇)","text":"",)x"), std::string::npos);
  // `elapse` moves the clock on: the clear timer empties the result field a second after the notice.
  EXPECT_TRUE(stateLine(lines, 2).starts_with(R"({"time_ms":999,)"));
  EXPECT_NE(stateLine(lines, 2).find(R"("Text4":{"caption":"","label":"","text":"没有识别重新念")"), std::string::npos);
  EXPECT_TRUE(stateLine(lines, 3).starts_with(R"({"time_ms":1000,)"));
  EXPECT_NE(stateLine(lines, 3).find(R"("Text4":{"caption":"","label":"","text":"",)"), std::string::npos);
}

// Reading stops once the program quits: the last line would not be understood.
TEST_F(Tool, InputTheWindowDoesNotTakeIsReportedAsIgnoredAndReadingEndsWithTheProgram) {
  EXPECT_EQ(scriptLines("agent-command 添加语音命令\n"
                        "click Command1\n"
                        "select List2 没有这个命令集\n"
                        "select List1 9999\n"
                        "minimize\n"
                        "click Command7\n"
                        "tray 没有这一项\n"
                        "agent-command 退出\n"
                        "frobnicate\n"),
            (std::vector<std::string>{"main-window show", "ignored click Command1",
                                      "ignored select List2 没有这个命令集", "ignored select List1 9999",
                                      "main-window hide", "ignored click Command7", "ignored tray 没有这一项", "quit"}));
}

TEST_F(Tool, EchoPrintsEachScriptLineBeforeItsEffects) {
  EXPECT_EQ(scriptLines("hear Tobrin\r\n# not echoed\nhear 关闭窗口\r\n", {"--setting", "1", "--echo"}),
            (std::vector<std::string>{"> hear Tobrin", "speak Tobrin", "> hear 关闭窗口", "speak 关闭窗口",
                                      "key-down 0x12", "key-down 0x73", "key-up 0x12", "key-up 0x73"}));
}

TEST_F(Tool, CommandsPrintWhatTheyFindAndExitWithTheirStatusAndRestoreAsksFirst) {
  writeSet(u"测试.xml", setTextWithEntries({{u"Alt+F4", u"关闭"}, {u"Esc", u"Tobrin"}}));
  writeSet(u"good.xml", setTextWithEntries({{u"1", u"一号部队"}, {u"1*MRBC", u"一号部队过来"}}));
  writeSet(u"bad.xml", setTextWithEntries({{u"Write[a&b]", u"与"}}));
  const auto set = file(u"测试.xml"), good = file(u"good.xml"), bad = file(u"bad.xml");
  const struct { std::vector<std::string> args; int status; ::testing::Matcher<std::string> out; } cases[] = {
      // dry-run: one operation a line; with --game-keys, as the program sends keys in that mode.
      {{"dry-run", "LWindows*R"}, 0, "key-down 0x5B\nkey-up 0x5B\nwait 500\nkey-down 0x52\nkey-up 0x52\nwait 500\n"},
      {{"dry-run", "Write[你好]"}, 0,
       "clipboard-clear\nclipboard-set 你好\nkey-down 0x11\nkey-down 0x56\nkey-up 0x11\nkey-up 0x56\n"},
      {{"dry-run", ""}, 0, ""},
      {{"dry-run", "--game-keys", "Alt+F4"}, 0,
       "key-down 0x12 scan 0x38\nkey-down 0x73 scan 0x3E\nkey-up 0x12 scan 0x38\nkey-up 0x73 scan 0x3E\n"},
      // Set files are read as code page 936.
      {{"list", set}, 0, "关闭\tAlt+F4\nTobrin\tEsc\n"}, {{"menu", set}, 0, "关闭\ntobrin\n"},
      {{"find", set, "关闭"}, 0, "Alt+F4\n"},                {{"find", set, "关"}, 1, ""},
      // check fails on problems but not on notes.
      {{"check", good}, 0, ::testing::HasSubstr("good.xml:8: 注意: “一号部队”")},
      {{"check", good, bad}, 1, ::testing::HasSubstr("bad.xml:8: “与”: ")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.args));
    EXPECT_EQ(tool(c.args), c.status);
    EXPECT_THAT(out, c.out);
  }
  // The game-keys dry run lists the keys the simulated program sends in that mode.
  ASSERT_EQ(tool({"dry-run", "--game-keys", "Alt+F4"}), 0);
  const auto dry = splitLines(out);
  auto lines = scriptLines("tray 游戏按键模式\nhear Tobrin\nhear 关闭窗口\n");
  std::erase_if(lines, [](const std::string& line) { return !line.starts_with("key-"); });
  EXPECT_EQ(lines, dry);
  // restore-defaults asks for consent, then writes the defaults over every set.
  folder.writeBytes(u"mine.xml", "mine");
  folder.writeBytes(u"Windows.xml", "edited");
  EXPECT_EQ(tool({"restore-defaults", dir()}), 2);
  EXPECT_EQ(folder.readBytes(u"mine.xml"), "mine");
  EXPECT_EQ(tool({"restore-defaults", dir(), "--yes"}), 0);
  EXPECT_FALSE(std::filesystem::exists(folder.path() / "mine.xml"));
  EXPECT_NE(folder.readBytes(u"Windows.xml"), "edited");
}

// Nothing runs, and the message says what is wrong; `simulate` starts nothing either.
TEST_F(Tool, BadArgumentsAndUnreadableFilesExitWithTwoAndSayWhy) {
  const auto nowhere = file(u"nowhere");
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{}, "缺少命令"},                                      {{"frobnicate"}, "未知的命令“frobnicate”"},
      {{"dry-run"}, "dry-run 需要一个动作"},                 {{"dry-run", "--game-keys"}, "dry-run 需要一个动作"},
      {{"dry-run", "a", "b"}, "dry-run 只需要一个动作"},     {{"list"}, "list 需要一个文件"},
      {{"list", file(u"missing.xml")}, "missing.xml"},       {{"find", "x"}, "find 需要一个文件和一个短语"},
      {{"check"}, "check 需要至少一个文件"},                 {{"restore-defaults"}, "restore-defaults 需要一个文件夹"},
      {{"restore-defaults", nowhere, "--yes"}, "nowhere”不存在"}, {{"simulate"}, "simulate 需要一个文件夹"},
      {{"simulate", nowhere}, "nowhere”不存在"},            {{"simulate", dir(), "x"}, "simulate 只需要一个文件夹"},
      {{"simulate", dir(), "--frobnicate"}, "未知的选项“--frobnicate”"},
      {{"simulate", dir(), "--recognizer"}, "选项“--recognizer”后面需要一个值"},
      {{"simulate", dir(), "--setting"}, "选项“--setting”后面需要一个值"},
  };
  for (const auto& [args, why] : cases) {
    SCOPED_TRACE(::testing::PrintToString(args));
    EXPECT_EQ(tool(args, "state\n"), 2);
    EXPECT_EQ(out, "");
    EXPECT_THAT(err, ::testing::HasSubstr(why));
  }
}

}  // namespace
}  // namespace sayvane
