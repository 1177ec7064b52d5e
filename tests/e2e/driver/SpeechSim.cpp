#include "e2e/driver/SpeechSim.h"

#include <windows.h>

#include <algorithm>
#include <charconv>

#include "SpeechSimPipe.h"
#include "e2e/driver/Process.h"
#include "platform/win32/ProgramFolder.h"
#include "text/Text.h"

namespace e2e {

namespace fs = std::filesystem;

std::optional<fs::path> folderFromEnvironment(const wchar_t* name) {
  std::wstring folder(32768, L'\0');
  const DWORD length = GetEnvironmentVariableW(name, folder.data(), static_cast<DWORD>(folder.size()));
  if (length == 0 || length >= folder.size()) return std::nullopt;
  folder.resize(length);
  if (folder.front() == L'/') folder = L"Z:" + folder;
  std::replace(folder.begin(), folder.end(), L'/', L'\\');
  return fs::path(folder);
}

fs::path programBuild() {
  // The build puts Sayvane.exe and its manual one folder above the test programs.
  static const fs::path build =
      folderFromEnvironment(L"SAYVANE_E2E_PROGRAM_BUILD").value_or(sayvane::programFolder().parent_path());
  return build;
}

namespace {

// Whether that build's programs are 32-bit, so their COM classes live in the 32-bit registry view.
bool programBuildIs32Bit() {
  DWORD type = 0;
  return GetBinaryTypeW((programBuild() / L"Sayvane.exe").c_str(), &type) && type == SCS_32BIT_BINARY;
}

// Whether the machine's COM classes hold the stand-in's class.
bool registered(StandIn standIn) {
  static const wchar_t* const kClassKeys[] = {
      L"Software\\Classes\\CLSID\\{47206204-5ECA-11D2-960F-00C04F8EE628}\\InprocServer32",
      L"Software\\Classes\\CLSID\\{41B89B6B-9399-11D2-9623-00C04F8EE628}\\InprocServer32",
      L"Software\\Classes\\CLSID\\{D45FD31B-5C6E-11D1-9EC1-00C04FD7081F}\\InprocServer32"};
  // A 32-bit program finds its classes in the 32-bit view of the registry.
  const REGSAM view = programBuildIs32Bit() ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kClassKeys[static_cast<int>(standIn)], 0, KEY_READ | view, &key)) return false;
  RegCloseKey(key);
  return true;
}

// A program that hangs in its handler fails the test instead of hanging it.
constexpr DWORD kReplyTimeoutMs = 30'000;

}  // namespace

bool setRegistered(StandIn standIn, bool on) {
  if (registered(standIn) == on) return true;
  // The names the registration script and DllInstall give them.
  static const wchar_t* const kGroups[] = {L"recognizer", L"inproc", L"character"};
  const std::wstring arguments = std::wstring(L"/s /n ") + (on ? L"" : L"/u ") + L"/i:" +
                                 kGroups[static_cast<int>(standIn)] + L" \"" +
                                 (programBuild() / L"speechsim" / L"speechsim.dll").wstring() + L"\"";
  // The regsvr32 of the stand-in's own kind registers it in the view its programs read.
  wchar_t system[MAX_PATH] = {};
  if (!programBuildIs32Bit() || GetSystemWow64DirectoryW(system, MAX_PATH) == 0) GetSystemDirectoryW(system, MAX_PATH);
  // An attempt that left the classes as they were did nothing, whatever its exit code.
  Process regsvr32 = startDespiteWine([&] {
    StartAttempt attempt{Process(fs::path(system) / L"regsvr32.exe", arguments)};
    (void)attempt.process.waitExit(30s);
    attempt.showedLife = registered(standIn) == on;
    return attempt;
  });
  return regsvr32.waitExit(0ms) == 0 && registered(standIn) == on;
}

std::optional<std::string> say(std::u16string_view phrase) {
  return speechsim::exchangeLine(speechsim::kRecognizerPipe, sayvane::toUtf8(phrase), 10'000, kReplyTimeoutMs);
}

bool sayWithoutWaiting(std::u16string_view phrase) {
  return speechsim::send(speechsim::kRecognizerPipe, sayvane::toUtf8(phrase), 10'000) ==
         speechsim::ExchangeStatus::Replied;
}

std::optional<std::string> chooseFromMenu(std::u16string_view name) {
  return speechsim::exchangeLine(speechsim::kCharacterPipe, sayvane::toUtf8(name), 10'000, kReplyTimeoutMs);
}

std::vector<SimCall> readSimLog(const fs::path& log, std::size_t skip) {
  std::vector<SimCall> calls;
  const std::string all = fileText(log);
  // A line still being written has no line break yet: it is left for the next read.
  for (std::size_t start = 0, end; (end = all.find('\n', start)) != std::string::npos; start = end + 1) {
    const std::string line = all.substr(start, end - start - (end > start && all[end - 1] == '\r'));
    long long micros = 0;
    const auto [after, error] = std::from_chars(line.data(), line.data() + line.size(), micros);
    if (error == std::errc() && *after == ' ') calls.push_back({micros, after + 1});  // the text ends in a NUL
  }
  calls.erase(calls.begin(), calls.begin() + static_cast<std::ptrdiff_t>(std::min(skip, calls.size())));
  return calls;
}

std::vector<std::string> callsStartingWith(const std::vector<SimCall>& calls, std::string_view prefix) {
  std::vector<std::string> found;
  for (const auto& call : calls)
    if (call.text.starts_with(prefix)) found.push_back(call.text);
  return found;
}

::testing::AssertionResult inOrder(const std::vector<SimCall>& calls, const std::vector<std::string>& wanted) {
  std::size_t next = 0;
  for (const auto& call : calls)
    if (next < wanted.size() && call.text == wanted[next]) ++next;
  if (next == wanted.size()) return ::testing::AssertionSuccess();
  auto failure = ::testing::AssertionFailure() << "missing or out of order: " << wanted[next] << "\nlog:";
  for (const auto& call : calls) failure << "\n  " << call.text;
  return failure;
}

std::optional<SimCall> waitForCall(const fs::path& log, std::string_view prefix, std::chrono::milliseconds timeout,
                                   std::size_t skip) {
  std::optional<SimCall> found;
  waitFor(
      [&] {
        for (const auto& call : readSimLog(log, skip))
          if (!found && call.text.starts_with(prefix)) found = call;
        return found.has_value();
      },
      timeout);
  return found;
}

}  // namespace e2e
