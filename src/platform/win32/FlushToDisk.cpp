#include "platform/win32/FlushToDisk.h"

#include <windows.h>

namespace sayvane::win32 {

bool flushToDisk(const std::filesystem::path& file) {
  // Any handle with write access flushes every cached page of the file, not only its own writes.
  HANDLE handle = CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  const bool flushed = FlushFileBuffers(handle) != FALSE;
  CloseHandle(handle);
  return flushed;
}

}  // namespace sayvane::win32
