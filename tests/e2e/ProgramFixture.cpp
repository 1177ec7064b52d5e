#include "e2e/ProgramFixture.h"

#include <algorithm>
#include <fstream>
#include <tuple>

#include "app/AppTexts.h"
#include "app/win32/TrayIcon.h"
#include "app/win32/WindowClasses.h"
#include "commandsets/DefaultSets.h"
#include "e2e/driver/Screenshot.h"
#include "e2e/driver/TargetLog.h"
#include "platform/win32/ProgramFolder.h"
#include "speech/SpeechCheck.h"
#include "speech/SpeechTexts.h"
#include "text/Text.h"

namespace e2e {

namespace fs = std::filesystem;

namespace {

// Names, sizes and times of a folder's files: a program that changed them has acted.
std::vector<std::tuple<fs::path, std::uintmax_t, fs::file_time_type>> listing(const fs::path& folder) {
  std::vector<std::tuple<fs::path, std::uintmax_t, fs::file_time_type>> files;
  std::error_code ignored;
  for (const auto& entry : fs::directory_iterator(folder, ignored))
    files.emplace_back(entry.path(), entry.file_size(ignored), entry.last_write_time(ignored));
  std::sort(files.begin(), files.end());
  return files;
}

std::string testName() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string(info->test_suite_name()) + "-" + info->name();
  std::replace(name.begin(), name.end(), '/', '-');
  return name;
}

bool deleteSettings() {
  const LSTATUS status = RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

// The notification icon's menu as the keyboard walks it: separators are skipped.
const std::u16string_view kTrayEntries[] = {u"添加语音命令",
                                            u"显示",
                                            sayvane::kGameKeysCaption,
                                            sayvane::kUseSharedRecognizer,
                                            sayvane::kUseOwnRecognizer,
                                            sayvane::kSpeechCheckCaption,
                                            sayvane::kOpenRecord,
                                            u"退出"};

}  // namespace

std::optional<std::wstring> storedValue(const wchar_t* key, const wchar_t* name) {
  wchar_t value[16] = {};
  DWORD size = sizeof value;
  if (RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_SZ, nullptr, value, &size)) return {};
  return value;
}

bool trayIconShown(HWND owner) {
  NOTIFYICONDATAW icon{sizeof icon, owner, sayvane::win32::kTrayIconId};
  return Shell_NotifyIconW(NIM_SETVERSION, &icon) != FALSE;
}

std::vector<std::u16string> defaultSetNamesSorted() {
  std::vector<std::u16string> names;
  for (const auto& set : sayvane::defaultSets()) names.emplace_back(set.name);
  std::sort(names.begin(), names.end(), [](const auto& a, const auto& b) { return a + u".xml" < b + u".xml"; });
  return names;
}

void ProgramTest::SetUp() {
  const fs::path scratch = fs::temp_directory_path() / ("sayvane-e2e-" + testName());
  std::error_code ignored;
  fs::remove_all(scratch, ignored);
  fs::create_directories(scratch);
  folder = shippedFolder().value_or(scratch);
  if (folder == scratch) {
    fs::copy_file(programBuild() / L"Sayvane.exe", folder / L"Sayvane.exe");
    fs::copy_file(programBuild() / sayvane::kManualFile, folder / sayvane::kManualFile);
  }
  ASSERT_TRUE(deleteSettings());

  const System offered = system();
  ASSERT_TRUE(setRegistered(StandIn::recognizer, offered.recognizer));
  ASSERT_TRUE(setRegistered(StandIn::character, offered.character));
  ASSERT_TRUE(setRegistered(StandIn::inprocRecognizer, offered.inprocRecognizer));
  if (offered.characterFile) std::ofstream(folder / L"merlin.acs", std::ios::binary) << "stand-in character";
  // The program inherits these; the stand-ins read them when the program creates them.
  simLog = scratch / L"speechsim.log";
  SetEnvironmentVariableW(L"SAYVANE_SIM_LOG", simLog.c_str());
  SetEnvironmentVariableW(L"SAYVANE_SIM_WINDOW", offered.simulatorWindow ? L"1" : L"0");
  SetEnvironmentVariableW(L"SAYVANE_SIM_RECOGNIZERS", nullptr);
  SetEnvironmentVariableW(L"SAYVANE_SIM_AUDIO_INPUTS", nullptr);
}

void ProgramTest::TearDown() {
  if (HasFailure()) snapshot(GetDesktopWindow(), "failed-" + testName());
  program.kill();
  std::error_code ignored;
  fs::remove_all(simLog.parent_path(), ignored);  // the copied program folder, never a shipped one
  deleteSettings();
}

void ProgramTest::launch() {
  const auto before = listing(folder);
  program = startDespiteWine([&] {
    StartAttempt attempt{Process(folder / L"Sayvane.exe", L"", folder)};
    // Its main window comes before it does anything else.
    waitFor([&] {
      attempt.showedLife = attempt.showedLife || !attempt.process.windows().empty();
      return attempt.showedLife || !attempt.process.running();
    });
    attempt.showedLife = attempt.showedLife || listing(folder) != before;
    return attempt;
  });
  ASSERT_TRUE(program.started());
}

void ProgramTest::expectMessage(std::u16string_view caption, std::u16string_view text, bool icon,
                                const char* picture, const std::vector<int>& buttons) {
  const auto box = expectMessageBox(program);
  ASSERT_TRUE(box) << "no message box came: " << sayvane::toUtf8(text);
  EXPECT_EQ(box->caption, caption);
  EXPECT_EQ(box->text, text);
  EXPECT_EQ(box->icon, icon);
  EXPECT_EQ(box->buttons, buttons);
  EXPECT_EQ(GetWindow(box->window, GW_OWNER), visible(main) ? main : nullptr);  // it blocks the window it belongs to
  if (picture) {
    // A box never painted shows as one colour: a black rectangle where its text and button should be.
    const auto drawn = [&](int id) {
      const Image image = captureRect(screenRect(GetDlgItem(box->window, id)));
      return !image.empty() && std::count(image.bgrx.begin(), image.bgrx.end(), image.bgrx.front()) < std::ssize(image.bgrx);
    };
    EXPECT_TRUE(waitFor([&] { return drawn(0xFFFF) && drawn(IDOK); }, 5s)) << picture;
    snapshot(box->window, picture);
  }
  EXPECT_TRUE(answer(box->window, buttons.front()));
}

void ProgramTest::startToMainWindow(bool tips, std::u16string_view failure, bool icon) {
  launch();
  if (tips) expectMessage(u"提示", sayvane::kStartupTips);
  expectMessage(u"Sayvane", failure, icon,
                failure == sayvane::kStartupFailure ? "message-box-window-hidden" : nullptr);
  main = program.waitWindow(sayvane::win32::kMainWindowClass);
  ASSERT_TRUE(waitFor([&] { return visible(main); }));
}

void ProgramTest::startListening() {
  const std::size_t skip = readSimLog(simLog).size();  // of an earlier start
  launch();
  expectMessage(u"提示", sayvane::kStartupTips);
  ASSERT_TRUE(waitForCall(simLog, kRulesOn, 10s, skip));
  main = program.waitWindow(sayvane::win32::kMainWindowClass);
  ASSERT_NE(main, nullptr);
}

fs::path ProgramTest::setFile(std::u16string_view setName) const {
  return folder / fs::path(std::u16string(setName) + u".xml");
}

std::string ProgramTest::initialSetLoaded() const {
  return "ISpeechRecoGrammar.CmdLoadFromFile(\"" + sayvane::toUtf8(setFile(sayvane::kInitialSetName).u16string()) +
         "\", 1) -> ok";
}

std::optional<SimCall> ProgramTest::switchSet(bool on) {
  const std::size_t skip = readSimLog(simLog).size();
  EXPECT_TRUE(click(main, "Command5"));
  const auto rules = waitForCall(simLog, on ? kRulesOn : kRulesOff, 5s, skip);
  EXPECT_TRUE(rules);
  EXPECT_TRUE(waitForCall(simLog, on ? "Commands.Add(\"退出\"" : "Commands.RemoveAll() -> ok", 5s, skip));
  EXPECT_TRUE(waitFor(
      [&] { return text16(control(main, "Command5")) == (on ? sayvane::kStopSetCaption : sayvane::kUseSetCaption); }));
  for (const char* name : {"Command1", "SREngines"}) EXPECT_EQ(enabled(control(main, name)), !on) << name;
  return rules;
}

void ProgramTest::closeAndExpectExit() {
  PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(program.waitExit(10s), 0);
}

int trayMenuPosition(std::u16string_view caption) {
  const auto entry = std::find(std::begin(kTrayEntries), std::end(kTrayEntries), caption);
  EXPECT_NE(entry, std::end(kTrayEntries)) << sayvane::toUtf8(caption);
  return static_cast<int>(entry - std::begin(kTrayEntries)) + 1;
}

HWND ProgramTest::trayOwner() const { return program.waitWindow(sayvane::win32::kTrayWindowClass); }

HWND ProgramTest::openTrayMenu() const {
  PostMessageW(trayOwner(), sayvane::win32::kTrayCallbackMessage, sayvane::win32::kTrayIconId, WM_RBUTTONUP);
  return waitPopupMenu(program);
}

bool ProgramTest::chooseFromTrayMenu(std::u16string_view caption) {
  const int position = trayMenuPosition(caption);
  const HWND menu = openTrayMenu();
  if (!menu) return false;
  for (int i = 0; i < position; ++i) PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
  PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
  return true;
}

void ProgramTest::closeTheWindowInFrontBySpeech(const wchar_t* logName) {
  Target target = startTarget(folder / logName);
  ASSERT_TRUE(target.ready);
  EXPECT_EQ(say(u"Tobrin"), "recognition");
  EXPECT_EQ(say(u"关闭窗口"), "recognition");
  EXPECT_EQ(target.process.waitExit(5s), 0);
  const auto keys = eventsOf(readTargetLog(target.log), {"syskeydown", "keydown"});
  ASSERT_GE(keys.size(), 2u);
  EXPECT_EQ(keys[0].value, "12");
  EXPECT_EQ(keys[1].value, "73");
}

void ProgramTest::snapshot(HWND window, const std::string& name) const {
  Sleep(500);
  const fs::path pictures = folderFromEnvironment(L"SAYVANE_ARTIFACTS").value_or(sayvane::programFolder());
  fs::create_directories(pictures);
  EXPECT_TRUE(writePng(captureRect(screenRect(window)), pictures / (name + ".png"))) << name;
}

}  // namespace e2e
