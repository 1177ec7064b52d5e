#include "platform/win32/MessagePump.h"

namespace sayvane {
namespace {

long long counterFrequency() {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return frequency.QuadPart > 0 ? frequency.QuadPart : 1;
}

}  // namespace

MessagePump::MessagePump() : frequency_(counterFrequency()) {}

std::chrono::nanoseconds MessagePump::now() {
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  // Whole seconds and the remainder apart: counter * 1e9 would overflow after a few weeks of uptime.
  const long long ticks = counter.QuadPart;
  const long long seconds = ticks / frequency_;
  const long long rest = ticks % frequency_;
  return std::chrono::nanoseconds(seconds * 1'000'000'000LL + rest * 1'000'000'000LL / frequency_);
}

void MessagePump::dispatch(MSG& message) {
  if (dialogWindow_ && IsDialogMessageW(dialogWindow_, &message)) return;
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

bool MessagePump::dispatchPending() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      quitting_ = true;
      PostQuitMessage(static_cast<int>(message.wParam));
      return false;
    }
    dispatch(message);
    // A handler may have asked to quit; the rest waits for the outer loop, which will not run it.
    if (quitting_) return false;
  }
  return true;
}

bool MessagePump::pump(std::chrono::nanoseconds atMost) {
  if (quitting_) return false;
  const auto deadline = now() + atMost;
  if (beforeWait_) beforeWait_();
  if (!dispatchPending()) return false;
  if (whenIdle_) whenIdle_();

  const auto remaining = deadline - now();
  if (remaining >= std::chrono::milliseconds(1)) {
    // Whole milliseconds, rounded down: the wait never ends later than asked because of rounding.
    const auto milliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(remaining).count();
    const DWORD timeout = milliseconds >= INFINITE ? INFINITE - 1 : static_cast<DWORD>(milliseconds);
    MsgWaitForMultipleObjectsEx(0, nullptr, timeout, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  } else if (remaining > std::chrono::nanoseconds::zero()) {
    // Less than a millisecond is left: give up the time slice instead of spinning on a zero wait.
    SwitchToThread();
  }
  return dispatchPending();
}

void MessagePump::requestQuit(int code) {
  quitting_ = true;
  PostQuitMessage(code);
}

int MessagePump::run() {
  MSG message;
  for (;;) {
    if (whenIdle_ && !PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE)) whenIdle_();
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) break;
    if (got == -1) return -1;
    dispatch(message);
  }
  quitting_ = true;
  return static_cast<int>(message.wParam);
}

}  // namespace sayvane
