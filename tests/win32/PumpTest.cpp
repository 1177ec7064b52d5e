// The message pump behind every wait, and the window timer.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/win32/MessagePump.h"
#include "platform/win32/Owned.h"
#include "platform/win32/WinTimer.h"
#include "win32/Win32Test.h"

namespace {

using win32test::milliseconds;
using win32test::TestWindow;

constexpr UINT kPing = WM_APP + 1;

// run() with a deadline: a quit message that never came ends it with -1 instead of hanging the tests.
void CALLBACK quitAtDeadline(HWND, UINT, UINT_PTR, DWORD) { PostQuitMessage(-1); }
int runAtMost(sayvane::MessagePump& pump, std::chrono::milliseconds deadline) {
  const UINT_PTR timer = SetTimer(nullptr, 0, static_cast<UINT>(deadline.count()), quitAtDeadline);
  const int code = pump.run();
  KillTimer(nullptr, timer);
  return code;
}

// A quit asked for through the pump, or posted past it as a dialog or library might.
TEST(MessagePumpTest, AQuitDuringAWaitEndsItStopsAllPumpingAndReachesTheOuterLoopWithItsCode) {
  for (const bool throughThePump : {true, false}) {
    SCOPED_TRACE(throughThePump ? "requestQuit" : "PostQuitMessage");
    sayvane::MessagePump pump;
    TestWindow window([&](UINT message, WPARAM, LPARAM, LRESULT&) {
      if (message != kPing) return false;
      if (throughThePump) pump.requestQuit(7);
      else PostQuitMessage(9);
      return true;
    });
    const auto start = pump.now();
    // From another thread, as another program would.
    std::thread post([&] {
      std::this_thread::sleep_for(100ms);
      PostMessageW(window.handle(), kPing, 0, 0);
    });
    EXPECT_FALSE(sayvane::waitMoreThan(pump, 5s));
    post.join();
    EXPECT_LT(milliseconds(pump.now() - start), 2000.0);
    EXPECT_TRUE(pump.quitting());
    const auto again = pump.now();
    EXPECT_FALSE(pump.pump(1s));
    EXPECT_FALSE(sayvane::waitMoreThan(pump, 1s));
    EXPECT_LT(milliseconds(pump.now() - again), 100.0);
    EXPECT_EQ(runAtMost(pump, 3s), throughThePump ? 7 : 9);
  }
}

// Never shown: under Wine without a window manager, hiding a shown window costs two seconds.
TEST(MessagePumpTest, TabMovesTheFocusOnlyThroughTheDialogWindow) {
  const sayvane::win32::UniqueWindow dialog(CreateWindowExW(WS_EX_CONTROLPARENT, WC_DIALOG, L"tab", WS_OVERLAPPEDWINDOW,
                                                            700, 500, 240, 160, nullptr, nullptr, nullptr, nullptr));
  HWND buttons[2] = {};
  for (int i = 0; i < 2; ++i)
    buttons[i] = CreateWindowExW(0, L"BUTTON", L"按钮", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10 + 90 * i, 10, 80, 30,
                                 dialog.get(), nullptr, GetModuleHandleW(nullptr), nullptr);
  sayvane::MessagePump pump;
  SetFocus(buttons[0]);
  ASSERT_EQ(GetFocus(), buttons[0]);
  // Without a dialog window a Tab is just a key.
  for (const HWND dialogWindow : {HWND{}, dialog.get()}) {
    pump.setDialogWindow(dialogWindow);
    PostMessageW(buttons[0], WM_KEYDOWN, VK_TAB, 0);
    EXPECT_TRUE(pump.pump(0ns));
    EXPECT_EQ(GetFocus(), dialogWindow ? buttons[1] : buttons[0]);
  }
}

// The ticks come at their period while the wait pumps; a wait lasts strictly more than its time, not much more.
TEST(WinTimerTest, TicksReachTheWindowDuringAWaitUntilStopped) {
  sayvane::MessagePump pump;
  std::atomic<int> ticks{0};
  constexpr UINT_PTR kId = 42;
  TestWindow window([&](UINT message, WPARAM wParam, LPARAM, LRESULT&) {
    if (message != WM_TIMER || wParam != kId) return false;
    ++ticks;
    return true;
  });
  sayvane::WinTimer timer(window.handle(), kId);
  timer.start(20ms);
  const auto start = pump.now();
  EXPECT_TRUE(sayvane::waitMoreThan(pump, 400ms));
  const double elapsed = milliseconds(pump.now() - start);
  EXPECT_GT(elapsed, 400.0);
  EXPECT_LT(elapsed, 700.0);
  EXPECT_GE(ticks, 8);  // about 20: fewer means a longer period than asked
  timer.stop();
  EXPECT_TRUE(sayvane::waitMoreThan(pump, 60ms));  // a tick already queued may still come
  const int stoppedAt = ticks;
  EXPECT_TRUE(sayvane::waitMoreThan(pump, 300ms));
  EXPECT_EQ(ticks, stoppedAt) << "ticks after stop";
}

}  // namespace
