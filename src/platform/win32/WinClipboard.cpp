#include "platform/win32/WinClipboard.h"

#include <cstring>

#include "platform/win32/Owned.h"
#include "text/Text.h"

namespace sayvane {
namespace {

constexpr int kOpenAttempts = 10;
constexpr DWORD kOpenRetryMilliseconds = 10;

}  // namespace

WinClipboard::WinClipboard(HWND owner, DiagnosticRecord& record) : owner_(owner), record_(record) {}

bool WinClipboard::failed(std::u16string_view call) {
  record_.note(concat({u"剪贴板：", call, u" -> ", answerText(GetLastError())}));
  return false;
}

bool WinClipboard::open() {
  // Another program (a clipboard viewer, a remote-desktop bridge) may hold it for a moment.
  for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
    if (OpenClipboard(owner_)) return true;
    Sleep(kOpenRetryMilliseconds);
  }
  return failed(u"OpenClipboard");
}

bool WinClipboard::clear() {
  if (!open()) return false;
  const bool emptied = EmptyClipboard() || failed(u"EmptyClipboard");
  CloseClipboard();
  return emptied;
}

bool WinClipboard::setText(const std::u16string& text) {
  const std::size_t bytes = (text.size() + 1) * sizeof(char16_t);
  win32::UniqueGlobal memory(GlobalAlloc(GMEM_MOVEABLE, bytes));
  if (!memory) return false;
  void* target = GlobalLock(memory);
  if (!target) return false;
  std::memcpy(target, text.c_str(), bytes);
  GlobalUnlock(memory);

  if (!open()) return false;
  // Emptying makes us the owner, which SetClipboardData needs; the text is all it holds then.
  const bool placed = (EmptyClipboard() || failed(u"EmptyClipboard")) &&
                      (SetClipboardData(CF_UNICODETEXT, memory) || failed(u"SetClipboardData"));
  CloseClipboard();
  // Once placed, the memory belongs to the system.
  if (placed) memory.release();
  return placed;
}

}  // namespace sayvane
