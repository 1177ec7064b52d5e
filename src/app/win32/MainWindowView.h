// The real main window: native controls laid out as the model's layout says, every user
// event forwarded to the model, and the model's controls rendered back after each one.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <string_view>

#include "app/Controls.h"
#include "app/MainWindow.h"
#include "platform/WindowView.h"
#include "platform/win32/MessagePump.h"
#include "platform/win32/Owned.h"

namespace sayvane::win32 {

inline constexpr UINT_PTR kClearTimerId = 1;

class MainWindowView final : public WindowView {
 public:
  explicit MainWindowView(MessagePump& pump);
  MainWindowView(const MainWindowView&) = delete;
  MainWindowView& operator=(const MainWindowView&) = delete;

  // Creates the window hidden; start-up decides when it is first shown.
  [[nodiscard]] bool create(HINSTANCE instance);
  // From now on events reach `model`.
  void attach(MainWindow& model);
  void detach() { model_ = nullptr; }
  HWND window() const { return window_; }
  int dpi() const { return dpi_; }
  // Brings every native control in line with the model's controls.
  void render();
  // An event from outside the window (the recognizer, the character) reaches the model as the
  // window's own events do, and what it changed is shown; nothing reaches a detached model.
  void deliver(const std::function<void(MainWindow&)>& event);

  void show() override;
  void hide() override;
  void quit() override;
  void popupMenu(ComposerMenu menu, int x, int y) override;

 private:
  static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
  void createControls();
  void applyLayout();
  void applyFont();
  int scale(int pixels) const { return MulDiv(pixels, dpi_, 96); }
  // The client area in 96 DPI pixels, as the layout counts.
  SIZE layoutSize() const;
  void onCommand(int id, int code, HWND control);
  // Fields the user typed into: the model reads what the window shows, as a form does.
  void syncFields();
  void drawItem(const DRAWITEMSTRUCT& item);
  HWND child(std::string_view name) const;

  MessagePump& pump_;
  MainWindow* model_ = nullptr;
  UniqueFont font_;
  int dpi_ = 96;
  bool shownOnce_ = false;
  bool rendering_ = false;
  std::map<std::string_view, HWND> controls_;
  std::map<std::string_view, HWND> labels_;
  Controls rendered_;  // what the native controls show, so a render changes only what differs
  UniqueWindow window_;  // last, so it goes first: its controls use the font
};

}  // namespace sayvane::win32
