#include "platform/win32/SapiVoice.h"

#include <objbase.h>
#include <sapi.h>

#include <cwchar>
#include <string>

namespace sayvane::win32 {

namespace {

// Our own copies: the import libraries the program links carry none of the speech API's GUIDs.
constexpr GUID kSpVoiceClass{0x96749377, 0x3391, 0x11d2, {0x9e, 0xe3, 0x00, 0xc0, 0x4f, 0x79, 0x73, 0x96}};
constexpr GUID kSpVoiceInterface{0x6c44df74, 0x72b9, 0x4992, {0xa1, 0xec, 0xef, 0x99, 0x6e, 0x04, 0x22, 0xd4}};
constexpr GUID kTokenCategoryClass{0xa910187f, 0x0c7a, 0x45ac, {0x92, 0xcc, 0x59, 0xed, 0xaf, 0xb7, 0x7b, 0x53}};
constexpr GUID kTokenCategoryInterface{0x2d3d3845, 0x39af, 0x4850, {0xbb, 0xf9, 0x40, 0xb4, 0x97, 0x80, 0x01, 0x1d}};

template <typename Interface>
void release(Interface*& object) {
  if (object) object->Release();
  object = nullptr;
}

}  // namespace

SapiVoice::~SapiVoice() { release(voice_); }

bool SapiVoice::create() {
  if (tried_) return voice_ != nullptr;
  tried_ = true;
  void* object = nullptr;
  lastResult_ = CoCreateInstance(kSpVoiceClass, nullptr, CLSCTX_ALL, kSpVoiceInterface, &object);
  if (FAILED(lastResult_) || !object) return false;
  voice_ = static_cast<ISpVoice*>(object);
  return true;
}

void SapiVoice::setLanguage(int languageId) { languageId_ = languageId; }

void SapiVoice::chooseVoice() {
  // Tried once per language: the default voice of an English system cannot read Chinese.
  chosenLanguageId_ = languageId_;
  if (languageId_ <= 0) return;
  void* object = nullptr;
  if (FAILED(CoCreateInstance(kTokenCategoryClass, nullptr, CLSCTX_ALL, kTokenCategoryInterface, &object)) || !object)
    return;
  auto* category = static_cast<ISpObjectTokenCategory*>(object);
  IEnumSpObjectTokens* tokens = nullptr;
  ISpObjectToken* token = nullptr;
  wchar_t wanted[32];
  std::swprintf(wanted, sizeof wanted / sizeof *wanted, L"Language=%x", static_cast<unsigned>(languageId_));
  if (SUCCEEDED(category->SetId(SPCAT_VOICES, FALSE)) && SUCCEEDED(category->EnumTokens(wanted, nullptr, &tokens)) &&
      tokens && tokens->Next(1, &token, nullptr) == S_OK && token)
    voice_->SetVoice(token);
  release(token);
  release(tokens);
  release(category);
}

bool SapiVoice::speak(std::wstring_view text) {
  if (!create()) return false;
  if (chosenLanguageId_ != languageId_) chooseVoice();
  const std::wstring copy(text);
  // Asynchronous, so the window keeps answering while the voice talks; a new text cuts off the last.
  lastResult_ = voice_->Speak(copy.c_str(), SPF_ASYNC | SPF_PURGEBEFORESPEAK | SPF_IS_NOT_XML, nullptr);
  return SUCCEEDED(lastResult_);
}

}  // namespace sayvane::win32
