#include "actions/ActionPlan.h"

#include <charconv>
#include <cstdio>

#include "text/Text.h"

namespace sayvane {
namespace {

Operation inputOp(const InputEvent& e) {
  Operation op;
  op.kind = Operation::Kind::Input;
  op.input = e;
  return op;
}

Operation waitOp(double ms) {
  Operation op;
  op.kind = Operation::Kind::Wait;
  op.milliseconds = ms;
  return op;
}

Operation op(Operation::Kind kind, std::u16string text = {}) {
  Operation o;
  o.kind = kind;
  o.text = std::move(text);
  return o;
}

void append(ActionPlan& plan, const std::vector<InputEvent>& events) {
  for (const auto& e : events) plan.push_back(inputOp(e));
}

std::vector<std::u16string_view> split(std::u16string_view text, char16_t separator) {
  std::vector<std::u16string_view> parts;
  std::size_t start = 0;
  for (;;) {
    const auto at = text.find(separator, start);
    if (at == std::u16string_view::npos) {
      parts.push_back(text.substr(start));
      return parts;
    }
    parts.push_back(text.substr(start, at - start));
    start = at + 1;
  }
}

}  // namespace

bool isKeywordForm(std::u16string_view action) {
  const auto lower = lowerCase(action);
  for (std::u16string_view keyword : {u"open", u"write", u"close", u"addspeech"})
    if (contains(lower, keyword)) return true;
  return false;
}

std::u16string bracketArgument(std::u16string_view action) {
  const auto open = action.find(u'[');
  const auto close = action.find(u']');
  if (open == std::u16string_view::npos || close == std::u16string_view::npos || close < open) return {};
  return std::u16string(action.substr(open + 1, close - open - 1));
}

double holdMilliseconds(std::u16string_view s) {
  double value = 0;
  std::size_t i = 0;
  for (; i < s.size() && s[i] >= u'0' && s[i] <= u'9'; ++i) {
    value = value * 10 + (s[i] - u'0');
    if (value > kMaxHoldMilliseconds) return kMaxHoldMilliseconds;
  }
  if (i < s.size() && s[i] == u'.') {
    double scale = 0.1;
    for (++i; i < s.size() && s[i] >= u'0' && s[i] <= u'9'; ++i, scale /= 10) value += (s[i] - u'0') * scale;
  }
  return value > kMaxHoldMilliseconds ? kMaxHoldMilliseconds : value;
}

ActionPlan planKeyForm(std::u16string_view action) {
  std::u16string compact;
  compact.reserve(action.size());
  for (char16_t c : action)
    if (c != u' ') compact.push_back(c);

  ActionPlan plan;
  if (compact.empty()) return plan;
  const auto steps = split(compact, u'*');
  for (const auto step : steps) {
    const auto tokens = split(step, u'+');
    for (const auto token : tokens) append(plan, pressEvents(token.substr(0, token.find(u'!'))));
    for (const auto token : tokens) {
      const auto bang = token.find(u'!');
      if (bang == std::u16string_view::npos) {
        append(plan, releaseEvents(token));
      } else {
        plan.push_back(waitOp(holdMilliseconds(token.substr(bang + 1))));
        append(plan, releaseEvents(token.substr(0, bang)));
      }
    }
    if (steps.size() >= 2) plan.push_back(waitOp(kStepPauseMilliseconds));
  }
  return plan;
}

ActionPlan planKeywordForm(std::u16string_view action) {
  using K = Operation::Kind;
  const auto lower = lowerCase(action);
  const auto argument = bracketArgument(action);
  const auto has = [&](std::u16string_view keyword) { return contains(lower, keyword); };

  ActionPlan plan;
  if (has(u"openie")) plan.push_back(op(K::ShellOpen, argument));
  if (has(u"openfile")) plan.push_back(op(K::ShellOpen, argument));
  if (has(u"openprogram")) plan.push_back(op(K::StartProgram, argument));
  if (has(u"write")) {
    plan.push_back(op(K::ClipboardClear));
    plan.push_back(op(K::ClipboardSet, argument));
    append(plan, pressEvents(u"ctrl"));
    append(plan, pressEvents(u"v"));
    append(plan, releaseEvents(u"ctrl"));
    append(plan, releaseEvents(u"v"));
  }
  if (has(u"addspeech")) plan.push_back(op(K::ShowMainWindow));
  if (has(u"openbigger")) plan.push_back(op(K::CharacterGrow));
  if (has(u"opensmaller")) plan.push_back(op(K::CharacterShrink));
  if (has(u"openhide")) plan.push_back(op(K::CharacterHide));
  if (has(u"openshow")) plan.push_back(op(K::CharacterShow));
  // Nothing runs after the program has begun to quit.
  if (has(u"closesoft")) {
    plan.push_back(op(K::Quit));
    return plan;
  }
  if (has(u"openfly")) plan.push_back(op(K::CharacterMoveRandom));
  return plan;
}

ActionPlan planAction(std::u16string_view action) {
  return isKeywordForm(action) ? planKeywordForm(action) : planKeyForm(action);
}

namespace {
std::string withText(const char* word, const std::u16string& text) {
  return text.empty() ? std::string(word) : std::string(word) + " " + toUtf8(text);
}
}  // namespace

std::string describe(const Operation& o) {
  using K = Operation::Kind;
  char buffer[64];
  switch (o.kind) {
    case K::Input:
      if (o.input.type == InputEvent::Type::Key) {
        std::snprintf(buffer, sizeof buffer, "%s 0x%02X", (o.input.flags & kKeyUp) ? "key-up" : "key-down",
                      static_cast<unsigned>(o.input.virtualKey));
        std::string line = buffer;
        if (o.input.scanCode != 0) {
          std::snprintf(buffer, sizeof buffer, " scan 0x%02X", static_cast<unsigned>(o.input.scanCode));
          line += buffer;
        }
        if (o.input.flags & kExtendedKey) line += " extended";
        return line;
      }
      std::snprintf(buffer, sizeof buffer, "mouse 0x%04X %d %d", static_cast<unsigned>(o.input.flags),
                    static_cast<int>(o.input.dx), static_cast<int>(o.input.dy));
      return buffer;
    case K::Wait: {
      // Fixed notation: a tiny hold prints as 0.00001, never as 1e-05.
      const auto result = std::to_chars(buffer, buffer + sizeof buffer, o.milliseconds, std::chars_format::fixed);
      return "wait " + std::string(buffer, result.ptr);
    }
    case K::ShellOpen: return withText("shell-open", o.text);
    case K::StartProgram: return withText("start-program", o.text);
    case K::ClipboardClear: return "clipboard-clear";
    case K::ClipboardSet: return withText("clipboard-set", o.text);
    case K::ShowMainWindow: return "show-main-window";
    case K::CharacterGrow: return "character-grow";
    case K::CharacterShrink: return "character-shrink";
    case K::CharacterHide: return "character-hide";
    case K::CharacterShow: return "character-show";
    case K::CharacterMoveRandom: return "character-move-random";
    case K::Quit: return "quit";
  }
  return {};
}

}  // namespace sayvane
