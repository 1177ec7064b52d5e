// Action strings of any shape: the plan stays bounded, waits stay clamped, no key is left down.
#include <array>
#include <cstddef>
#include <cstdint>

#include "FuzzInput.h"
#include "actions/ActionPlan.h"

namespace sayvane::fuzz {
namespace {

using Kind = Operation::Kind;

void checkPlan(const ActionPlan& plan, std::size_t actionSize) {
  std::array<long, 256> down{};
  std::size_t inputs = 0;
  for (std::size_t i = 0; i < plan.size(); ++i) {
    const auto& op = plan[i];
    if (op.kind == Kind::Wait) SAYVANE_FUZZ_CHECK(op.milliseconds >= 0 && op.milliseconds <= kMaxHoldMilliseconds);
    if (op.kind == Kind::Quit) SAYVANE_FUZZ_CHECK(i + 1 == plan.size());  // nothing runs after quitting
    SAYVANE_FUZZ_CHECK(!describe(op).empty());
    if (op.kind != Kind::Input) continue;
    ++inputs;
    if (op.input.type == InputEvent::Type::Key) {
      auto& n = down[op.input.virtualKey];
      n += op.input.flags == kKeyUp ? -1 : 1;
      SAYVANE_FUZZ_CHECK(n >= 0);  // never a key-up before its key-down
    }
  }
  for (long n : down) SAYVANE_FUZZ_CHECK(n == 0);  // every key pressed is released
  // A token of at least one unit yields at most two events (a double click, or press and release).
  SAYVANE_FUZZ_CHECK(inputs <= 2 * actionSize + 4);
}

}  // namespace
}  // namespace sayvane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace sayvane;
  using namespace sayvane::fuzz;
  if (size == 0) return 0;
  const auto decoding = decodingOf(data[0]) == Decoding::Utf16Le ? Decoding::Utf16Le : Decoding::Utf8;
  const auto action = decode(decoding, data + 1, size - 1);
  const auto plan = planAction(action);
  checkPlan(plan, action.size());
  if (isKeywordForm(action)) SAYVANE_FUZZ_CHECK(plan.size() <= 20);
  // Both planners accept any string, whichever form it has.
  checkPlan(planKeyForm(action), action.size());
  checkPlan(planKeywordForm(action), action.size());
  return 0;
}
