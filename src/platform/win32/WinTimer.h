// The main window's timer: WM_TIMER ticks with one id, handled by that window's procedure.
#pragma once

#include <windows.h>

#include "platform/Timer.h"

namespace sayvane {

class WinTimer final : public Timer {
 public:
  WinTimer(HWND window, UINT_PTR id);
  ~WinTimer() override;

  void start(std::chrono::milliseconds interval) override;
  void stop() override;

 private:
  HWND window_;
  UINT_PTR id_;
};

}  // namespace sayvane
