#include "support/TempFolder.h"

#include <fstream>
#include <iterator>
#include <random>

namespace sayvane::testing {

TempFolder::TempFolder() {
  std::random_device seed;
  std::mt19937_64 random(seed());
  for (;;) {
    path_ = std::filesystem::temp_directory_path() / ("sayvane-test-" + std::to_string(random()));
    if (std::filesystem::create_directory(path_)) return;
  }
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string TempFolder::readBytes(const std::u16string& name) const {
  std::ifstream in(path_ / std::filesystem::path(name), std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void TempFolder::writeBytes(const std::u16string& name, const std::string& bytes) const {
  std::ofstream out(path_ / std::filesystem::path(name), std::ios::binary | std::ios::trunc);
  out << bytes;
}

}  // namespace sayvane::testing
