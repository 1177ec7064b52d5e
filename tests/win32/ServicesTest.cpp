// The smaller real services: clipboard, settings, starting programs, the shell and the random
// generator. (The program folder is where every end-to-end test finds the program.)
#include <gtest/gtest.h>

#include <fstream>
#include <thread>

#include "e2e/driver/TargetLog.h"
#include "platform/std/ClockRandom.h"
#include "platform/win32/WinClipboard.h"
#include "platform/win32/WinPrograms.h"
#include "platform/win32/Wide.h"
#include "platform/win32/WinSettings.h"
#include "platform/win32/WinShell.h"
#include "win32/Win32Test.h"

namespace {

using namespace std::chrono_literals;
using win32test::TempFolder;
using win32test::TestWindow;

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
  TestWindow owner;
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
    if (set) {
      EXPECT_EQ(clipboardText(), u"等一下");
    }
  }
}

// --- Settings ----------------------------------------------------------------------------

constexpr wchar_t kVbSettings[] = L"Software\\VB and VBA Program Settings";

class WinSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    HKEY parent = nullptr;
    parentExisted_ = RegOpenKeyExW(HKEY_CURRENT_USER, kVbSettings, 0, KEY_READ, &parent) == ERROR_SUCCESS;
    if (parent) RegCloseKey(parent);
  }

  void TearDown() override {
    const std::wstring key = std::wstring(kVbSettings) + L"\\" + application_;
    RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
    // Fails, as it should, once anything else lives there.
    if (!parentExisted_) RegDeleteKeyW(HKEY_CURRENT_USER, kVbSettings);
  }

  // Never a name a real program uses, so no user's settings are touched.
  const std::wstring application_ = win32test::uniqueName(L"Sayvane win32 test");
  const std::u16string app_ = sayvane::win32::utf16(application_);
  bool parentExisted_ = true;
  sayvane::WinSettings settings_;
};

TEST_F(WinSettingsTest, WritesTextWhereVisualBasicKeepsItsSettingsAndDeletesOneSectionWhole) {
  ASSERT_TRUE(settings_.write(app_, u"设置", u"Folder", u"C:\\测试\\sets"));
  ASSERT_TRUE(settings_.write(app_, u"设置", u"Empty", u""));
  EXPECT_EQ(settings_.read(app_, u"设置", u"Folder"), u"C:\\测试\\sets");
  EXPECT_EQ(settings_.read(app_, u"设置", u"Empty"), u"");
  const std::wstring section = std::wstring(kVbSettings) + L"\\" + application_ + L"\\设置";
  wchar_t raw[512];
  DWORD type = 0, bytes = sizeof raw;
  ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, section.c_str(), L"Folder", RRF_RT_ANY, &type, raw, &bytes), ERROR_SUCCESS);
  EXPECT_EQ(std::wstring(raw), L"C:\\测试\\sets");
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  ASSERT_TRUE(settings_.write(app_, u"设置", u"Folder", u"D:\\"));
  EXPECT_EQ(settings_.read(app_, u"设置", u"Folder"), u"D:\\");

  // Nothing is read that is absent or not text.
  EXPECT_EQ(settings_.read(app_, u"设置", u"Other"), std::nullopt);
  EXPECT_EQ(settings_.read(app_, u"Other", u"Folder"), std::nullopt);
  const DWORD number = 5;
  ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, section.c_str(), L"Number", REG_DWORD, &number, sizeof number),
            ERROR_SUCCESS);
  EXPECT_EQ(settings_.read(app_, u"设置", u"Number"), std::nullopt);

  // Deleting a section takes its subkeys along and leaves the others.
  ASSERT_TRUE(settings_.write(app_, u"Keep", u"C", u"3"));
  HKEY child = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, (section + L"\\Child").c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                            &child, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(child);
  EXPECT_TRUE(settings_.deleteSection(app_, u"设置"));
  HKEY gone = nullptr;
  EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, section.c_str(), 0, KEY_READ, &gone), ERROR_SUCCESS);
  if (gone) RegCloseKey(gone);
  EXPECT_EQ(settings_.read(app_, u"Keep", u"C"), u"3");
  EXPECT_FALSE(settings_.deleteSection(app_, u"设置"));
}

// --- Programs ----------------------------------------------------------------------------

TEST(WinProgramsTest, StartsAProgramWithANormalFocusedWindowAndFailsForAMissingOne) {
  sayvane::WinPrograms programs;
  EXPECT_FALSE(programs.start(u""));
  EXPECT_FALSE(programs.start(u"\"C:\\no such folder\\program.exe\" argument"));
  EXPECT_FALSE(programs.start(u"sayvane-no-such-program-anywhere"));

  TempFolder folder;
  const auto log = folder.path() / L"程序.log";
  const auto caption = win32test::uniqueName(L"started");
  const std::wstring line = L"\"" + e2e::targetExe().wstring() + L"\" \"" + log.wstring() + L"\" \"" + caption + L"\"";
  ASSERT_TRUE(programs.start(sayvane::win32::utf16(line)));
  HWND window = nullptr;
  struct CloseAtEnd {
    HWND& window;
    ~CloseAtEnd() {
      PostMessageW(window, WM_CLOSE, 0, 0);
      e2e::waitFor([&] { return !IsWindow(window); }, 5s);
    }
  } closer{window};
  ASSERT_TRUE(e2e::waitFor([&] { return (window = FindWindowW(e2e::kTargetClass, caption.c_str())) != nullptr; }, 10s));
  // "ready" is logged only once the new window is in front with the focus.
  ASSERT_TRUE(e2e::waitForEvent(log, "ready", 10s)) << "the started program did not get the focus";
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  ASSERT_TRUE(GetWindowPlacement(window, &placement));
  EXPECT_EQ(placement.showCmd, static_cast<UINT>(SW_SHOWNORMAL));
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_FALSE(IsIconic(window));
}

// --- Shell -------------------------------------------------------------------------------

TEST(WinShellTest, OpensADocumentByItsChinesePath) {
  TempFolder folder;
  // A batch file is a document the shell opens with the command interpreter; it leaves a mark.
  const auto script = folder.path() / L"打开 测试.bat";
  const auto mark = folder.path() / L"opened.txt";
  {
    std::ofstream out(script, std::ios::binary);
    out << "@echo opened>\"%~dp0opened.txt\"\r\n";
  }
  sayvane::WinShell shell;
  shell.open(script.u16string());
  EXPECT_TRUE(e2e::waitFor([&] { return std::filesystem::exists(mark); }, 10s));
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

// --- Random ------------------------------------------------------------------------------

TEST(ClockRandomTest, DrawsAreUniformInTheHalfOpenUnitInterval) {
  sayvane::ClockRandom random;
  random.reseedFromClock();
  constexpr int kDraws = 20000;
  int buckets[10] = {};
  double sum = 0;
  for (int i = 0; i < kDraws; ++i) {
    const double x = random.next();
    ASSERT_GE(x, 0.0);
    ASSERT_LT(x, 1.0);
    sum += x;
    ++buckets[static_cast<int>(x * 10)];
  }
  EXPECT_NEAR(sum / kDraws, 0.5, 0.02);
  for (int count : buckets) EXPECT_NEAR(count, kDraws / 10, kDraws / 40);
}

}  // namespace
