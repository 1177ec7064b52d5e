#include "actions/Recognition.h"

#include "commandsets/SetText.h"
#include "text/Text.h"

namespace sayvane {

void RC_Recognition(RecognitionState& state, ResultField& result, const std::u16string& phraseText,
                    ActionServices& services) {
  auto& record = services.record;
  if (state.testMode) {
    record.note(concat({u"听到（测试模式）：", phraseText}));
    result.showResult(phraseText);
    return;
  }
  // A character that cannot speak must not cost the user the command itself.
  (void)services.character.speak(phraseText);
  if (phraseText == kWakePhrase) {
    record.note(concat({u"听到：", phraseText, u"（唤醒）"}));
    state.wakeFlag = true;
    services.character.showArmed(true);
    return;
  }
  if (!state.wakeFlag) return record.note(concat({u"听到：", phraseText, u"（之前没有唤醒，不执行）"}));
  state.wakeFlag = false;
  // Off before the action runs: its waits may last seconds.
  services.character.showArmed(false);
  // Taken out of the loaded text before it runs: an edit during one of its waits cannot change it.
  const auto action = findAction(state.loadedSetText, phraseText);
  // Noted before it runs, in memory only: the file is written when the program is idle.
  record.note(action ? concat({u"听到：", phraseText, u" → 执行 ", *action})
                     : concat({u"听到：", phraseText, u"（语音命令集里没有它的操作）"}));
  if (action) runAction(*action, services);
}

void RC_FalseRecognition(ResultField& result, DiagnosticRecord& record) {
  record.note(u"没有识别：说的话不是语音命令集里的词汇");
  result.showResult(std::u16string(kNotRecognized));
}

}  // namespace sayvane
