// The one thread's event loop: the outer message loop, and the pumping waits inside actions.
#pragma once

#include <windows.h>

#include <functional>

#include "platform/Waiter.h"

namespace sayvane {

class MessagePump final : public Waiter {
 public:
  MessagePump();

  // The performance counter in nanoseconds: monotonic, fine-grained, and the same clock in
  // every process of the machine.
  std::chrono::nanoseconds now() override;
  // Dispatches what is pending, waits for input or `atMost`, dispatches again; false once quitting.
  [[nodiscard]] bool pump(std::chrono::nanoseconds atMost) override;

  // Ends the outer loop with `code`; every wait from now on stops pumping.
  void requestQuit(int code);
  [[nodiscard]] bool quitting() const { return quitting_; }
  // The outer message loop until WM_QUIT; returns its exit code.
  int run();

  // Keystrokes for this window go through IsDialogMessageW first, for Tab navigation.
  void setDialogWindow(HWND window) { dialogWindow_ = window; }
  // Called at the start of every pump, so the window can render before the program waits.
  void setBeforeWait(std::function<void()> hook) { beforeWait_ = std::move(hook); }
  // Called whenever the thread is about to wait, in the outer loop as in a pump: work that must
  // never delay the handling of an event.
  void setWhenIdle(std::function<void()> hook) { whenIdle_ = std::move(hook); }

 private:
  void dispatch(MSG& message);
  // False when WM_QUIT came, which is posted again so the outer loop ends as well.
  bool dispatchPending();

  long long frequency_;
  HWND dialogWindow_ = nullptr;
  std::function<void()> beforeWait_;
  std::function<void()> whenIdle_;
  bool quitting_ = false;
};

}  // namespace sayvane
