#include "app/win32/WindowMetrics.h"

#include "platform/win32/Owned.h"

namespace sayvane::win32 {

namespace {

template <typename Function>
Function user32Function(const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

}  // namespace

int dpiOf(HWND window) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow = user32Function<GetDpiForWindowFn>("GetDpiForWindow");
  if (getDpiForWindow && window) {
    const UINT dpi = getDpiForWindow(window);
    if (dpi > 0) return static_cast<int>(dpi);
  }
  const int dpi = GetDeviceCaps(WindowDC(nullptr), LOGPIXELSY);
  return dpi > 0 ? dpi : 96;
}

SIZE windowSizeForClient(int width, int height, DWORD style, DWORD exStyle, int dpi) {
  using AdjustForDpiFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
  static const auto adjustForDpi = user32Function<AdjustForDpiFn>("AdjustWindowRectExForDpi");
  RECT rect{0, 0, width, height};
  if (!adjustForDpi || !adjustForDpi(&rect, style, FALSE, exStyle, static_cast<UINT>(dpi)))
    AdjustWindowRectEx(&rect, style, FALSE, exStyle);
  return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

HFONT createFont(const wchar_t* face, int tenthsOfPoints, int dpi) {
  return CreateFontW(-MulDiv(tenthsOfPoints, dpi, 720), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
}

HFONT createUiFont(int dpi) { return createFont(L"Microsoft YaHei UI", 90, dpi); }

}  // namespace sayvane::win32
