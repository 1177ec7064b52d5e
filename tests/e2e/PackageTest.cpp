// Sayvane.exe as a user gets it: started in place from an unpacked release folder
// (SAYVANE_E2E_PACKAGE) and from one the user cannot write (SAYVANE_E2E_READONLY_PACKAGE).
// scripts/test.sh unpacks them; without them these tests are skipped.
#include <windows.h>

#include "app/AppTexts.h"
#include "commandsets/DefaultSets.h"
#include "e2e/ProgramFixture.h"
#include "speech/SpeechTexts.h"
#include "text/Text.h"

namespace e2e {
namespace {

namespace fs = std::filesystem;
using sayvane::concat;

// The version resource's product version and its numeric file version, as "1.2.3" and "1.2.3.0".
std::pair<std::wstring, std::wstring> versionsOf(const fs::path& exe) {
  DWORD ignored = 0;
  std::vector<BYTE> data(GetFileVersionInfoSizeW(exe.c_str(), &ignored));
  if (data.empty() || !GetFileVersionInfoW(exe.c_str(), 0, static_cast<DWORD>(data.size()), data.data())) return {};
  void* product = nullptr;
  void* fixed = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(data.data(), L"\\StringFileInfo\\080404b0\\ProductVersion", &product, &length) ||
      !VerQueryValueW(data.data(), L"\\", &fixed, &length))
    return {};
  const auto* info = static_cast<const VS_FIXEDFILEINFO*>(fixed);
  const std::wstring numbers =
      std::to_wstring(HIWORD(info->dwFileVersionMS)) + L"." + std::to_wstring(LOWORD(info->dwFileVersionMS)) + L"." +
      std::to_wstring(HIWORD(info->dwFileVersionLS)) + L"." + std::to_wstring(LOWORD(info->dwFileVersionLS));
  return {static_cast<const wchar_t*>(product), numbers};
}

// The stand-in recognizer and no character control: the program shows its own character.
class Package : public ProgramTest {
 protected:
  virtual const wchar_t* variable() const { return L"SAYVANE_E2E_PACKAGE"; }
  System system() const override { return {true, false, false}; }
  std::optional<fs::path> shippedFolder() const override { return folderFromEnvironment(variable()); }
  void SetUp() override {
    if (!shippedFolder()) GTEST_SKIP() << "no unpacked release: run scripts/test.sh";
    ProgramTest::SetUp();
  }
};

class ReadOnlyPackage : public Package {
 protected:
  const wchar_t* variable() const override { return L"SAYVANE_E2E_READONLY_PACKAGE"; }
};

TEST_F(Package, CarriesItsVersionAndManualAndAFirstStartWritesTheSetsSwitchesTheInitialOneOnAndQuitsWhenSaid) {
  const std::wstring name = folder.filename().wstring();
  ASSERT_EQ(name.rfind(L"Sayvane-", 0), 0u) << folder;
  for (const wchar_t* exe : {L"Sayvane.exe", L"sayvane-tool.exe"})
    EXPECT_EQ(versionsOf(folder / exe), std::pair(name.substr(8), name.substr(8) + L".0")) << exe;
  EXPECT_TRUE(fs::exists(folder / sayvane::kManualFile));

  startListening();
  EXPECT_TRUE(waitForCall(simLog, initialSetLoaded()));
  EXPECT_EQ(rows16(control(main, "List2")), defaultSetNamesSorted());
  EXPECT_EQ(text16(control(main, "Label5")), concat({sayvane::kActiveSetLabel, sayvane::kInitialSetName}));
  EXPECT_EQ(say(u"Tobrin"), "recognition");
  EXPECT_EQ(say(u"退出"), "recognition");
  EXPECT_EQ(program.waitExit(10s), 0);
}

TEST_F(ReadOnlyPackage, AFirstStartNamesTheFolderAndEnds) {
  launch();
  expectMessage(u"提示", sayvane::kStartupTips);
  expectMessage(u"Sayvane", concat({sayvane::kFolderNotWritable, folder.u16string(), sayvane::kFolderNotWritableEnd}));
  EXPECT_EQ(program.waitExit(10s), 0);
  EXPECT_FALSE(fs::exists(setFile(sayvane::kInitialSetName)));
}

}  // namespace
}  // namespace e2e
