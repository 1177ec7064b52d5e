// The composer's buttons and menu items: they only ever change the action field.
#include "app/MainWindow.h"
#include "commandsets/Composer.h"

namespace sayvane {

void MainWindow::openComposerMenu(ComposerMenu menu) {
  int x = 0, y = 0;
  const auto layout = mainWindowLayout(clientWidth_, clientHeight_);
  composerMenuPoint(menu, findPlacement("Frame1", layout)->rect, x, y);
  p_.view.popupMenu(menu, x, y);
}

void MainWindow::composerMenuItem(std::string_view name) {
  const auto* item = findComposerItem(name);
  if (!item) return;
  if (name == kKeyHelpItem) return message(kKeyHelp, u"提示");
  ui_.Text2.text += item->token;
}

void MainWindow::Image2_Click() {
  const auto path = p_.dialogs.pickFile(std::u16string(kPickerTitle), p_.files.folder(), std::u16string(kPickerFilter));
  if (!path) return;
  const auto action = pickedFileAction(*path);
  if (!action) return message(kPathWithBracket, u"提示");
  ui_.Text2.text = *action;
}

void MainWindow::Image3_Click() { ui_.Text2.text = kWebTemplate; }

}  // namespace sayvane
