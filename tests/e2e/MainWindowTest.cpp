// The real main window, started as a user starts it, on a system without a speech recognizer.
#include <windows.h>

#include <dlgs.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "app/AppTexts.h"
#include "app/HelpText.h"
#include "app/Layout.h"
#include "app/win32/TrayIcon.h"
#include "app/win32/WindowClasses.h"
#include "commandsets/Composer.h"
#include "commandsets/DefaultSets.h"
#include "commandsets/EditorTexts.h"
#include "commandsets/SetText.h"
#include "e2e/ProgramFixture.h"
#include "e2e/driver/Registry.h"
#include "e2e/driver/Screenshot.h"
#include "platform/win32/WinCodePage936.h"
#include "speech/SpeechTexts.h"
#include "text/Text.h"

namespace e2e {
namespace {

namespace fs = std::filesystem;
using sayvane::concat;
using sayvane::toUtf8;

std::string bytesOf(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::u16string> defaultSetNamesSorted() {
  std::vector<std::u16string> names;
  for (const auto& set : sayvane::defaultSets()) names.emplace_back(set.name);
  std::sort(names.begin(), names.end(), [](const auto& a, const auto& b) { return a + u".xml" < b + u".xml"; });
  return names;
}

using StartUp = ProgramTest;

TEST_F(StartUp, WithoutTheSettingShowsTheTipsThenTheFailureThenTheCentredMainWindow) {
  startToMainWindow();
  EXPECT_EQ(text16(main), u"Tobrin一号3.0版");
  const SIZE client = clientSize(main);
  EXPECT_EQ(client.cx, 554);  // Wine's display is 96 DPI
  EXPECT_EQ(client.cy, 328);
  const LONG_PTR style = GetWindowLongPtrW(main, GWL_STYLE);
  EXPECT_TRUE(style & WS_THICKFRAME);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const RECT outer = screenRect(main);
  EXPECT_NEAR((outer.left + outer.right) / 2, (work.left + work.right) / 2, 1);
  EXPECT_NEAR((outer.top + outer.bottom) / 2, (work.top + work.bottom) / 2, 1);

  // The default sets were restored into the empty folder and are listed by file name.
  EXPECT_EQ(rows16(control(main, "List2")), defaultSetNamesSorted());
  for (const auto& name : defaultSetNamesSorted()) EXPECT_TRUE(fs::exists(setFile(name)));
  EXPECT_EQ(text16(control(main, "Command5")), u"更改为选中的语音命令");
  EXPECT_EQ(text16(control(main, "Command6")), u"开始测试语音命令");
  EXPECT_EQ(text16(control(main, "Command7")), u"软件帮助");
  EXPECT_EQ(text16(control(main, "Check1")), u"关闭打开时的提示框");
  EXPECT_EQ(text16(label(main, "Text2")), u"对应的操作：(控制鼠标,键盘,光驱；打开程序,文件和网址；输入文字等操作)");
  EXPECT_FALSE(checked(control(main, "Check1")));
  EXPECT_FALSE(visible(control(main, "Text4")));
  Sleep(500);  // let the last paint land
  EXPECT_TRUE(writePng(captureWindow(main), artifactFolder() / "main-window.png"));
}

using Setting = ProgramTest;

TEST_F(Setting, TickingStoresItSoTheNextStartShowsNoTipsAndUntickingDeletesTheSection) {
  startToMainWindow();
  ASSERT_TRUE(click(main, "Check1"));
  ASSERT_TRUE(waitFor([&] { return vbSetting(L"Sayvane", L"Startup", L"Check1") == std::wstring(L"1"); }));
  EXPECT_TRUE(checked(control(main, "Check1")));
  closeAndExpectExit();

  startToMainWindow(false);
  EXPECT_TRUE(checked(control(main, "Check1")));
  ASSERT_TRUE(click(main, "Check1"));
  ASSERT_TRUE(waitFor([&] { return !checked(control(main, "Check1")); }));
  EXPECT_FALSE(vbSetting(L"Sayvane", L"Startup", L"Check1"));
  closeAndExpectExit();
}

using Editing = ProgramTest;

TEST_F(Editing, CreatesTheSetInCodePage936RefusesPhrasesWithoutARecognizerAndDeletesTheSet) {
  startToMainWindow();
  ASSERT_TRUE(typeText(main, "Text3", u"测试"));
  ASSERT_TRUE(click(main, "Command2"));
  // Selecting the new set runs the engine check, which no recognizer can pass here.
  expectMessage(u"提示", concat({sayvane::kNoChineseEngine, sayvane::kSeeHelp}));
  ASSERT_TRUE(waitFor([&] { return text16(control(main, "Text3")).empty(); }));

  const std::string bytes = bytesOf(setFile(u"测试"));
  sayvane::WinCodePage936 codePage;
  EXPECT_EQ(bytes, *codePage.encode(sayvane::newSetText() + u"\r\n").bytes);
  EXPECT_NE(bytes.find("\xCD\xCB\xB3\xF6"), std::string::npos);  // 退出 in GBK, not UTF-8
  EXPECT_EQ(bytes.find("\xE9\x80\x80"), std::string::npos);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] != '\n') continue;
    ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << "bare LF at " << i;
  }
  auto listed = rows16(control(main, "List2"));
  ASSERT_FALSE(listed.empty());
  EXPECT_EQ(listed.back(), u"测试");
  EXPECT_EQ(selection(control(main, "List2")), static_cast<int>(listed.size()) - 1);

  // The set is not loaded, so a phrase cannot be added to it and its file stays as it was.
  ASSERT_TRUE(typeText(main, "Text1", u"你好"));
  ASSERT_TRUE(typeText(main, "Text2", u"Alt+F4"));
  ASSERT_TRUE(click(main, "Command1"));
  expectMessage(u"提示", sayvane::kNoLoadedSet);
  EXPECT_EQ(bytesOf(setFile(u"测试")), bytes);

  ASSERT_TRUE(click(main, "Command3"));
  const auto question = expectMessageBox(program);
  ASSERT_TRUE(question);
  EXPECT_EQ(utf16(question->caption), u"提示");
  EXPECT_EQ(utf16(question->text), sayvane::kConfirmDeleteSet);
  EXPECT_EQ(question->buttons, (std::vector<int>{IDYES, IDNO}));
  EXPECT_FALSE(question->icon);
  ASSERT_TRUE(answer(question->window, IDYES));
  ASSERT_TRUE(waitFor([&] { return !fs::exists(setFile(u"测试")); }));
  ASSERT_TRUE(waitFor([&] { return rows16(control(main, "List2")) == defaultSetNamesSorted(); }));
  closeAndExpectExit();
}

TEST_F(Editing, TheInitialSetCannotBeDeleted) {
  startToMainWindow();
  const auto names = defaultSetNamesSorted();
  const auto initial = std::find(names.begin(), names.end(), sayvane::kInitialSetName) - names.begin();
  ASSERT_TRUE(selectRow(main, "List2", static_cast<int>(initial)));
  expectMessage(u"提示", concat({sayvane::kNoChineseEngine, sayvane::kSeeHelp}));
  ASSERT_TRUE(click(main, "Command3"));
  expectMessage(u"提示", sayvane::kProtectedSet);
  EXPECT_TRUE(fs::exists(setFile(sayvane::kInitialSetName)));
}

using Composer = ProgramTest;

TEST_F(Composer, PictureButtonsAndMenusFillTheActionField) {
  startToMainWindow();
  ASSERT_TRUE(click(main, "Image3"));
  ASSERT_TRUE(waitFor([&] { return text16(control(main, "Text2")) == u"OpenIE[http://]"; }));

  // Each menu opens below the phrase panel: the mouse menu at 0.7 of its width, the
  // keyboard menu at 0.8.
  ASSERT_TRUE(typeText(main, "Text2", u"Alt"));
  for (const auto& [button, which] : {std::pair{"Image4", sayvane::ComposerMenu::Mouse},
                                      std::pair{"Image5", sayvane::ComposerMenu::Keyboard}}) {
    ASSERT_TRUE(click(main, button));
    const HWND menu = waitPopupMenu(program);
    ASSERT_NE(menu, nullptr) << button;
    int x = 0, y = 0;
    sayvane::composerMenuPoint(which, sayvane::kFrame1Rect, x, y);
    const POINT origin = clientOrigin(main);
    const RECT menuRect = screenRect(menu);
    EXPECT_NEAR(menuRect.left, origin.x + x, 2) << button;
    EXPECT_NEAR(menuRect.top, origin.y + y, 2) << button;
    ASSERT_TRUE(closePopupMenu(program));
  }
  EXPECT_EQ(text16(control(main, "Text2")), u"Alt");  // a menu closed without a choice adds nothing

  // A chosen item reaches the window as the menu sends it.
  PostMessageW(main, WM_COMMAND, MAKEWPARAM(*sayvane::menuItemId("Key01"), 0), 0);
  PostMessageW(main, WM_COMMAND, MAKEWPARAM(*sayvane::menuItemId("MLBC"), 0), 0);
  ASSERT_TRUE(waitFor([&] { return text16(control(main, "Text2")) == u"Alt+MLBC"; }));
  PostMessageW(main, WM_COMMAND, MAKEWPARAM(*sayvane::menuItemId("Key11"), 0), 0);
  expectMessage(u"提示", sayvane::kKeyHelp);
  EXPECT_EQ(text16(control(main, "Text2")), u"Alt+MLBC");
}

HWND waitFilePicker(const Process& program) {
  HWND dialog = nullptr;
  waitFor([&] {
    for (HWND window : program.windows(L"#32770"))
      if (visible(window) && text16(window) == sayvane::kPickerTitle) dialog = window;
    return dialog != nullptr;
  });
  return dialog;
}

TEST_F(Composer, TheFilePickerStartsInTheProgramFolderWithOneFilterAndAPickedProgramBecomesTheAction) {
  startToMainWindow();
  ASSERT_TRUE(typeText(main, "Text2", u"Down!1000"));
  ASSERT_TRUE(click(main, "Image2"));
  HWND dialog = waitFilePicker(program);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(rows16(GetDlgItem(dialog, cmb1)), std::vector<std::u16string>{std::u16string(sayvane::kPickerFilter)});
  PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  ASSERT_TRUE(waitFor([&] { return !IsWindow(dialog); }));
  EXPECT_EQ(text16(control(main, "Text2")), u"Down!1000");

  // A bare file name is found in the folder the dialog starts in: the program folder.
  ASSERT_TRUE(click(main, "Image2"));
  dialog = waitFilePicker(program);
  ASSERT_NE(dialog, nullptr);
  HWND name = GetDlgItem(dialog, cmb13);
  if (!name) name = GetDlgItem(dialog, edt1);
  ASSERT_NE(name, nullptr);
  SendMessageTimeoutW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Sayvane.exe"), SMTO_ABORTIFHUNG, 3000, nullptr);
  PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(waitFor([&] { return !IsWindow(dialog); }));
  const auto expected = u"OpenProgram[" + (folder / L"Sayvane.exe").u16string() + u"]";
  ASSERT_TRUE(waitFor([&] { return text16(control(main, "Text2")) == expected; })) << toUtf8(text16(control(main, "Text2")));
}

using Help = ProgramTest;

TEST_F(Help, TheHelpWindowIsModalHoldsTheHelpTextAndTheManualShipsBesideTheProgram) {
  startToMainWindow();
  ASSERT_TRUE(click(main, "Command7"));
  const HWND help = program.waitWindow(sayvane::win32::kHelpWindowClass);
  ASSERT_NE(help, nullptr);
  ASSERT_TRUE(waitFor([&] { return visible(help); }));
  EXPECT_EQ(text16(help), u"帮助");
  const SIZE client = clientSize(help);
  EXPECT_EQ(client.cx, 779);
  EXPECT_EQ(client.cy, 518);
  const HWND field = FindWindowExW(help, nullptr, L"EDIT", nullptr);
  ASSERT_NE(field, nullptr);
  EXPECT_EQ(text16(field), sayvane::kHelpText);
  EXPECT_TRUE(GetWindowLongPtrW(field, GWL_STYLE) & ES_READONLY);
  EXPECT_TRUE(GetWindowLongPtrW(field, GWL_STYLE) & WS_VSCROLL);
  EXPECT_EQ(clientSize(field).cx + GetSystemMetrics(SM_CXVSCROLL), client.cx);
  EXPECT_FALSE(enabled(main));  // modal over the main window
  Sleep(500);
  EXPECT_TRUE(writePng(captureWindow(help), artifactFolder() / "help-window.png"));

  PostMessageW(help, WM_CLOSE, 0, 0);
  ASSERT_TRUE(waitFor([&] { return !IsWindow(help); }));
  ASSERT_TRUE(waitFor([&] { return enabled(main); }));
  EXPECT_TRUE(fs::exists(folder / sayvane::kManualFile));
  closeAndExpectExit();
}

using Window = ProgramTest;

TEST_F(Window, MinimisingHidesItAndTheNotificationIconBringsItBackOrQuits) {
  using sayvane::win32::kTrayCallbackMessage, sayvane::win32::kTrayIconId;
  startToMainWindow();
  const HWND owner = program.waitWindow(sayvane::win32::kTrayWindowClass);
  ASSERT_NE(owner, nullptr);
  NOTIFYICONDATAW icon{sizeof(NOTIFYICONDATAW), owner, kTrayIconId};
  const auto iconThere = [&] { return Shell_NotifyIconW(NIM_SETVERSION, &icon) != FALSE; };  // only then it takes it
  EXPECT_TRUE(iconThere());
  // A notification area made anew has lost every icon: the program puts its own back.
  Shell_NotifyIconW(NIM_DELETE, &icon);
  PostMessageW(owner, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  EXPECT_TRUE(waitFor(iconThere));

  const auto minimise = [&] {
    PostMessageW(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    return waitFor([&] { return !visible(main); });
  };
  const auto fromMenu = [&](int downs) {  // chosen with the keyboard, as a user may
    PostMessageW(owner, kTrayCallbackMessage, kTrayIconId, WM_RBUTTONUP);
    const HWND menu = waitPopupMenu(program);
    for (int i = 0; i < downs; ++i) PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
    return menu != nullptr;
  };
  ASSERT_TRUE(minimise());
  PostMessageW(owner, kTrayCallbackMessage, kTrayIconId, WM_LBUTTONDBLCLK);
  ASSERT_TRUE(waitFor([&] { return visible(main); }));
  ASSERT_TRUE(minimise());
  ASSERT_TRUE(fromMenu(1));  // "添加语音命令"
  ASSERT_TRUE(waitFor([&] { return visible(main); }));
  ASSERT_TRUE(fromMenu(3));  // "退出"
  EXPECT_EQ(program.waitExit(10s), 0);
}

TEST_F(Window, GrowsItsListsWithoutOverlapAndIsNeverSmallerThanAtFirst) {
  startToMainWindow();
  const RECT first = screenRect(main);
  const SIZE list1 = clientSize(control(main, "List1")), list2 = clientSize(control(main, "List2"));
  SetWindowPos(main, nullptr, 0, 0, 900, 650, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  ASSERT_TRUE(waitFor([&] { return clientSize(control(main, "List1")).cy > list1.cy; }));
  for (const auto& [name, before] : {std::pair{"List1", list1}, std::pair{"List2", list2}}) {
    EXPECT_GT(clientSize(control(main, name)).cx, before.cx + 100) << name;
    EXPECT_GT(clientSize(control(main, name)).cy, before.cy + 200) << name;
  }
  std::vector<std::pair<std::string, RECT>> boxes;
  for (const auto& placement : sayvane::mainWindowLayout()) {
    if (placement.panel.empty()) continue;
    boxes.emplace_back(placement.name, screenRect(control(main, placement.name)));
    if (placement.label)
      boxes.emplace_back(std::string(placement.name) + " heading", screenRect(label(main, placement.name)));
  }
  RECT common{};
  for (std::size_t i = 0; i < boxes.size(); ++i)
    for (std::size_t j = i + 1; j < boxes.size(); ++j)
      EXPECT_FALSE(IntersectRect(&common, &boxes[i].second, &boxes[j].second))
          << boxes[i].first << " and " << boxes[j].first;
  Sleep(500);  // let the last paint land
  EXPECT_TRUE(writePng(captureWindow(main), artifactFolder() / "main-window-grown.png"));

  SetWindowPos(main, nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  Sleep(300);
  const RECT least = screenRect(main);
  EXPECT_EQ(least.right - least.left, first.right - first.left);
  EXPECT_EQ(least.bottom - least.top, first.bottom - first.top);
  closeAndExpectExit();
}

// The display's DPI for the programs started while it lives (Wine reads it per process).
class DisplayDpi {
 public:
  explicit DisplayDpi(DWORD dpi) {
    DWORD size = sizeof old_;
    hadOld_ = RegGetValueW(HKEY_CURRENT_USER, kKey, L"LogPixels", RRF_RT_REG_DWORD, nullptr, &old_, &size) == ERROR_SUCCESS;
    set_ = RegSetKeyValueW(HKEY_CURRENT_USER, kKey, L"LogPixels", REG_DWORD, &dpi, sizeof dpi) == ERROR_SUCCESS;
  }
  ~DisplayDpi() {
    if (hadOld_) RegSetKeyValueW(HKEY_CURRENT_USER, kKey, L"LogPixels", REG_DWORD, &old_, sizeof old_);
    else RegDeleteKeyValueW(HKEY_CURRENT_USER, kKey, L"LogPixels");
  }
  bool set() const { return set_; }

 private:
  static constexpr const wchar_t* kKey = L"Control Panel\\Desktop";
  DWORD old_ = 0;
  bool hadOld_ = false;
  bool set_ = false;
};

TEST_F(Window, ScalesItsClientAreaAndControlsWithTheDisplayDpi) {
  DisplayDpi dpi(144);
  ASSERT_TRUE(dpi.set());
  startToMainWindow();
  const SIZE client = clientSize(main);
  EXPECT_EQ(client.cx, 554 * 3 / 2);
  EXPECT_EQ(client.cy, 328 * 3 / 2);
  const SIZE button = clientSize(control(main, "Command3"));
  EXPECT_EQ(button.cx, 242 * 3 / 2);
  EXPECT_EQ(button.cy, 24 * 3 / 2);
  const RECT list = screenRect(control(main, "List2"));
  const POINT origin = clientOrigin(main);
  EXPECT_EQ(list.left - origin.x, 18 * 3 / 2);
  EXPECT_EQ(list.top - origin.y, 40 * 3 / 2);
  Sleep(500);
  EXPECT_TRUE(writePng(captureWindow(main), artifactFolder() / "main-window-144dpi.png"));
  closeAndExpectExit();
}

}  // namespace
}  // namespace e2e
