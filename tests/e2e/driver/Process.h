// Starting and watching the programs an outside test drives: Sayvane.exe, the target window.
#pragma once

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace e2e {

using namespace std::chrono_literals;

// Polls `condition` every few milliseconds until it holds or `timeout` passes; true if it held.
bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout = 10s);
// The bytes of `file` as they are now (a log another process still writes, say); empty when unread.
std::string fileText(const std::filesystem::path& file);

class Process {
 public:
  Process() = default;
  // Starts `exe` with `arguments` (appended to the quoted path) in `workingFolder`; its standard
  // output and error go to the file `output` (made anew) when one is named.
  Process(const std::filesystem::path& exe, const std::wstring& arguments = L"",
          const std::filesystem::path& workingFolder = {}, const std::filesystem::path& output = {});
  Process(Process&& other) noexcept { *this = std::move(other); }
  Process& operator=(Process&& other) noexcept;
  // Kills a process still running, so a failed test leaves nothing behind.
  ~Process() { kill(); }

  bool started() const { return process_ != nullptr; }
  DWORD id() const { return id_; }
  bool running() const { return started() && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }
  // The exit code once the process has ended within `timeout`; -1 when it is still running.
  long waitExit(std::chrono::milliseconds timeout = 10s) const;
  void kill();

  // Visible or hidden top-level windows of this process, optionally of one window class.
  std::vector<HWND> windows(const wchar_t* windowClass = nullptr) const;
  // The first top-level window of `windowClass` within `timeout`.
  HWND waitWindow(const wchar_t* windowClass, std::chrono::milliseconds timeout = 10s) const;

 private:
  HANDLE process_ = nullptr;
  DWORD id_ = 0;
};

// One start of a program, and whether it showed any sign of life: a window, a line of output, a
// file it wrote, a change it made.
struct StartAttempt {
  Process process;
  bool showedLife = false;
};

// Wine 8 now and then fails to start a program (about once in 2,500 starts): it ends with exit
// code 1 before any code of its own has run. `attempt` starts the program and waits until it shows
// life or ends. An attempt that ended with 1 and showed no life did nothing, so it is made again
// (twice at most, and said on standard output); one that may have acted is never repeated.
Process startDespiteWine(const std::function<StartAttempt()>& attempt);

}  // namespace e2e
