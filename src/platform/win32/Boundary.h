// Where the system calls our code: no C++ exception may cross back into it. The only ones the
// program can meet are the standard library's (an allocation that fails); at each boundary
// that becomes what the caller understands, and the call's own objects were already unwound.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <new>
#include <utility>

#include "platform/win32/Owned.h"

namespace sayvane::win32 {

// A COM method: E_OUTOFMEMORY for a failed allocation, E_FAIL for anything else.
template <typename Body>
HRESULT comBoundary(Body body) noexcept {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_FAIL;
  }
}

// A window procedure: a message whose handler failed goes to the default procedure.
template <typename Body>
LRESULT windowBoundary(HWND window, UINT message, WPARAM wParam, LPARAM lParam, Body body) noexcept {
  try {
    return body();
  } catch (...) {
    return DefWindowProcW(window, message, wParam, lParam);
  }
}

// A thread's entry point: an exception leaving it would end the process; the thread ends alone.
template <typename Body>
DWORD threadBoundary(Body body) noexcept {
  try {
    body();
    return 0;
  } catch (...) {
    return 1;
  }
}

// A thread running `body` behind that boundary, waited for when this goes: whoever owns it
// tells it to end first.
class Thread {
 public:
  Thread() = default;
  explicit Thread(std::function<void()> body) {
    auto owned = std::make_unique<std::function<void()>>(std::move(body));
    handle_.reset(CreateThread(nullptr, 0, &Thread::main, owned.get(), 0, nullptr));
    if (handle_) owned.release();  // the thread's own now
  }
  ~Thread() { join(); }
  Thread(Thread&&) noexcept = default;
  Thread& operator=(Thread&& other) noexcept {
    join();
    handle_ = std::move(other.handle_);
    return *this;
  }

  // False when the system would not start it.
  explicit operator bool() const { return static_cast<bool>(handle_); }
  bool ended() const { return !handle_ || WaitForSingleObject(handle_, 0) == WAIT_OBJECT_0; }
  void join() {
    if (handle_) WaitForSingleObject(handle_, INFINITE);
    handle_.reset();
  }

 private:
  static DWORD WINAPI main(void* body) {
    const std::unique_ptr<std::function<void()>> owned(static_cast<std::function<void()>*>(body));
    return threadBoundary(*owned);
  }

  UniqueHandle handle_;
};

}  // namespace sayvane::win32
