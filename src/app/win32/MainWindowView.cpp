#include "app/win32/MainWindowView.h"

#include <commctrl.h>

#include <string>

#include "app/Layout.h"
#include "app/win32/Pictures.h"
#include "app/win32/WindowClasses.h"
#include "app/win32/WindowMetrics.h"
#include "app/win32/WindowObject.h"
#include "app/Composer.h"
#include "platform/win32/Wide.h"

namespace sayvane::win32 {

namespace {

constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX;
constexpr int kDropDownHeight = 120;  // the recognizer list's open height, 96 DPI pixels

enum class Kind { Frame, List, Combo, Edit, Button, Check, Status, Picture };

Kind kindOf(std::string_view name) {
  if (name.starts_with("Frame")) return Kind::Frame;
  if (name.starts_with("List")) return Kind::List;
  if (name == "SREngines") return Kind::Combo;
  if (name.starts_with("Text")) return Kind::Edit;
  if (name.starts_with("Command")) return Kind::Button;
  if (name == "Check1") return Kind::Check;
  if (name.starts_with("Image")) return Kind::Picture;
  return Kind::Status;
}

Picture pictureOf(std::string_view name) {
  if (name == "Image2") return Picture::File;
  if (name == "Image3") return Picture::Web;
  if (name == "Image4") return Picture::Mouse;
  if (name == "Image5") return Picture::Keyboard;
  return Picture::Logo;
}

// The picture buttons carry no caption, so a tooltip says what each one does.
const wchar_t* tooltipOf(std::string_view name) {
  if (name == "Image2") return L"选择程序或文件";
  if (name == "Image3") return L"打开网址";
  if (name == "Image4") return L"鼠标操作";
  if (name == "Image5") return L"键盘操作";
  return L"打开软件说明";
}

std::wstring nativeText(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

void setVisible(HWND window, bool visible) {
  const bool now = (GetWindowLongPtrW(window, GWL_STYLE) & WS_VISIBLE) != 0;
  if (now != visible) ShowWindow(window, visible ? SW_SHOWNA : SW_HIDE);
}

void setEnabled(HWND window, bool enabled) {
  if ((IsWindowEnabled(window) != FALSE) != enabled) EnableWindow(window, enabled);
}

}  // namespace

MainWindowView::MainWindowView(MessagePump& pump) : pump_(pump) {}

MainWindowView::~MainWindowView() {
  if (window_) DestroyWindow(window_);
  if (font_) DeleteObject(font_);
}

bool MainWindowView::create(HINSTANCE instance) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = &MainWindowView::windowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
  if (!windowClass.hIcon) windowClass.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = kMainWindowClass;
  if (!RegisterClassExW(&windowClass)) return false;
  window_ = CreateWindowExW(WS_EX_CONTROLPARENT, kMainWindowClass, wide(kWindowCaption).c_str(), kWindowStyle,
                            CW_USEDEFAULT, CW_USEDEFAULT, 0, 0, nullptr, nullptr, instance, this);
  if (!window_) return false;
  dpi_ = dpiOf(window_);
  const SIZE size = windowSizeForClient(scale(kClientWidth), scale(kClientHeight), kWindowStyle, WS_EX_CONTROLPARENT, dpi_);
  SetWindowPos(window_, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  createControls();
  applyFont();
  applyLayout();
  return true;
}

void MainWindowView::attach(MainWindow& model) {
  model_ = &model;
  const SIZE size = layoutSize();
  model_->resized(size.cx, size.cy);
  render();
}

void MainWindowView::createControls() {
  const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window_, GWLP_HINSTANCE));
  HWND tooltips = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr, instance, nullptr);
  for (const auto& placement : mainWindowLayout()) {
    const auto name = placement.name;
    const auto id = static_cast<INT_PTR>(*controlId(name));
    const wchar_t* windowClass = L"BUTTON";
    DWORD style = WS_CHILD | WS_VISIBLE;
    DWORD exStyle = 0;
    switch (kindOf(name)) {
      case Kind::Frame: style |= BS_GROUPBOX; break;
      case Kind::List:
        windowClass = L"LISTBOX";
        style |= WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
        exStyle = WS_EX_CLIENTEDGE;
        break;
      case Kind::Combo:
        windowClass = L"COMBOBOX";
        style |= WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
        break;
      case Kind::Edit:
        windowClass = L"EDIT";
        style |= WS_TABSTOP | ES_AUTOHSCROLL | (name == "Text4" ? ES_READONLY : 0);
        exStyle = WS_EX_CLIENTEDGE;
        break;
      case Kind::Button: style |= WS_TABSTOP | BS_PUSHBUTTON; break;
      // The model decides the tick: an automatic box would tick itself before the model saw the click.
      case Kind::Check: style |= WS_TABSTOP | BS_CHECKBOX; break;
      case Kind::Picture: style |= WS_TABSTOP | BS_OWNERDRAW; break;
      case Kind::Status:
        // One line: a long set name ends in an ellipsis instead of wrapping out of sight.
        windowClass = L"STATIC";
        style |= SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_ENDELLIPSIS;
        break;
    }
    HWND control = CreateWindowExW(exStyle, windowClass, L"", style, 0, 0, 0, 0, window_,
                                   reinterpret_cast<HMENU>(id), instance, nullptr);
    controls_[name] = control;
    if (placement.label) {
      labels_[name] = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 0, 0, 0, 0,
                                      window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(*labelId(name))),
                                      instance, nullptr);
    }
    if (kindOf(name) == Kind::Picture && tooltips) {
      TOOLINFOW tool{};
      tool.cbSize = sizeof tool;
      tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
      tool.hwnd = window_;
      tool.uId = reinterpret_cast<UINT_PTR>(control);
      tool.lpszText = const_cast<wchar_t*>(tooltipOf(name));
      SendMessageW(tooltips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
  }
  // The panels are drawn first so that the controls on them stay visible.
  for (const auto* frame : {"Frame1", "Frame2"})
    SetWindowPos(child(frame), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

SIZE MainWindowView::layoutSize() const {
  RECT client{};
  GetClientRect(window_, &client);
  return SIZE{MulDiv(client.right, 96, dpi_), MulDiv(client.bottom, 96, dpi_)};
}

void MainWindowView::applyLayout() {
  if (controls_.empty()) return;  // sized while being made, before it has controls
  const SIZE size = layoutSize();
  for (const auto& placement : mainWindowLayout(size.cx, size.cy)) {
    const Rect& r = placement.rect;
    const int height = kindOf(placement.name) == Kind::Combo ? r.height + kDropDownHeight : r.height;
    SetWindowPos(child(placement.name), nullptr, scale(r.x), scale(r.y), scale(r.width), scale(height),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    if (placement.label) {
      const Rect& l = *placement.label;
      SetWindowPos(labels_.at(placement.name), nullptr, scale(l.x), scale(l.y), scale(l.width), scale(l.height),
                   SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }
}

void MainWindowView::applyFont() {
  HFONT old = font_;
  font_ = createUiFont(dpi_);
  for (auto& [name, control] : controls_) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
  for (auto& [name, label] : labels_) SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
  if (old) DeleteObject(old);
}

HWND MainWindowView::child(std::string_view name) const {
  const auto it = controls_.find(name);
  return it == controls_.end() ? nullptr : it->second;
}

void MainWindowView::deliver(const std::function<void(MainWindow&)>& event) {
  if (!model_) return;
  event(*model_);
  render();
}

void MainWindowView::render() {
  if (!model_ || rendering_ || !window_) return;
  rendering_ = true;  // notifications our own changes cause are not user input
  model_->present();  // also in the middle of an event, before a wait shows the window
  const Controls& ui = model_->controls();
  for (const auto& placement : mainWindowLayout()) {
    const Control& c = *ui.find(placement.name);
    Control& shown = *rendered_.find(placement.name);
    HWND control = child(placement.name);
    switch (kindOf(placement.name)) {
      case Kind::List:
      case Kind::Combo: {
        const bool list = kindOf(placement.name) == Kind::List;
        const auto count = SendMessageW(control, list ? LB_GETCOUNT : CB_GETCOUNT, 0, 0);
        if (c.items != shown.items || count != static_cast<LRESULT>(c.items.size())) {
          SendMessageW(control, WM_SETREDRAW, FALSE, 0);
          SendMessageW(control, list ? LB_RESETCONTENT : CB_RESETCONTENT, 0, 0);
          for (const auto& item : c.items)
            SendMessageW(control, list ? LB_ADDSTRING : CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(item).c_str()));
          SendMessageW(control, WM_SETREDRAW, TRUE, 0);
          InvalidateRect(control, nullptr, TRUE);
        }
        if (SendMessageW(control, list ? LB_GETCURSEL : CB_GETCURSEL, 0, 0) != c.selection)
          SendMessageW(control, list ? LB_SETCURSEL : CB_SETCURSEL, static_cast<WPARAM>(c.selection), 0);
        break;
      }
      case Kind::Edit:
        if (nativeText(control) != wide(c.text)) SetWindowTextW(control, wide(c.text).c_str());
        break;
      case Kind::Check:
        if ((SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED) != c.checked)
          SendMessageW(control, BM_SETCHECK, c.checked ? BST_CHECKED : BST_UNCHECKED, 0);
        [[fallthrough]];
      default:
        if (nativeText(control) != wide(c.caption)) SetWindowTextW(control, wide(c.caption).c_str());
        break;
    }
    setEnabled(control, c.enabled);
    setVisible(control, c.visible);
    if (const auto label = labels_.find(placement.name); label != labels_.end()) {
      if (nativeText(label->second) != wide(c.label)) SetWindowTextW(label->second, wide(c.label).c_str());
      setVisible(label->second, c.visible);
    }
  }
  rendered_ = ui;
  rendering_ = false;
}

void MainWindowView::syncFields() {
  if (!model_) return;
  for (const auto* field : {"Text1", "Text2", "Text3"}) {
    const auto text = utf16(nativeText(child(field)));
    if (model_->controls().find(field)->text != text) (void)model_->type(field, text);
  }
}

void MainWindowView::onCommand(int id, int code, HWND control) {
  if (!model_ || rendering_) return;
  if (!control) {
    if (const auto item = menuItemNameOf(id)) {
      syncFields();
      (void)model_->chooseMenuItem(*item);
    }
  } else if (const auto name = controlNameOf(id)) {
    switch (kindOf(*name)) {
      case Kind::Button:
      case Kind::Check:
      case Kind::Picture:
        if (code != BN_CLICKED) return;
        syncFields();
        (void)model_->click(*name);
        break;
      case Kind::List:
      case Kind::Combo: {
        const bool list = kindOf(*name) == Kind::List;
        if (code != (list ? LBN_SELCHANGE : CBN_SELCHANGE)) return;
        syncFields();
        (void)model_->select(*name, static_cast<int>(SendMessageW(control, list ? LB_GETCURSEL : CB_GETCURSEL, 0, 0)));
        break;
      }
      case Kind::Edit:
        if (code != EN_CHANGE) return;
        (void)model_->type(*name, utf16(nativeText(control)));
        break;
      default:
        return;
    }
  }
  render();
}

void MainWindowView::drawItem(const DRAWITEMSTRUCT& item) {
  const auto name = controlNameOf(static_cast<int>(item.CtlID));
  if (!name) return;
  RECT area = item.rcItem;
  const bool pressed = (item.itemState & ODS_SELECTED) != 0;
  const bool enabled = (item.itemState & ODS_DISABLED) == 0;
  FillRect(item.hDC, &area, GetSysColorBrush(COLOR_BTNFACE));
  if (*name != "Image1") {
    DrawFrameControl(item.hDC, &area, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
    InflateRect(&area, -scale(4), -scale(4));
    if (pressed) OffsetRect(&area, 1, 1);
  }
  drawPicture(item.hDC, area, pictureOf(*name), enabled);
  if (item.itemState & ODS_FOCUS) {
    RECT focus = item.rcItem;
    InflateRect(&focus, -scale(2), -scale(2));
    DrawFocusRect(item.hDC, &focus);
  }
}

void MainWindowView::show() {
  if (!window_) return;
  if (!shownOnce_) {
    shownOnce_ = true;
    RECT outer{}, work{};
    GetWindowRect(window_, &outer);
    MONITORINFO monitor{sizeof monitor, {}, {}, 0};
    if (GetMonitorInfoW(MonitorFromWindow(window_, MONITOR_DEFAULTTOPRIMARY), &monitor)) work = monitor.rcWork;
    else SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int width = outer.right - outer.left, height = outer.bottom - outer.top;
    SetWindowPos(window_, nullptr, work.left + (work.right - work.left - width) / 2,
                 work.top + (work.bottom - work.top - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  render();
  ShowWindow(window_, SW_SHOWNORMAL);
  SetForegroundWindow(window_);
}

void MainWindowView::hide() {
  if (window_) ShowWindow(window_, SW_HIDE);
}

void MainWindowView::quit() {
  // The window goes with the process, after the character and the icon.
  pump_.requestQuit(0);
}

void MainWindowView::popupMenu(ComposerMenu menu, int x, int y) {
  HMENU popup = CreatePopupMenu();
  if (!popup) return;
  for (const auto& item : composerItems(menu))
    AppendMenuW(popup, MF_STRING, static_cast<UINT_PTR>(*menuItemId(item.name)), wide(item.caption).c_str());
  POINT point{scale(x), scale(y)};
  ClientToScreen(window_, &point);
  render();
  // Without the foreground the menu would not close when the user clicks elsewhere.
  SetForegroundWindow(window_);
  TrackPopupMenuEx(popup, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, point.x, point.y, window_, nullptr);
  PostMessageW(window_, WM_NULL, 0, 0);
  DestroyMenu(popup);
}

LRESULT CALLBACK MainWindowView::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return forwardToObject(window, message, wParam, lParam, &MainWindowView::window_, &MainWindowView::handle);
}

LRESULT MainWindowView::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  HWND self = window_;
  switch (message) {
    case WM_COMMAND:
      onCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
      return 0;
    case WM_DRAWITEM:
      drawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_TIMER:
      if (wParam == kClearTimerId && model_) {
        model_->clearTimerTick();
        render();
      }
      return 0;
    case WM_SIZE:
      if (wParam == SIZE_MINIMIZED) {
        if (model_) model_->minimize();
        render();
      } else {
        applyLayout();
        const SIZE size = layoutSize();
        if (model_) model_->resized(size.cx, size.cy);
        InvalidateRect(window_, nullptr, TRUE);  // the panels' frames are drawn anew where they now end
      }
      break;
    case WM_GETMINMAXINFO: {
      // Never smaller than the first size, so no control is ever cut off or covered.
      const SIZE least = windowSizeForClient(scale(kClientWidth), scale(kClientHeight), kWindowStyle, WS_EX_CONTROLPARENT, dpi_);
      reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = POINT{least.cx, least.cy};
      return 0;
    }
    case WM_CLOSE:
      // The close box quits; the window itself goes when the program ends.
      if (model_) model_->close();
      else pump_.requestQuit(0);
      return 0;
    case WM_DPICHANGED: {
      dpi_ = HIWORD(wParam);
      const auto* suggested = reinterpret_cast<const RECT*>(lParam);
      SetWindowPos(window_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                   suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
      applyFont();
      applyLayout();
      InvalidateRect(window_, nullptr, TRUE);
      return 0;
    }
    case WM_NCDESTROY:
      SetWindowLongPtrW(self, GWLP_USERDATA, 0);
      window_ = nullptr;
      break;
    default:
      break;
  }
  return DefWindowProcW(self, message, wParam, lParam);
}

}  // namespace sayvane::win32
