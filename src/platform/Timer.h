// The main window's one timer; its ticks come back as events the platform delivers.
#pragma once

#include <chrono>

namespace sayvane {

class Timer {
 public:
  Timer() = default;
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;
  virtual ~Timer() = default;

  // Ticks every `interval` from now on until stopped; starting a running timer restarts it.
  virtual void start(std::chrono::milliseconds interval) = 0;
  virtual void stop() = 0;
};

}  // namespace sayvane
