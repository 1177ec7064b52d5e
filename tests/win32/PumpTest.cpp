// The message pump behind every wait, and the window timer.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32/MessagePump.h"
#include "platform/win32/WinTimer.h"
#include "win32/Win32Test.h"

namespace {

using namespace std::chrono_literals;
using win32test::milliseconds;
using win32test::TestWindow;

constexpr UINT kPing = WM_APP + 1;

// Posts `message` to `window` from another thread after `delay`, as another program would.
class DelayedPost {
 public:
  DelayedPost(HWND window, UINT message, std::chrono::milliseconds delay)
      : thread_([=] {
          std::this_thread::sleep_for(delay);
          PostMessageW(window, message, 0, 0);
        }) {}
  ~DelayedPost() { thread_.join(); }

 private:
  std::thread thread_;
};

// run() with a deadline: a quit message that never came ends it with -1 instead of hanging the tests.
int runAtMost(sayvane::MessagePump& pump, std::chrono::milliseconds deadline) {
  constexpr UINT_PTR kDeadline = 99;
  TestWindow guard([](UINT message, WPARAM wParam, LPARAM, LRESULT&) {
    if (message != WM_TIMER || wParam != kDeadline) return false;
    PostQuitMessage(-1);
    return true;
  });
  SetTimer(guard.handle(), kDeadline, static_cast<UINT>(deadline.count()), nullptr);
  return pump.run();
}

TEST(MessagePumpTest, APostedMessageIsDispatchedDuringAWait) {
  sayvane::MessagePump pump;
  std::chrono::nanoseconds handledAt{-1};
  TestWindow window([&](UINT message, WPARAM, LPARAM, LRESULT&) {
    if (message != kPing) return false;
    handledAt = pump.now();
    return true;
  });
  ASSERT_NE(window.handle(), nullptr);
  const auto start = pump.now();
  bool waited = false;
  {
    DelayedPost post(window.handle(), kPing, 100ms);
    waited = sayvane::waitMoreThan(pump, 400ms);
  }
  const double elapsed = milliseconds(pump.now() - start);
  EXPECT_TRUE(waited);
  ASSERT_GE(handledAt.count(), 0) << "the message was not dispatched during the wait";
  const double handled = milliseconds(handledAt - start);
  EXPECT_GE(handled, 90.0);
  EXPECT_LT(handled, 400.0);
  EXPECT_GT(elapsed, 400.0);
  EXPECT_LT(elapsed, 700.0);
}

TEST(MessagePumpTest, RequestQuitDuringAWaitEndsItAndTheOuterLoop) {
  sayvane::MessagePump pump;
  TestWindow window([&](UINT message, WPARAM, LPARAM, LRESULT&) {
    if (message != kPing) return false;
    pump.requestQuit(7);
    return true;
  });
  const auto start = pump.now();
  bool waited = true;
  {
    DelayedPost post(window.handle(), kPing, 100ms);
    waited = sayvane::waitMoreThan(pump, 5s);
  }
  EXPECT_FALSE(waited);
  EXPECT_LT(milliseconds(pump.now() - start), 2000.0);
  EXPECT_TRUE(pump.quitting());
  // Once quitting, a wait does not pump at all.
  const auto again = pump.now();
  EXPECT_FALSE(pump.pump(1s));
  EXPECT_FALSE(sayvane::waitMoreThan(pump, 1s));
  EXPECT_LT(milliseconds(pump.now() - again), 100.0);
  // The quit message is still there for the outer loop, with its code.
  EXPECT_EQ(runAtMost(pump, 3s), 7);
}

TEST(MessagePumpTest, AQuitMessageMetInsideAWaitIsPostedAgainForTheOuterLoop) {
  sayvane::MessagePump pump;
  TestWindow window([&](UINT message, WPARAM, LPARAM, LRESULT&) {
    if (message != kPing) return false;
    PostQuitMessage(9);  // not through the pump: as a dialog or library might
    return true;
  });
  bool waited = true;
  {
    DelayedPost post(window.handle(), kPing, 50ms);
    waited = sayvane::waitMoreThan(pump, 5s);
  }
  EXPECT_FALSE(waited);
  EXPECT_TRUE(pump.quitting());
  EXPECT_EQ(runAtMost(pump, 3s), 9);
}

// A window whose procedure is the dialog manager's, with two tab stops. Never shown: under Wine
// without a window manager, hiding a shown window costs two seconds.
class TwoButtons {
 public:
  TwoButtons() {
    static const ATOM windowClass = [] {
      WNDCLASSEXW description{};
      description.cbSize = sizeof(description);
      description.lpfnWndProc = DefDlgProcW;
      description.cbWndExtra = DLGWINDOWEXTRA;
      description.hInstance = GetModuleHandleW(nullptr);
      description.lpszClassName = L"SayvaneWin32TestDialog";
      return RegisterClassExW(&description);
    }();
    dialog = CreateWindowExW(WS_EX_CONTROLPARENT, MAKEINTATOM(windowClass), L"sayvane tab test",
                             WS_OVERLAPPEDWINDOW, 700, 500, 240, 160, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    first = CreateWindowExW(0, L"BUTTON", L"一", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, 10, 80, 30, dialog,
                            reinterpret_cast<HMENU>(101), GetModuleHandleW(nullptr), nullptr);
    second = CreateWindowExW(0, L"BUTTON", L"二", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 100, 10, 80, 30, dialog,
                             reinterpret_cast<HMENU>(102), GetModuleHandleW(nullptr), nullptr);
  }
  ~TwoButtons() { DestroyWindow(dialog); }
  TwoButtons(const TwoButtons&) = delete;
  TwoButtons& operator=(const TwoButtons&) = delete;

  HWND dialog = nullptr;
  HWND first = nullptr;
  HWND second = nullptr;
};

TEST(MessagePumpTest, TabMovesTheFocusOnlyThroughTheDialogWindow) {
  sayvane::MessagePump pump;
  TwoButtons buttons;
  ASSERT_NE(buttons.second, nullptr);

  SetFocus(buttons.first);
  ASSERT_EQ(GetFocus(), buttons.first);
  PostMessageW(buttons.first, WM_KEYDOWN, VK_TAB, 0);
  EXPECT_TRUE(pump.pump(0ns));
  EXPECT_EQ(GetFocus(), buttons.first) << "without a dialog window a Tab is just a key";

  pump.setDialogWindow(buttons.dialog);
  PostMessageW(buttons.first, WM_KEYDOWN, VK_TAB, 0);
  EXPECT_TRUE(pump.pump(0ns));
  EXPECT_EQ(GetFocus(), buttons.second);
  pump.setDialogWindow(nullptr);
}

TEST(WinTimerTest, TicksReachTheWindowUntilStopped) {
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
  EXPECT_TRUE(win32test::pumpUntil(pump, [&] { return ticks >= 3; }, 3s)) << ticks << " ticks";
  timer.stop();
  EXPECT_TRUE(sayvane::waitMoreThan(pump, 60ms));  // a tick already queued may still come
  const int stoppedAt = ticks;
  EXPECT_TRUE(sayvane::waitMoreThan(pump, 300ms));
  EXPECT_EQ(ticks, stoppedAt) << "ticks after stop";
}

}  // namespace
