// The built-in character: its window, bubble, menu and drag, in this process under a real
// window system.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "app/win32/CharacterWindow.h"
#include "app/win32/WindowMetrics.h"
#include "commandsets/DefaultSets.h"
#include "platform/win32/Owned.h"
#include "platform/win32/Wide.h"
#include "text/Text.h"
#include "e2e/driver/Screenshot.h"
#include "e2e/driver/Ui.h"
#include "win32/Win32Test.h"

namespace {

using sayvane::win32::kFirstCommandId;
using win32test::pumpUntil;

using e2e::screenRect;
RECT workArea() { RECT work{}; return SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0), work; }
std::pair<LONG, LONG> topLeft(HWND window) { return {screenRect(window).left, screenRect(window).top}; }

LONG heightOf(const RECT& r) { return r.bottom - r.top; }

bool within(const RECT& inner, const RECT& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

bool inRegion(HWND window, int x, int y) {
  const sayvane::win32::GdiObject<HRGN> region(CreateRectRgn(0, 0, 0, 0));
  return GetWindowRgn(window, region) != ERROR && PtInRegion(region, x, y);
}

void pumpFor(sayvane::MessagePump& pump, std::chrono::milliseconds time) {
  EXPECT_TRUE(sayvane::waitMoreThan(pump, time));
}

// Reads the open popup menu from inside its loop, then picks an entry with the keys, as a user would.
struct MenuProbe {
  std::vector<WPARAM> keys;              // pressed once the menu is seen
  std::function<void(HMENU)> whileOpen;  // runs then, with the menu, before the keys
  std::vector<std::wstring> items;       // "-" for a separator
  std::chrono::steady_clock::time_point asked, seen;
  RECT rect{};
  bool closed = false;
  int ticks = 0;
};

MenuProbe* probe = nullptr;

void CALLBACK probeTimer(HWND, UINT, UINT_PTR, DWORD) {
  HWND menuWindow = FindWindowW(L"#32768", nullptr);
  const bool open = menuWindow && IsWindowVisible(menuWindow);
  ++probe->ticks;
  if (probe->seen == std::chrono::steady_clock::time_point{}) {
    if (!open) return;
    probe->seen = std::chrono::steady_clock::now();
    GetWindowRect(menuWindow, &probe->rect);
    auto menu = reinterpret_cast<HMENU>(SendMessageW(menuWindow, MN_GETHMENU, 0, 0));
    for (int i = 0; menu && i < GetMenuItemCount(menu); ++i) {
      wchar_t text[256] = {};
      GetMenuStringW(menu, static_cast<UINT>(i), text, 256, MF_BYPOSITION);
      probe->items.push_back((GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_SEPARATOR) ? L"-" : text);
    }
    if (probe->whileOpen) probe->whileOpen(menu);
    for (WPARAM key : probe->keys) PostMessageW(menuWindow, WM_KEYDOWN, key, 0);
    probe->ticks = 0;
    return;
  }
  if (!open) {
    probe->closed = true;
  } else if (probe->ticks > 300) {
    EndMenu();  // the keys did not work: close it rather than hang the tests
  }
}

// One control for each test; the menu is read from inside its own loop and chosen from with the
// keys, as a user would.
class CharacterWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    character = control.load(u"ignored", u"C:\\no\\such\\file.acs");
    ASSERT_NE(character, nullptr);
    window = control.window();
    ASSERT_NE(window, nullptr);
    bubble = control.bubbleWindow();
    ASSERT_NE(bubble, nullptr);
  }

  bool showAt(int x, int y) { return character->show() && character->moveTo(x, y); }
  bool place(int x, int y, int width, int height) {
    return character->moveTo(x, y) && character->setWidth(width) && character->setHeight(height);
  }
  std::pair<int, int> size() const { return {character->width().value_or(-1), character->height().value_or(-1)}; }
  std::pair<bool, bool> shown() const { return {IsWindowVisible(window) != 0, IsWindowVisible(bubble) != 0}; }

  // Opens the menu and picks entry `downs` (1 for the first) with the keys, or presses what
  // `whileOpen` leaves in the probe's keys.
  void choose(int downs, std::function<void(HMENU)> whileOpen = {}) {
    menu = MenuProbe{};
    menu.keys.assign(static_cast<std::size_t>(downs), VK_DOWN);
    menu.keys.push_back(VK_RETURN);
    menu.whileOpen = std::move(whileOpen);
    probe = &menu;
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, probeTimer);
    ASSERT_NE(timer, 0u);
    menu.asked = std::chrono::steady_clock::now();
    PostMessageW(window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window), MAKELPARAM(650, 560));
    EXPECT_TRUE(pumpUntil(
        pump, [&] { return menu.closed; }, 120s));
    KillTimer(nullptr, timer);
    probe = nullptr;
    EXPECT_NE(menu.seen, std::chrono::steady_clock::time_point{}) << "no popup menu appeared";
    pumpFor(pump, 100ms);
  }
  // The menu's entries replaced by `names`, as a set switch does.
  void replaceEntries(std::initializer_list<const char16_t*> names) {
    EXPECT_TRUE(character->removeAllCommands());
    for (const char16_t* name : names) EXPECT_TRUE(character->addCommand(name));
  }

  sayvane::MessagePump pump;
  std::vector<std::u16string> chosen;
  sayvane::win32::BuiltInCharacterControl control{GetModuleHandleW(nullptr),
                                                  [this](const std::u16string& name) { chosen.push_back(name); }};
  sayvane::Character* character = nullptr;
  HWND window = nullptr;
  HWND bubble = nullptr;
  MenuProbe menu;
};

TEST_F(CharacterWindowTest, LoadGivesOneHiddenShapedTopmostWindowWhoseShapeFollowsItsSize) {
  EXPECT_EQ(control.load(u"other", u""), character) << "a second load makes no second window";
  EXPECT_EQ(shown(), std::make_pair(false, false));
  EXPECT_EQ(GetWindowLongPtrW(window, GWL_STYLE) & (WS_POPUP | WS_CAPTION), WS_POPUP);
  EXPECT_EQ(GetWindowLongPtrW(window, GWL_EXSTYLE) & (WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE),
            WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE);
  EXPECT_EQ(GetWindowLongPtrW(bubble, GWL_EXSTYLE) & (WS_EX_TOPMOST | WS_EX_NOACTIVATE),
            WS_EX_TOPMOST | WS_EX_NOACTIVATE);
  EXPECT_EQ(GetWindow(bubble, GW_OWNER), window);

  // 128 x 128 near the bottom-right corner of the work area, inside it, shaped to the figure.
  EXPECT_EQ(size(), std::make_pair(128, 128));
  const RECT work = workArea();
  EXPECT_TRUE(within(screenRect(window), work));
  EXPECT_GT(screenRect(window).left, work.right - 200);
  EXPECT_GT(screenRect(window).top, work.bottom - 200);
  EXPECT_TRUE(inRegion(window, 64, 64));

  // Resizing keeps the top-left corner; the figure fits the narrower side and is centred.
  EXPECT_TRUE(place(300, 200, 200, 300));
  EXPECT_EQ(topLeft(window), std::make_pair(300L, 200L));
  EXPECT_EQ(size(), std::make_pair(200, 300));
  EXPECT_TRUE(inRegion(window, 100, 150));
  EXPECT_FALSE(inRegion(window, 100, 5));
  EXPECT_TRUE(place(300, 200, 1, 1));
  EXPECT_TRUE(inRegion(window, 0, 0)) << "a tiny window stays a visible square";

  // A hidden character shows no bubble; hiding takes the bubble along.
  EXPECT_TRUE(character->speak(u"看不见"));
  pumpFor(pump, 200ms);
  EXPECT_EQ(shown(), std::make_pair(false, false));
  ASSERT_TRUE(character->show());
  EXPECT_TRUE(character->speak(u"看得见"));
  EXPECT_TRUE(IsWindowVisible(bubble));
  EXPECT_TRUE(character->hide());
  EXPECT_EQ(shown(), std::make_pair(false, false));
}

// The menu needs the foreground for a moment; nothing else takes it from the user's window.
TEST_F(CharacterWindowTest, TheUsersWindowKeepsTheForegroundAndTheMenuListsAndChoosesTheEntries) {
  // An ordinary visible window in front: the user's.
  const sayvane::win32::UniqueWindow front(CreateWindowExW(0, L"STATIC", L"front", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40,
                                                           40, 300, 200, nullptr, nullptr, nullptr, nullptr));
  SetForegroundWindow(front.get());
  SetFocus(front.get());
  ASSERT_TRUE(pumpUntil(
      pump, [&] { return GetForegroundWindow() == front.get(); }, 3s));
  ASSERT_EQ(GetFocus(), front.get());
  EXPECT_TRUE(character->show());
  EXPECT_TRUE(place(500, 400, 150, 128));
  EXPECT_TRUE(character->speak(u"你好"));
  EXPECT_TRUE(character->moveTo(600, 500));  // the bubble goes along
  pumpFor(pump, 300ms);
  EXPECT_EQ(GetForegroundWindow(), front.get());
  EXPECT_EQ(GetActiveWindow(), front.get());
  EXPECT_EQ(GetFocus(), front.get());
  for (HWND clicked : {window, bubble})
    EXPECT_EQ(SendMessageW(clicked, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(clicked),
                           MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN)),
              MA_NOACTIVATE);

  // A '&' shows as itself in the menu and comes back in the name.
  replaceEntries({u"打开记事本", u"关闭窗口", u"A&B"});
  choose(3);
  EXPECT_EQ(menu.items, (std::vector<std::wstring>{L"打开记事本", L"关闭窗口", L"A&&B", L"-", L"隐藏"}));
  EXPECT_EQ(chosen, std::vector<std::u16string>{u"A&B"});
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_TRUE(pumpUntil(
      pump, [&] { return GetForegroundWindow() == front.get(); }, 2s));

  // An entry removed while the menu was open does nothing; one still there, at another place
  // now, is chosen by its name.
  chosen.clear();
  replaceEntries({u"向上滚动", u"向下滚动"});
  choose(2, [&](HMENU) { replaceEntries({u"别的命令", u"又一个"}); });
  EXPECT_EQ(menu.items, (std::vector<std::wstring>{L"向上滚动", L"向下滚动", L"-", L"隐藏"}));
  EXPECT_TRUE(chosen.empty());
  ASSERT_TRUE(character->addCommand(u"向下滚动"));
  choose(3, [&](HMENU) { replaceEntries({u"向下滚动", u"别的命令", u"又一个"}); });
  EXPECT_EQ(chosen, std::vector<std::u16string>{u"向下滚动"});

  // Without entries only "隐藏" is left, and it hides the character.
  replaceEntries({});
  choose(1);
  EXPECT_EQ(menu.items, std::vector<std::wstring>{L"隐藏"});
  EXPECT_EQ(chosen.size(), 1u);
  EXPECT_EQ(shown(), std::make_pair(false, false));
}

// A set of thousands: the menu opens at once and fits the screen, the entries past its first ones
// stand in submenus, filled as they open, in the list's order down to the last, which the keys reach.
TEST_F(CharacterWindowTest, AMenuOfThousandsOpensAtOnceFitsTheScreenAndReachesEveryEntry) {
  const RECT work = workArea();  // of the screen where the menu opens
  for (const int count : {10'000, 50'000}) {
    std::vector<std::u16string> names;
    ASSERT_TRUE(character->removeAllCommands());
    for (int i = 0; i < count; ++i) {
      names.push_back(u"命令" + sayvane::fromUtf8(std::to_string(i)));
      ASSERT_TRUE(character->addCommand(names.back()));
    }
    std::vector<std::u16string> listed;
    chosen.clear();
    choose(0, [&](HMENU top) {
      // Every submenu opened, as when the user opens it, and its entries read.
      std::function<void(HMENU)> walk = [&](HMENU level) {
        for (int i = 0; i < GetMenuItemCount(level); ++i) {
          wchar_t text[64] = {};
          if (HMENU sub = GetSubMenu(level, i)) {
            SendMessageW(window, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(sub), i);
            walk(sub);
          } else if (GetMenuItemID(level, i) >= kFirstCommandId && GetMenuStringW(level, i, text, 64, MF_BYPOSITION)) {
            listed.push_back(sayvane::win32::utf16(text));
          }
        }
      };
      walk(top);
      // The keys to the last item of each level (at the top, the one before the separator and "隐藏",
      // with nothing selected yet; a submenu opens on its first item), into each submenu on the way.
      menu.keys.clear();
      for (HMENU level = top; level;) {
        const int item = GetMenuItemCount(level) - (level == top ? 3 : 1);
        if (item < 0) break;
        menu.keys.insert(menu.keys.end(), static_cast<std::size_t>(item + (level == top)), VK_DOWN);
        level = GetSubMenu(level, item);
        menu.keys.push_back(level ? VK_RIGHT : VK_RETURN);
      }
    });
    const double openedAfter = std::chrono::duration<double, std::milli>(menu.seen - menu.asked).count();
    std::printf("[ figures  ] the character's menu of %d entries opened after %.0f ms\n", count, openedAfter);
    EXPECT_LT(openedAfter, 200.0) << count;
    EXPECT_LE(heightOf(menu.rect), heightOf(work)) << count;
    EXPECT_TRUE(listed == names) << count << " entries, " << listed.size() << " reached";
    EXPECT_EQ(chosen, std::vector<std::u16string>{names.back()}) << count;
  }
}

// Above the character for its time, a new text starting it again; below it near the top, on the
// screen beside a huge window, and grown at a higher DPI.
TEST_F(CharacterWindowTest, TheBubbleStaysOnTheScreenAboveTheCharacterForItsTimeWhereverTheCharacterIs) {
  ASSERT_TRUE(showAt(700, 600));
  const auto start = pump.now();
  EXPECT_TRUE(character->speak(u"一"));  // 2.12 s alone
  ASSERT_TRUE(IsWindowVisible(bubble));
  const RECT c = screenRect(window);
  const RECT b = screenRect(bubble);
  EXPECT_LE(b.bottom, c.top + 2);
  EXPECT_GT(b.bottom, c.top - 40);
  EXPECT_LT(b.left, c.right);
  EXPECT_GT(b.right, c.left);
  EXPECT_TRUE(within(b, workArea()));
  EXPECT_GT(heightOf(b), 20);

  pumpFor(pump, 1500ms);
  ASSERT_TRUE(IsWindowVisible(bubble)) << "gone too early";
  EXPECT_TRUE(character->speak(u"第二句话比较长一些"));  // 2 s and 120 ms a character
  pumpFor(pump, 1200ms);
  EXPECT_TRUE(IsWindowVisible(bubble)) << "the first text's time still ran";
  EXPECT_TRUE(pumpUntil(
      pump, [&] { return !IsWindowVisible(bubble); }, 10s));
  const double lasted = win32test::milliseconds(pump.now() - start), due = 1500 + 2000 + 9 * 120;
  EXPECT_TRUE(lasted >= due - 100 && lasted < due + 1000) << lasted << " ms, not about " << due;
  EXPECT_TRUE(IsWindowVisible(window)) << "the character stays";

  const RECT work = workArea();
  ASSERT_TRUE(character->moveTo(work.right - 60, work.top));  // partly off the right edge
  EXPECT_TRUE(character->speak(u"这句话比较长，气泡放不到上面去，只能放到下面，而且不能超出屏幕的右边。"));
  ASSERT_TRUE(IsWindowVisible(bubble));
  EXPECT_GE(screenRect(bubble).top, screenRect(window).bottom - 2);
  EXPECT_TRUE(within(screenRect(bubble), work));
  EXPECT_GT(heightOf(screenRect(bubble)), 40) << "a long text wraps onto several lines";

  // A huge window paints quickly and still answers.
  const auto paintStart = pump.now();
  ASSERT_TRUE(place(-16000, -16000, 32767, 32767));
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  pumpFor(pump, 100ms);
  EXPECT_LT(win32test::milliseconds(pump.now() - paintStart), 3000.0);
  EXPECT_EQ(size(), std::make_pair(32767, 32767));
  EXPECT_TRUE(inRegion(window, 16383, 16383));
  EXPECT_TRUE(character->speak(u"好大"));
  EXPECT_TRUE(IsWindowVisible(bubble));
  EXPECT_TRUE(within(screenRect(bubble), work));

  // At 144 dpi the bubble grows, still above; the character keeps its size, which is the core's.
  ASSERT_TRUE(place(700, 600, 128, 128));
  ASSERT_TRUE(character->speak(u"换到另一台显示器"));
  const RECT before = screenRect(bubble);
  RECT suggested{700, 600, 700 + 192, 600 + 192};
  SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
  const RECT after = screenRect(bubble);
  EXPECT_TRUE(IsWindowVisible(bubble));
  EXPECT_GT(heightOf(after), heightOf(before) * 13 / 10);
  EXPECT_GT(after.right - after.left, (before.right - before.left) * 13 / 10);
  EXPECT_LE(after.bottom, screenRect(window).top + 2);
  EXPECT_EQ(size(), std::make_pair(128, 128));
  EXPECT_EQ(screenRect(window).left, 700);
}

TEST_F(CharacterWindowTest, DraggingWithTheLeftButtonMovesItByThePointersPath) {
  ASSERT_TRUE(showAt(500, 400));
  // Each point is in the client coordinates of where the window is then; message 0 is a
  // capture lost to another window.
  const struct {
    UINT message;
    WPARAM keys;
    int x, y;
    std::pair<LONG, LONG> topLeft;
    bool captured;
  } steps[] = {
      {WM_LBUTTONDOWN, MK_LBUTTON, 60, 70, {500, 400}, true},  // a click without movement
      {WM_MOUSEMOVE, MK_LBUTTON, 60, 70, {500, 400}, true},
      {WM_LBUTTONUP, 0, 60, 70, {500, 400}, false},
      {WM_LBUTTONDOWN, MK_LBUTTON, 60, 70, {500, 400}, true},
      {WM_MOUSEMOVE, MK_LBUTTON, 100, 95, {540, 425}, true},  // screen (600, 495)
      {WM_MOUSEMOVE, MK_LBUTTON, 40, 90, {520, 445}, true},   // screen (580, 515)
      {WM_LBUTTONUP, 0, 60, 70, {520, 445}, false},
      {WM_MOUSEMOVE, 0, 5, 5, {520, 445}, false},
      {WM_LBUTTONDOWN, MK_LBUTTON, 60, 70, {520, 445}, true},
      {0, 0, 0, 0, {520, 445}, false},
      {WM_MOUSEMOVE, MK_LBUTTON, 90, 90, {520, 445}, false},
  };
  for (const auto& step : steps) {
    if (step.message) PostMessageW(window, step.message, step.keys, MAKELPARAM(step.x, step.y));
    else ReleaseCapture();
    pumpFor(pump, 50ms);
    EXPECT_EQ(topLeft(window), step.topLeft) << "step " << &step - steps;
    EXPECT_EQ(GetCapture() == window, step.captured) << "step " << &step - steps;
  }
}

// The figure shows its colours, the window below round it, and the armed antenna. The bubble draws
// the whole text of every default phrase, beside the character at its first size and grown by
// half: its ink is as wide as that of the same text drawn unbounded in the font of the window's DPI.
TEST_F(CharacterWindowTest, TheFigureAndTheBubbleWithTheWholeTextOfEveryDefaultPhraseAreDrawn) {
  // Over a coloured window, which shows round the figure.
  const WNDCLASSW coloured{0, DefWindowProcW, 0, 0, GetModuleHandleW(nullptr), nullptr, nullptr,
                           reinterpret_cast<HBRUSH>(COLOR_HIGHLIGHT + 1), nullptr, L"SayvaneTestColoured"};
  RegisterClassW(&coloured);
  const sayvane::win32::UniqueWindow below(CreateWindowExW(0, coloured.lpszClassName, L"", WS_POPUP | WS_VISIBLE, 900,
                                                           600, 400, 400, nullptr, nullptr, nullptr, nullptr));
  pumpFor(pump, 100ms);
  ASSERT_TRUE(showAt(1000, 700));
  ASSERT_TRUE(character->speak(u"你好！请说出命令，例如“打开记事本”。"));
  pumpFor(pump, 300ms);
  const RECT c = screenRect(window);
  // However loaded the machine: until the figure's paint has reached the screen.
  pumpUntil(pump, [&] { return e2e::captureRect(c).pixel(64, 34) == RGB(88, 182, 236); });
  const RECT b = screenRect(bubble);
  const RECT both{std::min(c.left, b.left) - 10, std::min(c.top, b.top) - 10, std::max(c.right, b.right) + 10,
                  std::max(c.bottom, b.bottom) + 10};
  const e2e::Image image = e2e::captureRect(both);
  if (const char* file = std::getenv("SAYVANE_CHARACTER_SCREENSHOT")) e2e::writePng(image, file);
  const auto at = [&](LONG x, LONG y) { return image.pixel(x - both.left, y - both.top); };
  // The body's blue above the eyes (the grid's (32, 17) at two pixels a unit), the belly's
  // light blue low in the middle, and the bubble's paper beside its text (drawn whole, as below).
  EXPECT_EQ(at(c.left + 64, c.top + 34), RGB(88, 182, 236));
  EXPECT_EQ(at(c.left + 48, c.top + 100), RGB(196, 236, 255));
  EXPECT_EQ(at(b.left + 3, (b.top + b.bottom) / 2 - 4), RGB(255, 253, 240));
  for (const POINT outside : {POINT{1, 1}, POINT{126, 1}, POINT{1, 126}, POINT{126, 126}})
    EXPECT_EQ(at(c.left + outside.x, c.top + outside.y), GetSysColor(COLOR_HIGHLIGHT)) << outside.x << ", " << outside.y;

  // Armed, the antenna's ball (the grid's 28..36 x 1..9) lights up and nothing else changes.
  const e2e::Image plain = e2e::captureRect(c);
  const RECT ball{56, 2, 72, 18};
  const auto changes = [&](bool armed) {  // pixels changed inside the ball, and outside it
    character->showArmed(armed);
    std::pair<int, int> count;
    pumpUntil(pump, [&] {
      const e2e::Image now = e2e::captureRect(c);
      count = {0, 0};
      for (int y = 0; y < now.height; ++y)
        for (int x = 0; x < now.width; ++x)
          if (now.pixel(x, y) != plain.pixel(x, y)) ++(PtInRect(&ball, POINT{x, y}) ? count.first : count.second);
      return (count.first > 0) == armed;
    });
    return count;
  };
  const auto lit = changes(true);
  EXPECT_GT(lit.first, 50);
  EXPECT_EQ(lit.second, 0);
  EXPECT_EQ(changes(false), std::make_pair(0, 0)) << "the antenna stays lit";

  // The width of the text ink (grey, between the bubble's ink and its paper; its frame is bluish), in
  // the rows where the frame stands at both sides (a picture of the bubble) or in all rows.
  const auto inkWidth = [](const e2e::Image& image, bool framed) {
    int first = image.width, end = 0;
    for (int y = 0; y < image.height; ++y)
      for (int x = framed; x + framed < image.width; ++x)
        if (const COLORREF c = image.pixel(x, y);
            (!framed || (image.pixel(0, y) == RGB(40, 62, 96) && image.pixel(image.width - 1, y) == RGB(40, 62, 96))) &&
            GetRValue(c) < 200 && std::abs(GetRValue(c) - GetGValue(c)) < 16 && GetBValue(c) - GetRValue(c) < 24)
          first = std::min(first, x), end = std::max(end, x + 1);
    return std::max(0, end - first);
  };
  e2e::Image drawn{600, 60};
  BITMAPINFO info{{sizeof(BITMAPINFOHEADER), drawn.width, -drawn.height, 1, 32, BI_RGB}};
  void* bits = nullptr;
  const sayvane::win32::UniqueDC dc(CreateCompatibleDC(nullptr));
  const sayvane::win32::GdiObject<HBITMAP> bitmap(CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  const sayvane::win32::GdiObject<HFONT> font(sayvane::win32::createUiFont(sayvane::win32::dpiOf(window)));
  SelectObject(dc, bitmap);
  SelectObject(dc, font);
  SetTextColor(dc, RGB(20, 24, 32));
  SetBkColor(dc, RGB(255, 253, 240));
  for (const int side : {128, 192}) {
    ASSERT_TRUE(place(600, 500, side, side) && character->show());
    for (const auto& set : sayvane::defaultSets()) {
      for (const auto& entry : set.entries) {
        const RECT all{0, 0, drawn.width, drawn.height};
        const std::wstring text = sayvane::win32::wide(entry.phrase);
        ExtTextOutW(dc, 10, 10, ETO_OPAQUE, &all, text.c_str(), static_cast<UINT>(text.size()), nullptr);
        GdiFlush();
        drawn.bgrx.assign(static_cast<std::uint32_t*>(bits), static_cast<std::uint32_t*>(bits) + drawn.width * drawn.height);
        const int whole = inkWidth(drawn, false);
        ASSERT_TRUE(character->speak(entry.phrase));
        UpdateWindow(bubble);
        int seen = 0;
        pumpUntil(pump, [&] { return (seen = inkWidth(e2e::captureRect(screenRect(bubble)), true)) == whole; }, 2s);
        EXPECT_EQ(seen, whole) << sayvane::toUtf8(entry.phrase) << " beside a character of " << side;
      }
    }
  }
}

}  // namespace
