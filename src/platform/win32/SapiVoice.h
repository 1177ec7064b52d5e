// Speaking a text aloud through the speech API's own voice, where one is installed; nothing
// where none is. The voice is a COM object of the thread that first speaks.
#pragma once

#include <windows.h>

#include <string_view>

struct ISpVoice;

namespace sayvane::win32 {

class SapiVoice final {
 public:
  SapiVoice() = default;
  ~SapiVoice();
  SapiVoice(const SapiVoice&) = delete;
  SapiVoice& operator=(const SapiVoice&) = delete;

  // Starts speaking `text` as plain text, cutting off whatever was still being said, and returns
  // without waiting for the speech. False when there is no working voice; the first call tries
  // to create one (COM must be initialised on this thread), a failure is not tried again.
  bool speak(std::wstring_view text);
  // Prefers a voice of this language (a Windows language id, 0x804 for Simplified Chinese)
  // from the next speech on; the system's default voice when none is installed.
  void setLanguage(int languageId);

  // Whether creating the voice was tried, and whether it worked.
  [[nodiscard]] bool tried() const { return tried_; }
  [[nodiscard]] bool available() const { return voice_ != nullptr; }
  // The result of the last call of the speech API, for diagnosis.
  [[nodiscard]] HRESULT lastResult() const { return lastResult_; }

 private:
  bool create();
  void chooseVoice();

  ISpVoice* voice_ = nullptr;
  bool tried_ = false;
  int languageId_ = 0;
  int chosenLanguageId_ = 0;
  HRESULT lastResult_ = S_OK;
};

}  // namespace sayvane::win32
