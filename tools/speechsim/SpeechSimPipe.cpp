#include "SpeechSimPipe.h"

#include "platform/win32/Owned.h"

namespace speechsim {
namespace {

using sayvane::win32::UniqueFile;
using sayvane::win32::UniqueHandle;

// Waits for an overlapped operation on `handle` until `deadline` (GetTickCount64, or ~0 for none);
// cancels it on timeout. Returns the bytes moved, or nothing on failure or timeout.
std::optional<DWORD> finish(HANDLE handle, OVERLAPPED& overlapped, BOOL started, ULONGLONG deadline) {
  if (!started && GetLastError() != ERROR_IO_PENDING) return std::nullopt;
  DWORD wait = INFINITE;
  if (deadline != ~0ULL) {
    const auto now = GetTickCount64();
    wait = now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
  }
  if (WaitForSingleObject(overlapped.hEvent, wait) != WAIT_OBJECT_0) {
    CancelIo(handle);
    DWORD ignored = 0;
    GetOverlappedResult(handle, &overlapped, &ignored, TRUE);
    return std::nullopt;
  }
  DWORD moved = 0;
  if (!GetOverlappedResult(handle, &overlapped, &moved, FALSE)) return std::nullopt;
  return moved;
}

// The client end of `pipeName`, waiting up to `connectTimeoutMs` for it to exist and be free.
UniqueFile connect(const wchar_t* pipeName, DWORD connectTimeoutMs) {
  const auto connectDeadline = GetTickCount64() + connectTimeoutMs;
  for (;;) {
    UniqueFile pipe(CreateFileW(pipeName, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_FLAG_OVERLAPPED, nullptr));
    if (pipe) return pipe;
    const auto error = GetLastError();
    const auto now = GetTickCount64();
    if (now >= connectDeadline) return pipe;
    const auto left = static_cast<DWORD>(connectDeadline - now);
    // WaitNamedPipe only waits for a busy instance; a name nobody serves yet fails at once, so
    // that case polls until the deadline.
    if (error == ERROR_PIPE_BUSY) {
      WaitNamedPipeW(pipeName, left);
    } else {
      Sleep(left < 20 ? left : 20);
    }
  }
}

// Writes `utf8Line` and its line break; false when not all of it went out by `deadline`.
bool writeLine(HANDLE pipe, HANDLE event, std::string_view utf8Line, ULONGLONG deadline) {
  std::string out(utf8Line);
  out += '\n';
  OVERLAPPED overlapped{};
  overlapped.hEvent = event;
  const auto written =
      finish(pipe, overlapped, WriteFile(pipe, out.data(), static_cast<DWORD>(out.size()), nullptr, &overlapped), deadline);
  return written && *written == out.size();
}

}  // namespace

Exchange exchange(const wchar_t* pipeName, std::string_view utf8Line, DWORD connectTimeoutMs,
                  DWORD replyTimeoutMs) {
  Exchange result;
  const UniqueFile pipe = connect(pipeName, connectTimeoutMs);
  if (!pipe) return result;

  const UniqueHandle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  result.status = ExchangeStatus::NoReply;
  if (writeLine(pipe, event, utf8Line, replyTimeoutMs == INFINITE ? ~0ULL : GetTickCount64() + replyTimeoutMs)) {
    const auto deadline = replyTimeoutMs == INFINITE ? ~0ULL : GetTickCount64() + replyTimeoutMs;
    std::string in;
    for (;;) {
      char buffer[256];
      OVERLAPPED overlapped{};
      overlapped.hEvent = event;
      ResetEvent(event);
      const auto read = finish(pipe, overlapped, ReadFile(pipe, buffer, sizeof buffer, nullptr, &overlapped),
                               deadline);
      if (!read || *read == 0) break;
      in.append(buffer, *read);
      if (const auto end = in.find('\n'); end != std::string::npos) {
        in.resize(end);
        if (!in.empty() && in.back() == '\r') in.pop_back();
        result.status = ExchangeStatus::Replied;
        result.reply = std::move(in);
        break;
      }
    }
  }
  return result;
}

ExchangeStatus send(const wchar_t* pipeName, std::string_view utf8Line, DWORD connectTimeoutMs) {
  const UniqueFile pipe = connect(pipeName, connectTimeoutMs);
  if (!pipe) return ExchangeStatus::Unreachable;
  const UniqueHandle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  // Returns once the stand-in has read the line: closing earlier could lose it with the pipe.
  const bool taken = writeLine(pipe, event, utf8Line, GetTickCount64() + connectTimeoutMs) && FlushFileBuffers(pipe);
  return taken ? ExchangeStatus::Replied : ExchangeStatus::NoReply;
}

std::optional<std::string> exchangeLine(const wchar_t* pipeName, std::string_view utf8Line, DWORD timeoutMs,
                                        DWORD replyTimeoutMs) {
  auto result = exchange(pipeName, utf8Line, timeoutMs, replyTimeoutMs);
  if (result.status != ExchangeStatus::Replied) return std::nullopt;
  return std::move(result.reply);
}

}  // namespace speechsim
