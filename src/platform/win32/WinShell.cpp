#include "platform/win32/WinShell.h"

#include <windows.h>
#include <shellapi.h>

namespace sayvane {

void WinShell::open(const std::u16string& target) {
  // The wide call on purpose: the ANSI one would garble Chinese paths on any other system page.
  // Whether anything opened is not the caller's business, so the result is dropped.
  ShellExecuteW(GetDesktopWindow(), L"open", reinterpret_cast<const wchar_t*>(target.c_str()), nullptr, nullptr,
                SW_SHOWNORMAL);
}

}  // namespace sayvane
