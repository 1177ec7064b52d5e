#include "support/Fakes.h"

#include <algorithm>
#include <cstdio>

#include "text/Text.h"

namespace sayvane::testing {

bool FakeWaiter::pump(std::chrono::nanoseconds atMost) {
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

void Journal::add(std::string line) {
  lines.push_back(std::move(line));
  times.push_back(std::chrono::duration<double, std::milli>(clock.now()).count());
}

void FakeDesktop::keyEvent(std::uint8_t vk, std::uint8_t scan, std::uint32_t flags, std::uintptr_t extra) {
  char line[64];
  std::snprintf(line, sizeof line, "%s 0x%02X", (flags & 0x2) ? "key-up" : "key-down", static_cast<unsigned>(vk));
  // Anything but scan 0, extra 0 and no flag besides key-up is a fault worth seeing.
  journal_.add(std::string(line) + (scan != 0 || extra != 0 || (flags & ~0x2u) != 0 ? " (unexpected)" : ""));
}

void FakeDesktop::mouseEvent(std::uint32_t flags, std::int32_t dx, std::int32_t dy, std::int32_t data, std::uintptr_t extra) {
  char line[64];
  std::snprintf(line, sizeof line, "mouse 0x%04X %d %d", static_cast<unsigned>(flags), static_cast<int>(dx), static_cast<int>(dy));
  journal_.add(std::string(line) + (data != 0 || extra != 0 ? " (unexpected)" : ""));
}

void FakeDesktop::open(const std::u16string& target) { journal_.add("shell-open " + toUtf8(target)); }

bool FakeDesktop::start(const std::u16string& commandLine) {
  journal_.add("start-program " + toUtf8(commandLine));
  return !failPrograms;
}

bool FakeDesktop::clear() {
  journal_.add("clipboard-clear");
  if (!failClipboard) clipboard.clear();
  return !failClipboard;
}

bool FakeDesktop::setText(const std::u16string& text) {
  journal_.add("clipboard-set " + toUtf8(text));
  if (!failClipboard) clipboard = text;
  return !failClipboard;
}

void FakeDesktop::reseedFromClock() {
  journal_.add("random-reseed");
  drawn_ = 0;
}

void FakeDesktop::message(const std::u16string& text, const std::u16string& caption) {
  journal_.add("message " + toUtf8(caption) + "|" + toUtf8(text));
}

void FakeDesktop::critical(const std::u16string& text, const std::u16string& caption) {
  journal_.add("critical " + toUtf8(caption) + "|" + toUtf8(text));
}

bool FakeDesktop::ask(const std::u16string& text, const std::u16string& caption) {
  journal_.add("question " + toUtf8(caption) + "|" + toUtf8(text));
  return false;
}

void FakeDesktop::showMainWindow() { journal_.add("show-main-window"); }

void FakeDesktop::quit() {
  journal_.add("quit");
  journal_.clock.quitting = true;
}

bool FakeCharacter::log(std::string line) {
  journal_.add(std::move(line));
  return !fail;
}

bool FakeCharacter::speak(const std::u16string& text) { return log("speak " + toUtf8(text)); }

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

bool FakeCharacter::moveTo(int x, int y) { return log("character-move " + std::to_string(x) + " " + std::to_string(y)); }

bool FakeCharacter::addCommand(const std::u16string& name) { return log("menu-add " + toUtf8(name)); }

std::vector<std::u16string> MemoryFiles::listXml() {
  std::vector<std::u16string> names;
  for (const auto& [name, bytes] : files)
    if (name.size() >= 4 && lowerCase(std::u16string_view(name).substr(name.size() - 4)) == u".xml") names.push_back(name);
  return names;
}

std::optional<std::string> MemoryFiles::read(const std::u16string& name) {
  const auto it = files.find(name);
  return it == files.end() ? std::nullopt : std::optional<std::string>(it->second);
}

bool MemoryFiles::writeAtomic(const std::u16string& name, const std::string& bytes) {
  if (failWrites || std::find(unwritable.begin(), unwritable.end(), name) != unwritable.end()) return false;
  files[name] = bytes;
  return true;
}

bool MemoryFiles::remove(const std::u16string& name) { return !failRemoves && files.erase(name) > 0; }

}  // namespace sayvane::testing
