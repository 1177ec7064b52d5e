// The phrase test mode: the selected set's rules listen, recognitions are only shown.
#include "app/MainWindow.h"
#include "speech/SpeechTexts.h"

namespace sayvane {

void MainWindow::Command6_Click() {
  if (!ui_.List2.selectedItem()) {
    message(kSelectASet, u"提示");
    return;
  }
  if (!flags_.grammarLoaded) return;
  if (flags_.rulesActive) {
    if (!p_.recognizer.setRulesActive(false)) return message(kAudioBusy);
    setTesting(false);
    return;
  }
  message(kTestInstructions, u"提示");
  if (quitting_) return;
  if (!p_.recognizer.setRulesActive(true)) return message(kAudioBusy);
  setTesting(true);
}

// The test's state in one place: on, the rules listen and every editing control is locked.
void MainWindow::setTesting(bool testing) {
  flags_.rulesActive = testing;
  ui_.Command6.caption = testing ? kStopTestCaption : kStartTestCaption;
  for (Control* c : {&ui_.Command1, &ui_.Command2, &ui_.Command3, &ui_.Command4, &ui_.Command5, &ui_.List2})
    c->enabled = !testing;
  ui_.Text4.visible = testing;
  ui_.SREngines.enabled = !testing;
  speech_.testMode = testing;
  // The test runs nothing, so the armed picture would mislead; the flag itself stays.
  character_.showArmed(!testing && speech_.wakeFlag);
}

}  // namespace sayvane
