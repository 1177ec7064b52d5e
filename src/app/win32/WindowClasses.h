// The window classes of Sayvane.exe, by which an outside program (the tests' driver) finds its windows.
#pragma once

namespace sayvane::win32 {

inline constexpr wchar_t kMainWindowClass[] = L"SayvaneMainWindow";
inline constexpr wchar_t kHelpWindowClass[] = L"SayvaneHelpWindow";
// The built-in character, for systems without the character control, and its speech bubble.
inline constexpr wchar_t kCharacterWindowClass[] = L"SayvaneCharacterWindow";
inline constexpr wchar_t kSpeechBubbleClass[] = L"SayvaneSpeechBubble";
// The hidden window that owns the notification-area icon and gets its clicks.
inline constexpr wchar_t kTrayWindowClass[] = L"SayvaneTrayWindow";

}  // namespace sayvane::win32
