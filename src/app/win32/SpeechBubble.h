// The built-in character's speech bubble: the spoken text, wrapped, in a small always-on-top
// window beside the character that never takes activation and goes away after a while.
#pragma once

#include <windows.h>

#include <string>

namespace sayvane::win32 {

class SpeechBubble final {
 public:
  explicit SpeechBubble(HINSTANCE instance) : instance_(instance) {}
  ~SpeechBubble();
  SpeechBubble(const SpeechBubble&) = delete;
  SpeechBubble& operator=(const SpeechBubble&) = delete;

  // The hidden window, owned by the character's window `owner` so it stays above it.
  bool create(HWND owner);
  [[nodiscard]] HWND window() const { return window_; }
  [[nodiscard]] bool visible() const { return window_ && IsWindowVisible(window_); }

  // Shows `text` (also the window's text) beside `anchor`, the character's screen rectangle,
  // for a time that grows with its length; a text shown before is replaced and its time starts again.
  // An empty text just hides the bubble.
  void show(const std::wstring& text, const RECT& anchor, int dpi);
  void hide();
  // After the character moved or its monitor's DPI changed: a shown bubble goes along.
  void follow(const RECT& anchor, int dpi);

 private:
  static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void layOut(const RECT& anchor, int dpi);
  HRGN createRegion() const;
  void paint(HDC dc);
  // The window's text in the bubble's font; measured, with DT_CALCRECT, exactly as it is drawn.
  void drawText(HDC dc, RECT& area, UINT flags) const;

  HINSTANCE instance_;
  HWND window_ = nullptr;
  HFONT font_ = nullptr;
  int fontDpi_ = 0;
  // The layout, in the bubble's own pixels: the body, the text inside it and the tail's corners.
  SIZE size_{};
  RECT body_{};
  RECT textArea_{};
  POINT tail_[3]{};
};

}  // namespace sayvane::win32
