#include "platform/std/FolderFiles.h"

#include <algorithm>
#include <fstream>
#include <system_error>

#include "text/Text.h"

namespace sayvane {

namespace fs = std::filesystem;

FolderFiles::FolderFiles(fs::path folder, FlushToDisk flushToDisk)
    : folder_(std::move(folder)), flushToDisk_(std::move(flushToDisk)) {}

fs::path FolderFiles::pathOf(const std::u16string& name) const { return folder_ / fs::path(name); }

std::u16string FolderFiles::folder() { return folder_.u16string(); }

std::vector<std::u16string> FolderFiles::listXml() {
  std::vector<std::u16string> names;
  std::error_code ec;
  for (fs::directory_iterator it(folder_, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code typeError;
    if (!it->is_regular_file(typeError)) continue;
    const auto name = it->path().filename().u16string();
    if (name.size() >= 4 && lowerCase(std::u16string_view(name).substr(name.size() - 4)) == u".xml") names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::optional<std::string> FolderFiles::read(const std::u16string& name) {
  std::ifstream in(pathOf(name), std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return bytes;
}

bool FolderFiles::writeAtomic(const std::u16string& name, const std::string& bytes) {
  // The temporary name does not end in ".xml", so a crash never leaves a half set behind.
  const auto target = pathOf(name);
  // A read-only set is the user's way of protecting it; a rename would replace it anyway on
  // some systems.
  std::error_code statusError;
  const auto status = fs::status(target, statusError);
  if (!statusError && fs::exists(status) && (status.permissions() & fs::perms::owner_write) == fs::perms::none)
    return false;
  auto temporary = target;
  temporary += u".saving";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    if (!out) {
      out.close();
      std::error_code ignored;
      fs::remove(temporary, ignored);
      return false;
    }
  }
  std::error_code ec;
  if (flushToDisk_ && !flushToDisk_(temporary)) ec = std::make_error_code(std::errc::io_error);
  if (!ec) fs::rename(temporary, target, ec);
  if (ec) {
    std::error_code ignored;
    fs::remove(temporary, ignored);
    return false;
  }
  return true;
}

bool FolderFiles::remove(const std::u16string& name) {
  std::error_code ec;
  return fs::remove(pathOf(name), ec) && !ec;
}

Files::Kind FolderFiles::kindOf(const std::u16string& name) {
  std::error_code ec;
  if (fs::is_directory(pathOf(name), ec)) return Kind::Folder;
  // A dangling link is an entry too: it blocks the name all the same.
  return fs::exists(fs::symlink_status(pathOf(name), ec)) ? Kind::File : Kind::Missing;
}

}  // namespace sayvane
