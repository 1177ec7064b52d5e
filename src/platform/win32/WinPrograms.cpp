#include "platform/win32/WinPrograms.h"

#include <windows.h>

#include <vector>

#include "platform/win32/Owned.h"
#include "text/Text.h"

namespace sayvane {

bool WinPrograms::start(const std::u16string& commandLine) {
  if (commandLine.empty()) return false;
  // CreateProcessW may write into the command line, so it gets a copy of its own.
  std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
  line.push_back(L'\0');

  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION process{};

  // Only the foreground process may hand the focus on; the new program should get it.
  AllowSetForegroundWindow(ASFW_ANY);
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    record_.note(concat({u"启动程序 CreateProcess(", commandLine, u") -> ", answerText(GetLastError())}));
    return false;
  }
  // Started and let go: nothing waits for it.
  const win32::UniqueHandle thread(process.hThread), started(process.hProcess);
  return true;
}

}  // namespace sayvane
