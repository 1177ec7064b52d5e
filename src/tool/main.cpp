// Entry point of sayvane-tool: turns the command line into UTF-8 and runs the command.
#include <iostream>
#include <string>
#include <vector>

#include "platform/HostCodePage936.h"
#include "text/Text.h"
#include "tool/Tool.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <objbase.h>
#include <windows.h>

#include "app/Options.h"
#include "platform/win32/SapiRecognizer.h"
#include "platform/win32/WinSettings.h"

// Wide arguments: the narrow ones would pass through the ANSI code page and lose Chinese text.
int wmain(int argc, wchar_t** argv) {
  SetConsoleOutputCP(CP_UTF8);
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i)
    args.push_back(sayvane::toUtf8(std::u16string(reinterpret_cast<const char16_t*>(argv[i]))));
  auto codePage = sayvane::makeHostCodePage936();
  // The speech API's objects live on this thread, as they do in the program.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  const int status = sayvane::runTool(args, std::cin, std::cout, std::cerr, *codePage, [] {
    sayvane::WinSettings settings;
    return sayvane::checkSpeech(sayvane::win32::SapiRecognizer().survey(), sayvane::readOptions(settings).recognizer);
  });
  if (SUCCEEDED(com)) CoUninitialize();
  return status;
}
#else
int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  auto codePage = sayvane::makeHostCodePage936();
  return sayvane::runTool(args, std::cin, std::cout, std::cerr, *codePage);
}
#endif
