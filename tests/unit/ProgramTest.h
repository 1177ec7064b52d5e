// The whole program's logic on the simulated platform: a story is what the user does and the
// effect lines the system shows in return.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/MainWindow.h"
#include "commandsets/SetFile.h"
#include "commandsets/SetText.h"
#include "platform/HostCodePage936.h"
#include "sim/SimPlatform.h"
#include "speech/SpeechTexts.h"
#include "support/Ends.h"
#include "support/MemoryFiles.h"
#include "text/Text.h"

namespace sayvane::testing {

using namespace std::chrono_literals;
using Lines = std::vector<std::string>;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::Not;

// The controls a running set or test locks, all of them enabled.
inline const std::string kAllEnabled = "Command1 Command2 Command3 Command4 Command5 Command6 List2 SREngines";

inline const std::vector<Entry> kInitialEntries = {
    {u"CloseSoft", u"退出"},   {u"AddSpeech", u"添加语音命令"}, {u"AddSpeech", u"更换语音命令"},
    {u"OpenShow", u"Tobrin"}, {u"Alt+F4", u"关闭窗口"},        {u"Down!1000", u"向下"},
    {u"LWindows*R", u"运行框"}, {u"OpenBigger", u"变大"},     {u"openProgram[C:\\WINDOWS\\system32\\notepad.exe]", u"记事本"}};

// A message box as the simulated desktop reports it.
inline std::string messageLine(std::u16string_view caption, std::u16string_view text, const char* kind = "message") {
  return std::string(kind) + " " + sim::oneLine(caption) + "|" + sim::oneLine(text);
}

struct Program : ::testing::Test {
  MemoryFiles files;
  std::unique_ptr<CodePage936> codePage = makeHostCodePage936();
  sim::SimOptions options;
  std::unique_ptr<sim::SimPlatform> sim;
  std::unique_ptr<MainWindow> window;

  // The tips switched off, as the user has them after the first start.
  Program() { options.setting = u"1"; }

  void addSet(std::u16string_view name, const std::vector<Entry>& entries) {
    ASSERT_TRUE(writeSetFile(files, *codePage, name, setTextWithEntries(entries)));
  }
  std::string fileText(std::u16string_view setName) {
    const auto read = readSetFile(files, *codePage, setName);
    return read ? toUtf8(read.text) : std::string("(unreadable)");
  }
  Lines take() { return sim->takeEffects(); }
  // A fresh simulated system with the window attached, not yet started.
  void attach() {
    sim = std::make_unique<sim::SimPlatform>(files, *codePage, options);
    window = std::make_unique<MainWindow>(sim->platform());
    sim->attach(*window);
  }
  Lines start() {
    attach();
    window->start();
    return take();
  }
  // The usual start: the initial set (the test's own, if it wrote one) active, the main window shown.
  void startQuietly() {
    if (!files.files.count(u"初始默认语音命令集.xml")) addSet(u"初始默认语音命令集", kInitialEntries);
    start();
    sim->agentCommand(u"添加语音命令");
    take();
  }
  Lines hear(std::u16string_view phrase) {
    sim->hear(std::u16string(phrase));
    return take();
  }
  // The wake phrase, then a phrase of the active set: what the second brought about.
  Lines command(std::u16string_view phrase) {
    hear(kWakePhrase);
    return hear(phrase);
  }
  Lines click(std::string_view control) {
    EXPECT_TRUE(window->click(control)) << control;
    return take();
  }
  Lines selectSet(std::u16string_view name) {
    const auto& items = window->controls().List2.items;
    const auto it = std::find(items.begin(), items.end(), name);
    EXPECT_NE(it, items.end());
    EXPECT_TRUE(window->select("List2", static_cast<int>(it - items.begin())));
    return take();
  }
  Lines createSet(std::u16string_view name) {
    EXPECT_TRUE(window->type("Text3", std::u16string(name)));
    return click("Command2");
  }
  Lines addPhrase(std::u16string_view phrase, std::u16string_view action) {
    EXPECT_TRUE(window->type("Text1", std::u16string(phrase)));
    EXPECT_TRUE(window->type("Text2", std::u16string(action)));
    return click("Command1");
  }
  const Controls& ui() const { return window->controls(); }
  // Which of the controls a running set or test locks are enabled, in the order of kAllEnabled.
  std::string enabled() const {
    std::istringstream lockable(kAllEnabled);
    std::string name, names;
    while (lockable >> name)
      if (ui().find(name)->enabled) names += (names.empty() ? "" : " ") + name;
    return names;
  }
  std::vector<std::string> utf8(const std::vector<std::u16string>& items) {
    std::vector<std::string> out;
    for (const auto& item : items) out.push_back(toUtf8(item));
    return out;
  }
};

// The program on a fresh simulated system: attached only, or started as usual.
struct Attached : Program {
  void SetUp() override { attach(); }
};
struct Started : Program {
  void SetUp() override { startQuietly(); }
};

}  // namespace sayvane::testing
