#include "platform/win32/FlushToDisk.h"

#include <windows.h>

#include "platform/win32/Owned.h"

namespace sayvane::win32 {

bool flushToDisk(const std::filesystem::path& file) {
  // Any handle with write access flushes every cached page of the file, not only its own writes.
  const UniqueFile handle(CreateFileW(file.c_str(), GENERIC_WRITE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
  return handle && FlushFileBuffers(handle) != FALSE;
}

}  // namespace sayvane::win32
