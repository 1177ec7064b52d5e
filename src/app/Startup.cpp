// Start-up: runs once when the main window is created, before it is first shown.
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
    p_.dialogs.critical(std::u16string(kStartupFailure), std::u16string(kAppTitle));
    // Hidden with an empty character menu, the program could neither be edited nor quit.
    showMainWindow();
    return;
  }
  // No set came on (no initial set, or no Chinese recognizer shown): the character's menu is
  // empty and nothing is heard, so the window is the user's only way to mend that or to quit.
  if (!flags_.menuFilled) showMainWindow();
}

// Every step here may fail without a word; the next one runs.
void MainWindow::startupPhase1() {
  const auto setting = p_.settings.read(std::u16string(kSettingsApplication), std::u16string(kSettingsSection),
                                        std::u16string(kSettingsKey));
  if (setting && *setting == u"1") {
    ui_.Check1.checked = true;
    Check1_Click();
  } else {
    message(kStartupTips, u"提示");
  }
  options_ = readOptions(p_.settings);

  // A first start: without any set the program could do nothing. A folder that holds any set
  // file is never touched.
  if (p_.files.listXml().empty() && !restoreDefaultSets(p_.files, p_.codePage)) {
    // Sets written before the failure go too: a half set of defaults would stop the next
    // start, in a folder that can be written, from writing all eight.
    for (const auto& file : p_.files.listXml()) (void)p_.files.remove(file);
    message(concat({kFolderNotWritable, p_.files.folder(), kFolderNotWritableEnd}));
    quit();
    return;
  }
  ui_.List2.items = listSetNames(p_.files);

  loadAndGreet();
  hideMainWindow();
}

bool MainWindow::startupPhase2() { return recognizerStart(); }

}  // namespace sayvane
