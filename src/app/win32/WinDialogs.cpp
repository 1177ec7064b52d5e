#include "app/win32/WinDialogs.h"

#include <commdlg.h>

#include <vector>

#include "app/HelpText.h"
#include "app/Layout.h"
#include "app/win32/HelpWindow.h"
#include "platform/win32/Wide.h"

namespace sayvane::win32 {

HWND WinDialogs::owner() {
  view_.render();
  HWND window = view_.window();
  return window && IsWindowVisible(window) ? window : nullptr;
}

int WinDialogs::box(const std::u16string& text, const std::u16string& caption, UINT type) {
  // Nothing more is shown once the program is quitting: the user asked it to go.
  if (pump_.quitting()) return IDNO;
  HWND parent = owner();
  // With the main window hidden, the box still blocks the program's other windows and comes to the front.
  const UINT modality = parent ? MB_APPLMODAL : MB_TASKMODAL | MB_SETFOREGROUND;
  return MessageBoxW(parent, wide(text).c_str(), wide(caption).c_str(), type | modality);
}

void WinDialogs::message(const std::u16string& text, const std::u16string& caption) { box(text, caption, MB_OK); }

void WinDialogs::critical(const std::u16string& text, const std::u16string& caption) {
  box(text, caption, MB_OK | MB_ICONERROR);
}

bool WinDialogs::ask(const std::u16string& text, const std::u16string& caption) {
  return box(text, caption, MB_YESNO) == IDYES;
}

std::optional<std::u16string> WinDialogs::pickFile(const std::u16string& title, const std::u16string& folder,
                                                   const std::u16string& filterName) {
  if (pump_.quitting()) return std::nullopt;
  // A long buffer: a path the dialog cannot return whole would be cut, not reported.
  std::vector<wchar_t> path(32768, L'\0');
  std::wstring filter = wide(filterName);
  filter.push_back(L'\0');
  filter += L"*.*";
  filter.push_back(L'\0');
  const std::wstring titleText = wide(title), startFolder = wide(folder);
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner();
  dialog.lpstrFilter = filter.c_str();  // ends in two NULs: the string's own and the one pushed
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = path.data();
  dialog.nMaxFile = static_cast<DWORD>(path.size());
  dialog.lpstrInitialDir = startFolder.c_str();
  dialog.lpstrTitle = titleText.c_str();
  dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_EXPLORER;
  if (!GetOpenFileNameW(&dialog)) return std::nullopt;
  return utf16(path.data());
}

void WinDialogs::showHelp() {
  if (pump_.quitting()) return;
  showTextWindow(owner(), pump_, kHelpCaption, kHelpText);
}

void WinDialogs::showText(const std::u16string& text, const std::u16string& caption) {
  if (pump_.quitting()) return;
  showTextWindow(owner(), pump_, caption, text);
}

}  // namespace sayvane::win32
