#include "platform/std/FileRecord.h"

#include <fstream>
#include <iterator>
#include <system_error>

#include "text/Text.h"

namespace sayvane {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The text after the first line break at or after `from`: whole lines only.
std::string_view fromLineAt(std::string_view text, std::size_t from) {
  const auto lineEnd = text.find('\n', std::min(from, text.size()));
  return lineEnd == std::string_view::npos ? std::string_view() : text.substr(lineEnd + 1);
}

}  // namespace

FileRecord::FileRecord(fs::path file, Stamp stamp, std::uintmax_t cap)
    : file_(std::move(file)), stamp_(std::move(stamp)), cap_(cap) {}

FileRecord::~FileRecord() { (void)flush(); }

void FileRecord::note(std::u16string_view line) {
  if (stamp_) waiting_ += stamp_() + ' ';
  // One line in the file whatever the text holds.
  for (const char c : toUtf8(line)) {
    if (c == '\r') continue;
    if (c == '\n') waiting_ += "\\n";
    else waiting_ += c;
  }
  waiting_ += "\r\n";
}

bool FileRecord::flush() {
  if (waiting_.empty()) return written_;
  std::error_code missing;
  auto size = fs::file_size(file_, missing);
  if (missing) size = 0;
  written_ = size + waiting_.size() > cap_ ? rewrite(size) : append(size == 0);
  if (written_) waiting_.clear();
  // Unwritable, the record keeps only what a file of its cap would.
  else if (waiting_.size() > cap_) waiting_ = fromLineAt(waiting_, waiting_.size() - cap_ / 2);
  return written_;
}

bool FileRecord::append(bool startFile) {
  std::ofstream out(file_, std::ios::binary | std::ios::app);
  if (startFile) out << kByteOrderMark;
  out << waiting_;
  out.flush();
  return static_cast<bool>(out);
}

bool FileRecord::rewrite(std::uintmax_t size) {
  std::string all;
  {
    std::ifstream in(file_, std::ios::binary);
    all.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (!in.is_open() || all.size() != size) return false;
  }
  if (all.starts_with(kByteOrderMark)) all.erase(0, kByteOrderMark.size());
  all += waiting_;
  // The newer half stays, from a whole line on.
  const std::string kept(fromLineAt(all, all.size() - cap_ / 2));
  auto fresh = file_;
  fresh += ".new";
  std::error_code failed;
  {
    std::ofstream out(fresh, std::ios::binary | std::ios::trunc);
    out << kByteOrderMark << kept;
    out.flush();
    if (!out) failed = std::make_error_code(std::errc::io_error);
  }
  if (!failed) fs::rename(fresh, file_, failed);
  if (failed) {
    std::error_code ignored;
    fs::remove(fresh, ignored);
  }
  return !failed;
}

}  // namespace sayvane
