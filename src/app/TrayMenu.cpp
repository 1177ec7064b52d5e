#include "app/TrayMenu.h"

#include "app/MainWindow.h"

namespace sayvane {

std::vector<TrayEntry> MainWindow::trayMenu() const {
  return {
      {TrayChoice::ShowMainWindow, u"添加语音命令"},
      {TrayChoice::ShowCharacter, u"显示"},
      {TrayChoice::Quit, u"退出", TrayEntry::Mark::None, false, true},
  };
}

void MainWindow::trayCommand(TrayChoice choice) {
  if (quitting_) return;
  switch (choice) {
    case TrayChoice::ShowMainWindow: return characterCommand(u"添加语音命令");
    case TrayChoice::ShowCharacter: {
      auto s = services();
      runAction(u"OpenShow", s);
      return present();
    }
    case TrayChoice::Quit: return characterCommand(u"退出");
  }
}

}  // namespace sayvane
