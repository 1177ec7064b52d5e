// Writing a file's cached data through to the disk, for saves that must survive a power cut.
#pragma once

#include <filesystem>

namespace sayvane::win32 {

// False when the file cannot be opened for writing or the flush fails.
bool flushToDisk(const std::filesystem::path& file);

}  // namespace sayvane::win32
