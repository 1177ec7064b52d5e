#include "app/TrayMenu.h"

#include "app/MainWindow.h"
#include "speech/SpeechCheck.h"
#include "speech/SpeechTexts.h"
#include "text/Text.h"

namespace sayvane {

std::vector<TrayEntry> MainWindow::trayMenu() const {
  // The recognizer in use, which after a fallback is not the one chosen; none without speech.
  const auto inUse = listener_.inUse();
  using enum TrayEntry::Mark;
  return {
      {TrayChoice::ShowMainWindow, u"添加语音命令"},
      {TrayChoice::ShowCharacter, u"显示"},
      {TrayChoice::GameKeys, kGameKeysCaption, Check, options_.gameKeys, true},
      {TrayChoice::UseSharedRecognizer, kUseSharedRecognizer, Radio, inUse == RecognizerChoice::Shared, true},
      {TrayChoice::UseOwnRecognizer, kUseOwnRecognizer, Radio, inUse == RecognizerChoice::Own},
      {TrayChoice::CheckSpeech, kSpeechCheckCaption, None, false, true},
      {TrayChoice::OpenRecord, kOpenRecord},
      {TrayChoice::Quit, u"退出", None, false, true},
  };
}

void MainWindow::trayCommand(TrayChoice choice) {
  if (quitting_) return;
  trayChoice(choice);
  present();
}

void MainWindow::trayChoice(TrayChoice choice) {
  switch (choice) {
    case TrayChoice::ShowMainWindow: return characterCommand(u"添加语音命令");
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
    case TrayChoice::UseSharedRecognizer: return useRecognizer(RecognizerChoice::Shared);
    case TrayChoice::UseOwnRecognizer: return useRecognizer(RecognizerChoice::Own);
    case TrayChoice::CheckSpeech: {
      // Each recognizer is tried apart from the one in use, which goes on as it was.
      const auto check = checkSpeech(p_.recognizer.survey(), options_.recognizer);
      p_.record.note(concat({u"语音检查：", check.report.substr(check.report.rfind(u'\n') + 1)}));
      present();
      return p_.dialogs.showText(check.report, std::u16string(kSpeechCheckCaption));
    }
    case TrayChoice::OpenRecord:
      // Whatever waits goes to the file first; one that cannot be written would open stale or not at all.
      if (!p_.record.flush()) return message(concat({kRecordNotWritable, p_.files.folder(), kRecordNotWritableEnd}));
      return p_.shell.open(concat({p_.files.folder(), u"\\", kRecordFile}));
    case TrayChoice::Quit: return characterCommand(u"退出");
  }
}

}  // namespace sayvane
