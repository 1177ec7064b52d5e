#include "app/win32/CharacterWindow.h"

#include <windowsx.h>

#include <algorithm>
#include <vector>

#include "app/win32/CharacterPicture.h"
#include "app/win32/CommandMenu.h"
#include "app/win32/PopupMenu.h"
#include "app/win32/SpeechBubble.h"
#include "app/win32/WindowClasses.h"
#include "app/win32/WindowMetrics.h"
#include "app/win32/WindowObject.h"
#include "platform/win32/SapiVoice.h"
#include "platform/win32/Wide.h"

namespace sayvane::win32 {

namespace {

constexpr DWORD kStyle = WS_POPUP;
// Never activated: the voice actions send keys to whatever window the user has in front.
constexpr DWORD kExStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;
constexpr int kMaxSize = 32767;
constexpr int kEdgeMargin = 24;  // from the work area's corner, in pixels

}  // namespace

class BuiltInCharacterControl::Window final : public Character {
 public:
  Window(HINSTANCE instance, const std::function<void(const std::u16string&)>& onCommand, DiagnosticRecord& record)
      : instance_(instance), onCommand_(onCommand), bubble_(instance), voice_(record) {}

  bool create();
  HWND handle() const { return window_; }
  HWND bubble() const { return bubble_.window(); }

  bool speak(const std::u16string& text) override;
  std::optional<int> width() override;
  std::optional<int> height() override;
  bool setWidth(int pixels) override;
  bool setHeight(int pixels) override;
  bool hide() override;
  bool show() override;
  bool moveTo(int x, int y) override;
  bool setLanguageId(int languageId) override;
  bool addCommand(const std::u16string& name) override;
  bool removeAllCommands() override;
  void showArmed(bool armed) override;

 private:
  static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
  RECT screenRect() const;
  bool resize(int width, int height);
  void reshape();
  void paint(HDC dc);
  void openMenu(POINT at);
  void command(UINT id);
  void choose(std::size_t entry);
  // The list to change: a menu that is open keeps showing the list as it was.
  std::vector<std::u16string>& changedCommands();
  POINT screenPoint(LPARAM clientPoint) const;

  HINSTANCE instance_;
  const std::function<void(const std::u16string&)>& onCommand_;
  // A copy of the window's region for painting: reading it back with GetWindowRgn takes
  // seconds under Wine once the window is large.
  UniqueRegion shape_;
  SpeechBubble bubble_;
  SapiVoice voice_;
  std::shared_ptr<std::vector<std::u16string>> commands_ = std::make_shared<std::vector<std::u16string>>();
  bool armed_ = false;
  CommandMenu* menu_ = nullptr;  // while it is open
  // A drag with the left button: where the pointer and the window were when it began.
  bool dragging_ = false;
  POINT dragPointer_{};
  POINT dragWindow_{};
  // Last, so it goes first, and its owned bubble window with it.
  UniqueWindow window_;
};

bool BuiltInCharacterControl::Window::create() {
  if (window_) return true;
  static const bool registered = [this] {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &Window::procedure;
    windowClass.hInstance = instance_;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kCharacterWindowClass;
    return RegisterClassExW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }();
  if (!registered) return false;
  RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const int x = std::max(static_cast<int>(work.left), static_cast<int>(work.right) - kCharacterStartSize - kEdgeMargin);
  const int y = std::max(static_cast<int>(work.top), static_cast<int>(work.bottom) - kCharacterStartSize - kEdgeMargin);
  CreateWindowExW(kExStyle, kCharacterWindowClass, L"Sayvane", kStyle, x, y, kCharacterStartSize, kCharacterStartSize,
                  nullptr, nullptr, instance_, this);
  if (!window_) return false;
  reshape();
  if (!bubble_.create(window_)) {
    window_.reset();
    return false;
  }
  return true;
}

bool BuiltInCharacterControl::Window::speak(const std::u16string& text) {
  if (!window_) return false;
  // A hidden character says nothing, neither in a bubble nor aloud.
  if (!IsWindowVisible(window_)) return true;
  const std::wstring wideText = wide(text);
  bubble_.show(wideText, screenRect(), dpiOf(window_));
  if (!text.empty()) voice_.speak(text);
  return true;
}

std::optional<int> BuiltInCharacterControl::Window::width() {
  if (!window_) return std::nullopt;
  const RECT r = screenRect();
  return r.right - r.left;
}

std::optional<int> BuiltInCharacterControl::Window::height() {
  if (!window_) return std::nullopt;
  const RECT r = screenRect();
  return r.bottom - r.top;
}

bool BuiltInCharacterControl::Window::setWidth(int pixels) {
  if (!window_) return false;
  const RECT r = screenRect();
  return resize(pixels, r.bottom - r.top);
}

bool BuiltInCharacterControl::Window::setHeight(int pixels) {
  if (!window_) return false;
  const RECT r = screenRect();
  return resize(r.right - r.left, pixels);
}

bool BuiltInCharacterControl::Window::resize(int width, int height) {
  // The top-left corner stays where it is.
  SetWindowPos(window_, nullptr, 0, 0, std::clamp(width, 1, kMaxSize), std::clamp(height, 1, kMaxSize),
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  return true;
}

bool BuiltInCharacterControl::Window::hide() {
  if (!window_) return false;
  bubble_.hide();
  if (dragging_) ReleaseCapture();
  if (IsWindowVisible(window_)) ShowWindow(window_, SW_HIDE);
  return true;
}

bool BuiltInCharacterControl::Window::show() {
  if (!window_) return false;
  ShowWindow(window_, SW_SHOWNOACTIVATE);
  SetWindowPos(window_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  return true;
}

bool BuiltInCharacterControl::Window::moveTo(int x, int y) {
  if (!window_) return false;
  SetWindowPos(window_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  return true;
}

bool BuiltInCharacterControl::Window::setLanguageId(int) {
  // The language the other control is given is English, yet every text is Chinese: the
  // voice picks a Chinese voice by itself.
  return true;
}

bool BuiltInCharacterControl::Window::addCommand(const std::u16string& name) {
  changedCommands().push_back(name);
  return true;
}

bool BuiltInCharacterControl::Window::removeAllCommands() {
  commands_ = std::make_shared<std::vector<std::u16string>>();
  return true;
}

std::vector<std::u16string>& BuiltInCharacterControl::Window::changedCommands() {
  if (commands_.use_count() > 1) commands_ = std::make_shared<std::vector<std::u16string>>(*commands_);
  return *commands_;
}

void BuiltInCharacterControl::Window::showArmed(bool armed) {
  if (armed == armed_) return;
  armed_ = armed;
  if (window_) InvalidateRect(window_, nullptr, FALSE);
}

RECT BuiltInCharacterControl::Window::screenRect() const {
  RECT r{};
  GetWindowRect(window_, &r);
  return r;
}

POINT BuiltInCharacterControl::Window::screenPoint(LPARAM clientPoint) const {
  POINT p{GET_X_LPARAM(clientPoint), GET_Y_LPARAM(clientPoint)};
  ClientToScreen(window_, &p);
  return p;
}

void BuiltInCharacterControl::Window::reshape() {
  RECT client{};
  GetClientRect(window_, &client);
  UniqueRegion region(createCharacterRegion(client));
  if (!region) return;
  if (!shape_) shape_.reset(CreateRectRgn(0, 0, 0, 0));
  if (shape_ && CombineRgn(shape_, region, nullptr, RGN_COPY) == ERROR) shape_.reset();
  SetWindowRgn(window_, region.release(), TRUE);  // the window's own from now on
}

void BuiltInCharacterControl::Window::paint(HDC dc) {
  RECT client{};
  GetClientRect(window_, &client);
  // The outline's colour under everything: the region's edge pixels that no shape reaches
  // still look like the figure's edge. Painting is clipped to what the screen shows, so even
  // a window of 32767 pixels costs only its visible part.
  const UniqueBrush outline(CreateSolidBrush(characterOutlineColour()));
  if (shape_)
    FillRgn(dc, shape_, outline);
  else
    FillRect(dc, &client, outline);
  drawCharacter(dc, client, armed_);
}

void BuiltInCharacterControl::Window::openMenu(POINT at) {
  if (menu_) return;
  // The names as they are now: the list may change while the menu is open.
  const CommandMenu::Names shown = commands_;
  CommandMenu menu(shown, menuRowsAt(at), 2, kFirstCommandId);
  if (!menu.handle()) return;
  if (!shown->empty()) AppendMenuW(menu.handle(), MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu.handle(), MF_STRING, kHideCommandId, L"隐藏");

  menu_ = &menu;
  const UINT chosen = trackMenuFromBackground(window_, menu.handle(), at);
  menu_ = nullptr;

  if (chosen == kHideCommandId) {
    (void)hide();
  } else if (const auto entry = menu.entry(chosen)) {
    // By its name in today's list: it may have moved, or gone, while the menu was open.
    const auto found = std::find(commands_->begin(), commands_->end(), (*shown)[*entry]);
    if (found != commands_->end()) choose(static_cast<std::size_t>(found - commands_->begin()));
  }
}

void BuiltInCharacterControl::Window::command(UINT id) {
  if (id == kHideCommandId) (void)hide();
  else if (id >= kFirstCommandId) choose(id - kFirstCommandId);
}

void BuiltInCharacterControl::Window::choose(std::size_t entry) {
  if (entry >= commands_->size()) return;
  // A copy: the handler may well replace the list.
  const std::u16string name = (*commands_)[entry];
  if (onCommand_) onCommand_(name);
}

LRESULT CALLBACK BuiltInCharacterControl::Window::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return forwardToObject(window, message, wParam, lParam, &Window::window_, &Window::handle);
}

LRESULT BuiltInCharacterControl::Window::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_SIZE:
      reshape();
      InvalidateRect(window_, nullptr, FALSE);
      bubble_.follow(screenRect(), dpiOf(window_));
      return 0;
    case WM_MOVE:
      bubble_.follow(screenRect(), dpiOf(window_));
      return 0;
    case WM_DPICHANGED:
      // The core sets the size in pixels, so it stays; the bubble's font follows the monitor.
      bubble_.follow(screenRect(), HIWORD(wParam));
      InvalidateRect(window_, nullptr, FALSE);
      return 0;
    case WM_ERASEBKGND:
      return 1;  // the paint covers the whole shape
    case WM_PAINT: {
      PAINTSTRUCT ps{};
      HDC dc = BeginPaint(window_, &ps);
      if (dc) paint(dc);
      EndPaint(window_, &ps);
      return 0;
    }
    case WM_LBUTTONDOWN:
      dragging_ = true;
      dragPointer_ = screenPoint(lParam);
      {
        const RECT r = screenRect();
        dragWindow_ = POINT{r.left, r.top};
      }
      SetCapture(window_);
      return 0;
    case WM_MOUSEMOVE:
      if (dragging_) {
        // Screen coordinates of the message's own point: the window moves under the pointer,
        // so client coordinates alone would not add up.
        const POINT p = screenPoint(lParam);
        const int x = dragWindow_.x + (p.x - dragPointer_.x);
        const int y = dragWindow_.y + (p.y - dragPointer_.y);
        const RECT r = screenRect();
        if (x != r.left || y != r.top)
          SetWindowPos(window_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      }
      return 0;
    case WM_LBUTTONUP:
      if (dragging_) {
        dragging_ = false;
        ReleaseCapture();
      }
      return 0;
    case WM_CAPTURECHANGED:
      dragging_ = false;
      return 0;
    case WM_RBUTTONUP:
      openMenu(screenPoint(lParam));
      return 0;
    case WM_CONTEXTMENU: {
      POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      if (lParam == -1) {  // from the keyboard: beside the figure's middle
        const RECT r = screenRect();
        at = POINT{r.left + (r.right - r.left) / 2, r.top + (r.bottom - r.top) / 2};
      }
      openMenu(at);
      return 0;
    }
    case WM_COMMAND:
      command(LOWORD(wParam));
      return 0;
    case WM_INITMENUPOPUP:
      if (menu_) menu_->fill(reinterpret_cast<HMENU>(wParam));
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window_, message, wParam, lParam);
}

BuiltInCharacterControl::BuiltInCharacterControl(HINSTANCE instance,
                                                 std::function<void(const std::u16string&)> onCommand,
                                                 DiagnosticRecord& record)
    : instance_(instance), onCommand_(std::move(onCommand)), record_(record) {}

BuiltInCharacterControl::~BuiltInCharacterControl() = default;

Character* BuiltInCharacterControl::load(const std::u16string&, const std::u16string&) {
  if (!character_) {
    auto character = std::make_unique<Window>(instance_, onCommand_, record_);
    if (!character->create()) return nullptr;
    character_ = std::move(character);
  }
  return character_.get();
}

void BuiltInCharacterControl::close() { character_.reset(); }

HWND BuiltInCharacterControl::window() const { return character_ ? character_->handle() : nullptr; }
HWND BuiltInCharacterControl::bubbleWindow() const { return character_ ? character_->bubble() : nullptr; }

}  // namespace sayvane::win32
