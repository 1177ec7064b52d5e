#include "platform/win32/SapiVoice.h"

#include <sapi.h>

#include "platform/win32/SapiTokens.h"
#include "text/Text.h"

namespace sayvane::win32 {

namespace {

// Our own copy: the import libraries the program links carry none of the speech API's GUIDs.
constexpr GUID kSpVoiceClass{0x96749377, 0x3391, 0x11d2, {0x9e, 0xe3, 0x00, 0xc0, 0x4f, 0x79, 0x73, 0x96}};

// Simplified Chinese (0x804), as voice tokens write their Language attribute.
constexpr std::u16string_view kChineseVoices = u"Language=804";

HRESULT createVoice(IDispatch** voice) {
  return CoCreateInstance(kSpVoiceClass, nullptr, CLSCTX_ALL, IID_IDispatch, reinterpret_cast<void**>(voice));
}

}  // namespace

SapiVoice::SapiVoice(DiagnosticRecord& record) : SapiVoice(createVoice, record) {}

std::vector<SpeechToken> SapiVoice::installedVoices(SpeechStep& listing) {
  ComPtr<IDispatch> voice;
  HRESULT answer = createVoice(voice.GetAddressOf());
  listing.call = u"创建 SpVoice";
  Variant voices;
  if (SUCCEEDED(answer)) {
    listing.call = u"SpVoice.GetVoices(\"\", \"\")";
    answer = invoke(voice.Get(), DISPID_SVGetVoices, DISPATCH_METHOD, {Variant::string(u""), Variant::string(u"")},
                    &voices);
  }
  auto list = SUCCEEDED(answer) ? describeTokens(dispatchOf(voices.get()).Get(), true) : std::nullopt;
  if (SUCCEEDED(answer) && !list) answer = E_UNEXPECTED;
  listing.answer = static_cast<std::uint32_t>(answer);
  return list ? std::move(list->described) : std::vector<SpeechToken>{};
}

bool SapiVoice::create() {
  if (tried_) return voice_ != nullptr;
  tried_ = true;
  ComPtr<IDispatch> voice;
  lastResult_ = factory_ ? factory_(voice.GetAddressOf()) : E_NOTIMPL;
  record_.note(concat({u"声音：创建 SpVoice -> ", answerText(static_cast<std::uint32_t>(lastResult_))}));
  if (FAILED(lastResult_) || !voice) return false;
  voice_ = std::move(voice);
  chooseChineseVoice();
  return true;
}

void SapiVoice::chooseChineseVoice() {
  // The default voice of a system shown in another language reads Chinese as noise; it stays
  // only when no Chinese voice is installed, or the choice fails.
  const ComPtr<IDispatch> voices = dispatchResult(voice_.Get(), DISPID_SVGetVoices, DISPATCH_METHOD,
                                                  {Variant::string(kChineseVoices), Variant::string(u"")});
  const auto count = integerResult(voices.Get(), DISPID_SOTsCount, DISPATCH_PROPERTYGET);
  if (!count || *count < 1) return record_.note(u"声音：没有中文声音，用系统默认的声音");
  const ComPtr<IDispatch> chinese = dispatchResult(voices.Get(), DISPID_SOTsItem, DISPATCH_METHOD, {Variant::i4(0)});
  const auto name = stringResult(chinese.Get(), DISPID_SOTGetDescription, DISPATCH_METHOD, {Variant::i4(0)});
  const HRESULT chosen =
      chinese ? invoke(voice_.Get(), DISPID_SVVoice, DISPATCH_PROPERTYPUTREF, {Variant::dispatch(chinese.Get())}) : E_FAIL;
  record_.note(concat({u"声音：使用“", name.value_or(u""), u"” -> ", answerText(static_cast<std::uint32_t>(chosen))}));
}

bool SapiVoice::speak(std::u16string_view text) {
  if (!create()) return false;
  // Asynchronous, so the window keeps answering while the voice talks; a new text cuts off the last.
  lastResult_ = invoke(voice_.Get(), DISPID_SVSpeak, DISPATCH_METHOD,
                       {Variant::string(text), Variant::i4(SVSFlagsAsync | SVSFPurgeBeforeSpeak | SVSFIsNotXML)});
  return SUCCEEDED(lastResult_);
}

}  // namespace sayvane::win32
