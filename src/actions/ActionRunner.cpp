#include "actions/ActionRunner.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <vector>
#include <cmath>

#include "text/Text.h"

namespace sayvane {
namespace {

std::chrono::nanoseconds toNanoseconds(double milliseconds) {
  // Plans clamp their waits; this guards the conversion for any plan built by hand.
  if (!(milliseconds > 0)) return std::chrono::nanoseconds::zero();
  if (milliseconds > kMaxHoldMilliseconds) milliseconds = kMaxHoldMilliseconds;
  return std::chrono::nanoseconds(static_cast<long long>(milliseconds * 1e6));
}

bool resize(Character& character, double factor) {
  const auto width = character.width();
  if (!width || !character.setWidth(roundToInt16(*width * factor))) return false;
  const auto height = character.height();
  return height && character.setHeight(roundToInt16(*height * factor));
}

bool moveRandom(ActionServices& s) {
  s.random.reseedFromClock();
  const double r1 = s.random.next();
  const double r2 = s.random.next();
  const int x = roundToInt16(r1 * 0.8 * s.screen.width());
  const int y = roundToInt16(r2 * 0.8 * s.screen.height());
  return s.character.moveTo(x, y);
}

enum class Outcome { Done, Failed, Quitting };

Outcome perform(const Operation& o, ActionServices& s) {
  using K = Operation::Kind;
  const auto ok = [](bool done) { return done ? Outcome::Done : Outcome::Failed; };
  switch (o.kind) {
    case K::Input: send(s.input, o.input); return Outcome::Done;
    case K::Wait: return waitMoreThan(s.waiter, toNanoseconds(o.milliseconds)) ? Outcome::Done : Outcome::Quitting;
    case K::ShellOpen: s.shell.open(o.text); return Outcome::Done;
    case K::StartProgram:
      if (!s.programs.start(o.text)) {
        s.record.note(concat({u"提示框：", kNoSuchProgram, u"（", o.text, u"）"}));
        s.dialogs.message(std::u16string(kNoSuchProgram), std::u16string(kNoticeCaption));
      }
      return Outcome::Done;
    case K::ClipboardClear: return ok(s.clipboard.clear());
    case K::ClipboardSet: return ok(s.clipboard.setText(o.text));
    case K::ShowMainWindow: s.window.showMainWindow(); return Outcome::Done;
    case K::CharacterGrow: return ok(resize(s.character, 1.5));
    case K::CharacterShrink: return ok(resize(s.character, 1 / 1.5));
    case K::CharacterHide: return ok(s.character.hide());
    case K::CharacterShow: return ok(s.character.show());
    case K::CharacterMoveRandom: return ok(moveRandom(s));
    case K::Quit: s.window.quit(); return Outcome::Quitting;
  }
  return Outcome::Failed;
}

}  // namespace

int roundToInt16(double value) {
  if (std::isnan(value)) return 0;
  if (value >= 32767) return 32767;
  if (value <= -32768) return -32768;
  const double down = std::floor(value);
  const double fraction = value - down;
  double rounded = down;
  if (fraction > 0.5 || (fraction == 0.5 && std::fmod(down, 2.0) != 0)) rounded = down + 1;
  return static_cast<int>(rounded);
}

void runPlan(const ActionPlan& plan, ActionServices& services) {
  bool skipFailures = false;
  // Keys this action holds down, in the order pressed: a quit during a hold releases them, so
  // no modifier stays stuck for the rest of the session.
  std::vector<std::uint8_t> held;
  bool checked = false;
  for (const auto& operation : plan) {
    const auto outcome = perform(operation, services);
    if (operation.kind == Operation::Kind::Input && !checked) {
      checked = true;
      // Asked once the first input is out, so that it never waits for the question; the rest
      // goes all the same: only the user can give the program the rights.
      if (services.foreground.compare() == ForegroundLevel::Higher) {
        services.record.note(u"前台窗口的程序以管理员身份运行：按键和鼠标操作到达不了它");
        (void)services.character.speak(std::u16string(kElevatedTarget));
      }
    }
    if (operation.kind == Operation::Kind::Input && operation.input.type == InputEvent::Type::Key) {
      const auto key = operation.input.virtualKey;
      if (operation.input.flags & kKeyUp) {
        if (const auto it = std::find(held.begin(), held.end(), key); it != held.end()) held.erase(it);
      } else {
        held.push_back(key);
      }
    }
    if (operation.kind == Operation::Kind::StartProgram) skipFailures = true;
    if (outcome == Outcome::Quitting) {
      for (const auto key : held) send(services.input, InputEvent{InputEvent::Type::Key, key, kKeyUp});
      return;
    }
    // Before a program start, a failed step ends the action: pasting after a failed
    // clipboard write would type whatever the clipboard held before.
    if (outcome == Outcome::Failed && !skipFailures) return;
  }
}

void runAction(std::u16string_view action, ActionServices& services) { runPlan(planAction(action), services); }

}  // namespace sayvane
