// Where the programs under test come from: the build of this test program, or another build
// named by SAYVANE_E2E_PROGRAM_BUILD (the 32-bit one, say), whose stand-ins are used with it.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace e2e {

// A folder named by an environment variable; a Unix path from a script becomes the Windows
// path Wine shows it under (drive Z). Nothing when the variable is not set.
std::optional<std::filesystem::path> folderFromEnvironment(const wchar_t* name);

// The folder holding Sayvane.exe, its manual and speechsim/.
std::filesystem::path programBuild();
// Whether that build's programs are 32-bit, so their COM classes live in the 32-bit registry view.
bool programBuildIs32Bit();

}  // namespace e2e
