// A uniquely named temporary folder per test, removed with everything in it.
#include "support/TempFolder.h"

#include <fstream>
#include <iterator>
#include <random>

namespace sayvane::testing {

TempFolder::TempFolder() {
  std::random_device seed;
  std::mt19937_64 random(seed());
  for (;;) {
    // Chinese in the name: every path the program meets may hold it.
    const auto number = std::to_string(random());
    path_ = std::filesystem::temp_directory_path() /
            std::filesystem::path(u"sayvane-test-" + std::u16string(number.begin(), number.end()) + u"-测试");
    if (std::filesystem::create_directory(path_)) return;
  }
}

TempFolder::~TempFolder() {
  // A test may leave read-only files behind; they must go too.
  std::error_code ec;
  for (std::filesystem::recursive_directory_iterator it(path_, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code ignored;
    std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all, std::filesystem::perm_options::add,
                                 ignored);
  }
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
