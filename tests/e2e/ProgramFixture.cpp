#include "e2e/ProgramFixture.h"

#include <algorithm>
#include <fstream>
#include <tuple>
#include <vector>

#include "app/AppTexts.h"
#include "app/Layout.h"
#include "app/win32/WindowClasses.h"
#include "commandsets/DefaultSets.h"
#include "e2e/driver/Build.h"
#include "e2e/driver/Registry.h"
#include "e2e/driver/Screenshot.h"
#include "e2e/driver/SpeechSim.h"
#include "platform/win32/ProgramFolder.h"
#include "platform/win32/WinCodePage936.h"
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

}  // namespace

fs::path artifactFolder() {
  const fs::path folder = folderFromEnvironment(L"SAYVANE_ARTIFACTS").value_or(sayvane::programFolder());
  fs::create_directories(folder);
  return folder;
}

void ProgramTest::SetUp() {
  const fs::path build = programBuild();
  wchar_t temp[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH, temp);
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  const fs::path scratch = fs::path(temp) / (std::string("sayvane-e2e-") + info->test_suite_name() + "-" + info->name());
  std::error_code ignored;
  fs::remove_all(scratch, ignored);
  fs::create_directories(scratch);
  folder = shippedFolder().value_or(scratch);
  if (folder == scratch) {
    fs::copy_file(build / L"Sayvane.exe", folder / L"Sayvane.exe");
    fs::copy_file(build / sayvane::kManualFile, folder / sayvane::kManualFile);
  }
  ASSERT_TRUE(deleteVbSection(L"Sayvane", L"Startup"));

  const System offered = system();
  ASSERT_TRUE(setRegistered(StandIn::recognizer, offered.recognizer));
  ASSERT_TRUE(setRegistered(StandIn::character, offered.character));
  ASSERT_TRUE(setRegistered(StandIn::inprocRecognizer, offered.inprocRecognizer));
  if (offered.characterFile) std::ofstream(folder / L"merlin.acs", std::ios::binary) << "stand-in character";
  // The program inherits these; the stand-ins read them when the program creates them.
  simLog = scratch / L"speechsim.log";
  SetEnvironmentVariableW(L"SAYVANE_SIM_LOG", simLog.c_str());
  SetEnvironmentVariableW(L"SAYVANE_SIM_WINDOW", L"0");
  SetEnvironmentVariableW(L"SAYVANE_SIM_RECOGNIZERS", nullptr);
  SetEnvironmentVariableW(L"SAYVANE_SIM_AUDIO_BUSY", nullptr);
}

void ProgramTest::TearDown() {
  if (HasFailure()) {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    writePng(captureScreen(), artifactFolder() / (std::string("failed-") + info->test_suite_name() + "-" + info->name() + ".png"));
  }
  program.kill();
  (void)program.waitExit(5s);
  std::error_code ignored;
  fs::remove_all(simLog.parent_path(), ignored);  // the copied program folder, never a shipped one
  deleteVbSection(L"Sayvane", L"Startup");
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

void ProgramTest::expectMessage(std::u16string_view caption, std::u16string_view text, bool icon) {
  const auto box = expectMessageBox(program);
  ASSERT_TRUE(box) << "no message box came: " << sayvane::toUtf8(text);
  EXPECT_EQ(utf16(box->caption), caption);
  EXPECT_EQ(utf16(box->text), text);
  EXPECT_EQ(box->icon, icon);
  EXPECT_EQ(box->buttons, std::vector<int>{IDOK});
  EXPECT_TRUE(answer(box->window, IDOK));
}

void ProgramTest::startToMainWindow(bool tips) {
  launch();
  if (tips) expectMessage(u"提示", sayvane::kStartupTips);
  expectMessage(u"Sayvane", sayvane::kStartupFailure, true);
  main = program.waitWindow(sayvane::win32::kMainWindowClass);
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(waitFor([&] { return visible(main); }));
}

fs::path ProgramTest::setFile(std::u16string_view setName) const {
  return folder / fs::path(std::u16string(setName) + u".xml");
}

void InitialSetTest::SetUp() {
  ProgramTest::SetUp();
  if (HasFatalFailure()) return;
  sayvane::WinCodePage936 codePage;
  const auto encoded = codePage.encode(sayvane::setTextWithEntries(entries()));
  ASSERT_TRUE(encoded.bytes);
  std::ofstream(setFile(sayvane::kInitialSetName), std::ios::binary) << *encoded.bytes;
  launch();
  expectMessage(u"提示", sayvane::kStartupTips);
  ASSERT_TRUE(waitForCall(simLog, "ISpeechRecoGrammar.CmdSetRuleIdState(0, 1) -> ok", 10s));
  main = program.waitWindow(sayvane::win32::kMainWindowClass);
  ASSERT_NE(main, nullptr);
}

void ProgramTest::closeAndExpectExit() {
  PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(program.waitExit(10s), 0);
}

}  // namespace e2e
