// Where the running executable lives: the program folder that holds the set files.
#pragma once

#include <filesystem>

namespace sayvane {

// Empty only if the system cannot name the executable.
std::filesystem::path programFolder();

}  // namespace sayvane
