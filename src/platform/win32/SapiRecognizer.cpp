#include "platform/win32/SapiRecognizer.h"

#include <sapi.h>

namespace sayvane::win32 {
namespace {

// Not in mingw-w64's import libraries.
constexpr GUID kSharedRecoContext = {0x47206204, 0x5ECA, 0x11D2, {0x96, 0x0F, 0x00, 0xC0, 0x4F, 0x8E, 0xE6, 0x28}};
constexpr IID kRecoContextEvents = {0x7B8FCB42, 0x0E9D, 0x4F00, {0xA0, 0x48, 0x7B, 0x04, 0xD6, 0x17, 0x9D, 0x3D}};

constexpr std::int32_t kCommandGrammarId = 1;
constexpr std::int32_t kTopLevelRules = 0;  // rule id 0: every top-level rule

HRESULT createSharedContext(IDispatch** context) {
  return CoCreateInstance(kSharedRecoContext, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IDispatch,
                          reinterpret_cast<void**>(context));
}

}  // namespace

SapiRecognizer::SapiRecognizer() : SapiRecognizer(createSharedContext) {}

SapiRecognizer::SapiRecognizer(ContextFactory createContext) : factory_(std::move(createContext)) {}

SapiRecognizer::~SapiRecognizer() {
  // No event may reach this object once it starts going; the grammar belongs to the context.
  events_.disconnect();
  grammar_.Reset();
  context_.Reset();
}

void SapiRecognizer::setEventHandlers(std::function<void(const std::u16string&)> recognition,
                                      std::function<void()> falseRecognition) {
  recognition_ = std::move(recognition);
  falseRecognition_ = std::move(falseRecognition);
}

bool SapiRecognizer::createContext() {
  events_.disconnect();
  grammar_.Reset();
  context_.Reset();
  ComPtr<IDispatch> context;
  if (!factory_ || FAILED(factory_(context.GetAddressOf())) || !context) return false;
  const HRESULT advised = events_.connect(context.Get(), kRecoContextEvents,
                                          [this](DISPID member, DISPPARAMS& parameters) {
                                            return onEvent(member, parameters);
                                          });
  if (FAILED(advised)) return false;
  context_ = std::move(context);
  return true;
}

std::optional<std::vector<std::u16string>> SapiRecognizer::recognizerDescriptions() {
  const ComPtr<IDispatch> recognizer = dispatchResult(context_.Get(), DISPID_SRCRecognizer, DISPATCH_PROPERTYGET);
  const ComPtr<IDispatch> tokens = dispatchResult(recognizer.Get(), DISPID_SRGetRecognizers, DISPATCH_METHOD,
                                                  {Variant::string(u""), Variant::string(u"")});
  const auto count = integerResult(tokens.Get(), DISPID_SOTsCount, DISPATCH_PROPERTYGET);
  if (!count || *count < 0) return std::nullopt;
  std::vector<std::u16string> descriptions;
  for (std::int32_t i = 0; i < *count; ++i) {
    const ComPtr<IDispatch> token = dispatchResult(tokens.Get(), DISPID_SOTsItem, DISPATCH_METHOD, {Variant::i4(i)});
    auto description = stringResult(token.Get(), DISPID_SOTGetDescription, DISPATCH_METHOD, {Variant::i4(0)});
    if (!description) return std::nullopt;
    descriptions.push_back(std::move(*description));
  }
  return descriptions;
}

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
  return SUCCEEDED(invoke(grammar_.Get(), DISPID_SRGCmdSetRuleIdState, DISPATCH_METHOD,
                          {Variant::i4(kTopLevelRules), Variant::i4(active ? SGDSActive : SGDSInactive)}));
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
