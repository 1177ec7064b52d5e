// The primary screen's size in pixels.
#pragma once

namespace sayvane {

class Screen {
 public:
  Screen() = default;
  Screen(const Screen&) = delete;
  Screen& operator=(const Screen&) = delete;
  virtual ~Screen() = default;

  virtual int width() = 0;
  virtual int height() = 0;
};

}  // namespace sayvane
