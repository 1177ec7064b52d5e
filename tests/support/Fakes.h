// Recording fakes of the platform services: they log what they were asked, on a simulated
// clock, and can be told to fail.
#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "actions/ActionRunner.h"
#include "platform/Files.h"

namespace sayvane::testing {

// One simulated monotonic clock shared by every fake that records times.
class FakeWaiter final : public Waiter {
 public:
  std::chrono::nanoseconds now() override { return now_; }
  [[nodiscard]] bool pump(std::chrono::nanoseconds atMost) override;

  // Runs `event` inside the first pump that reaches `at`, as a message arriving mid-wait.
  void schedule(std::chrono::nanoseconds at, std::function<void()> event);
  void advance(std::chrono::nanoseconds by) { now_ += by; }
  bool quitting = false;
  int pumps = 0;

 private:
  std::chrono::nanoseconds now_{0};
  std::multimap<std::chrono::nanoseconds, std::function<void()>> events_;
};

// Every observable call of every service, one line each, with the time in milliseconds
// when it matters to the test ("key-down 0x12", "speak 你好", ...).
class Journal {
 public:
  explicit Journal(FakeWaiter& clock) : clock_(clock) {}
  void add(std::string line);
  std::vector<std::string> lines;
  std::vector<double> times;  // milliseconds on the simulated clock, one per line

 private:
  FakeWaiter& clock_;
};

class RecordingInput final : public Input {
 public:
  explicit RecordingInput(Journal& journal) : journal_(journal) {}
  void keyEvent(std::uint8_t vk, std::uint8_t scan, std::uint32_t flags, std::uintptr_t extra) override;
  void mouseEvent(std::uint32_t flags, std::int32_t dx, std::int32_t dy, std::int32_t data, std::uintptr_t extra) override;

 private:
  Journal& journal_;
};

class FakeShell final : public Shell {
 public:
  explicit FakeShell(Journal& journal) : journal_(journal) {}
  void open(const std::u16string& target) override;

 private:
  Journal& journal_;
};

class FakePrograms final : public Programs {
 public:
  explicit FakePrograms(Journal& journal) : journal_(journal) {}
  [[nodiscard]] bool start(const std::u16string& commandLine) override;
  bool fail = false;

 private:
  Journal& journal_;
};

class FakeClipboard final : public Clipboard {
 public:
  explicit FakeClipboard(Journal& journal) : journal_(journal) {}
  [[nodiscard]] bool clear() override;
  [[nodiscard]] bool setText(const std::u16string& text) override;
  std::u16string text;
  bool fail = false;

 private:
  Journal& journal_;
};

class FakeScreen final : public Screen {
 public:
  int width() override { return w; }
  int height() override { return h; }
  int w = 1024;
  int h = 768;
};

// Plays back a fixed sequence of draws; re-seeding starts it again and is logged.
class FakeRandom final : public Random {
 public:
  explicit FakeRandom(Journal& journal) : journal_(journal) {}
  void reseedFromClock() override;
  double next() override;
  std::vector<double> draws{0.5, 0.25};

 private:
  Journal& journal_;
  std::size_t at_ = 0;
};

class FakeDialogs final : public Dialogs {
 public:
  explicit FakeDialogs(Journal& journal) : journal_(journal) {}
  void message(const std::u16string& text, const std::u16string& caption) override;

 private:
  Journal& journal_;
};

class FakeCharacter final : public Character {
 public:
  explicit FakeCharacter(Journal& journal) : journal_(journal) {}
  [[nodiscard]] bool speak(const std::u16string& text) override;
  [[nodiscard]] std::optional<int> width() override;
  [[nodiscard]] std::optional<int> height() override;
  [[nodiscard]] bool setWidth(int pixels) override;
  [[nodiscard]] bool setHeight(int pixels) override;
  [[nodiscard]] bool hide() override;
  [[nodiscard]] bool show() override;
  [[nodiscard]] bool moveTo(int x, int y) override;
  int w = 128;
  int h = 128;
  bool fail = false;

 private:
  bool log(std::string line);
  Journal& journal_;
};

class FakeMainWindow final : public MainWindowControl {
 public:
  FakeMainWindow(Journal& journal, FakeWaiter& waiter) : journal_(journal), waiter_(waiter) {}
  void showMainWindow() override;
  // Like the real window: a quit makes every later pump report that the program is ending.
  void quit() override;

 private:
  Journal& journal_;
  FakeWaiter& waiter_;
};

// Files kept in memory, for tests that need no disk; can be told to fail writes.
class MemoryFiles final : public Files {
 public:
  std::u16string folder() override { return u"C:\\Sayvane"; }
  std::vector<std::u16string> listXml() override;
  [[nodiscard]] std::optional<std::string> read(const std::u16string& name) override;
  [[nodiscard]] bool writeAtomic(const std::u16string& name, const std::string& bytes) override;
  [[nodiscard]] bool remove(const std::u16string& name) override;
  std::map<std::u16string, std::string> files;
  bool failWrites = false;
  bool failRemoves = false;
};

// All the fakes an action needs, wired to one journal and one clock.
struct FakeServices {
  FakeWaiter waiter;
  Journal journal{waiter};
  RecordingInput input{journal};
  FakeShell shell{journal};
  FakePrograms programs{journal};
  FakeClipboard clipboard{journal};
  FakeScreen screen;
  FakeRandom random{journal};
  FakeDialogs dialogs{journal};
  FakeCharacter character{journal};
  FakeMainWindow window{journal, waiter};
  ActionServices services{input, shell, programs, clipboard, screen, random, waiter, dialogs, character, window};
};

}  // namespace sayvane::testing
