// What the main window's model asks of the real window: the rest is plain data it renders.
#pragma once

namespace sayvane {

enum class ComposerMenu { Mouse, Keyboard };  // "pop" and "pop2"

class WindowView {
 public:
  WindowView() = default;
  WindowView(const WindowView&) = delete;
  WindowView& operator=(const WindowView&) = delete;
  virtual ~WindowView() = default;

  // Normal state (neither minimised nor maximised), then shown, not modal.
  virtual void show() = 0;
  virtual void hide() = 0;
  // Ends the program once the running handler has unwound; waits stop pumping from now on.
  virtual void quit() = 0;
  // Opens a composer menu at a point in the window's client coordinates, 96 DPI pixels.
  virtual void popupMenu(ComposerMenu menu, int x, int y) = 0;
};

}  // namespace sayvane
