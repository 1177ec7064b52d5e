#include "platform/win32/SapiRecognizer.h"

#include <sapi.h>

#include <algorithm>

#include "speech/SpeechTexts.h"

namespace sayvane::win32 {
namespace {

// Not in mingw-w64's import libraries.
constexpr GUID kSharedRecoContext = {0x47206204, 0x5ECA, 0x11D2, {0x96, 0x0F, 0x00, 0xC0, 0x4F, 0x8E, 0xE6, 0x28}};
constexpr GUID kInprocRecognizer = {0x41B89B6B, 0x9399, 0x11D2, {0x96, 0x23, 0x00, 0xC0, 0x4F, 0x8E, 0xE6, 0x28}};
constexpr IID kRecoContextEvents = {0x7B8FCB42, 0x0E9D, 0x4F00, {0xA0, 0x48, 0x7B, 0x04, 0xD6, 0x17, 0x9D, 0x3D}};

constexpr std::int32_t kCommandGrammarId = 1;
constexpr std::int32_t kTopLevelRules = 0;  // rule id 0: every top-level rule

HRESULT create(const GUID& clsid, DWORD where, IDispatch** object) {
  return CoCreateInstance(clsid, nullptr, where, IID_IDispatch, reinterpret_cast<void**>(object));
}

// The collection a recognizer's GetRecognizers or GetAudioInputs returns ("" and "": everything).
ComPtr<IDispatch> tokensOf(IDispatch* recognizer, DISPID list, std::int32_t& count) {
  ComPtr<IDispatch> tokens = dispatchResult(recognizer, list, DISPATCH_METHOD, {Variant::string(u""), Variant::string(u"")});
  count = integerResult(tokens.Get(), DISPID_SOTsCount, DISPATCH_PROPERTYGET).value_or(-1);
  return count < 0 ? nullptr : tokens;
}

ComPtr<IDispatch> tokenAt(IDispatch* tokens, std::int32_t index) {
  return dispatchResult(tokens, DISPID_SOTsItem, DISPATCH_METHOD, {Variant::i4(index)});
}

struct Engines {
  std::vector<ComPtr<IDispatch>> tokens;
  std::vector<std::u16string> descriptions;
};

// Every installed engine, in enumeration order, with its description for locale 0.
std::optional<Engines> enginesOf(IDispatch* recognizer) {
  std::int32_t count = 0;
  const ComPtr<IDispatch> tokens = tokensOf(recognizer, DISPID_SRGetRecognizers, count);
  if (!tokens) return std::nullopt;
  Engines engines;
  for (std::int32_t i = 0; i < count; ++i) {
    ComPtr<IDispatch> token = tokenAt(tokens.Get(), i);
    auto description = stringResult(token.Get(), DISPID_SOTGetDescription, DISPATCH_METHOD, {Variant::i4(0)});
    if (!description) return std::nullopt;
    engines.tokens.push_back(std::move(token));
    engines.descriptions.push_back(std::move(*description));
  }
  return engines;
}

HRESULT putToken(IDispatch* recognizer, DISPID property, IDispatch* token) {
  return invoke(recognizer, property, DISPATCH_PROPERTYPUTREF, {Variant::dispatch(token)});
}

}  // namespace

SapiRecognizer::SapiRecognizer()
    : SapiRecognizer([](IDispatch** context) {
        return create(kSharedRecoContext, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, context);
      },
      [](IDispatch** recognizer) { return create(kInprocRecognizer, CLSCTX_INPROC_SERVER, recognizer); }) {}

SapiRecognizer::SapiRecognizer(Factory sharedContext, Factory inprocRecognizer)
    : shared_(std::move(sharedContext)), inproc_(std::move(inprocRecognizer)) {}

SapiRecognizer::~SapiRecognizer() { close(); }

void SapiRecognizer::close() {
  // No event may reach this object once it starts going; the grammar belongs to the context,
  // the context to the engine.
  events_.disconnect();
  grammar_.Reset();
  context_.Reset();
  engine_.Reset();
  descriptions_.reset();
  inUse_ = 0;
}

void SapiRecognizer::setEventHandlers(std::function<void(const std::u16string&)> recognition,
                                      std::function<void()> falseRecognition) {
  recognition_ = std::move(recognition);
  falseRecognition_ = std::move(falseRecognition);
}

bool SapiRecognizer::createContext(RecognizerChoice preferred) {
  close();
  if (preferred == RecognizerChoice::Own) return openInproc() || openShared();
  return openShared() || openInproc();
}

std::optional<RecognizerChoice> SapiRecognizer::contextClass() const {
  if (!context_) return std::nullopt;
  return engine_ ? RecognizerChoice::Own : RecognizerChoice::Shared;
}

bool SapiRecognizer::listen(ComPtr<IDispatch> context) {
  const HRESULT advised = events_.connect(context.Get(), kRecoContextEvents,
                                          [this](DISPID member, DISPPARAMS& parameters) {
                                            return onEvent(member, parameters);
                                          });
  if (FAILED(advised)) return false;
  context_ = std::move(context);
  return true;
}

bool SapiRecognizer::openShared() {
  ComPtr<IDispatch> context;
  if (!shared_ || FAILED(shared_(context.GetAddressOf())) || !context || !listen(std::move(context))) return false;
  // The system's engine listens; the list only shows it, entry 0 first.
  const ComPtr<IDispatch> recognizer = dispatchResult(context_.Get(), DISPID_SRCRecognizer, DISPATCH_PROPERTYGET);
  auto engines = enginesOf(recognizer.Get());
  if (!engines) {
    close();
    return false;
  }
  descriptions_ = std::move(engines->descriptions);
  return true;
}

bool SapiRecognizer::openInproc() {
  ComPtr<IDispatch> engine;
  if (!inproc_ || FAILED(inproc_(engine.GetAddressOf())) || !engine) return false;
  auto engines = enginesOf(engine.Get());
  if (!engines) return false;
  // The engine that listens is the one the set switch's check reads: the first Chinese one.
  // With none, the engine's own default stays, and the check reads entry 0 and refuses.
  const auto& descriptions = engines->descriptions;
  const auto chinese = std::find_if(descriptions.begin(), descriptions.end(), namesChineseEngine);
  const auto inUse = chinese == descriptions.end() ? 0 : static_cast<std::size_t>(chinese - descriptions.begin());
  if (chinese != descriptions.end() && FAILED(putToken(engine.Get(), DISPID_SRRecognizer, engines->tokens[inUse].Get())))
    return false;
  // The first input is the system's default one. Without any, the context still comes, and
  // switching the rules on reports the audio device.
  std::int32_t inputCount = 0;
  const ComPtr<IDispatch> inputs = tokensOf(engine.Get(), DISPID_SVGetAudioInputs, inputCount);
  if (!inputs) return false;
  if (inputCount > 0) {
    const ComPtr<IDispatch> input = tokenAt(inputs.Get(), 0);
    if (!input || FAILED(putToken(engine.Get(), DISPID_SRAudioInput, input.Get()))) return false;
  }
  ComPtr<IDispatch> context = dispatchResult(engine.Get(), DISPID_SRCreateRecoContext, DISPATCH_METHOD);
  if (!context || !listen(std::move(context))) return false;
  engine_ = std::move(engine);
  descriptions_ = std::move(engines->descriptions);
  inUse_ = inUse;
  return true;
}

std::optional<std::vector<std::u16string>> SapiRecognizer::recognizerDescriptions() { return descriptions_; }

bool SapiRecognizer::createGrammar() {
  ComPtr<IDispatch> grammar =
      dispatchResult(context_.Get(), DISPID_SRCCreateGrammar, DISPATCH_METHOD, {Variant::i4(kCommandGrammarId)});
  if (!grammar) return false;
  grammar_ = std::move(grammar);
  return true;
}

bool SapiRecognizer::loadDictation() {
  return SUCCEEDED(invoke(grammar_.Get(), DISPID_SRGDictationLoad, DISPATCH_METHOD,
                          {Variant::string(u""), Variant::i4(SLOStatic)}));
}

bool SapiRecognizer::deactivateDictation() {
  return SUCCEEDED(invoke(grammar_.Get(), DISPID_SRGDictationSetState, DISPATCH_METHOD, {Variant::i4(SGDSInactive)}));
}

std::optional<std::uint32_t> SapiRecognizer::eventInterests() {
  const auto interests = integerResult(context_.Get(), DISPID_SRCEventInterests, DISPATCH_PROPERTYGET);
  if (!interests) return std::nullopt;
  return static_cast<std::uint32_t>(*interests);
}

bool SapiRecognizer::setEventInterests(std::uint32_t interests) {
  return SUCCEEDED(
      putProperty(context_.Get(), DISPID_SRCEventInterests, Variant::i4(static_cast<std::int32_t>(interests))));
}

bool SapiRecognizer::loadCommandFile(const std::u16string& path) {
  return SUCCEEDED(invoke(grammar_.Get(), DISPID_SRGCmdLoadFromFile, DISPATCH_METHOD,
                          {Variant::string(path), Variant::i4(SLODynamic)}));
}

bool SapiRecognizer::setRulesActive(bool active) {
  const HRESULT hr = invoke(grammar_.Get(), DISPID_SRGCmdSetRuleIdState, DISPATCH_METHOD,
                            {Variant::i4(kTopLevelRules), Variant::i4(active ? SGDSActive : SGDSInactive)});
  // Rules that cannot hear still succeed: a recognizer without an audio input answers
  // SP_STREAM_UNINITIALIZED. Only S_OK means they listen.
  return active ? hr == S_OK : SUCCEEDED(hr);
}

HRESULT SapiRecognizer::onEvent(DISPID member, DISPPARAMS& parameters) {
  // The result is the last argument of both events, so rgvarg[0] whatever comes before it.
  if (member == DISPID_SRCEFalseRecognition) {
    auto handler = falseRecognition_;  // a copy: the handler may replace or destroy ours
    if (handler) handler();
    return S_OK;
  }
  if (member != DISPID_SRCERecognition || parameters.cArgs < 1 || !parameters.rgvarg) return S_OK;
  const ComPtr<IDispatch> result = dispatchOf(parameters.rgvarg[0]);
  const ComPtr<IDispatch> phrase = dispatchResult(result.Get(), DISPID_SRRPhraseInfo, DISPATCH_PROPERTYGET);
  const auto text = stringResult(phrase.Get(), DISPID_SPIGetText, DISPATCH_METHOD,
                                 {Variant::i4(0), Variant::i4(-1), Variant::boolean(true)});
  // Without its text a recognition cannot be matched to any command, and passing an empty text
  // on would read as a phrase that was heard: dropped, like an utterance never recognised.
  if (!text) return S_OK;
  auto handler = recognition_;
  if (handler) handler(*text);
  return S_OK;  // `this` may be gone now
}

}  // namespace sayvane::win32
