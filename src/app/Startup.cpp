// Start-up: runs once when the main window is created, before it is first shown.
#include <algorithm>

#include "app/AppTexts.h"
#include "app/MainWindow.h"
#include "commandsets/DefaultSets.h"
#include "commandsets/SetFile.h"
#include "speech/SpeechTexts.h"
#include "text/Text.h"

namespace sayvane {

void MainWindow::start() {
  if (started_) return;
  started_ = true;
  // The clear timer runs from the window's creation: the controls already say so.
  p_.timer.start(std::chrono::milliseconds(1000));
  startupPhase1();
  if (quitting_) return;
  if (!startupPhase2()) {
    p_.record.note(concat({u"提示框：", kStartupFailure}));
    present();
    p_.dialogs.critical(std::u16string(kStartupFailure), std::u16string(kAppTitle));
    // Hidden with an empty character menu, the program could neither be edited nor quit.
    showMainWindow();
    present();
    return;
  }
  // No set came on (no initial set, or no Chinese recognizer shown): the character's menu is
  // empty and nothing is heard, so the window is the user's only way to mend that or to quit.
  if (!menu_.filled()) showMainWindow();
  present();
}

// Every step here may fail without a word; the next one runs.
void MainWindow::startupPhase1() {
  const auto setting = p_.settings.read(std::u16string(kSettingsApplication), std::u16string(kSettingsSection),
                                        std::u16string(kSettingsKey));
  if (setting && *setting == u"1") {
    tickStartupSetting();
  } else {
    message(kStartupTips, u"提示");
  }
  options_ = readOptions(p_.settings);

  // A first start: without any set the program could do nothing.
  if (const auto blocked = library_.writeDefaultsIfEmpty()) {
    message(defaultsNotWritten(*blocked));
    quit();
    return;
  }
  library_.list();

  menu_.loadAndGreet(p_.characterControl);
  hideMainWindow();
}

// Moving the program helps only when the folder is what refuses; an entry in the way must be named.
std::u16string MainWindow::defaultsNotWritten(const std::u16string& fileName) {
  const auto folder = p_.files.folder();
  switch (p_.files.kindOf(fileName)) {
    case Files::Kind::Folder: return concat({kDefaultsBlocked, folder, kBlockedByFolder, fileName, kBlockedByFolderEnd});
    case Files::Kind::File: return concat({kDefaultsBlocked, folder, kBlockedByFile, fileName, kBlockedByFileEnd});
    case Files::Kind::Missing: break;
  }
  return concat({kFolderNotWritable, folder, kFolderNotWritableEnd});
}

// The recognizer's start, then the initial set chosen and switched on. Once the recognizer has
// started, a broken initial set is the file's fault, not the recognizer's: the file is named
// and the set left off, so the window shows with the list free for another.
bool MainWindow::startupPhase2() {
  if (!listener_.start(options_.recognizer)) return false;
  const auto& names = library_.names();
  if (std::find(names.begin(), names.end(), kInitialSetName) != names.end()) {
    if (const auto problem = chooseSet(std::u16string(kInitialSetName))) {
      message(concat({problem->description, kChooseAnotherSet}));
      return true;
    }
  }
  if (switchActiveSet() == SwitchResult::MenuFailed) message(concat({menuError_, kChooseAnotherSet}));
  return true;
}

}  // namespace sayvane
