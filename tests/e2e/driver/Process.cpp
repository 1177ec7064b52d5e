#include "e2e/driver/Process.h"

#include <cstdio>
#include <fstream>
#include <utility>

namespace e2e {

// The system's own tick count and sleep: a platform run once hung here for its whole time limit
// with the standard library's clock and sleep under Wine.
bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(timeout.count());
  for (;;) {
    if (condition()) return true;
    if (GetTickCount64() >= deadline) return false;
    Sleep(10);
  }
}

std::string fileText(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

Process::Process(const std::filesystem::path& exe, const std::wstring& arguments,
                 const std::filesystem::path& workingFolder, const std::filesystem::path& output) {
  // CreateProcessW may write into the command line, so it gets a private copy.
  std::wstring commandLine = L"\"" + exe.wstring() + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  HANDLE file = INVALID_HANDLE_VALUE;
  if (!output.empty()) {
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    file = CreateFileW(output.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       &inherited, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = startup.hStdError = file;
  }
  const BOOL created =
      CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, file != INVALID_HANDLE_VALUE, 0, nullptr,
                     workingFolder.empty() ? nullptr : workingFolder.c_str(), &startup, &info);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  if (!created) return;
  CloseHandle(info.hThread);
  process_ = info.hProcess;
  id_ = info.dwProcessId;
}

Process& Process::operator=(Process&& other) noexcept {
  if (this != &other) {
    kill();
    process_ = std::exchange(other.process_, nullptr);
    id_ = std::exchange(other.id_, 0);
  }
  return *this;
}

long Process::waitExit(std::chrono::milliseconds timeout) const {
  DWORD code = 0;
  if (!started() || WaitForSingleObject(process_, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0 ||
      !GetExitCodeProcess(process_, &code))
    return -1;
  return static_cast<long>(code);
}

void Process::kill() {
  if (!started()) return;
  if (running()) {
    TerminateProcess(process_, 1);
    WaitForSingleObject(process_, 5000);
  }
  CloseHandle(std::exchange(process_, nullptr));
  id_ = 0;
}

std::vector<HWND> Process::windows(const wchar_t* windowClass) const {
  std::vector<HWND> found;
  // The top-level windows (the desktop's children), of the class when one is named.
  for (HWND window = nullptr; id_ != 0 && (window = FindWindowExW(nullptr, window, windowClass, nullptr));) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == id_) found.push_back(window);
  }
  return found;
}

HWND Process::waitWindow(const wchar_t* windowClass, std::chrono::milliseconds timeout) const {
  HWND result = nullptr;
  waitFor(
      [&] {
        const auto found = windows(windowClass);
        result = found.empty() ? nullptr : found.front();
        return result != nullptr;
      },
      timeout);
  return result;
}

Process startDespiteWine(const std::function<StartAttempt()>& attempt) {
  for (int attempts = 1;; ++attempts) {
    StartAttempt started = attempt();
    const bool neverStarted = !started.showedLife && started.process.started() && started.process.waitExit(0ms) == 1;
    if (!neverStarted || attempts == 3) return std::move(started.process);
    std::printf("[ wine     ] a program ended with exit code 1 before it showed any life: started again\n");
    std::fflush(stdout);
  }
}

}  // namespace e2e
