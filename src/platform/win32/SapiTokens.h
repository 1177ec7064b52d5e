// The speech API's token lists (what GetRecognizers, GetAudioInputs and GetVoices return): each
// token with its description, and the language it declares where asked.
#pragma once

#include <optional>
#include <vector>

#include "platform/Recognizer.h"
#include "platform/win32/Automation.h"

namespace sayvane::win32 {

struct TokenList {
  std::vector<ComPtr<IDispatch>> tokens;
  std::vector<SpeechToken> described;
};

// Nothing when the count, an item or its description cannot be read.
std::optional<TokenList> describeTokens(IDispatch* collection, bool withLanguages);
// "2 个：甲［804］，乙": how the diagnostic record and the speech check list them.
std::u16string listed(const std::vector<SpeechToken>& tokens);

}  // namespace sayvane::win32
