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
};

// The result field Text4: writing it is a change the window reacts to.
class ResultField {
 public:
  ResultField() = default;
  ResultField(const ResultField&) = delete;
  ResultField& operator=(const ResultField&) = delete;
  virtual ~ResultField() = default;
  virtual void showResult(const std::u16string& text) = 0;
};

// Test mode only shows the phrase; otherwise it is spoken, and after the wake phrase the
// loaded set's action for it runs.
void RC_Recognition(RecognitionState& state, ResultField& result, const std::u16string& phraseText,
                    ActionServices& services);
void RC_FalseRecognition(ResultField& result, DiagnosticRecord& record);

}  // namespace sayvane
