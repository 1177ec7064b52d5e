#include "app/TrayMenu.h"

#include "app/MainWindow.h"

namespace sayvane {

std::vector<TrayEntry> MainWindow::trayMenu() const {
  return {
      {TrayChoice::ShowMainWindow, u"添加语音命令"},
      {TrayChoice::ShowCharacter, u"显示"},
      {TrayChoice::GameKeys, kGameKeysCaption, TrayEntry::Mark::Check, options_.gameKeys, true},
      {TrayChoice::Quit, u"退出", TrayEntry::Mark::None, false, true},
  };
}

void MainWindow::trayCommand(TrayChoice choice) {
  if (quitting_) return;
  switch (choice) {
    case TrayChoice::ShowMainWindow: return Agent1_Command(u"添加语音命令");
    case TrayChoice::ShowCharacter: {
      auto s = services();
      return runAction(u"OpenShow", s);
    }
    case TrayChoice::GameKeys:
      // From the next key-down on, inside a running action too. A store that refuses the value
      // still leaves the mode changed for this run.
      options_.gameKeys = !options_.gameKeys;
      (void)writeOptions(p_.settings, options_);
      return;
    case TrayChoice::Quit: return Agent1_Command(u"退出");
  }
}

}  // namespace sayvane
