// The stand-ins' named pipes and the client side of their line protocol: one UTF-8 line out,
// one reply line back. Shared by speechsim-say and by tests that speak to the stand-ins.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace speechsim {

// Utterances for the recognizer stand-in; replies "recognition", "false-recognition", "ignored".
inline constexpr const wchar_t* kRecognizerPipe = L"\\\\.\\pipe\\sayvane-speechsim";
// Menu choices for the character stand-in; replies "command", "not-in-menu", "ignored".
inline constexpr const wchar_t* kCharacterPipe = L"\\\\.\\pipe\\sayvane-speechsim-character";

enum class ExchangeStatus {
  Replied,      // `reply` holds the reply line without its "\n"
  Unreachable,  // no server took the connection within the wait
  NoReply,      // connected, but the connection ended (or the reply wait ran out) before a reply
};

struct Exchange {
  ExchangeStatus status = ExchangeStatus::Unreachable;
  std::string reply;
};

// Connects to `pipeName` (waiting up to `connectTimeoutMs` for it to exist and be free), writes
// `utf8Line` + "\n" and reads one reply line, waiting up to `replyTimeoutMs` for it.
Exchange exchange(const wchar_t* pipeName, std::string_view utf8Line, DWORD connectTimeoutMs,
                  DWORD replyTimeoutMs = INFINITE);

// Sends `utf8Line` + "\n" without waiting for the handler: Replied (with no reply line) once the
// stand-in has read the line, which it then hands on as any other; it raises the event at once
// even while the program is busy in a handler.
ExchangeStatus send(const wchar_t* pipeName, std::string_view utf8Line, DWORD connectTimeoutMs);

// The reply line, or nothing when there was none.
std::optional<std::string> exchangeLine(const wchar_t* pipeName, std::string_view utf8Line, DWORD timeoutMs,
                                        DWORD replyTimeoutMs = INFINITE);

}  // namespace speechsim
