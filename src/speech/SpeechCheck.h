// The speech check: one report, in Chinese, of what the speech API offers this user and of the
// road Sayvane will take, from the notification icon's menu or `sayvane-tool speech-check`.
#pragma once

#include <string>

#include "platform/Recognizer.h"

namespace sayvane {

inline constexpr std::u16string_view kSpeechCheckCaption = u"语音检查";

struct SpeechCheck {
  std::u16string report;  // lines joined by CR LF
  bool canListen = false;  // at least one recognizer can hear with a Chinese engine
};

// `chosen`: the recognizer the user chose, which the program tries first.
SpeechCheck checkSpeech(const SpeechSurvey& survey, RecognizerChoice chosen);

}  // namespace sayvane
