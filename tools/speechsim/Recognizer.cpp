#include "Recognizer.h"

#include <sapi.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "Dispatch.h"
#include "GrammarFile.h"
#include "Log.h"
#include "Module.h"
#include "PipeServer.h"
#include "SimulatorWindow.h"
#include "SpeechSimPipe.h"
#include "Text.h"

namespace speechsim {
namespace {

// DIID__ISpeechRecoContextEvents, from sapi51.h; the dispatch ids are the header's own.
constexpr IID kRecoContextEvents = {0x7b8fcb42, 0x0e9d, 0x4f00, {0xa0, 0x48, 0x7b, 0x04, 0xd6, 0x17, 0x9d, 0x3d}};
// What the speech API answers when rules are switched on in a recognizer without an audio input:
// a success code, with nothing heard afterwards.
constexpr HRESULT kStreamUninitialized = 0x00045057;
constexpr HRESULT kNotFound = static_cast<HRESULT>(0x8004503A);  // SPERR_NOT_FOUND: no such attribute

// Private: how a put tells the tokens of this stand-in from anything else it is handed.
constexpr IID kOwnToken = {0x5e1f3a07, 0x2b64, 0x4c0e, {0x9a, 0x51, 0x3d, 0x8c, 0x27, 0x10, 0x6b, 0x94}};

enum class TokenKind { Engine, AudioInput };

class Token final : public DispatchObject {
 public:
  Token(std::wstring description, TokenKind kind)
      : DispatchObject("ISpeechObjectToken",
                       {{L"GetDescription", DISPID_SOTGetDescription, true}, {L"GetAttribute", DISPID_SOTGetAttribute, true}}),
        description_(std::move(description)),
        kind_(kind) {}

  // One of ours of that kind, or null.
  static const Token* of(const VARIANT* value, TokenKind kind) {
    if (!value || value->vt != VT_DISPATCH || !value->pdispVal) return nullptr;
    ComPtr<Token> token;
    if (FAILED(value->pdispVal->QueryInterface(kOwnToken, reinterpret_cast<void**>(token.GetAddressOf())))) return nullptr;
    // The caller's reference keeps it alive.
    return token->kind_ == kind ? token.Get() : nullptr;
  }
  const std::wstring& description() const { return description_; }

 protected:
  void* extraInterface(REFIID iid) override { return IsEqualIID(iid, kOwnToken) ? this : nullptr; }

  HRESULT invoke(Call& call) override {
    if (call.args.count() > 1) return DISP_E_BADPARAMCOUNT;
    if (call.id == DISPID_SOTGetAttribute) {
      // Engines declare their language as the real ones do: Simplified Chinese where they say so.
      std::wstring name;
      if (const HRESULT hr = call.args.getString(0, name); FAILED(hr)) return hr;
      if (name != L"Language" || kind_ != TokenKind::Engine) return kNotFound;
      const bool chinese = description_.find(L"中文") != std::wstring::npos ||
                           description_.find(L"Chinese") != std::wstring::npos;
      return returnString(call.result, chinese ? L"804" : L"409");
    }
    long locale = 0;
    if (const HRESULT hr = call.args.optLong(0, locale, 0); FAILED(hr)) return hr;
    return returnString(call.result, description_);
  }

 private:
  std::wstring description_;
  TokenKind kind_;
};

class Tokens final : public DispatchObject {
 public:
  Tokens(std::vector<std::wstring> descriptions, TokenKind kind)
      : DispatchObject("ISpeechObjectTokens", {{L"Count", DISPID_SOTsCount, false}, {L"Item", DISPID_SOTsItem, true}}),
        descriptions_(std::move(descriptions)),
        kind_(kind) {}

 protected:
  HRESULT invoke(Call& call) override {
    if (call.isPut()) return DISP_E_MEMBERNOTFOUND;
    if (call.id == DISPID_SOTsCount) return returnLong(call.result, static_cast<long>(descriptions_.size()));
    long index = 0;
    if (call.args.count() != 1) return DISP_E_BADPARAMCOUNT;
    if (const HRESULT hr = call.args.getLong(0, index); FAILED(hr)) return hr;
    if (index < 0 || static_cast<std::size_t>(index) >= descriptions_.size()) return E_INVALIDARG;
    return returnObject(call.result, adopt(new Token(descriptions_[static_cast<std::size_t>(index)], kind_)));
  }

 private:
  std::vector<std::wstring> descriptions_;
  TokenKind kind_;
};

// GetRecognizers and GetAudioInputs: every configured token, whatever the attributes asked for
// (the engines all stand for the Chinese one).
HRESULT listTokens(Call& call, const std::vector<std::wstring>& descriptions, TokenKind kind) {
  std::wstring required;
  std::wstring optional;
  if (call.args.count() > 2) return DISP_E_BADPARAMCOUNT;
  if (const HRESULT hr = call.args.optString(0, required); FAILED(hr)) return hr;
  if (const HRESULT hr = call.args.optString(1, optional); FAILED(hr)) return hr;
  call.logged = std::to_string(descriptions.size());
  return returnObject(call.result, adopt(new Tokens(descriptions, kind)));
}

// A list from the environment, separated by "|": `fallback` when unset, nothing when empty. Read
// when a recognizer is created, so each can be set up differently.
std::vector<std::wstring> configuredList(const wchar_t* variable, std::wstring_view fallback) {
  const auto list = environment(variable);
  if (!list) return {std::wstring(fallback)};
  std::vector<std::wstring> items;
  for (std::size_t begin = 0; begin <= list->size() && !list->empty();) {
    const auto end = std::min(list->find(L'|', begin), list->size());
    items.push_back(list->substr(begin, end - begin));
    begin = end + 1;
  }
  return items;
}

std::vector<std::wstring> configuredEngines() { return configuredList(L"SAYVANE_SIM_RECOGNIZERS", L"模拟识别引擎 (中文)"); }
std::vector<std::wstring> configuredInputs() { return configuredList(L"SAYVANE_SIM_AUDIO_INPUTS", L"模拟麦克风"); }

class RecognizerObject final : public DispatchObject {
 public:
  explicit RecognizerObject(std::vector<std::wstring> descriptions)
      : DispatchObject("ISpeechRecognizer", {{L"GetRecognizers", DISPID_SRGetRecognizers, true},
                                             {L"GetAudioInputs", DISPID_SVGetAudioInputs, true}}),
        descriptions_(std::move(descriptions)) {}

 protected:
  HRESULT invoke(Call& call) override {
    if (call.isPut()) return DISP_E_MEMBERNOTFOUND;
    if (call.id == DISPID_SVGetAudioInputs) return listTokens(call, configuredInputs(), TokenKind::AudioInput);
    return listTokens(call, descriptions_, TokenKind::Engine);
  }

 private:
  std::vector<std::wstring> descriptions_;
};

class PhraseInfo final : public DispatchObject {
 public:
  explicit PhraseInfo(std::wstring text)
      : DispatchObject("ISpeechPhraseInfo", {{L"GetText", DISPID_SPIGetText, true}}), text_(std::move(text)) {}

 protected:
  HRESULT invoke(Call& call) override {
    long start = 0;
    long elements = -1;
    bool replacements = true;
    if (call.args.count() > 3) return DISP_E_BADPARAMCOUNT;
    if (const HRESULT hr = call.args.optLong(0, start, 0); FAILED(hr)) return hr;
    if (const HRESULT hr = call.args.optLong(1, elements, -1); FAILED(hr)) return hr;
    if (const HRESULT hr = call.args.optBool(2, replacements, true); FAILED(hr)) return hr;
    // The whole utterance is one element: element 0 is all of it, anything after it is nothing.
    if (start < 0 || start > 1 || elements < -1) return E_INVALIDARG;
    return returnString(call.result, start == 0 && elements != 0 ? std::wstring_view(text_) : std::wstring_view());
  }

 private:
  std::wstring text_;
};

class Result final : public DispatchObject {
 public:
  explicit Result(std::wstring text)
      : DispatchObject("ISpeechRecoResult", {{L"PhraseInfo", DISPID_SRRPhraseInfo, false}}), text_(std::move(text)) {}

 protected:
  HRESULT invoke(Call& call) override {
    if (call.isPut()) return DISP_E_MEMBERNOTFOUND;
    if (call.args.count() > 0) return DISP_E_BADPARAMCOUNT;
    return returnObject(call.result, adopt(new PhraseInfo(text_)));
  }

 private:
  std::wstring text_;
};

class Grammar final : public DispatchObject {
 public:
  Grammar(bool audioBusy, bool noInput)
      : DispatchObject("ISpeechRecoGrammar", {{L"CmdLoadFromFile", DISPID_SRGCmdLoadFromFile, true},
                                              {L"CmdSetRuleIdState", DISPID_SRGCmdSetRuleIdState, true},
                                              {L"DictationLoad", DISPID_SRGDictationLoad, true},
                                              {L"DictationSetState", DISPID_SRGDictationSetState, true}}),
        audioBusy_(audioBusy),
        noInput_(noInput) {}

  // The phrases the recognizer listens for now: none unless loaded and active.
  const std::vector<std::u16string>* listening() const { return active_ && !phrases_.empty() ? &phrases_ : nullptr; }

 protected:
  HRESULT invoke(Call& call) override {
    if (call.isPut()) return DISP_E_MEMBERNOTFOUND;
    switch (call.id) {
      case DISPID_SRGCmdLoadFromFile: return load(call.args);
      case DISPID_SRGCmdSetRuleIdState: return setRuleState(call.args);
      case DISPID_SRGDictationLoad: {
        std::wstring topic;
        long option = 0;
        if (call.args.count() > 2) return DISP_E_BADPARAMCOUNT;
        if (const HRESULT hr = call.args.optString(0, topic); FAILED(hr)) return hr;
        return call.args.optLong(1, option, 0);
      }
      default: {
        long state = 0;
        if (call.args.count() != 1) return DISP_E_BADPARAMCOUNT;
        // Accepted and forgotten: dictation never produces a result here.
        return call.args.getLong(0, state);
      }
    }
  }

 private:
  HRESULT load(const Args& args) {
    std::wstring path;
    long option = 0;
    if (args.count() < 1 || args.count() > 2) return DISP_E_BADPARAMCOUNT;
    if (const HRESULT hr = args.getString(0, path); FAILED(hr)) return hr;
    if (const HRESULT hr = args.optLong(1, option, 0); FAILED(hr)) return hr;
    // Whatever happens next, the old grammar is gone, as with a real engine's failed load.
    phrases_.clear();
    active_ = false;
    const std::filesystem::path file(path);
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error)) return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
    std::ifstream in(file, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (!in && !in.eof()) return HRESULT_FROM_WIN32(ERROR_READ_FAULT);
    auto phrases = readGrammarBytes(bytes);
    if (!phrases) return E_INVALIDARG;
    phrases_ = std::move(*phrases);
    return S_OK;
  }

  HRESULT setRuleState(const Args& args) {
    long rule = 0;
    long state = 0;
    if (args.count() != 2) return DISP_E_BADPARAMCOUNT;
    if (const HRESULT hr = args.getLong(0, rule); FAILED(hr)) return hr;
    if (const HRESULT hr = args.getLong(1, state); FAILED(hr)) return hr;
    // Only "every top-level rule": the set files' rules carry no ids a caller could know.
    if (rule != 0) return E_INVALIDARG;
    if (state != 0 && state != 1 && state != 3) return E_INVALIDARG;  // 3: active with auto-pause
    const bool active = state != 0;
    // As when another program holds the audio input: activating fails and nothing changes.
    if (active && audioBusy_) return E_FAIL;
    if (active && noInput_) return kStreamUninitialized;
    active_ = active;
    return S_OK;
  }

  bool audioBusy_;
  bool noInput_;
  bool active_ = false;
  std::vector<std::u16string> phrases_;
};

class RecoContext;
// The live contexts of this process and what serves them; plain pointers, so nothing runs at
// DLL detach (the pipe thread is ended by the last context, never by the loader).
std::vector<RecoContext*>* contexts = new std::vector<RecoContext*>;
PipeServer* pipe = nullptr;
SimulatorWindow* window = nullptr;

std::string replyFor(Outcome outcome) {
  switch (outcome) {
    case Outcome::Recognition: return "recognition";
    case Outcome::FalseRecognition: return "false-recognition";
    default: return "ignored";
  }
}

class RecoContext final : public DispatchObject {
 public:
  // `engine`: the in-process recognizer that made it (held, and what Recognizer returns), or null
  // for the shared one; `noInput`: that recognizer was given no audio input to open.
  RecoContext(const char* logName, IDispatch* engine, bool noInput)
      : DispatchObject(logName, {{L"Recognizer", DISPID_SRCRecognizer, false},
                                 {L"EventInterests", DISPID_SRCEventInterests, false},
                                 {L"CreateGrammar", DISPID_SRCCreateGrammar, true}}),
        events_(*this, kRecoContextEvents),
        engine_(engine) {
    // The environment is read here, not at DLL load, so each context can be set up differently.
    recognizers_ = configuredEngines();
    audioBusy_ = environment(L"SAYVANE_SIM_AUDIO_BUSY").value_or(L"") == L"1";
    noInput_ = noInput;
    const bool showWindow = environment(L"SAYVANE_SIM_WINDOW").value_or(L"") != L"0";

    contexts->push_back(this);
    if (contexts->size() == 1) {
      pipe = new PipeServer(kRecognizerPipe, [](const std::string& line) {
        return replyFor(hearUtterance(wide(line), "pipe"));
      });
      if (showWindow) window = SimulatorWindow::create([](const std::wstring& text) {
        return hearUtterance(text, "window");
      });
    }
  }

  ~RecoContext() override {
    logLine(std::string("release ") + logName());
    contexts->erase(std::find(contexts->begin(), contexts->end(), this));
    if (contexts->empty()) {
      // Either may be in the middle of handing over this very utterance; both outlive it.
      if (pipe) pipe->release();
      pipe = nullptr;
      if (window) window->release();
      window = nullptr;
    }
  }

  // What this context makes of an utterance; raises the event (and logs it) when there is one.
  Outcome hear(const std::wstring& text) {
    std::vector<const std::vector<std::u16string>*> listening;
    for (const auto& grammar : grammars_)
      if (const auto* phrases = grammar->listening()) listening.push_back(phrases);
    if (listening.empty()) return Outcome::Ignored;
    const std::u16string heard(text.begin(), text.end());
    bool matched = false;
    for (const auto* phrases : listening)
      matched = matched || std::find(phrases->begin(), phrases->end(), heard) != phrases->end();
    if (matched && !(interests_ & SRERecognition)) return Outcome::Ignored;
    if (!matched && !(interests_ & SREFalseRecognition)) return Outcome::Ignored;

    std::vector<Variant> args(matched ? 4 : 3);
    args[0] = Variant::dispatch(adopt(new Result(text)).Get());
    // The stream position is a 64-bit count, which automation hands over as VT_DECIMAL.
    args[matched ? 2 : 1].get().decVal = DECIMAL{};
    args[matched ? 2 : 1].get().vt = VT_DECIMAL;  // after decVal, which overlays vt
    args.back() = Variant::i4(1);  // stream number
    if (matched) args[1] = Variant::i4(SRTStandard);
    logLine(std::string(matched ? "event Recognition(" : "event FalseRecognition(") + speechsim::quoted(text) + ")");
    events_.source().raise(matched ? DISPID_SRCERecognition : DISPID_SRCEFalseRecognition, args);
    return matched ? Outcome::Recognition : Outcome::FalseRecognition;
  }

 protected:
  void* extraInterface(REFIID iid) override {
    if (IsEqualIID(iid, IID_IConnectionPointContainer)) return static_cast<IConnectionPointContainer*>(&events_);
    return nullptr;
  }

  HRESULT invoke(Call& call) override {
    switch (call.id) {
      case DISPID_SRCRecognizer:
        if (call.isPut()) return DISP_E_MEMBERNOTFOUND;
        if (call.args.count() > 0) return DISP_E_BADPARAMCOUNT;
        if (engine_) return returnObject(call.result, engine_);
        return returnObject(call.result, adopt(new RecognizerObject(recognizers_)));
      case DISPID_SRCEventInterests:
        if (call.isPut()) return call.args.putLong(interests_);
        if (call.args.count() > 0) return DISP_E_BADPARAMCOUNT;
        return returnLong(call.result, interests_);
      default: {
        if (call.isPut()) return DISP_E_MEMBERNOTFOUND;
        if (call.args.count() > 1) return DISP_E_BADPARAMCOUNT;
        grammars_.push_back(adopt(new Grammar(audioBusy_, noInput_)));
        return returnObject(call.result, grammars_.back());
      }
    }
  }

 private:
  EventContainer events_;
  ComPtr<IDispatch> engine_;
  std::vector<std::wstring> recognizers_;
  bool audioBusy_ = false;
  bool noInput_ = false;
  long interests_ = 11;  // a start value with other bits set, so a read-modify-write shows in the log
  std::vector<ComPtr<Grammar>> grammars_;
};

// The in-process recognizer: the engines to choose from, the audio inputs, and the contexts it
// makes, which hear as the shared one's do.
class InprocRecognizer final : public DispatchObject {
 public:
  InprocRecognizer()
      : DispatchObject("SpInprocRecognizer", {{L"Recognizer", DISPID_SRRecognizer, false},
                                              {L"AudioInput", DISPID_SRAudioInput, false},
                                              {L"CreateRecoContext", DISPID_SRCreateRecoContext, true},
                                              {L"GetRecognizers", DISPID_SRGetRecognizers, true},
                                              {L"GetAudioInputs", DISPID_SVGetAudioInputs, true}}),
        engines_(configuredEngines()),
        inputs_(configuredInputs()) {}

 protected:
  HRESULT invoke(Call& call) override {
    switch (call.id) {
      case DISPID_SRRecognizer: return token(call, TokenKind::Engine, engine_);
      case DISPID_SRAudioInput: return token(call, TokenKind::AudioInput, input_);
      case DISPID_SRCreateRecoContext:
        if (call.isPut()) return DISP_E_MEMBERNOTFOUND;
        if (call.args.count() > 0) return DISP_E_BADPARAMCOUNT;
        return returnObject(call.result, adopt(new RecoContext("SpInprocRecoContext", this, input_.empty())));
      case DISPID_SRGetRecognizers:
        if (call.isPut()) return DISP_E_MEMBERNOTFOUND;
        return listTokens(call, engines_, TokenKind::Engine);
      default:
        if (call.isPut()) return DISP_E_MEMBERNOTFOUND;
        return listTokens(call, inputs_, TokenKind::AudioInput);
    }
  }

 private:
  // Both are object properties: set by reference (Set in a script), never by value.
  HRESULT token(Call& call, TokenKind kind, std::wstring& chosen) {
    if (call.args.count() > 0) return DISP_E_BADPARAMCOUNT;
    if (call.isGet()) {
      if (chosen.empty()) return returnObject(call.result, ComPtr<IDispatch>());
      return returnObject(call.result, adopt(new Token(chosen, kind)));
    }
    if (!(call.flags & DISPATCH_PROPERTYPUTREF)) return DISP_E_MEMBERNOTFOUND;
    const Token* given = Token::of(call.args.putValue(), kind);
    if (!given) return E_INVALIDARG;
    chosen = given->description();
    call.logged = "ok " + speechsim::quoted(chosen);
    return S_OK;
  }

  std::vector<std::wstring> engines_;
  std::vector<std::wstring> inputs_;
  std::wstring engine_;
  std::wstring input_;
};

// The class factories' work: logged first, then made and handed out as `iid`, its own reference gone.
template <typename Make>
HRESULT created(const char* name, Make make, REFIID iid, void** object) {
  configureLog();
  logLine(std::string("create ") + name);
  return adopt(make())->QueryInterface(iid, object);
}

}  // namespace

HRESULT createInprocRecognizer(REFIID iid, void** object) {
  return created("SpInprocRecognizer", [] { return new InprocRecognizer; }, iid, object);
}

HRESULT createRecoContext(REFIID iid, void** object) {
  return created("SpSharedRecoContext", [] { return new RecoContext("SpSharedRecoContext", nullptr, false); }, iid,
                 object);
}

Outcome hearUtterance(const std::wstring& text, const char* source) {
  logLine("utterance " + speechsim::quoted(text) + " from " + source);
  // Held while their events run: a handler may release its context (the "quit" phrase).
  const std::vector<ComPtr<RecoContext>> held(contexts->begin(), contexts->end());
  Outcome outcome = Outcome::Ignored;
  for (const auto& context : held) {
    const Outcome heard = context->hear(text);
    if (heard == Outcome::Recognition || (heard == Outcome::FalseRecognition && outcome == Outcome::Ignored))
      outcome = heard;
  }
  if (outcome == Outcome::Ignored) logLine("utterance " + speechsim::quoted(text) + " ignored");
  return outcome;
}

}  // namespace speechsim
