// The diagnostic record as a file: UTF-8 with a byte-order mark, so that Notepad reads it, each
// line after the time it was noted. Lines wait in memory until flushed; when the file would grow
// past its cap, its older half goes. A file that cannot be written costs only the lines.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include "platform/DiagnosticRecord.h"

namespace sayvane {

class FileRecord final : public DiagnosticRecord {
 public:
  // The time put before each line, as the system's clock shows it to the user.
  using Stamp = std::function<std::string()>;
  static constexpr std::uintmax_t kCap = 256 * 1024;

  FileRecord(std::filesystem::path file, Stamp stamp, std::uintmax_t cap = kCap);
  // What is still waiting goes to the file.
  ~FileRecord() override;

  void note(std::u16string_view line) override;
  [[nodiscard]] bool flush() override;

 private:
  bool append(bool startFile);
  bool rewrite(std::uintmax_t size);

  std::filesystem::path file_;
  Stamp stamp_;
  std::uintmax_t cap_;
  std::string waiting_;
  bool written_ = true;
};

}  // namespace sayvane
