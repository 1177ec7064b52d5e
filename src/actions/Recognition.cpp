#include "actions/Recognition.h"

#include "commandsets/SetText.h"

namespace sayvane {

void RC_Recognition(RecognitionState& state, ResultField& result, const std::u16string& phraseText,
                    ActionServices& services) {
  if (state.testMode) {
    result.showResult(phraseText);
    return;
  }
  // A character that cannot speak must not cost the user the command itself.
  (void)services.character.speak(phraseText);
  if (phraseText == kWakePhrase) {
    state.wakeFlag = true;
    services.character.showArmed(true);
    return;
  }
  if (!state.wakeFlag) return;
  state.wakeFlag = false;
  // Off before the action runs: its waits may last seconds.
  services.character.showArmed(false);
  // Taken out of the loaded text before it runs: an edit during one of its waits cannot change it.
  const auto action = findAction(state.loadedSetText, phraseText);
  if (action) runAction(*action, services);
}

void RC_FalseRecognition(ResultField& result) { result.showResult(std::u16string(kNotRecognized)); }

}  // namespace sayvane
