// e2e-target.exe LOGFILE [CAPTION]: a plain window that takes the focus and logs every input
// message it receives, one line each, so a test in another process can see what arrived.
// Lines are "<micros> <kind> <value>"; the times are performance-counter microseconds, the
// same clock in every process, so they compare with times the test takes itself. Input
// messages add the millisecond time the system stamped them with when the input was queued,
// which no delay of this window's own in taking them can shift; key messages then add the scan
// code and the extended-key bit of their lParam, in hex as one number ("150": extended, 0x50).
#include <windows.h>

#include <shellapi.h>
#include <windowsx.h>

#include <cstdio>
#include <string>
#include <utility>

#include "e2e/target/TargetClock.h"

namespace {

constexpr UINT_PTR kFocusTimer = 1;
constexpr UINT kFocusRetryMilliseconds = 20;

HANDLE logFile = INVALID_HANDLE_VALUE;
bool ready = false;

// `fields`: the message's value, and for input messages what follows it.
void logLine(const char* kind, const char* fields) {
  char line[160];
  const int length = std::snprintf(line, sizeof line, "%lld %s %s\n", e2e::microsNow(), kind, fields);
  if (length <= 0) return;
  DWORD written = 0;
  // One write per line, flushed at once: the reader polls the file while this runs.
  WriteFile(logFile, line, static_cast<DWORD>(length), &written, nullptr);
  FlushFileBuffers(logFile);
}

bool hasFocus(HWND window) { return GetForegroundWindow() == window && GetFocus() == window; }

// "ready" only once the window is in front with the keyboard focus: input sent after it lands here.
void becomeReady(HWND window) {
  if (ready) return;
  if (!hasFocus(window)) {
    SetForegroundWindow(window);
    SetFocus(window);
  }
  if (!hasFocus(window)) return;
  ready = true;
  KillTimer(window, kFocusTimer);
  logLine("ready", "0");
}

// The input messages logged, by the kind they are logged as.
constexpr std::pair<UINT, const char*> kInputs[] = {
    {WM_LBUTTONDOWN, "lbuttondown"}, {WM_LBUTTONUP, "lbuttonup"}, {WM_LBUTTONDBLCLK, "lbuttondblclk"},
    {WM_RBUTTONDOWN, "rbuttondown"}, {WM_RBUTTONUP, "rbuttonup"}, {WM_RBUTTONDBLCLK, "rbuttondblclk"},
    {WM_MOUSEMOVE, "mousemove"},     {WM_KEYDOWN, "keydown"},     {WM_KEYUP, "keyup"},
    {WM_SYSKEYDOWN, "syskeydown"},   {WM_SYSKEYUP, "syskeyup"}};

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // Input before "ready" (the pointer resting where the window appears) is left out: the log
  // starts with "ready", and everything after it is what the test sent.
  for (const auto& [input, kind] : kInputs) {
    if (input != message) continue;
    char fields[64];
    const auto stamp = static_cast<unsigned long>(static_cast<DWORD>(GetMessageTime()));
    if (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST)
      std::snprintf(fields, sizeof fields, "%d,%d %lu", GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), stamp);
    else
      std::snprintf(fields, sizeof fields, "%llX %lu %X", static_cast<unsigned long long>(wParam), stamp,
                    static_cast<unsigned>((lParam >> 16) & 0x1FF));
    if (ready) logLine(kind, fields);
    // Keys still reach DefWindowProc: Alt+F4 must close the window as it would any other.
    return DefWindowProcW(window, message, wParam, lParam);
  }
  if (message == WM_TIMER && wParam == kFocusTimer) {
    becomeReady(window);
    return 0;
  } else if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
  int count = 0;
  wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!arguments || count < 2) return 2;
  const std::wstring caption = count >= 3 ? arguments[2] : L"e2e target";
  // Shared every way: the test reads the log while it grows and deletes it afterwards.
  logFile = CreateFileW(arguments[1], FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                        OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  LocalFree(arguments);
  if (logFile == INVALID_HANDLE_VALUE) return 3;

  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = CS_DBLCLKS;
  windowClass.lpfnWndProc = windowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = e2e::kTargetClass;
  if (!RegisterClassExW(&windowClass)) return 4;

  HWND window = CreateWindowExW(0, e2e::kTargetClass, caption.c_str(), WS_OVERLAPPEDWINDOW, 100, 100, 400, 300,
                                nullptr, nullptr, instance, nullptr);
  if (!window) return 5;
  // The show command comes from the starter's STARTUPINFO, so a test sees how it was started.
  ShowWindow(window, showCommand);
  UpdateWindow(window);
  SetTimer(window, kFocusTimer, kFocusRetryMilliseconds, nullptr);
  becomeReady(window);

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  CloseHandle(logFile);
  return static_cast<int>(message.wParam);
}
