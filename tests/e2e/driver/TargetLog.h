// The target window's log (e2e-target.exe): reading what it received, and starting it.
#pragma once

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "e2e/driver/Process.h"
#include "e2e/target/TargetClock.h"

namespace e2e {

// One line of the log: performance-counter microseconds (the clock of MessagePump::now() / 1000,
// in any process), the message kind ("keydown", "lbuttonup", "ready", ...) and its value: hex
// virtual key or character code, or "x,y" client coordinates for mouse messages.
struct TargetEvent {
  long long micros = 0;
  std::string kind;
  std::string value;
  // For input messages: the system's millisecond time stamp from when the input was queued.
  std::optional<DWORD> stampMs;
  // For key messages: the scan code and the extended-key bit of the message's lParam.
  unsigned scanCode = 0;
  bool extended = false;
};

// Milliseconds between the system's stamps of two input messages (0 without them).
long long stampedMilliseconds(const TargetEvent& from, const TargetEvent& to);

// Every complete line so far; a line still being written is left for the next read.
std::vector<TargetEvent> readTargetLog(const std::filesystem::path& path);
// Only the events of these kinds, in order.
std::vector<TargetEvent> eventsOf(const std::vector<TargetEvent>& events,
                                  std::initializer_list<std::string_view> kinds);

// e2e-target.exe in the folder of the running test program.
std::filesystem::path targetExe();

struct Target {
  Process process;
  std::filesystem::path log;
  HWND window = nullptr;
  // The target logged "ready": it is in front and has the keyboard focus.
  bool ready = false;
};

// Starts the target logging to `log` and waits until it is ready.
Target startTarget(const std::filesystem::path& log, const std::wstring& caption = L"e2e target");
// Polls the log until an event of `kind` appears (after the first `skip` events), at most `timeout`.
bool waitForEvent(const std::filesystem::path& log, std::string_view kind, std::chrono::milliseconds timeout = 5s,
                  std::size_t skip = 0);

}  // namespace e2e
