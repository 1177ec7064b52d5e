// The window classes of Sayvane.exe, by which an outside program (the tests' driver) finds its windows.
#pragma once

namespace sayvane::win32 {

inline constexpr wchar_t kMainWindowClass[] = L"SayvaneMainWindow";
inline constexpr wchar_t kHelpWindowClass[] = L"SayvaneHelpWindow";

}  // namespace sayvane::win32
