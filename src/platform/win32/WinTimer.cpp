#include "platform/win32/WinTimer.h"

namespace sayvane {

WinTimer::WinTimer(HWND window, UINT_PTR id) : window_(window), id_(id) {}

WinTimer::~WinTimer() { stop(); }

void WinTimer::start(std::chrono::milliseconds interval) {
  // The system raises anything below its minimum; only the top needs clamping into a UINT.
  const auto count = interval.count();
  const UINT elapse = count < 1 ? 1 : count > USER_TIMER_MAXIMUM ? USER_TIMER_MAXIMUM : static_cast<UINT>(count);
  // The same window and id replace the running timer, which restarts its interval.
  SetTimer(window_, id_, elapse, nullptr);
}

// Stopping a timer that is not running (or whose window is gone) does no harm.
void WinTimer::stop() { KillTimer(window_, id_); }

}  // namespace sayvane
