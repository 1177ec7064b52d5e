#include "platform/win32/SapiRecognizer.h"

#include <sapi.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "platform/win32/SapiTokens.h"
#include "platform/win32/SapiVoice.h"
#include "platform/win32/SystemInfo.h"
#include "text/Text.h"

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

// A grammar of the wake phrase alone in a file of its own, for the speech check; its path, or
// nothing. Plain ASCII, so it reads the same in any code page.
std::optional<std::filesystem::path> onePhraseGrammar() {
  static constexpr char kGrammar[] =
      "<?xml version=\"1.0\" encoding=\"gb2312\" ?>\r\n<GRAMMAR LANGID=\"804\">\r\n"
      "<RULE NAME=\"Check\" ID=\"1001\" TOPLEVEL=\"ACTIVE\">\r\n<L PROPNAME=\"Check\" PROPID=\"1001\">\r\n"
      "<P VALSTR=\"OpenShow\">+Tobrin</P>\r\n</L>\r\n</RULE>\r\n</GRAMMAR>\r\n";
  wchar_t temp[MAX_PATH + 1] = {};
  if (!GetTempPathW(MAX_PATH, temp)) return std::nullopt;
  const auto path = std::filesystem::path(temp) / L"sayvane-speech-check.xml";
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << kGrammar;
  out.close();
  if (!out) return std::nullopt;
  return path;
}

}  // namespace

SapiRecognizer::SapiRecognizer(DiagnosticRecord& record)
    : SapiRecognizer([](IDispatch** context) {
        return create(kSharedRecoContext, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, context);
      },
      [](IDispatch** recognizer) { return create(kInprocRecognizer, CLSCTX_INPROC_SERVER, recognizer); }, record) {}

SapiRecognizer::SapiRecognizer(Factory sharedContext, Factory inprocRecognizer, DiagnosticRecord& record)
    : shared_(std::move(sharedContext)), inproc_(std::move(inprocRecognizer)), record_(record) {}

SapiRecognizer::~SapiRecognizer() { close(); }

void SapiRecognizer::close() {
  // No event may reach this object once it starts going; the grammar belongs to the context,
  // the context to the engine.
  events_.disconnect();
  grammar_.Reset();
  context_.Reset();
  engine_.Reset();
  inUse_ = 0;
}

void SapiRecognizer::setEventHandlers(std::function<void(const std::u16string&)> recognition,
                                      std::function<void()> falseRecognition) {
  recognition_ = std::move(recognition);
  falseRecognition_ = std::move(falseRecognition);
}

void SapiRecognizer::noted(std::u16string call, HRESULT answer) {
  record_.note(concat({u"识别器：", call, u" -> ", answerText(static_cast<std::uint32_t>(answer))}));
  found_.steps.push_back({std::move(call), static_cast<std::uint32_t>(answer)});
}

HRESULT SapiRecognizer::step(std::u16string call, IDispatch* object, DISPID member, WORD flags,
                             std::initializer_list<Variant> arguments, Variant* result) {
  const HRESULT answer = invoke(object, member, flags, arguments, result);
  noted(std::move(call), answer);
  return answer;
}

std::optional<std::vector<ComPtr<IDispatch>>> SapiRecognizer::tokens(IDispatch* recognizer, DISPID list,
                                                                     std::u16string_view name,
                                                                     std::vector<SpeechToken>& described) {
  Variant result;
  if (FAILED(step(concat({name, u"(\"\", \"\")"}), recognizer, list, DISPATCH_METHOD,
                  {Variant::string(u""), Variant::string(u"")}, &result)))
    return std::nullopt;
  // The languages only for the speech check: the start shows the descriptions alone.
  auto found = describeTokens(dispatchOf(result.get()).Get(), surveying_);
  if (!found) {
    noted(concat({name, u" 的列表"}), E_UNEXPECTED);
    return std::nullopt;
  }
  record_.note(concat({u"识别器：", name, u"：", listed(found->described)}));
  described = std::move(found->described);
  return std::move(found->tokens);
}

bool SapiRecognizer::createContext(RecognizerChoice preferred) {
  close();
  found_ = {};
  if (preferred == RecognizerChoice::Own) return openInproc() || openShared();
  return openShared() || openInproc();
}

std::optional<RecognizerChoice> SapiRecognizer::contextClass() const {
  if (!context_) return std::nullopt;
  return engine_ ? RecognizerChoice::Own : RecognizerChoice::Shared;
}

bool SapiRecognizer::listen(ComPtr<IDispatch> context, std::u16string_view name) {
  const HRESULT advised = events_.connect(context.Get(), kRecoContextEvents,
                                          [this](DISPID member, DISPPARAMS& parameters) {
                                            return onEvent(member, parameters);
                                          });
  noted(concat({name, u".Advise"}), advised);
  if (FAILED(advised)) return false;
  context_ = std::move(context);
  return true;
}

bool SapiRecognizer::openShared() {
  if (!shared_) return false;
  ComPtr<IDispatch> context;
  const HRESULT made = shared_(context.GetAddressOf());
  noted(u"创建 SpSharedRecoContext", made);
  if (FAILED(made) || !context || !listen(std::move(context), u"SpSharedRecoContext")) return false;
  // The system's engine and input listen; the list only shows them, entry 0 first.
  Variant got;
  const ComPtr<IDispatch> recognizer =
      SUCCEEDED(step(u"SpSharedRecoContext.Recognizer", context_.Get(), DISPID_SRCRecognizer, DISPATCH_PROPERTYGET,
                     {}, &got))
          ? dispatchOf(got.get())
          : nullptr;
  if (!recognizer || !tokens(recognizer.Get(), DISPID_SRGetRecognizers, u"GetRecognizers", found_.engines)) {
    close();
    found_.engines.clear();
    return false;
  }
  found_.engineInUse = 0;
  if (surveying_ && tokens(recognizer.Get(), DISPID_SVGetAudioInputs, u"GetAudioInputs", found_.audioInputs))
    found_.inputInUse = 0;
  return true;
}

bool SapiRecognizer::openInproc() {
  if (!inproc_) return false;
  found_.engines.clear();
  found_.engineInUse.reset();
  ComPtr<IDispatch> engine;
  const HRESULT made = inproc_(engine.GetAddressOf());
  noted(u"创建 SpInprocRecognizer", made);
  if (FAILED(made) || !engine) return false;
  const auto engines = tokens(engine.Get(), DISPID_SRGetRecognizers, u"SpInprocRecognizer.GetRecognizers", found_.engines);
  if (!engines) return false;
  // The engine that listens is the one the set switch's check reads: the first Chinese one.
  // With none, the engine's own default stays, and the check reads entry 0 and refuses.
  const auto& described = found_.engines;
  const auto chinese = std::find_if(described.begin(), described.end(),
                                    [](const SpeechToken& token) { return namesChineseEngine(token.description); });
  const auto inUse = chinese == described.end() ? 0 : static_cast<std::size_t>(chinese - described.begin());
  if (chinese != described.end()) {
    if (FAILED(step(concat({u"SpInprocRecognizer.Recognizer = ", chinese->description}), engine.Get(),
                    DISPID_SRRecognizer, DISPATCH_PROPERTYPUTREF, {Variant::dispatch((*engines)[inUse].Get())})))
      return false;
    found_.engineInUse = inUse;
  }
  // The first input is the system's default one. Without any, the context still comes, and
  // switching the rules on reports the audio device.
  const auto inputs = tokens(engine.Get(), DISPID_SVGetAudioInputs, u"SpInprocRecognizer.GetAudioInputs",
                             found_.audioInputs);
  if (!inputs) return false;
  if (!inputs->empty()) {
    if (FAILED(step(concat({u"SpInprocRecognizer.AudioInput = ", found_.audioInputs[0].description}), engine.Get(),
                    DISPID_SRAudioInput, DISPATCH_PROPERTYPUTREF, {Variant::dispatch(inputs->front().Get())})))
      return false;
    found_.inputInUse = 0;
  }
  Variant made2;
  if (FAILED(step(u"SpInprocRecognizer.CreateRecoContext()", engine.Get(), DISPID_SRCreateRecoContext,
                  DISPATCH_METHOD, {}, &made2)))
    return false;
  ComPtr<IDispatch> context = dispatchOf(made2.get());
  if (!context || !listen(std::move(context), u"SpInprocRecoContext")) return false;
  engine_ = std::move(engine);
  inUse_ = inUse;
  return true;
}

std::optional<std::vector<std::u16string>> SapiRecognizer::recognizerDescriptions() {
  if (!context_) return std::nullopt;
  std::vector<std::u16string> descriptions;
  for (const auto& engine : found_.engines) descriptions.push_back(engine.description);
  return descriptions;
}

bool SapiRecognizer::createGrammar() {
  Variant made;
  if (FAILED(step(u"CreateGrammar(1)", context_.Get(), DISPID_SRCCreateGrammar, DISPATCH_METHOD,
                  {Variant::i4(kCommandGrammarId)}, &made)))
    return false;
  grammar_ = dispatchOf(made.get());
  return grammar_ != nullptr;
}

bool SapiRecognizer::loadDictation() {
  return SUCCEEDED(step(u"DictationLoad(\"\", 0)", grammar_.Get(), DISPID_SRGDictationLoad, DISPATCH_METHOD,
                        {Variant::string(u""), Variant::i4(SLOStatic)}));
}

bool SapiRecognizer::deactivateDictation() {
  return SUCCEEDED(
      step(u"DictationSetState(0)", grammar_.Get(), DISPID_SRGDictationSetState, DISPATCH_METHOD, {Variant::i4(SGDSInactive)}));
}

std::optional<std::uint32_t> SapiRecognizer::eventInterests() {
  Variant interests;
  if (FAILED(step(u"EventInterests", context_.Get(), DISPID_SRCEventInterests, DISPATCH_PROPERTYGET, {}, &interests)))
    return std::nullopt;
  const auto value = integerOf(interests.get());
  if (!value) return std::nullopt;
  return static_cast<std::uint32_t>(*value);
}

bool SapiRecognizer::setEventInterests(std::uint32_t interests) {
  return SUCCEEDED(step(fromUtf8("EventInterests = " + std::to_string(interests)), context_.Get(),
                        DISPID_SRCEventInterests, DISPATCH_PROPERTYPUT,
                        {Variant::i4(static_cast<std::int32_t>(interests))}));
}

bool SapiRecognizer::loadCommandFile(const std::u16string& path) {
  return SUCCEEDED(step(concat({u"CmdLoadFromFile(", path, u", 1)"}), grammar_.Get(), DISPID_SRGCmdLoadFromFile,
                        DISPATCH_METHOD, {Variant::string(path), Variant::i4(SLODynamic)}));
}

bool SapiRecognizer::setRulesActive(bool active) {
  const HRESULT hr = step(active ? u"CmdSetRuleIdState(0, 1)" : u"CmdSetRuleIdState(0, 0)", grammar_.Get(),
                          DISPID_SRGCmdSetRuleIdState, DISPATCH_METHOD,
                          {Variant::i4(kTopLevelRules), Variant::i4(active ? SGDSActive : SGDSInactive)});
  // Rules that cannot hear still succeed: a recognizer without an audio input answers
  // SP_STREAM_UNINITIALIZED. Only S_OK means they listen.
  return active ? hr == S_OK : SUCCEEDED(hr);
}

SpeechSurvey SapiRecognizer::survey() {
  SpeechSurvey survey;
  survey.system = describeSystem();
  const auto grammar = onePhraseGrammar();
  for (const auto which : {RecognizerChoice::Shared, RecognizerChoice::Own}) {
    const bool shared = which == RecognizerChoice::Shared;
    SapiRecognizer probe(shared ? shared_ : Factory{}, shared ? Factory{} : inproc_);
    probe.surveying_ = true;
    const bool created = probe.createContext(which);
    const bool listens = created && probe.createGrammar() && grammar && probe.loadCommandFile(grammar->u16string()) &&
                         probe.setRulesActive(true);
    auto& found = shared ? survey.shared : survey.own;
    found = std::move(probe.found_);
    found.created = created;
    found.listens = listens;
  }
  if (grammar) {
    std::error_code ignored;
    std::filesystem::remove(*grammar, ignored);
  }
  survey.voices = SapiVoice::installedVoices(survey.voiceList);
  return survey;
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
