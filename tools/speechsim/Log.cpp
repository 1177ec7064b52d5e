#include "Log.h"

#include <windows.h>

#include <cstdio>
#include <mutex>

#include "Text.h"
#include "platform/win32/Owned.h"

namespace speechsim {
namespace {

// Plain globals without destructors: nothing here may run at DLL detach.
std::mutex* logMutex = new std::mutex;
auto* logFile = new sayvane::win32::UniqueFile;
std::wstring* logPath = new std::wstring;

long long micros() {
  LARGE_INTEGER counter;
  LARGE_INTEGER frequency;
  QueryPerformanceCounter(&counter);
  QueryPerformanceFrequency(&frequency);
  const long long ticks = counter.QuadPart;
  const long long perSecond = frequency.QuadPart;
  // The same arithmetic as the e2e target window's log, so times of both can be subtracted.
  return ticks / perSecond * 1'000'000LL + ticks % perSecond * 1'000'000LL / perSecond;
}

}  // namespace

void configureLog() {
  wchar_t buffer[MAX_PATH * 2];
  const DWORD length = GetEnvironmentVariableW(L"SAYVANE_SIM_LOG", buffer, MAX_PATH * 2);
  const std::wstring path = length > 0 && length < MAX_PATH * 2 ? std::wstring(buffer, length) : std::wstring();
  std::lock_guard lock(*logMutex);
  if (path == *logPath && (path.empty() || *logFile)) return;
  logFile->reset();
  *logPath = path;
  if (path.empty()) return;
  // Appending only, and shared every way: tests read the log while it grows, and several
  // processes (the program, the phrase sender) may append at once.
  logFile->reset(CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

void closeLog() {
  std::lock_guard lock(*logMutex);
  logFile->reset();
}

void logLine(std::string_view line) {
  if (!*logFile) return;
  std::string text = std::to_string(micros());
  text.reserve(text.size() + line.size() + 2);
  text += ' ';
  text += line;
  text += '\n';
  std::lock_guard lock(*logMutex);
  if (!*logFile) return;
  DWORD written = 0;
  WriteFile(*logFile, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

std::string quoted(std::wstring_view text) {
  std::string out = "\"";
  const std::string bytes = utf8(text);
  for (const char c : bytes) {
    if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else {
      out += c;
    }
  }
  out += '"';
  return out;
}

std::string hresultText(long hr) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%s0x%08lX", hr < 0 ? "error " : "", static_cast<unsigned long>(hr));
  return buffer;
}

}  // namespace speechsim
