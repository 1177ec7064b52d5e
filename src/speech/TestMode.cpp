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
  const auto setEditing = [this](bool enabled) {
    for (Control* c : {&ui_.Command1, &ui_.Command2, &ui_.Command3, &ui_.Command4, &ui_.Command5, &ui_.List2})
      c->enabled = enabled;
  };
  if (flags_.rulesActive) {
    if (!p_.recognizer.setRulesActive(false)) {
      message(kAudioBusy);
      return;
    }
    flags_.rulesActive = false;
    ui_.Command6.caption = kStartTestCaption;
    setEditing(true);
    ui_.Text4.visible = false;
    ui_.SREngines.enabled = true;
    speech_.testMode = false;
    return;
  }
  message(kTestInstructions, u"提示");
  if (quitting_) return;
  if (!p_.recognizer.setRulesActive(true)) {
    message(kAudioBusy);
    return;
  }
  flags_.rulesActive = true;
  ui_.Command6.caption = kStopTestCaption;
  setEditing(false);
  ui_.Text4.visible = true;
  ui_.SREngines.enabled = false;
  speech_.testMode = true;
}

}  // namespace sayvane
