// Speaking a text aloud through the speech API's own voice, where one is installed; nothing
// where none is. The texts are Chinese, so a Chinese voice reads them wherever one is
// installed, whatever the system's default voice. The voice is a COM object of the thread
// that first speaks.
#pragma once

#include <functional>
#include <string_view>
#include <vector>

#include "platform/DiagnosticRecord.h"
#include "platform/Recognizer.h"
#include "platform/win32/Automation.h"

namespace sayvane::win32 {

class SapiVoice final {
 public:
  // Creates the voice's automation object into `*voice`.
  using Factory = std::function<HRESULT(IDispatch** voice)>;

  // The system's voice class; the voice chosen goes to `record`.
  explicit SapiVoice(DiagnosticRecord& record = noRecord());
  explicit SapiVoice(Factory create, DiagnosticRecord& record = noRecord())
      : factory_(std::move(create)), record_(record) {}
  SapiVoice(const SapiVoice&) = delete;
  SapiVoice& operator=(const SapiVoice&) = delete;

  // Starts speaking `text` as plain text, cutting off whatever was still being said, and returns
  // without waiting for the speech. False when there is no working voice; the first call tries
  // to create one (COM must be initialised on this thread), a failure is not tried again.
  bool speak(std::u16string_view text);

  // The result of the last call of the speech API, for diagnosis.
  [[nodiscard]] HRESULT lastResult() const { return lastResult_; }

  // Every voice of the system's voice class, with its language; `listing` gets the call's answer.
  static std::vector<SpeechToken> installedVoices(SpeechStep& listing);

 private:
  bool create();
  void chooseChineseVoice();

  Factory factory_;
  DiagnosticRecord& record_;
  ComPtr<IDispatch> voice_;
  bool tried_ = false;
  HRESULT lastResult_ = S_OK;
};

}  // namespace sayvane::win32
