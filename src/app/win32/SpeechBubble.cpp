#include "app/win32/SpeechBubble.h"

#include <algorithm>
#include <chrono>
#include <string_view>

#include "app/win32/WindowClasses.h"
#include "app/win32/WindowMetrics.h"

namespace sayvane::win32 {

namespace {

constexpr UINT_PTR kHideTimer = 1;
constexpr DWORD kStyle = WS_POPUP;
constexpr DWORD kExStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;
constexpr UINT kTextFormat = DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX | DT_LEFT;
constexpr COLORREF kPaper = RGB(255, 253, 240);
constexpr COLORREF kEdge = RGB(40, 62, 96);
constexpr COLORREF kInk = RGB(20, 24, 32);

int scaled(int pixelsAt96, int dpi) { return MulDiv(pixelsAt96, dpi, 96); }

// How long a text stays: longer texts longer, within bounds a reader can live with.
std::chrono::milliseconds speechBubbleDuration(std::wstring_view text) {
  long long characters = 0;
  for (wchar_t c : text)
    if (c < 0xDC00 || c > 0xDFFF) ++characters;  // a surrogate pair is one character
  return std::chrono::milliseconds(std::min(10'000LL, 2'000 + 120 * characters));
}

}  // namespace

SpeechBubble::~SpeechBubble() {
  if (window_) DestroyWindow(window_);
  if (font_) DeleteObject(font_);
}

bool SpeechBubble::create(HWND owner) {
  if (window_) return true;
  static const bool registered = [this] {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &SpeechBubble::procedure;
    windowClass.hInstance = instance_;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kSpeechBubbleClass;
    return RegisterClassExW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }();
  if (!registered) return false;
  window_ = CreateWindowExW(kExStyle, kSpeechBubbleClass, L"", kStyle, 0, 0, 1, 1, owner, nullptr, instance_, this);
  return window_ != nullptr;
}

void SpeechBubble::show(const std::wstring& text, const RECT& anchor, int dpi) {
  if (!window_) return;
  if (text.empty()) {
    hide();
    return;
  }
  SetWindowTextW(window_, text.c_str());
  layOut(anchor, dpi);
  InvalidateRect(window_, nullptr, TRUE);
  SetTimer(window_, kHideTimer, static_cast<UINT>(speechBubbleDuration(text).count()), nullptr);
}

void SpeechBubble::hide() {
  if (!window_) return;
  KillTimer(window_, kHideTimer);
  if (IsWindowVisible(window_)) ShowWindow(window_, SW_HIDE);
}

void SpeechBubble::follow(const RECT& anchor, int dpi) {
  if (!visible()) return;
  layOut(anchor, dpi);
  InvalidateRect(window_, nullptr, TRUE);
}

void SpeechBubble::layOut(const RECT& anchor, int dpi) {
  if (!font_ || fontDpi_ != dpi) {
    if (font_) DeleteObject(font_);
    font_ = createUiFont(dpi);
    fontDpi_ = dpi;
  }
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromRect(&anchor, MONITOR_DEFAULTTONEAREST), &monitor);
  const RECT work = monitor.rcWork;
  const int padding = scaled(8, dpi);
  const int tail = scaled(12, dpi);
  const int tailWidth = scaled(14, dpi);
  const int corner = scaled(14, dpi);
  const int workWidth = work.right - work.left;
  const int workHeight = work.bottom - work.top;

  // The text's own size, wrapped at a comfortable width and never larger than half the screen.
  const int maxText = std::max(1, std::min(scaled(240, dpi), workWidth - 2 * padding - 2));
  RECT measured{0, 0, maxText, 0};
  HDC dc = GetDC(window_);
  drawText(dc, measured, DT_CALCRECT);
  ReleaseDC(window_, dc);
  const int textWidth = std::clamp(static_cast<int>(measured.right - measured.left), scaled(24, dpi), maxText);
  const int textHeight = std::clamp(static_cast<int>(measured.bottom - measured.top), 1, std::max(1, workHeight / 2));

  const int width = textWidth + 2 * padding;
  const int bodyHeight = textHeight + 2 * padding;
  const int height = bodyHeight + tail;
  // Above the character, or below it when there is no room above; always inside the work area.
  const bool above = anchor.top - height >= work.top;
  const int y = above ? anchor.top - height : std::min(static_cast<int>(anchor.bottom), static_cast<int>(work.bottom) - height);
  const long long centre = (static_cast<long long>(anchor.left) + anchor.right) / 2;
  const int x = static_cast<int>(
      std::clamp(centre - width / 2, static_cast<long long>(work.left), static_cast<long long>(work.right) - width));

  size_ = SIZE{width, height};
  body_ = above ? RECT{0, 0, width, bodyHeight} : RECT{0, tail, width, height};
  textArea_ = RECT{padding, body_.top + padding, width - padding, body_.bottom - padding};
  // The tail points at the character's middle, as far as the rounded corners allow.
  const int tailLeft = static_cast<int>(
      std::clamp(centre - x - tailWidth / 2, static_cast<long long>(corner / 2),
                 static_cast<long long>(std::max(corner / 2, width - corner / 2 - tailWidth))));
  if (above) {
    tail_[0] = POINT{tailLeft, bodyHeight - 1};
    tail_[1] = POINT{tailLeft + tailWidth, bodyHeight - 1};
    tail_[2] = POINT{tailLeft + tailWidth / 3, height};
  } else {
    tail_[0] = POINT{tailLeft, tail + 1};
    tail_[1] = POINT{tailLeft + tailWidth, tail + 1};
    tail_[2] = POINT{tailLeft + tailWidth / 3, 0};
  }

  SetWindowRgn(window_, createRegion(), FALSE);
  SetWindowPos(window_, HWND_TOPMOST, x, y, width, height, SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

HRGN SpeechBubble::createRegion() const {
  const int corner = scaled(14, fontDpi_ > 0 ? fontDpi_ : 96);
  HRGN region = CreateRoundRectRgn(body_.left, body_.top, body_.right + 1, body_.bottom + 1, corner, corner);
  HRGN tail = CreatePolygonRgn(tail_, 3, WINDING);
  if (region && tail) CombineRgn(region, region, tail, RGN_OR);
  if (tail) DeleteObject(tail);
  return region;
}

void SpeechBubble::paint(HDC dc) {
  if (HRGN region = createRegion()) {
    HBRUSH paper = CreateSolidBrush(kPaper);
    HBRUSH edge = CreateSolidBrush(kEdge);
    FillRgn(dc, region, paper);
    FrameRgn(dc, region, edge, 1, 1);
    DeleteObject(edge);
    DeleteObject(paper);
    DeleteObject(region);
  }
  // Clipped to the body, not to the measured area: a glyph whose ink overhangs its advance falls
  // into the padding.
  IntersectClipRect(dc, body_.left + 1, body_.top + 1, body_.right - 1, body_.bottom - 1);
  RECT area = textArea_;
  drawText(dc, area, DT_NOCLIP);
}

void SpeechBubble::drawText(HDC dc, RECT& area, UINT flags) const {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window_)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window_, text.data(), static_cast<int>(text.size()))));
  HGDIOBJ old = SelectObject(dc, font_ ? static_cast<HGDIOBJ>(font_) : GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, kInk);
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area, kTextFormat | flags);
  SelectObject(dc, old);
}

LRESULT CALLBACK SpeechBubble::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<SpeechBubble*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) return DefWindowProcW(window, message, wParam, lParam);
  switch (message) {
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;  // keys must keep going to the user's window
    case WM_LBUTTONUP:
      self->hide();  // a click says "read it"
      return 0;
    case WM_TIMER:
      if (wParam != kHideTimer) break;
      self->hide();
      return 0;
    case WM_ERASEBKGND:
      return 1;  // the paint covers it all
    case WM_PAINT: {
      PAINTSTRUCT ps{};
      HDC dc = BeginPaint(window, &ps);
      if (dc) self->paint(dc);
      EndPaint(window, &ps);
      return 0;
    }
    case WM_NCDESTROY:
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      self->window_ = nullptr;
      break;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace sayvane::win32
