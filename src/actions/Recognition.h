// What happens when the recognizer reports a phrase, or an utterance it could not match.
#pragma once

#include <string>
#include <string_view>

#include "actions/ActionRunner.h"

namespace sayvane {

inline constexpr std::u16string_view kWakePhrase = u"Tobrin";
inline constexpr std::u16string_view kNotRecognized = u"没有识别重新念";

// The main-window state the handlers read and write.
struct RecognitionState {
  bool wakeFlag = false;
  bool testMode = false;
  std::u16string loadedSetText;
  std::u16string resultField;  // Text4
};

// Test mode only shows the phrase; otherwise it is spoken, and after the wake phrase the
// loaded set's action for it runs.
void RC_Recognition(RecognitionState& state, const std::u16string& phraseText, ActionServices& services);
void RC_FalseRecognition(RecognitionState& state);

}  // namespace sayvane
