// The diagnostic record: what the program did and what the system answered, a line each, for a
// user whose program does not hear to read (or send on). Noting a line never waits for a disk
// and never fails; the lines reach the file later, when the program is idle.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace sayvane {

// In the program folder.
inline constexpr std::u16string_view kRecordFile = u"Sayvane.log";

class DiagnosticRecord {
 public:
  DiagnosticRecord() = default;
  DiagnosticRecord(const DiagnosticRecord&) = delete;
  DiagnosticRecord& operator=(const DiagnosticRecord&) = delete;
  virtual ~DiagnosticRecord() = default;

  virtual void note(std::u16string_view line) = 0;
  // Writes what was noted; false when the record cannot be written (and holds none of it).
  [[nodiscard]] virtual bool flush() = 0;
};

// For whoever is given no record.
DiagnosticRecord& noRecord();

// An answer of the system as its documentation writes it: "ok" for 0 (S_OK, ERROR_SUCCESS),
// otherwise the code in hexadecimal, "0x80040154".
std::u16string answerText(std::uint32_t code);

}  // namespace sayvane
