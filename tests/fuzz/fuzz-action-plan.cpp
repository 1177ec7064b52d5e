// Action strings of any shape: the plan stays bounded, waits stay clamped, no key is left down.
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzInput.h"
#include "actions/ActionPlan.h"
#include "text/Text.h"

namespace sayvane::fuzz {
namespace {

using Kind = Operation::Kind;

std::size_t count(std::u16string_view text, char16_t c) {
  std::size_t n = 0;
  for (char16_t x : text) n += x == c;
  return n;
}

bool startsWith(const std::string& s, std::string_view prefix) { return s.compare(0, prefix.size(), prefix) == 0; }

void checkWait(const Operation& op) {
  SAYVANE_FUZZ_CHECK(!std::isnan(op.milliseconds));
  SAYVANE_FUZZ_CHECK(op.milliseconds >= 0 && op.milliseconds <= kMaxHoldMilliseconds);
}

// Every key-up follows a key-down of the same key, and every key-down gets its key-up.
void checkKeysBalanced(const ActionPlan& plan) {
  std::array<long, 256> down{};
  for (const auto& op : plan) {
    if (op.kind != Kind::Input) continue;
    if (op.input.type == InputEvent::Type::Mouse) {
      const auto f = op.input.flags;
      SAYVANE_FUZZ_CHECK(f == kMouseMove || f == kMouseLeftClick || f == kMouseRightClick);
      continue;
    }
    SAYVANE_FUZZ_CHECK(op.input.flags == 0 || op.input.flags == kKeyUp);
    auto& n = down[op.input.virtualKey];
    n += op.input.flags == kKeyUp ? -1 : 1;
    SAYVANE_FUZZ_CHECK(n >= 0);
  }
  for (long n : down) SAYVANE_FUZZ_CHECK(n == 0);
}

void checkDescriptions(const ActionPlan& plan) {
  for (const auto& op : plan) {
    const auto line = describe(op);
    SAYVANE_FUZZ_CHECK(!line.empty());
    switch (op.kind) {
      case Kind::Input:
        SAYVANE_FUZZ_CHECK(startsWith(line, "key-down 0x") || startsWith(line, "key-up 0x") || startsWith(line, "mouse 0x"));
        break;
      case Kind::Wait: SAYVANE_FUZZ_CHECK(startsWith(line, "wait ")); break;
      case Kind::ShellOpen: SAYVANE_FUZZ_CHECK(startsWith(line, "shell-open")); break;
      case Kind::StartProgram: SAYVANE_FUZZ_CHECK(startsWith(line, "start-program")); break;
      case Kind::ClipboardSet: SAYVANE_FUZZ_CHECK(startsWith(line, "clipboard-set")); break;
      default: break;
    }
  }
}

void checkKeyForm(std::u16string_view action, const ActionPlan& plan) {
  std::u16string compact;
  for (char16_t c : action)
    if (c != u' ') compact.push_back(c);
  if (compact.empty()) {
    SAYVANE_FUZZ_CHECK(plan.empty());
    return;
  }
  const std::size_t steps = count(compact, u'*') + 1;
  const std::size_t tokens = steps + count(compact, u'+');
  // A key token is one press and one release, a mouse token at most two presses; a "!" adds one wait.
  std::size_t inputs = 0, waits = 0;
  for (const auto& op : plan) {
    SAYVANE_FUZZ_CHECK(op.kind == Kind::Input || op.kind == Kind::Wait);
    if (op.kind == Kind::Input) ++inputs;
    if (op.kind == Kind::Wait) ++waits;
  }
  SAYVANE_FUZZ_CHECK(inputs <= 2 * tokens);
  SAYVANE_FUZZ_CHECK(inputs <= 2 * compact.size());
  SAYVANE_FUZZ_CHECK(waits <= count(compact, u'!') + (steps >= 2 ? steps : 0));
  // Several steps end each with the step pause, so the plan ends with one.
  if (steps >= 2) SAYVANE_FUZZ_CHECK(plan.back().kind == Kind::Wait && plan.back().milliseconds == kStepPauseMilliseconds);
}

void checkKeywordForm(std::u16string_view action, const ActionPlan& plan) {
  SAYVANE_FUZZ_CHECK(plan.size() <= 20);
  const auto argument = bracketArgument(action);
  for (std::size_t i = 0; i < plan.size(); ++i) {
    const auto& op = plan[i];
    SAYVANE_FUZZ_CHECK(op.kind != Kind::Wait);
    if (op.kind == Kind::ShellOpen || op.kind == Kind::StartProgram || op.kind == Kind::ClipboardSet)
      SAYVANE_FUZZ_CHECK(op.text == argument);
    // Nothing is planned after quitting.
    if (op.kind == Kind::Quit) SAYVANE_FUZZ_CHECK(i + 1 == plan.size());
  }
}

void checkArgument(std::u16string_view action) {
  const auto argument = bracketArgument(action);
  const auto open = action.find(u'[');
  const auto close = action.find(u']');
  if (open == std::u16string_view::npos || close == std::u16string_view::npos || close < open) {
    SAYVANE_FUZZ_CHECK(argument.empty());
  } else {
    SAYVANE_FUZZ_CHECK(argument == action.substr(open + 1, close - open - 1));
  }
}

void checkHold(std::u16string_view suffix) {
  const double value = holdMilliseconds(suffix);
  SAYVANE_FUZZ_CHECK(!std::isnan(value) && value >= 0 && value <= kMaxHoldMilliseconds);
  // A short whole number with nothing numeric after it is taken as it is.
  std::size_t digits = 0;
  double whole = 0;
  while (digits < suffix.size() && digits < 5 && suffix[digits] >= u'0' && suffix[digits] <= u'9')
    whole = whole * 10 + (suffix[digits++] - u'0');
  const bool more = digits < suffix.size() && ((suffix[digits] >= u'0' && suffix[digits] <= u'9') || suffix[digits] == u'.');
  if (!more) SAYVANE_FUZZ_CHECK(value == (whole > kMaxHoldMilliseconds ? kMaxHoldMilliseconds : whole));
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
  const bool keyword = isKeywordForm(action);
  SAYVANE_FUZZ_CHECK(plan == (keyword ? planKeywordForm(action) : planKeyForm(action)));
  for (const auto& op : plan)
    if (op.kind == Operation::Kind::Wait) checkWait(op);
  checkKeysBalanced(plan);
  checkDescriptions(plan);
  if (keyword) {
    checkKeywordForm(action, plan);
  } else {
    checkKeyForm(action, plan);
  }
  // Both planners accept any string, whichever form it is.
  const auto other = keyword ? planKeyForm(action) : planKeywordForm(action);
  for (const auto& op : other)
    if (op.kind == Operation::Kind::Wait) checkWait(op);
  checkKeysBalanced(other);

  checkArgument(action);
  const auto bang = action.find(u'!');
  checkHold(bang == std::u16string_view::npos ? std::u16string_view(action) : std::u16string_view(action).substr(bang + 1));
  return 0;
}
