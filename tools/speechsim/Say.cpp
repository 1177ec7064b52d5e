// speechsim-say: speaks one phrase to the recognizer stand-in (or picks a character-menu entry)
// through its pipe, prints the reply and says by the exit code what became of it.
#include <windows.h>

#include <cstdio>
#include <string>

#include "SpeechSimPipe.h"
#include "Text.h"

namespace {

int usage() {
  std::fputs("usage: speechsim-say [--wait MS] PHRASE\n"
             "       speechsim-say [--wait MS] --menu NAME\n"
             "exit: 0 recognition/false-recognition/command, 1 ignored/not-in-menu,\n"
             "      2 pipe not reached in time, 3 connection ended without a reply\n",
             stderr);
  return 64;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const wchar_t* pipe = speechsim::kRecognizerPipe;
  DWORD wait = 10000;
  std::wstring text;
  bool haveText = false;
  for (int i = 1; i < argc; ++i) {
    const std::wstring argument = argv[i];
    if (argument == L"--menu") {
      pipe = speechsim::kCharacterPipe;
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

  const auto result = speechsim::exchange(pipe, speechsim::utf8(text), wait);
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
  if (reply == "recognition" || reply == "false-recognition" || reply == "command") return 0;
  return 1;
}
