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

InputEvent released(InputEvent key) {
  key.flags |= kKeyUp;
  return key;
}

// Keys go in the mode of the moment, and a key this action holds comes up as it went down: a
// game hears scan codes, so a release in the other form would leave its key down there.
void sendInput(const InputEvent& event, ActionServices& s, std::vector<InputEvent>& held) {
  const auto pressed =
      std::find_if(held.begin(), held.end(), [&](const InputEvent& key) { return key.virtualKey == event.virtualKey; });
  if (event.type == InputEvent::Type::Key && (event.flags & kKeyUp) && pressed != held.end()) {
    send(s.input, released(*pressed), false);
    held.erase(pressed);
    return;
  }
  const auto sent = send(s.input, event, s.gameKeys);
  if (event.type == InputEvent::Type::Key && !(event.flags & kKeyUp)) held.push_back(sent);
}

Outcome perform(const Operation& o, ActionServices& s, std::vector<InputEvent>& held) {
  using K = Operation::Kind;
  const auto ok = [](bool done) { return done ? Outcome::Done : Outcome::Failed; };
  switch (o.kind) {
    case K::Input: sendInput(o.input, s, held); return Outcome::Done;
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
  // The default rounding mode rounds half to even.
  return static_cast<int>(std::clamp(std::nearbyint(value), -32768.0, 32767.0));
}

void runPlan(const ActionPlan& plan, ActionServices& services) {
  bool skipFailures = false;
  // Keys this action holds down, in the order and the form pressed: a quit during a hold
  // releases them, so no modifier stays stuck for the rest of the session.
  std::vector<InputEvent> held;
  bool checked = false;
  for (const auto& operation : plan) {
    const auto outcome = perform(operation, services, held);
    if (operation.kind == Operation::Kind::Input && !checked) {
      checked = true;
      // Asked once the first input is out, so that it never waits for the question; the rest
      // goes all the same: only the user can give the program the rights.
      if (services.foreground.compare() == ForegroundLevel::Higher) {
        services.record.note(u"前台窗口的程序以管理员身份运行：按键和鼠标操作到达不了它");
        (void)services.character.speak(std::u16string(kElevatedTarget));
      }
    }
    if (operation.kind == Operation::Kind::StartProgram) skipFailures = true;
    if (outcome == Outcome::Quitting) {
      for (const auto& key : held) send(services.input, released(key), false);
      return;
    }
    // Before a program start, a failed step ends the action: pasting after a failed
    // clipboard write would type whatever the clipboard held before.
    if (outcome == Outcome::Failed && !skipFailures) return;
  }
}

void runAction(std::u16string_view action, ActionServices& services) { runPlan(planAction(action), services); }

}  // namespace sayvane
