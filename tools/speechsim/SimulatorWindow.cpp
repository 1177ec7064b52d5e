#include "SimulatorWindow.h"

#include "Log.h"
#include "Module.h"

namespace speechsim {
namespace {

constexpr UINT_PTR kWatchTimer = 1;
constexpr UINT kEndMessage = WM_APP + 1;
constexpr int kClientWidth = 360;
constexpr int kClientHeight = 74;

std::wstring textOf(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

}  // namespace

SimulatorWindow* SimulatorWindow::create(Hear hear) {
  static const ATOM windowClass = [] {
    WNDCLASSEXW description{};
    description.cbSize = sizeof(description);
    description.lpfnWndProc = &SimulatorWindow::procedure;
    description.hInstance = thisModule();
    description.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    description.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    description.lpszClassName = kSimulatorWindowClass;
    return RegisterClassExW(&description);
  }();
  // The window may outlive the stand-in's last object: so must this module, its procedure's home.
  HMODULE pinned = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                     reinterpret_cast<LPCWSTR>(&SimulatorWindow::procedure), &pinned);
  auto* self = new SimulatorWindow(std::move(hear));
  self->previous_ = GetForegroundWindow();

  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  const DWORD exStyle = WS_EX_TOPMOST;
  RECT frame{0, 0, kClientWidth, kClientHeight};
  AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  // Bottom left: the bottom right is where the program's own character stands.
  self->window_ = CreateWindowExW(exStyle, MAKEINTATOM(windowClass), L"语音模拟器", style, work.left + 16,
                                  work.bottom - height - 16, width, height, nullptr, nullptr, thisModule(), self);
  if (!self->window_) {
    delete self;
    return nullptr;
  }
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
    self->font_ = CreateFontIndirectW(&metrics.lfMessageFont);
  const auto child = [&](const wchar_t* windowClass, const wchar_t* text, DWORD childStyle, int id, int x, int y,
                         int w, int h, DWORD childExStyle = 0) {
    HWND control = CreateWindowExW(childExStyle, windowClass, text, WS_CHILD | WS_VISIBLE | childStyle, x, y, w, h,
                                   self->window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), thisModule(),
                                   nullptr);
    if (self->font_) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(self->font_), FALSE);
    return control;
  };
  self->edit_ = child(L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL, kSimulatorEdit, 10, 10, 262, 24, WS_EX_CLIENTEDGE);
  child(L"BUTTON", L"说出", WS_TABSTOP | BS_DEFPUSHBUTTON, kSimulatorSay, 280, 10, 70, 24);
  self->status_ = child(L"STATIC", L"输入一句话，按回车说出", SS_LEFT | SS_NOPREFIX, kSimulatorStatus, 10, 44, 340, 20);
  // Enter in a single-line edit only beeps outside a dialog: it says the phrase instead.
  SetWindowLongPtrW(self->edit_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  self->editDefault_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(self->edit_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SimulatorWindow::editProcedure)));

  SetTimer(self->window_, kWatchTimer, 100, nullptr);
  // Never steals the activation: the user's window keeps the keyboard until they click here.
  ShowWindow(self->window_, SW_SHOWNOACTIVATE);
  SetWindowPos(self->window_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  return self;
}

SimulatorWindow::~SimulatorWindow() {
  if (window_) {
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
  }
  if (font_) DeleteObject(font_);
}

void SimulatorWindow::release() {
  if (--references_ > 0) return;
  // Ended by its own message rather than now: without a window manager, Wine waits two seconds
  // for a shown window to be hidden, and a program that is quitting would wait with it. The
  // window then goes with the process.
  if (window_ && PostMessageW(window_, kEndMessage, 0, 0)) return;
  delete this;
}

bool SimulatorWindow::ours(HWND window) const {
  return window && (window == window_ || GetAncestor(window, GA_ROOT) == window_);
}

void SimulatorWindow::notePrevious(HWND window) {
  if (window && !ours(window) && IsWindow(window)) previous_ = window;
}

LRESULT CALLBACK SimulatorWindow::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<SimulatorWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self || !self->window_) return DefWindowProcW(window, message, wParam, lParam);
  return self->handle(message, wParam, lParam);
}

LRESULT CALLBACK SimulatorWindow::editProcedure(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<SimulatorWindow*>(GetWindowLongPtrW(edit, GWLP_USERDATA));
  if (message == WM_KEYDOWN && wParam == VK_RETURN) {
    PostMessageW(GetParent(edit), WM_COMMAND, MAKEWPARAM(kSimulatorSay, BN_CLICKED), 0);
    return 0;
  }
  if (message == WM_CHAR && (wParam == L'\r' || wParam == L'\n')) return 0;
  return CallWindowProcW(self->editDefault_, edit, message, wParam, lParam);
}

LRESULT SimulatorWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      // While another window is in front, it is the one a phrase is meant for.
      if (wParam == kWatchTimer) notePrevious(GetForegroundWindow());
      return 0;
    case WM_MOUSEACTIVATE:
      // A click is about to activate the simulator: what is in front now is the user's window,
      // however briefly it was there.
      notePrevious(GetForegroundWindow());
      return MA_ACTIVATE;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE) {
        notePrevious(reinterpret_cast<HWND>(lParam));
        SetFocus(edit_);
      }
      return 0;
    case WM_COMMAND:
      if (LOWORD(wParam) == kSimulatorSay || LOWORD(wParam) == IDOK) say();
      return 0;
    case kEndMessage:
      delete this;
      return 0;
    case WM_CLOSE:
      // The program ends this window with its recognizer; the user can only put it aside.
      ShowWindow(window_, SW_MINIMIZE);
      return 0;
    default:
      return DefWindowProcW(window_, message, wParam, lParam);
  }
}

void SimulatorWindow::handBackFocus() {
  HWND target = previous_ && IsWindow(previous_) && IsWindowVisible(previous_) && !ours(previous_) ? previous_ : nullptr;
  if (!target) {
    // Nobody to give it to: at least the phrase's keys must not land in the simulator's edit.
    if (ours(GetFocus())) SetFocus(nullptr);
    return;
  }
  SetForegroundWindow(target);
  const ULONGLONG deadline = GetTickCount64() + 1000;
  while (GetForegroundWindow() != target && GetTickCount64() < deadline) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(message.wParam));
        return;
      }
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  if (GetForegroundWindow() != target && ours(GetFocus())) SetFocus(nullptr);
}

void SimulatorWindow::say() {
  if (saying_) return;
  const std::wstring text = textOf(edit_);
  if (text.empty()) return;
  saying_ = true;
  // The phrase's handler may end the recognizer and with it this window: it goes at the end.
  ++references_;
  SetWindowTextW(edit_, L"");
  handBackFocus();
  const Outcome outcome = hear_(text);
  std::wstring status;
  switch (outcome) {
    case Outcome::Recognition: status = L"已识别：" + text; break;
    case Outcome::FalseRecognition: status = L"没有识别：" + text; break;
    default: status = L"识别没有打开：" + text; break;
  }
  SetWindowTextW(status_, status.c_str());
  saying_ = false;
  release();
}

}  // namespace speechsim
