#include "support/Fakes.h"

#include <cstdio>

#include "text/Text.h"

namespace sayvane::testing {

bool FakeWaiter::pump(std::chrono::nanoseconds atMost) {
  ++pumps;
  if (quitting) return false;
  const auto until = now_ + atMost;
  while (!events_.empty() && events_.begin()->first <= until) {
    auto node = events_.extract(events_.begin());
    if (node.key() > now_) now_ = node.key();
    node.mapped()();
    if (quitting) return false;
  }
  now_ = until;
  return true;
}

void FakeWaiter::schedule(std::chrono::nanoseconds at, std::function<void()> event) {
  events_.emplace(at, std::move(event));
}

void Journal::add(std::string line) {
  lines.push_back(std::move(line));
  times.push_back(std::chrono::duration<double, std::milli>(clock_.now()).count());
}

void RecordingInput::keyEvent(std::uint8_t vk, std::uint8_t scan, std::uint32_t flags, std::uintptr_t extra) {
  char line[64];
  std::snprintf(line, sizeof line, "%s 0x%02X", (flags & 0x2) ? "key-up" : "key-down", static_cast<unsigned>(vk));
  std::string text = line;
  // Anything but scan 0, extra 0 and no flag besides key-up is a fault worth seeing.
  if (scan != 0 || extra != 0 || (flags & ~0x2u) != 0) text += " (unexpected scan/flags/extra)";
  journal_.add(text);
}

void RecordingInput::mouseEvent(std::uint32_t flags, std::int32_t dx, std::int32_t dy, std::int32_t data, std::uintptr_t extra) {
  char line[64];
  std::snprintf(line, sizeof line, "mouse 0x%04X %d %d", static_cast<unsigned>(flags), static_cast<int>(dx), static_cast<int>(dy));
  std::string text = line;
  if (data != 0 || extra != 0) text += " (unexpected data/extra)";
  journal_.add(text);
}

void FakeShell::open(const std::u16string& target) { journal_.add("shell-open " + toUtf8(target)); }

bool FakePrograms::start(const std::u16string& commandLine) {
  journal_.add("start-program " + toUtf8(commandLine));
  return !fail;
}

bool FakeClipboard::clear() {
  journal_.add("clipboard-clear");
  if (fail) return false;
  text.clear();
  return true;
}

bool FakeClipboard::setText(const std::u16string& value) {
  journal_.add("clipboard-set " + toUtf8(value));
  if (fail) return false;
  text = value;
  return true;
}

void FakeRandom::reseedFromClock() {
  journal_.add("random-reseed");
  at_ = 0;
}

double FakeRandom::next() { return draws.empty() ? 0.0 : draws[at_++ % draws.size()]; }

void FakeDialogs::message(const std::u16string& text, const std::u16string& caption) {
  journal_.add("message " + toUtf8(caption) + "|" + toUtf8(text));
}

bool FakeCharacter::log(std::string line) {
  journal_.add(std::move(line));
  return !fail;
}

bool FakeCharacter::speak(const std::u16string& text) { return log("speak " + toUtf8(text)); }
std::optional<int> FakeCharacter::width() { return fail ? std::nullopt : std::optional<int>(w); }
std::optional<int> FakeCharacter::height() { return fail ? std::nullopt : std::optional<int>(h); }

bool FakeCharacter::setWidth(int pixels) {
  if (!log("character-width " + std::to_string(pixels))) return false;
  w = pixels;
  return true;
}

bool FakeCharacter::setHeight(int pixels) {
  if (!log("character-height " + std::to_string(pixels))) return false;
  h = pixels;
  return true;
}

bool FakeCharacter::hide() { return log("character-hide"); }
bool FakeCharacter::show() { return log("character-show"); }
bool FakeCharacter::moveTo(int x, int y) { return log("character-move " + std::to_string(x) + " " + std::to_string(y)); }

void FakeMainWindow::showMainWindow() { journal_.add("show-main-window"); }

void FakeMainWindow::quit() {
  journal_.add("quit");
  waiter_.quitting = true;
}

std::vector<std::u16string> MemoryFiles::listXml() {
  std::vector<std::u16string> names;
  for (const auto& [name, bytes] : files)
    if (name.size() >= 4 && lowerCase(std::u16string_view(name).substr(name.size() - 4)) == u".xml") names.push_back(name);
  return names;
}

std::optional<std::string> MemoryFiles::read(const std::u16string& name) {
  const auto it = files.find(name);
  if (it == files.end()) return std::nullopt;
  return it->second;
}

bool MemoryFiles::writeAtomic(const std::u16string& name, const std::string& bytes) {
  if (failWrites) return false;
  files[name] = bytes;
  return true;
}

bool MemoryFiles::remove(const std::u16string& name) {
  if (failRemoves) return false;
  return files.erase(name) > 0;
}

}  // namespace sayvane::testing
