// The real main window on a system without a speech recognizer, started as a user starts it: one
// start walks the window, the set editor, the action composer, the help window, resizing and the
// notification icon; a second start, at another display DPI, finds the setting the first stored.
#include <windows.h>

#include <dlgs.h>

#include "app/HelpText.h"
#include "app/Layout.h"
#include "app/win32/TrayIcon.h"
#include "app/win32/WindowClasses.h"
#include "app/Composer.h"
#include "commandsets/EditorTexts.h"
#include "e2e/ProgramFixture.h"
#include "speech/SpeechCheck.h"
#include "speech/SpeechTexts.h"
#include "text/Text.h"

namespace e2e {
namespace {

namespace fs = std::filesystem;
using sayvane::concat;

// The display's DPI for the programs started while it lives (Wine reads it per process).
struct DisplayDpi {
  explicit DisplayDpi(DWORD dpi)
      : hadOld(!RegGetValueW(HKEY_CURRENT_USER, kKey, kValue, RRF_RT_REG_DWORD, nullptr, &old, &size)) {
    set = !RegSetKeyValueW(HKEY_CURRENT_USER, kKey, kValue, REG_DWORD, &dpi, sizeof dpi);
  }
  ~DisplayDpi() {
    hadOld ? RegSetKeyValueW(HKEY_CURRENT_USER, kKey, kValue, REG_DWORD, &old, sizeof old)
           : RegDeleteKeyValueW(HKEY_CURRENT_USER, kKey, kValue);
  }
  static constexpr const wchar_t *kKey = L"Control Panel\\Desktop", *kValue = L"LogPixels";
  DWORD old = 0, size = sizeof old;
  const bool hadOld;
  bool set = false;
};

using MainWindow = ProgramTest;

TEST_F(MainWindow, AStartWithoutSpeechWalksEveryPartThenASecondStartAt144DpiShowsNoTips) {
  // The tips, the start-up failure, then the main window, centred, at its size.
  startToMainWindow();
  EXPECT_EQ(text16(main), u"Tobrin一号3.0版");
  EXPECT_EQ(clientSize(main).cx, 554);  // Wine's display is 96 DPI
  EXPECT_EQ(clientSize(main).cy, 328);
  const LONG_PTR style = GetWindowLongPtrW(main, GWL_STYLE);
  EXPECT_EQ(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), WS_THICKFRAME | WS_MINIMIZEBOX);
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const RECT first = screenRect(main);
  EXPECT_NEAR((first.left + first.right) / 2, (work.left + work.right) / 2, 1);
  EXPECT_NEAR((first.top + first.bottom) / 2, (work.top + work.bottom) / 2, 1);
  // The default sets were restored into the empty folder and are listed by file name.
  const HWND sets = control(main, "List2");
  EXPECT_EQ(rows16(sets), defaultSetNamesSorted());
  EXPECT_EQ(text16(control(main, "Check1")), u"关闭打开时的提示框");
  EXPECT_EQ(text16(label(main, "Text2")), u"对应的操作：(控制鼠标,键盘,光驱；打开程序,文件和网址；输入文字等操作)");
  snapshot(main, "main-window");

  // Ticking the box stores the setting at once.
  ASSERT_TRUE(click(main, "Check1"));
  EXPECT_TRUE(waitFor([&] { return storedValue(kSettingKey, L"Check1") == L"1"; }));
  EXPECT_TRUE(checked(control(main, "Check1")));

  // A new set is written in code page 936 with CRLF, listed and selected; selecting it runs the
  // engine check, which no recognizer can pass here.
  ASSERT_TRUE(typeText(control(main, "Text3"), u"测试"));
  ASSERT_TRUE(click(main, "Command2"));
  expectMessage(u"提示", concat({sayvane::kNoChineseEngine, sayvane::kSeeHelp}), false, "message-box");
  ASSERT_TRUE(waitFor([&] { return text16(control(main, "Text3")).empty(); }));
  const std::string bytes = fileText(setFile(u"测试"));
  EXPECT_NE(bytes.find("\xCD\xCB\xB3\xF6"), std::string::npos);  // 退出 in GBK, not UTF-8
  for (std::size_t i = bytes.find('\n'); i != std::string::npos; i = bytes.find('\n', i + 1))
    ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << "bare LF at " << i;
  auto listed = rows16(sets);
  ASSERT_FALSE(listed.empty());
  EXPECT_EQ(listed.back(), u"测试");
  EXPECT_EQ(selection(sets), static_cast<int>(listed.size()) - 1);
  // Deleting asks first.
  ASSERT_TRUE(click(main, "Command3"));
  expectMessage(u"提示", sayvane::kConfirmDeleteSet, false, nullptr, {IDYES, IDNO});
  ASSERT_TRUE(waitFor([&] { return !fs::exists(setFile(u"测试")); }));
  ASSERT_TRUE(waitFor([&] { return rows16(sets) == defaultSetNamesSorted(); }));
  // Selecting a set runs the engine check again.
  ASSERT_TRUE(selectRow(sets, 0));
  expectMessage(u"提示", concat({sayvane::kNoChineseEngine, sayvane::kSeeHelp}));

  // The composer: picture buttons and menus fill the action field. Each menu opens below the
  // phrase panel: the mouse menu at 0.7 of its width, the keyboard menu at 0.8.
  const HWND action = control(main, "Text2");
  ASSERT_TRUE(click(main, "Image3"));
  ASSERT_TRUE(waitFor([&] { return text16(action) == u"OpenIE[http://]"; }));
  ASSERT_TRUE(typeText(action, u"Alt"));
  for (const auto& [button, which] :
       {std::pair{"Image4", sayvane::ComposerMenu::Mouse}, std::pair{"Image5", sayvane::ComposerMenu::Keyboard}}) {
    ASSERT_TRUE(click(main, button));
    const HWND menu = waitPopupMenu(program);
    ASSERT_NE(menu, nullptr) << button;
    int x = 0, y = 0;
    sayvane::composerMenuPoint(which, sayvane::kFrame1Rect, x, y);
    EXPECT_NEAR(screenRect(menu).left, clientOrigin(main).x + x, 2) << button;
    EXPECT_NEAR(screenRect(menu).top, clientOrigin(main).y + y, 2) << button;
    ASSERT_TRUE(closePopupMenu(program));
  }
  EXPECT_EQ(text16(action), u"Alt");  // a menu closed without a choice adds nothing
  // A chosen item reaches the window as the menu sends it.
  for (const char* item : {"Key01", "MLBC"}) PostMessageW(main, WM_COMMAND, *sayvane::menuItemId(item), 0);
  ASSERT_TRUE(waitFor([&] { return text16(action) == u"Alt+MLBC"; }));
  // The file picker offers one filter; cancelled, it leaves the field; a bare file name is found
  // in the folder it starts in, the program folder, and becomes the action.
  // The picker is the program's only dialog then.
  const auto openPicker = [&] {
    const HWND picker = click(main, "Image2") ? program.waitWindow(L"#32770") : nullptr;
    return waitFor([&] { return visible(picker) && text16(picker) == sayvane::kPickerTitle; }) ? picker : nullptr;
  };
  HWND dialog = openPicker();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(rows16(GetDlgItem(dialog, cmb1)), std::vector<std::u16string>{std::u16string(sayvane::kPickerFilter)});
  PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  ASSERT_TRUE(waitFor([&] { return !IsWindow(dialog); }));
  EXPECT_EQ(text16(action), u"Alt+MLBC");
  ASSERT_NE(dialog = openPicker(), nullptr);
  const HWND name = GetDlgItem(dialog, cmb13) ? GetDlgItem(dialog, cmb13) : GetDlgItem(dialog, edt1);
  SendMessageTimeoutW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Sayvane.exe"), SMTO_ABORTIFHUNG, 3000, nullptr);
  PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  const auto picked = u"OpenProgram[" + (folder / L"Sayvane.exe").u16string() + u"]";
  EXPECT_TRUE(waitFor([&] { return text16(action) == picked; })) << sayvane::toUtf8(text16(action));

  // The help window: modal, at its size, the help text in a read-only field with a scroll bar.
  ASSERT_TRUE(click(main, "Command7"));
  const HWND help = program.waitWindow(sayvane::win32::kHelpWindowClass);
  ASSERT_TRUE(waitFor([&] { return visible(help); }));
  EXPECT_EQ(text16(help), u"帮助");
  EXPECT_EQ(clientSize(help).cx, 779);
  EXPECT_EQ(clientSize(help).cy, 518);
  const HWND field = FindWindowExW(help, nullptr, L"EDIT", nullptr);
  EXPECT_EQ(text16(field), sayvane::kHelpText);
  EXPECT_EQ(GetWindowLongPtrW(field, GWL_STYLE) & (ES_READONLY | WS_VSCROLL), ES_READONLY | WS_VSCROLL);
  EXPECT_EQ(clientSize(field).cx + GetSystemMetrics(SM_CXVSCROLL), clientSize(help).cx);
  EXPECT_FALSE(enabled(main));
  snapshot(help, "help-window");
  PostMessageW(help, WM_CLOSE, 0, 0);
  ASSERT_TRUE(waitFor([&] { return !IsWindow(help) && enabled(main); }));

  // Grown, every control and heading lies where the layout for the new size puts it; it is never
  // smaller than at first.
  const LONG listHeight = clientSize(sets).cy;
  SetWindowPos(main, nullptr, 0, 0, 900, 650, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  ASSERT_TRUE(waitFor([&] { return clientSize(sets).cy > listHeight; }));
  const auto placedAt = [&](HWND window, const sayvane::Rect& r, bool combo) {
    const RECT at = screenRect(window);
    const POINT origin = clientOrigin(main);
    return at.left - origin.x == r.x && at.top - origin.y == r.y && at.right - at.left == r.width &&
           (combo || at.bottom - at.top == r.height);  // a closed drop-down list keeps its own height
  };
  for (const auto& placement : sayvane::mainWindowLayout(clientSize(main).cx, clientSize(main).cy)) {
    EXPECT_TRUE(placedAt(control(main, placement.name), placement.rect, placement.name == "SREngines"))
        << placement.name;
    if (placement.label) {
      EXPECT_TRUE(placedAt(label(main, placement.name), *placement.label, false)) << placement.name;
    }
  }
  snapshot(main, "main-window-grown");
  SetWindowPos(main, nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_TRUE(waitFor([&] {
    const RECT least = screenRect(main);
    return least.right - least.left == first.right - first.left && least.bottom - least.top == first.bottom - first.top;
  }));

  // Minimised it hides; the notification icon, put back when the notification area is made anew,
  // brings it back with a double click or from its menu, stores the game-keys mode at once from
  // there, and quits from there.
  const HWND owner = trayOwner();
  EXPECT_TRUE(trayIconShown(owner));
  NOTIFYICONDATAW icon{sizeof icon, owner, sayvane::win32::kTrayIconId};
  Shell_NotifyIconW(NIM_DELETE, &icon);
  PostMessageW(owner, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  EXPECT_TRUE(waitFor([&] { return trayIconShown(owner); }));
  const auto minimise = [&] {
    PostMessageW(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    return waitFor([&] { return !visible(main); });
  };
  ASSERT_TRUE(minimise());
  PostMessageW(owner, sayvane::win32::kTrayCallbackMessage, sayvane::win32::kTrayIconId, WM_LBUTTONDBLCLK);
  ASSERT_TRUE(waitFor([&] { return visible(main); }));
  ASSERT_TRUE(minimise());
  ASSERT_TRUE(chooseFromTrayMenu(u"添加语音命令"));
  ASSERT_TRUE(waitFor([&] { return visible(main); }));
  EXPECT_FALSE(storedValue(kOptionsKey, L"GameKeys"));
  ASSERT_TRUE(chooseFromTrayMenu(sayvane::kGameKeysCaption));
  EXPECT_TRUE(waitFor([&] { return storedValue(kOptionsKey, L"GameKeys") == L"1"; }));
  // The speech check's report, in a window of its own, tells what to install.
  ASSERT_TRUE(chooseFromTrayMenu(sayvane::kSpeechCheckCaption));
  const HWND report = program.waitWindow(sayvane::win32::kHelpWindowClass);
  ASSERT_TRUE(waitFor([&] { return visible(report) && text16(report) == sayvane::kSpeechCheckCaption; }));
  EXPECT_NE(text16(FindWindowExW(report, nullptr, L"EDIT", nullptr)).find(u"结论：没有能听的识别器。"), std::u16string::npos);
  PostMessageW(report, WM_CLOSE, 0, 0);
  ASSERT_TRUE(waitFor([&] { return !IsWindow(report); }));
  ASSERT_TRUE(chooseFromTrayMenu(u"退出"));
  ASSERT_EQ(program.waitExit(10s), 0);

  // At 144 DPI the client area and the controls scale by half; the stored setting keeps the tips
  // away, and unticking deletes it; the game-keys mode came back on, so choosing it turns it off.
  DisplayDpi dpi(144);
  ASSERT_TRUE(dpi.set);
  startToMainWindow(false);
  EXPECT_EQ(clientSize(main).cx, 554 * 3 / 2);
  EXPECT_EQ(clientSize(main).cy, 328 * 3 / 2);
  EXPECT_EQ(clientSize(control(main, "Command3")).cx, 242 * 3 / 2);
  EXPECT_EQ(clientSize(control(main, "Command3")).cy, 24 * 3 / 2);
  EXPECT_EQ(screenRect(control(main, "List2")).left - clientOrigin(main).x, 18 * 3 / 2);
  EXPECT_EQ(screenRect(control(main, "List2")).top - clientOrigin(main).y, 40 * 3 / 2);
  snapshot(main, "main-window-144dpi");
  ASSERT_TRUE(click(main, "Check1"));
  ASSERT_TRUE(waitFor([&] { return !checked(control(main, "Check1")); }));
  EXPECT_FALSE(storedValue(kSettingKey, L"Check1"));
  ASSERT_TRUE(chooseFromTrayMenu(sayvane::kGameKeysCaption));
  EXPECT_TRUE(waitFor([&] { return storedValue(kOptionsKey, L"GameKeys") == L"0"; }));
  closeAndExpectExit();
}

}  // namespace
}  // namespace e2e
