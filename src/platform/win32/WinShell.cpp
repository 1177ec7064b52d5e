#include "platform/win32/WinShell.h"

#include <windows.h>
#include <shellapi.h>

#include "text/Text.h"

namespace sayvane {

void WinShell::open(const std::u16string& target) {
  // The wide call on purpose: the ANSI one would garble Chinese paths on any other system page.
  // Whether anything opened is not the caller's business; only the record is told.
  const auto answer = reinterpret_cast<INT_PTR>(ShellExecuteW(
      GetDesktopWindow(), L"open", reinterpret_cast<const wchar_t*>(target.c_str()), nullptr, nullptr, SW_SHOWNORMAL));
  // Up to 32 is an error code.
  if (answer <= 32)
    record_.note(concat({u"打开 ShellExecute(", target, u") -> ", answerText(static_cast<std::uint32_t>(answer))}));
}

}  // namespace sayvane
