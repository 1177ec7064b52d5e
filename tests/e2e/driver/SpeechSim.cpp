#include "e2e/driver/SpeechSim.h"

#include <windows.h>

#include <fstream>
#include <sstream>

#include "SpeechSimPipe.h"
#include "e2e/driver/Build.h"
#include "e2e/driver/Process.h"
#include "text/Text.h"

namespace e2e {

namespace fs = std::filesystem;

namespace {

const wchar_t* classKey(StandIn standIn) {
  switch (standIn) {
    case StandIn::recognizer: return L"Software\\Classes\\CLSID\\{47206204-5ECA-11D2-960F-00C04F8EE628}\\InprocServer32";
    case StandIn::inprocRecognizer: return L"Software\\Classes\\CLSID\\{41B89B6B-9399-11D2-9623-00C04F8EE628}\\InprocServer32";
    default: return L"Software\\Classes\\CLSID\\{D45FD31B-5C6E-11D1-9EC1-00C04FD7081F}\\InprocServer32";
  }
}

// The name the registration script and DllInstall give it.
const wchar_t* group(StandIn standIn) {
  switch (standIn) {
    case StandIn::recognizer: return L"recognizer";
    case StandIn::inprocRecognizer: return L"inproc";
    default: return L"character";
  }
}

std::optional<std::string> exchange(const wchar_t* pipe, std::u16string_view line, std::chrono::milliseconds timeout) {
  // A program that hangs in its handler fails the test instead of hanging it.
  constexpr DWORD kReplyTimeoutMs = 30'000;
  return speechsim::exchangeLine(pipe, sayvane::toUtf8(line), static_cast<DWORD>(timeout.count()), kReplyTimeoutMs);
}

}  // namespace

fs::path speechSimFolder() { return programBuild() / L"speechsim"; }

bool registered(StandIn standIn) {
  // A 32-bit program finds its classes in the 32-bit view of the registry.
  const REGSAM view = programBuildIs32Bit() ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, classKey(standIn), 0, KEY_READ | view, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

bool setRegistered(StandIn standIn, bool on) {
  if (registered(standIn) == on) return true;
  std::wstring arguments = L"/s /n ";
  if (!on) arguments += L"/u ";
  arguments += L"/i:" + std::wstring(group(standIn)) + L" ";
  arguments += L"\"" + (speechSimFolder() / L"speechsim.dll").wstring() + L"\"";
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
  if (!regsvr32.started() || regsvr32.waitExit(0ms) != 0) return false;
  return registered(standIn) == on;
}

std::optional<std::string> say(std::u16string_view phrase, std::chrono::milliseconds timeout) {
  return exchange(speechsim::kRecognizerPipe, phrase, timeout);
}

bool sayWithoutWaiting(std::u16string_view phrase, std::chrono::milliseconds timeout) {
  return speechsim::send(speechsim::kRecognizerPipe, sayvane::toUtf8(phrase), static_cast<DWORD>(timeout.count())) ==
         speechsim::ExchangeStatus::Replied;
}

std::optional<std::string> chooseFromMenu(std::u16string_view name, std::chrono::milliseconds timeout) {
  return exchange(speechsim::kCharacterPipe, name, timeout);
}

std::vector<SimCall> readSimLog(const fs::path& log) {
  std::vector<SimCall> calls;
  std::ifstream in(log, std::ios::binary);
  std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::size_t start = 0;
  // A line still being written has no line break yet: it is left for the next read.
  for (std::size_t end = content.find('\n'); end != std::string::npos; start = end + 1, end = content.find('\n', start)) {
    std::string line = content.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const auto space = line.find(' ');
    if (space == std::string::npos) continue;
    SimCall call;
    try {
      call.micros = std::stoll(line.substr(0, space));
    } catch (...) {
      continue;
    }
    call.text = line.substr(space + 1);
    calls.push_back(std::move(call));
  }
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
        const auto calls = readSimLog(log);
        for (std::size_t i = skip; i < calls.size(); ++i)
          if (calls[i].text.starts_with(prefix)) {
            found = calls[i];
            return true;
          }
        return false;
      },
      timeout);
  return found;
}

}  // namespace e2e
