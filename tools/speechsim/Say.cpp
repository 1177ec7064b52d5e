// speechsim-say: speaks one phrase to the recognizer stand-in (or picks a character-menu entry)
// through its pipe, prints the reply and says by the exit code what became of it.
#include <windows.h>

#include <cstdio>
#include <string>

#include "SpeechSimPipe.h"
#include "Text.h"

namespace {

int usage() {
  std::fputs("usage: speechsim-say [--wait MS] [--no-wait] PHRASE\n"
             "       speechsim-say [--wait MS] [--no-wait] --menu NAME\n"
             "exit: 0 recognition/false-recognition/command, 1 ignored/not-in-menu,\n"
             "      2 pipe not reached in time, 3 connection ended without a reply\n"
             "--no-wait: prints \"sent\" (exit 0) once the stand-in has the line, not waiting for the program\n",
             stderr);
  return 64;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const wchar_t* pipe = speechsim::kRecognizerPipe;
  DWORD wait = 10000;
  std::wstring text;
  bool haveText = false;
  bool noWait = false;
  for (int i = 1; i < argc; ++i) {
    const std::wstring argument = argv[i];
    if (argument == L"--menu") {
      pipe = speechsim::kCharacterPipe;
    } else if (argument == L"--no-wait") {
      noWait = true;
    } else if (argument == L"--wait" && i + 1 < argc) {
      wchar_t* end = nullptr;
      wait = static_cast<DWORD>(std::wcstoul(argv[++i], &end, 10));
      if (!end || *end) return usage();
    } else if (argument == L"--help" || argument == L"-h") {
      return usage();
    } else {
      // Unquoted words are one phrase, as typed.
      if (haveText) text += L' ';
      text += argument;
      haveText = true;
    }
  }
  if (!haveText) return usage();
  // One line is one utterance: a line break inside would make two.
  for (auto& c : text)
    if (c == L'\r' || c == L'\n') c = L' ';

  speechsim::Exchange result;
  if (noWait) {
    result.status = speechsim::send(pipe, speechsim::utf8(text), wait);
    result.reply = "sent";
  } else {
    result = speechsim::exchange(pipe, speechsim::utf8(text), wait);
  }
  switch (result.status) {
    case speechsim::ExchangeStatus::Unreachable:
      std::fputs("speechsim-say: the pipe could not be reached in time\n", stderr);
      return 2;
    case speechsim::ExchangeStatus::NoReply:
      std::fputs("speechsim-say: the connection ended without a reply\n", stderr);
      return 3;
    default: break;
  }
  std::printf("%s\n", result.reply.c_str());
  std::fflush(stdout);
  const auto& reply = result.reply;
  if (reply == "recognition" || reply == "false-recognition" || reply == "command" || reply == "sent") return 0;
  return 1;
}
