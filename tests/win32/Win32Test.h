// Shared pieces of the platform tests: windows in this process, pumping, unique names.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>

#include "platform/win32/MessagePump.h"
#include "platform/win32/Owned.h"
#include "support/TempFolder.h"

// Every platform test waits in these units.
using namespace std::chrono_literals;

namespace win32test {

using sayvane::testing::TempFolder;

// A message-only window of this thread whose messages go to `handler` first (DefWindowProc when
// it returns false); destroyed at the end, while its handler is still there.
class TestWindow {
 public:
  using Handler = std::function<bool(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)>;
  explicit TestWindow(Handler handler = {});
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;
  HWND handle() const { return window_; }

 private:
  static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  Handler handler_;
  sayvane::win32::UniqueWindow window_;
};

// Runs `run` when the scope ends, whether the test got there or an assert returned early.
struct AtEnd {
  std::function<void()> run;
  ~AtEnd() { run(); }
};

// Pumps until `condition` holds or `timeout` passes; true if it held.
bool pumpUntil(sayvane::MessagePump& pump, const std::function<bool()>& condition,
               std::chrono::milliseconds timeout = 5s);

// A unique name for things shared across the machine (registry keys, window captions).
std::wstring uniqueName(const wchar_t* prefix);

// Milliseconds between two readings of MessagePump::now().
double milliseconds(std::chrono::nanoseconds duration);

}  // namespace win32test
