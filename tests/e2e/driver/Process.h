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

class Process {
 public:
  Process() = default;
  // Starts `exe` with `arguments` (appended to the quoted path) in `workingFolder`.
  Process(const std::filesystem::path& exe, const std::wstring& arguments = L"",
          const std::filesystem::path& workingFolder = {});
  Process(Process&& other) noexcept;
  Process& operator=(Process&& other) noexcept;
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;
  // Kills a process still running, so a failed test leaves nothing behind.
  ~Process();

  bool started() const { return process_ != nullptr; }
  DWORD id() const { return id_; }
  bool running() const;
  // The exit code once the process has ended within `timeout`; -1 when it is still running.
  long waitExit(std::chrono::milliseconds timeout = 10s) const;
  void kill();

  // Visible or hidden top-level windows of this process, optionally of one window class.
  std::vector<HWND> windows(const wchar_t* windowClass = nullptr) const;
  // The first top-level window of `windowClass` (and `caption`, when given) within `timeout`.
  HWND waitWindow(const wchar_t* windowClass, const wchar_t* caption = nullptr,
                  std::chrono::milliseconds timeout = 10s) const;

 private:
  HANDLE process_ = nullptr;
  DWORD id_ = 0;
};

}  // namespace e2e
