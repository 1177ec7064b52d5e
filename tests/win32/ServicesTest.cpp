// The smaller real services: clipboard, settings, starting programs, the shell, saving files and
// the random generator; and the harness's restart of what Wine failed to start. (The program
// folder is where every end-to-end test finds the program.)
#include <gtest/gtest.h>

#include <set>
#include <thread>

#include "e2e/driver/Process.h"
#include "e2e/driver/TargetLog.h"
#include "platform/std/ClockRandom.h"
#include "platform/std/FolderFiles.h"
#include "platform/win32/FlushToDisk.h"
#include "platform/win32/WinClipboard.h"
#include "platform/win32/WinPrograms.h"
#include "platform/win32/Wide.h"
#include "platform/win32/WinSettings.h"
#include "platform/win32/WinShell.h"
#include "win32/Win32Test.h"

namespace {

using win32test::TempFolder;

std::optional<std::u16string> clipboardText() {
  std::optional<std::u16string> text;
  for (int attempt = 0; attempt < 50 && !OpenClipboard(nullptr); ++attempt) Sleep(10);
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* locked = static_cast<const char16_t*>(GlobalLock(data))) {
      text = std::u16string(locked);
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

// --- Clipboard ---------------------------------------------------------------------------

// Another holder is waited for briefly, never for long.
TEST(WinClipboardTest, HoldsTheUnicodeTextAfterClearAndSetAndWaitsOnlyBrieflyForAnotherHolder) {
  win32test::TestWindow owner;
  sayvane::WinClipboard clipboard(owner.handle());
  const std::u16string text = u"打开记事本 Sayvane 测试 — ✓ 𠀋";
  ASSERT_TRUE(clipboard.setText(u"old text"));
  ASSERT_TRUE(clipboard.clear());
  EXPECT_FALSE(IsClipboardFormatAvailable(CF_UNICODETEXT)) << "clear left text behind";
  ASSERT_TRUE(clipboard.setText(text));
  EXPECT_EQ(clipboardText(), text);
  EXPECT_EQ(GetClipboardOwner(), owner.handle());
  ASSERT_TRUE(clipboard.setText(u""));
  EXPECT_EQ(clipboardText(), std::u16string());

  for (const auto hold : {40ms, 600ms}) {
    std::atomic<bool> opened{false};
    std::thread holder([hold, &opened] {
      if (!OpenClipboard(nullptr)) return;
      opened = true;
      std::this_thread::sleep_for(hold);
      CloseClipboard();
    });
    ASSERT_TRUE(e2e::waitFor([&] { return opened.load(); }, 2s));
    const auto start = std::chrono::steady_clock::now();
    const bool set = clipboard.setText(u"等一下");
    EXPECT_LT(std::chrono::steady_clock::now() - start, 500ms) << "gave up only after a long freeze";
    holder.join();
    EXPECT_EQ(set, hold < 500ms);
    EXPECT_EQ(clipboardText(), u"等一下") << "set, or kept as it was when setting failed";
  }
}

// --- Settings ----------------------------------------------------------------------------

constexpr wchar_t kVbSettings[] = L"Software\\VB and VBA Program Settings";

TEST(WinSettingsTest, WritesTextWhereVisualBasicKeepsItsSettingsAndDeletesOneSectionWhole) {
  // Never a name a real program uses, so no user's settings are touched.
  const std::wstring application = win32test::uniqueName(L"Sayvane win32 test");
  const std::u16string app = sayvane::win32::utf16(application);
  HKEY parent = nullptr;
  const bool parentExisted = RegOpenKeyExW(HKEY_CURRENT_USER, kVbSettings, 0, KEY_READ, &parent) == ERROR_SUCCESS;
  if (parent) RegCloseKey(parent);
  const win32test::AtEnd removeAll{[&] {
    RegDeleteTreeW(HKEY_CURRENT_USER, (std::wstring(kVbSettings) + L"\\" + application).c_str());
    // Fails, as it should, once anything else lives there.
    if (!parentExisted) RegDeleteKeyW(HKEY_CURRENT_USER, kVbSettings);
  }};
  sayvane::WinSettings settings;
  ASSERT_TRUE(settings.write(app, u"设置", u"Folder", u"C:\\测试\\sets"));
  ASSERT_TRUE(settings.write(app, u"设置", u"Empty", u""));
  EXPECT_EQ(settings.read(app, u"设置", u"Folder"), u"C:\\测试\\sets");
  EXPECT_EQ(settings.read(app, u"设置", u"Empty"), u"");
  const std::wstring section = std::wstring(kVbSettings) + L"\\" + application + L"\\设置";
  wchar_t raw[512];
  DWORD type = 0, bytes = sizeof raw;
  ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, section.c_str(), L"Folder", RRF_RT_ANY | RRF_NOEXPAND, &type, raw, &bytes), ERROR_SUCCESS);
  EXPECT_EQ(std::wstring(raw), L"C:\\测试\\sets");
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  ASSERT_TRUE(settings.write(app, u"设置", u"Folder", u"D:\\"));
  EXPECT_EQ(settings.read(app, u"设置", u"Folder"), u"D:\\");

  // Nothing is read that is absent or not text.
  EXPECT_EQ(settings.read(app, u"设置", u"Other"), std::nullopt);
  EXPECT_EQ(settings.read(app, u"Other", u"Folder"), std::nullopt);
  const DWORD number = 5;
  ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, section.c_str(), L"Number", REG_DWORD, &number, sizeof number),
            ERROR_SUCCESS);
  EXPECT_EQ(settings.read(app, u"设置", u"Number"), std::nullopt);

  // Deleting a section takes its subkeys along and leaves the others.
  ASSERT_TRUE(settings.write(app, u"Keep", u"C", u"3"));
  ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, (section + L"\\Child").c_str(), L"N", REG_DWORD, &number, sizeof number),
            ERROR_SUCCESS);
  EXPECT_TRUE(settings.deleteSection(app, u"设置"));
  HKEY gone = nullptr;
  EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, section.c_str(), 0, KEY_READ, &gone), ERROR_SUCCESS);
  if (gone) RegCloseKey(gone);
  EXPECT_EQ(settings.read(app, u"Keep", u"C"), u"3");
  EXPECT_FALSE(settings.deleteSection(app, u"设置"));
}

// --- Programs ----------------------------------------------------------------------------

TEST(WinProgramsTest, StartsAProgramWithANormalFocusedWindowAndFailsForAMissingOne) {
  sayvane::WinPrograms programs;
  for (const char16_t* missing : {u"", u"\"C:\\no such folder\\program.exe\" argument", u"sayvane-no-such-program-anywhere"})
    EXPECT_FALSE(programs.start(missing)) << sayvane::win32::wide(missing);

  TempFolder folder;
  const auto log = folder.path() / L"程序.log";
  const auto caption = win32test::uniqueName(L"started");
  const std::wstring line = L"\"" + e2e::targetExe().wstring() + L"\" \"" + log.wstring() + L"\" \"" + caption + L"\"";
  ASSERT_TRUE(programs.start(sayvane::win32::utf16(line)));
  HWND window = nullptr;
  const win32test::AtEnd closer{[&] {
    PostMessageW(window, WM_CLOSE, 0, 0);
    e2e::waitFor([&] { return !IsWindow(window); }, 5s);
  }};
  ASSERT_TRUE(e2e::waitFor([&] { return (window = FindWindowW(e2e::kTargetClass, caption.c_str())) != nullptr; }, 10s));
  // "ready" is logged only once the new window is in front with the focus.
  ASSERT_TRUE(e2e::waitForEvent(log, "ready", 10s)) << "the started program did not get the focus";
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  ASSERT_TRUE(GetWindowPlacement(window, &placement));
  EXPECT_EQ(placement.showCmd, static_cast<UINT>(SW_SHOWNORMAL));
  EXPECT_TRUE(IsWindowVisible(window));
}

// --- Shell -------------------------------------------------------------------------------

TEST(WinShellTest, OpensADocumentByItsChinesePath) {
  TempFolder folder;
  // A batch file is a document the shell opens with the command interpreter; it leaves a mark.
  folder.writeBytes(u"打开 测试.bat", "@echo opened>\"%~dp0opened.txt\"\r\n");
  sayvane::WinShell shell;
  shell.open((folder.path() / L"打开 测试.bat").u16string());
  EXPECT_TRUE(e2e::waitFor([&] { return std::filesystem::exists(folder.path() / L"opened.txt"); }, 10s));
  // The interpreter may still sit in the folder for a moment; the folder goes once it has left.
  EXPECT_TRUE(e2e::waitFor(
      [&] {
        std::error_code ec;
        std::filesystem::remove_all(folder.path(), ec);
        return !ec && !std::filesystem::exists(folder.path());
      },
      10s))
      << "the opened script kept its folder busy";
}

// --- Files ---------------------------------------------------------------------------------

// Wine's rename would replace a read-only file; Windows keeps a set the user made read-only.
TEST(FilesTest, ASaveReplacesTheWholeFileOrFailsKeepingTheOldOneAndLeavesNoTemporary) {
  TempFolder folder;
  sayvane::FolderFiles files{folder.path(), sayvane::win32::flushToDisk};  // as the program has it
  const auto path = folder.path() / L"集.xml";
  const std::string old = "old contents that are longer than the new ones";
  const struct {
    const char* name;
    bool heldOpen, readOnly;
  } cases[] = {{"a plain file", false, false}, {"held open without sharing", true, false}, {"read-only", false, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    folder.writeBytes(u"集.xml", old);
    HANDLE held = c.heldOpen ? CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)
                             : INVALID_HANDLE_VALUE;
    ASSERT_TRUE(!c.readOnly || SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
    const bool saved = files.writeAtomic(u"集.xml", "new");
    if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(saved, !c.heldOpen && !c.readOnly);
    EXPECT_EQ(folder.readBytes(u"集.xml"), saved ? "new" : old);
    const auto entries =
        std::distance(std::filesystem::directory_iterator(folder.path()), std::filesystem::directory_iterator{});
    EXPECT_EQ(entries, 1) << "a temporary was left";
  }
  EXPECT_TRUE(files.remove(u"集.xml"));
  EXPECT_FALSE(files.remove(u"集.xml"));
  EXPECT_EQ(files.read(u"集.xml"), std::nullopt);
}

// --- Starting despite Wine ------------------------------------------------------------------

TEST(StartDespiteWineTest, StartsAgainOnlyWhatEndedWithOneAndShowedNoLife) {
  wchar_t system[MAX_PATH] = {};
  GetSystemDirectoryW(system, MAX_PATH);
  const auto cmd = std::filesystem::path(system) / L"cmd.exe";
  const struct {
    std::vector<std::wstring> exits;  // each attempt's exit code, by cmd /c exit N
    bool showsLife;
    long exitCode;
    int attempts;
  } cases[] = {
      {{L"1", L"0"}, false, 0, 2},              // a failed start, then a good one
      {{L"1", L"1", L"1", L"1"}, false, 1, 3},  // a program that always fails so: twice again at most
      {{L"1", L"0"}, true, 1, 1},               // it showed life: it may have acted, never repeated
      {{L"2", L"0"}, false, 2, 1},              // any other failure is the program's own
  };
  for (const auto& c : cases) {
    int attempts = 0;
    const auto process = e2e::startDespiteWine([&] {
      e2e::StartAttempt attempt{e2e::Process(cmd, L"/c exit " + c.exits[attempts++])};
      (void)attempt.process.waitExit(10s);
      attempt.showedLife = c.showsLife;
      return attempt;
    });
    EXPECT_EQ(process.waitExit(0ms), c.exitCode);
    EXPECT_EQ(attempts, c.attempts);
  }
}

// --- Random ------------------------------------------------------------------------------

// Fly draws positions on the screen from it: never 1 (off the screen), and a fresh draw after each reseed.
TEST(ClockRandomTest, DrawsStayInTheHalfOpenUnitIntervalAndReseedsDrawAfresh) {
  sayvane::ClockRandom random;
  std::set<double> firsts;
  for (int i = 0; i < 100; ++i) {
    random.reseedFromClock();
    const double x = random.next();
    ASSERT_GE(x, 0.0);
    ASSERT_LT(x, 1.0);
    firsts.insert(x);
  }
  EXPECT_EQ(firsts.size(), 100u);
}

}  // namespace
