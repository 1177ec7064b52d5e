// Carries out an action plan through the platform services, waiting where the plan says.
#pragma once

#include <string_view>

#include "actions/ActionPlan.h"
#include "platform/Character.h"
#include "platform/DiagnosticRecord.h"
#include "platform/Clipboard.h"
#include "platform/Dialogs.h"
#include "platform/ForegroundRights.h"
#include "platform/Input.h"
#include "platform/Programs.h"
#include "platform/Random.h"
#include "platform/Screen.h"
#include "platform/Shell.h"
#include "platform/Waiter.h"

namespace sayvane {

inline constexpr std::u16string_view kNoSuchProgram = u"这个路径下没有对应的程序！";
inline constexpr std::u16string_view kNoticeCaption = u"提示";
inline constexpr std::u16string_view kElevatedTarget =
    u"这个窗口以管理员身份运行，Windows 不让 Sayvane 的按键和鼠标操作到达它。以管理员身份运行 Sayvane 可以解决。";

// What an action may do to the program itself.
class MainWindowControl {
 public:
  MainWindowControl() = default;
  MainWindowControl(const MainWindowControl&) = delete;
  MainWindowControl& operator=(const MainWindowControl&) = delete;
  virtual ~MainWindowControl() = default;

  // Restores the main window to its normal state and shows it, not modal.
  virtual void showMainWindow() = 0;
  // Ends the program once the running handler has unwound.
  virtual void quit() = 0;
};

struct ActionServices {
  Input& input;
  Shell& shell;
  Programs& programs;
  Clipboard& clipboard;
  Screen& screen;
  Random& random;
  Waiter& waiter;
  Dialogs& dialogs;
  Character& character;
  MainWindowControl& window;
  ForegroundRights& foreground;
  DiagnosticRecord& record;
  const bool& gameKeys;  // keys carry their scan codes; read at each key-down
};

// Round half to even, clamped to the 16-bit signed range the character control uses.
int roundToInt16(double value);

// Stops at a failed operation until a program start has been attempted; from then on a
// failing operation is skipped and the next one runs. Stops when the program quits. Once
// its first key or click has gone out, the character says once when Windows drops them.
void runPlan(const ActionPlan& plan, ActionServices& services);
void runAction(std::u16string_view action, ActionServices& services);

}  // namespace sayvane
