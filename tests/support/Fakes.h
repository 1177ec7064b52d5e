// Recording fakes of the platform services: every call becomes one journal line ("key-down 0x12",
// "speak 你好") stamped with a simulated monotonic clock, and a fake can be told to fail.
#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "actions/ActionRunner.h"
#include "platform/Files.h"

namespace sayvane::testing {

// A simulated clock whose pump delivers scheduled events, as messages arriving mid-wait.
class FakeWaiter final : public Waiter {
 public:
  std::chrono::nanoseconds now() override { return now_; }
  [[nodiscard]] bool pump(std::chrono::nanoseconds atMost) override;
  void schedule(std::chrono::nanoseconds at, std::function<void()> event) { events_.emplace(at, std::move(event)); }
  bool quitting = false;

 private:
  std::chrono::nanoseconds now_{0};
  std::multimap<std::chrono::nanoseconds, std::function<void()>> events_;
};

struct Journal {
  explicit Journal(FakeWaiter& clock) : clock(clock) {}
  void add(std::string line);
  FakeWaiter& clock;
  std::vector<std::string> lines;
  std::vector<double> times;  // milliseconds on the simulated clock, one per line
};

// Input, shell, programs, clipboard, screen, random draws, message boxes and the main window.
class FakeDesktop final : public Input, public Shell, public Programs, public Clipboard, public Screen,
                          public Random, public Dialogs, public MainWindowControl {
 public:
  explicit FakeDesktop(Journal& journal) : journal_(journal) {}
  void keyEvent(std::uint8_t vk, std::uint8_t scan, std::uint32_t flags, std::uintptr_t extra) override;
  void mouseEvent(std::uint32_t flags, std::int32_t dx, std::int32_t dy, std::int32_t data, std::uintptr_t extra) override;
  void open(const std::u16string& target) override;
  [[nodiscard]] bool start(const std::u16string& commandLine) override;
  [[nodiscard]] bool clear() override;
  [[nodiscard]] bool setText(const std::u16string& text) override;
  int width() override { return screenWidth; }
  int height() override { return screenHeight; }
  void reseedFromClock() override;
  double next() override { return draws.empty() ? 0.0 : draws[drawn_++ % draws.size()]; }
  void message(const std::u16string& text, const std::u16string& caption) override;
  void critical(const std::u16string& text, const std::u16string& caption) override;
  bool ask(const std::u16string& text, const std::u16string& caption) override;
  std::optional<std::u16string> pickFile(const std::u16string&, const std::u16string&, const std::u16string&) override {
    return std::nullopt;
  }
  void showHelp() override { journal_.add("help-window"); }
  void showMainWindow() override;
  // Like the real window: once quitting, every later pump reports that the program is ending.
  void quit() override;

  bool failPrograms = false;
  bool failClipboard = false;
  std::u16string clipboard;
  int screenWidth = 1024;
  int screenHeight = 768;
  std::vector<double> draws{0.5, 0.25};

 private:
  Journal& journal_;
  std::size_t drawn_ = 0;
};

class FakeCharacter final : public Character {
 public:
  explicit FakeCharacter(Journal& journal) : journal_(journal) {}
  [[nodiscard]] bool speak(const std::u16string& text) override;
  [[nodiscard]] std::optional<int> width() override { return fail ? std::nullopt : std::optional<int>(w); }
  [[nodiscard]] std::optional<int> height() override { return fail ? std::nullopt : std::optional<int>(h); }
  [[nodiscard]] bool setWidth(int pixels) override;
  [[nodiscard]] bool setHeight(int pixels) override;
  [[nodiscard]] bool hide() override { return log("character-hide"); }
  [[nodiscard]] bool show() override { return log("character-show"); }
  [[nodiscard]] bool moveTo(int x, int y) override;
  [[nodiscard]] bool setLanguageId(int id) override { return log("character-language " + std::to_string(id)); }
  [[nodiscard]] bool addCommand(const std::u16string& name) override;
  [[nodiscard]] bool removeAllCommands() override { return log("menu-clear"); }
  int w = 128;
  int h = 128;
  bool fail = false;

 private:
  bool log(std::string line);
  Journal& journal_;
};

// Files kept in memory; writes and removals can be told to fail.
class MemoryFiles final : public Files {
 public:
  std::u16string folder() override { return u"C:\\Sayvane"; }
  std::vector<std::u16string> listXml() override;
  [[nodiscard]] std::optional<std::string> read(const std::u16string& name) override;
  [[nodiscard]] bool writeAtomic(const std::u16string& name, const std::string& bytes) override;
  [[nodiscard]] bool remove(const std::u16string& name) override;
  std::map<std::u16string, std::string> files;
  bool failWrites = false;
  std::vector<std::u16string> unwritable;  // names whose writes fail, as on a full disk
  bool failRemoves = false;
};

// Everything an action needs, wired to one journal and one clock.
struct FakeServices {
  FakeWaiter waiter;
  Journal journal{waiter};
  FakeDesktop desktop{journal};
  FakeCharacter character{journal};
  FixedForegroundRights foreground;
  ActionServices services{desktop, desktop, desktop, desktop, desktop, desktop, waiter, desktop, character, desktop, foreground};
};

}  // namespace sayvane::testing
