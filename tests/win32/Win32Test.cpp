#include "win32/Win32Test.h"

#include <atomic>

namespace win32test {
namespace {

std::atomic<int> counter{0};

}  // namespace

std::wstring uniqueName(const wchar_t* prefix) {
  return std::wstring(prefix) + L"-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
         std::to_wstring(GetTickCount64()) + L"-" + std::to_wstring(++counter);
}

TestWindow::TestWindow(Handler handler) : handler_(std::move(handler)) {
  static const ATOM windowClass = [] {
    WNDCLASSEXW description{};
    description.cbSize = sizeof(description);
    description.lpfnWndProc = &TestWindow::procedure;
    description.hInstance = GetModuleHandleW(nullptr);
    description.lpszClassName = L"SayvaneWin32TestWindow";
    return RegisterClassExW(&description);
  }();
  window_.reset(CreateWindowExW(0, MAKEINTATOM(windowClass), L"sayvane win32 test", WS_OVERLAPPED, 0, 0, 0, 0,
                                HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr), this));
}

LRESULT CALLBACK TestWindow::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<TestWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  LRESULT result = 0;
  if (self && self->handler_ && self->handler_(message, wParam, lParam, result)) return result;
  return DefWindowProcW(window, message, wParam, lParam);
}

bool pumpUntil(sayvane::MessagePump& pump, const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  const auto deadline = pump.now() + timeout;
  while (!condition()) {
    if (pump.now() >= deadline) return false;
    if (!pump.pump(5ms)) return condition();
  }
  return true;
}

double milliseconds(std::chrono::nanoseconds duration) { return static_cast<double>(duration.count()) / 1e6; }

}  // namespace win32test
