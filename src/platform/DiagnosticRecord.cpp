#include "platform/DiagnosticRecord.h"

namespace sayvane {
namespace {

class NoRecord final : public DiagnosticRecord {
 public:
  void note(std::u16string_view) override {}
  bool flush() override { return true; }
};

}  // namespace

DiagnosticRecord& noRecord() {
  static NoRecord none;
  return none;
}

std::u16string answerText(std::uint32_t code) {
  if (code == 0) return u"ok";
  std::u16string text = u"0x";
  for (int shift = 28; shift >= 0; shift -= 4) text += u"0123456789ABCDEF"[(code >> shift) & 0xF];
  return text;
}

}  // namespace sayvane
