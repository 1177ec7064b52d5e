// The assistant character: loading and greeting, its command menu, and its menu choices.
#include "app/AppTexts.h"
#include "app/MainWindow.h"
#include "commandsets/SetFile.h"
#include "commandsets/SetText.h"
#include "text/Text.h"

namespace sayvane {

void MainWindow::loadAndGreet() {
  // Each step is tried even when the one before failed; a missing character fails them all.
  character_.set(p_.characterControl.load(std::u16string(kCharacterId), concat({p_.files.folder(), kCharacterFile})));
  (void)character_.setLanguageId(kCharacterLanguage);
  (void)character_.show();
  (void)character_.speak(std::u16string(kGreeting));
}

bool MainWindow::FillAgentMenu(const std::u16string& fileName) {
  // The file is read even when the menu is already filled, so a vanished set is noticed.
  const auto read = readSetFileNamed(p_.files, p_.codePage, fileName);
  if (!read) {
    menuError_ = describeSetFileError(read, fileName);
    return false;
  }
  if (flags_.menuFilled) return true;
  // Without a character there is no menu to fill, but voice commands work all the same.
  if (character_.get()) {
    for (auto& phrase : characterMenuEntries(read.text)) {
      // An empty or repeated name is the control's business; it must not stop the switch.
      (void)character_.addCommand(phrase);
      characterMenu_.push_back(std::move(phrase));
    }
  }
  flags_.menuFilled = true;
  return true;
}

void MainWindow::clearCommandMenu() {
  if (!flags_.menuFilled) return;
  (void)character_.removeAllCommands();
  characterMenu_.clear();
  flags_.menuFilled = false;
}

void MainWindow::restoreCommandMenu(const std::vector<std::u16string>& entries, bool filled) {
  if (flags_.menuFilled == filled && characterMenu_ == entries) return;
  clearCommandMenu();
  if (!filled) return;
  for (const auto& phrase : entries) (void)character_.addCommand(phrase);
  characterMenu_ = entries;
  flags_.menuFilled = true;
}

void MainWindow::Agent1_Command(const std::u16string& name) {
  if (quitting_) return;
  // Only these three; any other entry's action is not carried out.
  if (name == u"添加语音命令" || name == u"更换语音命令") showMainWindow();
  else if (name == u"退出") quit();
}

}  // namespace sayvane
