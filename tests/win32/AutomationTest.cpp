// The automation toolkit, the boundaries, and the speech and character clients against recording
// fakes built on the stand-ins' plumbing: what calls pass, what failures return, how events
// arrive, what is released.
// What the calls look like on the happy road the end-to-end tests read in the stand-ins' log.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <new>
#include <stdexcept>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "Dispatch.h"
#include "app/win32/WindowObject.h"
#include "platform/win32/AgentCharacterControl.h"
#include "platform/win32/Automation.h"
#include "platform/win32/Boundary.h"
#include "platform/win32/SapiRecognizer.h"
#include "platform/win32/SapiVoice.h"

namespace {

using namespace sayvane::win32;
using sayvane::RecognizerChoice;
using Log = std::vector<std::wstring>;

constexpr IID kRecoEvents = {0x7B8FCB42, 0x0E9D, 0x4F00, {0xA0, 0x48, 0x7B, 0x04, 0xD6, 0x17, 0x9D, 0x3D}};
constexpr IID kAgentEvents = {0xF5BE8BD4, 0x7DE6, 0x11D0, {0x91, 0xFE, 0x00, 0xC0, 0x4F, 0xD7, 0x01, 0xA5}};

std::wstring describe(const VARIANT& value) {
  switch (value.vt) {
    case VT_I2: return L"I2:" + std::to_wstring(value.iVal);
    case VT_I4: return L"I4:" + std::to_wstring(value.lVal);
    case VT_BSTR: return L"BSTR:" + std::wstring(value.bstrVal ? value.bstrVal : L"");
    default: return L"VT:" + std::to_wstring(value.vt);
  }
}

// A stand-in object that records each call as "name.dispid kind(arguments in natural order)" and
// answers from a script (a member without an answer succeeds with an empty result). With events
// it fires them without holding a reference to the sinks while they run, so a sink must keep
// itself alive.
class Fake final : public speechsim::DispatchObject {
 public:
  using Answer = std::function<HRESULT(speechsim::Call& call)>;

  static ComPtr<Fake> make(std::wstring name, std::shared_ptr<Log> log) {
    return adopt(new Fake(std::move(name), std::move(log)));
  }
  void answer(DISPID member, Answer answer) { answers_[member] = std::move(answer); }
  void name(const wchar_t* name, DISPID id) { addMember({name, id, false}); }
  void withEvents(const IID& events) { events_.emplace(*this, events); }
  ULONG references() { return AddRef(), Release(); }
  std::size_t advised() { return events_ ? events_->source().sinks().size() : 0; }
  ComPtr<IDispatch> sink() { return advised() ? events_->source().sinks().front().second : nullptr; }

  HRESULT fire(DISPID member, std::initializer_list<Variant> arguments) {
    std::vector<VARIANTARG> reversed;
    for (auto it = std::rbegin(arguments); it != std::rend(arguments); ++it) reversed.push_back(it->get());
    DISPPARAMS parameters{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    std::vector<IDispatch*> targets;
    for (const auto& [cookie, sink] : events_->source().sinks()) targets.push_back(sink.Get());
    HRESULT hr = S_OK;
    for (IDispatch* target : targets)
      hr = target->Invoke(member, IID_NULL, 0, DISPATCH_METHOD, &parameters, nullptr, nullptr, nullptr);
    return hr;
  }

 protected:
  bool answers(DISPID) const override { return true; }
  void* extraInterface(REFIID iid) override {
    return events_ && IsEqualIID(iid, IID_IConnectionPointContainer) ? static_cast<IConnectionPointContainer*>(&*events_)
                                                                      : nullptr;
  }
  HRESULT invoke(speechsim::Call& call) override {
    // By the flags (1, 2, 4, 8); any other mix is named by its number.
    const wchar_t* kinds[] = {L"", L"call", L"get", L"", L"put", L"", L"", L"", L"putref"};
    std::wstring kind = call.flags < 9 && *kinds[call.flags] ? kinds[call.flags] : L"flags" + std::to_wstring(call.flags);
    if (call.isPut() != (call.args.putValue() != nullptr)) kind += L"!named";
    std::wstring logged = name_ + L"." + std::to_wstring(call.id) + L" " + kind + L"(";
    for (unsigned i = 0; i < call.args.count(); ++i) logged += (i ? L" " : L"") + describe(*call.args.at(i));
    if (const VARIANT* value = call.args.putValue()) logged += (call.args.count() ? L" " : L"") + describe(*value);
    log_->push_back(logged + L")");
    const auto found = answers_.find(call.id);
    return found == answers_.end() ? S_OK : found->second(call);
  }

 private:
  Fake(std::wstring name, std::shared_ptr<Log> log)
      : DispatchObject("fake", {}), name_(std::move(name)), log_(std::move(log)) {}
  std::wstring name_;
  std::shared_ptr<Log> log_;
  std::map<DISPID, Answer> answers_;
  std::optional<speechsim::EventContainer> events_;
};

// Answers a get with a copy of `value`; a put answered by the same script just succeeds.
Fake::Answer returns(Variant value) {
  auto held = std::make_shared<Variant>(std::move(value));
  return [held](speechsim::Call& call) { return VariantCopy(&call.result, &held->get()); };
}
Fake::Answer returnsObject(const ComPtr<Fake>& object) { return returns(Variant::dispatch(object.Get())); }
// Fails as automation servers do: DISP_E_EXCEPTION, the real error inside EXCEPINFO.
Fake::Answer fails(HRESULT error = E_FAIL) {
  return [error](speechsim::Call& call) {
    if (!call.exception) return error;
    call.exception->bstrDescription = SysAllocString(L"scripted failure");
    call.exception->scode = error;
    return DISP_E_EXCEPTION;
  };
}

Variant byReference(IDispatch** object) {
  Variant variant;
  variant.get().vt = VT_BYREF | VT_DISPATCH;
  variant.get().ppdispVal = object;
  return variant;
}

// Hands out `root` as created by CoCreateInstance; without a reference of its own.
std::function<HRESULT(IDispatch**)> creates(Fake* root) {
  return [root](IDispatch** out) {
    *out = root;
    root->AddRef();
    return S_OK;
  };
}
const std::function<HRESULT(IDispatch**)> unregistered = [](IDispatch**) { return REGDB_E_CLASSNOTREG; };

// --- The toolkit -----------------------------------------------------------------------------

TEST(AutomationTest, SinkAnswersItsInterfaceForwardsEventsAndIsUnadvisedWhenTheConnectionGoes) {
  auto log = std::make_shared<Log>();
  auto source = Fake::make(L"s", log);
  source->withEvents(kRecoEvents);
  std::vector<std::wstring> seen;
  ComPtr<IDispatch> sink;
  {
    EventConnection connection;
    EXPECT_HRESULT_FAILED(connection.connect(source.Get(), kAgentEvents, {})) << "the source has no such events";
    EXPECT_FALSE(connection.connected());
    ASSERT_EQ(connection.connect(source.Get(), kRecoEvents,
                                 [&](DISPID member, DISPPARAMS& parameters) {
                                   std::wstring event = std::to_wstring(member);
                                   for (UINT i = parameters.cArgs; i-- > 0;)
                                     event += L" " + describe(parameters.rgvarg[i]);
                                   seen.push_back(event);
                                   return member == 3 ? E_UNEXPECTED : S_OK;
                                 }),
              S_OK);
    ASSERT_EQ(source->advised(), 1u);
    sink = source->sink();
    for (const IID& iid : {IID_IUnknown, IID_IDispatch, kRecoEvents}) {
      ComPtr<IUnknown> answered;
      EXPECT_EQ(sink->QueryInterface(iid, reinterpret_cast<void**>(answered.GetAddressOf())), S_OK);
    }
    ComPtr<IUnknown> other;
    EXPECT_EQ(sink->QueryInterface(kAgentEvents, reinterpret_cast<void**>(other.GetAddressOf())), E_NOINTERFACE);
    EXPECT_EQ(source->fire(7, {Variant::i4(1), Variant::string(u"后")}), S_OK);
    EXPECT_EQ(source->fire(3, {}), E_UNEXPECTED) << "the handler's answer goes back to the source";
  }
  EXPECT_EQ(seen, (std::vector<std::wstring>{L"7 I4:1 BSTR:后", L"3"}));
  EXPECT_EQ(source->advised(), 0u);
  DISPPARAMS none{};
  EXPECT_EQ(sink->Invoke(7, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr), S_OK);
  EXPECT_EQ(seen.size(), 2u) << "an event after disconnecting reached the handler";
  EXPECT_EQ(sink.Reset(), 0u) << "the sink outlived its connection";
}

// A handler's exception ends where the system called in, as the system understands it: a COM
// method's answer, a window procedure's default, a thread that ends alone.
TEST(BoundaryTest, AnExceptionStopsAtTheComMethodTheWindowProcedureAndTheThread) {
  auto source = Fake::make(L"s", std::make_shared<Log>());
  source->withEvents(kRecoEvents);
  source->answer(1, [](speechsim::Call&) -> HRESULT { throw std::bad_alloc(); });
  EXPECT_EQ(invoke(source.Get(), 1, DISPATCH_METHOD), E_OUTOFMEMORY);
  EventConnection connection;
  ASSERT_EQ(connection.connect(source.Get(), kRecoEvents,
                               [](DISPID member, DISPPARAMS&) -> HRESULT {
                                 if (member == 1) throw std::bad_alloc();
                                 throw std::logic_error("handler");
                               }),
            S_OK);
  EXPECT_EQ(source->fire(1, {}), E_OUTOFMEMORY);
  EXPECT_EQ(source->fire(2, {}), E_FAIL);

  struct Throwing {
    UniqueWindow window;
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) {
      if (message == WM_APP) throw std::bad_alloc();
      return DefWindowProcW(window, message, wParam, lParam);
    }
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
      return forwardToObject(window, message, wParam, lParam, &Throwing::window, &Throwing::handle);
    }
  } object;
  WNDCLASSEXW windowClass{sizeof windowClass};
  windowClass.lpfnWndProc = &Throwing::procedure;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"SayvaneBoundaryTest";
  ASSERT_NE(RegisterClassExW(&windowClass), 0);
  HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                windowClass.hInstance, &object);
  ASSERT_EQ(window, object.window.get());
  EXPECT_EQ(SendMessageW(window, WM_APP, 0, 0), 0);
  DestroyWindow(window);
  EXPECT_FALSE(object.window) << "a window the system destroyed stayed the object's";

  Thread throwing([] { throw std::bad_alloc(); });
  ASSERT_TRUE(throwing);
  throwing.join();  // and this process is still here
}

// --- The speech client -----------------------------------------------------------------------

// A recognition context with its recognizer (two engines, the second Chinese, and one audio
// input), grammar and one result. The recognizer also stands in for the in-process one.
struct SpeechFakes {
  std::shared_ptr<Log> log = std::make_shared<Log>();
  ComPtr<Fake> context = Fake::make(L"context", log), recognizer = Fake::make(L"recognizer", log),
               tokens = Fake::make(L"tokens", log), grammar = Fake::make(L"grammar", log),
               result = Fake::make(L"result", log), phrase = Fake::make(L"phrase", log),
               inputs = Fake::make(L"inputs", log), input = Fake::make(L"input", log);
  std::vector<ComPtr<Fake>> token{Fake::make(L"token0", log), Fake::make(L"token1", log)};
  std::map<DISPID, IDispatch*> set;  // the recognizer's engine (1) and audio input (3)
  SpeechFakes() {
    context->withEvents(kRecoEvents);
    context->answer(1, returnsObject(recognizer));
    context->answer(7, returns(Variant::i4(0x210)));
    context->answer(14, returnsObject(grammar));
    recognizer->answer(18, returnsObject(tokens));
    tokens->answer(1, returns(Variant::i4(2)));
    tokens->answer(0, [this](speechsim::Call& call) {
      const LONG index = call.args.count() == 1 ? call.args.at(0)->lVal : -1;
      return index == 0 || index == 1 ? returnsObject(token[index])(call) : E_INVALIDARG;
    });
    token[0]->answer(4, returns(Variant::string(u"Recognizer A")));
    token[1]->answer(4, returns(Variant::string(u"识别器 乙 (中文)")));
    result->answer(4, returnsObject(phrase));
    phrase->answer(15, returns(Variant::string(u"打开记事本")));
    for (const DISPID property : {1, 3})
      recognizer->answer(property, [this, property](speechsim::Call& call) {
        set[property] = call.args.putValue()->pdispVal;
        return S_OK;
      });
    recognizer->answer(19, returnsObject(inputs));
    inputs->answer(1, returns(Variant::i4(1)));
    inputs->answer(0, returnsObject(input));
    input->answer(4, returns(Variant::string(u"麦克风")));
    // Without a reference of its own, so the tests can see the context released.
    recognizer->answer(10, [this](speechsim::Call& call) { return speechsim::returnObject(call.result, context); });
  }
  HRESULT fire(DISPID event, Variant result) {
    return context->fire(event, {Variant::i4(1), Variant::i4(4096), Variant::i4(0), std::move(result)});
  }
  HRESULT recognise() { return fire(7, Variant::dispatch(result.Get())); }
};

TEST(SapiRecognizerTest, ReportsEachFailureAsFailureAndReleasesWhatItMade) {
  SpeechFakes fakes;
  {
    SapiRecognizer recognizer(creates(fakes.context.Get()));
    ASSERT_TRUE(recognizer.createContext(RecognizerChoice::Shared));
    EXPECT_EQ(recognizer.recognizerInUse(), 0u) << "the shared recognizer's engine is the system's";
    ASSERT_TRUE(recognizer.createGrammar());
    fakes.context->answer(7, returns(Variant::string(u"16")));
    EXPECT_EQ(recognizer.eventInterests(), std::nullopt) << "text is no integer";
    fakes.context->answer(7, fails());
    EXPECT_EQ(recognizer.eventInterests(), std::nullopt);
    EXPECT_FALSE(recognizer.setEventInterests(16));
    fakes.grammar->answer(7, fails(E_INVALIDARG));
    EXPECT_FALSE(recognizer.loadCommandFile(u"C:\\bad.xml"));
    // A success code that is not S_OK (no audio input) leaves the rules deaf; off, it is success.
    fakes.grammar->answer(13, [](speechsim::Call&) { return HRESULT{0x00045057}; });
    EXPECT_FALSE(recognizer.setRulesActive(true));
    EXPECT_TRUE(recognizer.setRulesActive(false));
    fakes.grammar->answer(13, fails(E_ACCESSDENIED));
    EXPECT_FALSE(recognizer.setRulesActive(true));
    fakes.context->answer(14, fails());
    EXPECT_FALSE(recognizer.createGrammar());
  }
  EXPECT_EQ(fakes.context->advised(), 0u);
  EXPECT_EQ(fakes.context->references(), 1u) << "the context was not released";
  EXPECT_EQ(fakes.grammar->references(), 1u) << "the grammar was not released";

  SapiRecognizer uncreated(unregistered);
  EXPECT_FALSE(uncreated.createContext(RecognizerChoice::Shared));
  EXPECT_FALSE(uncreated.createGrammar());
  EXPECT_EQ(uncreated.recognizerDescriptions(), std::nullopt);
  auto silent = Fake::make(L"silent", fakes.log);  // no events to advise on
  SapiRecognizer deaf(creates(silent.Get()));
  EXPECT_FALSE(deaf.createContext(RecognizerChoice::Shared));
  EXPECT_EQ(silent->references(), 1u);
}

// Where the shared recognizer's list cannot be read: the in-process one, set to the first Chinese
// engine and the default input, and its context, which then serves as the shared one. (Where there
// is no shared recognizer at all, the end-to-end in-process story walks the same road.) Where the
// in-process one is preferred and cannot be had, the shared one serves.
TEST(SapiRecognizerTest, FallsBackToTheOtherRecognizerAndTheInProcessOneListensOnItsFirstChineseEngineAndInput) {
  SpeechFakes fakes;
  auto shared = Fake::make(L"shared", fakes.log);
  shared->withEvents(kRecoEvents);
  shared->answer(1, fails());
  SapiRecognizer recognizer(creates(shared.Get()), creates(fakes.recognizer.Get()));
  ASSERT_TRUE(recognizer.createContext(RecognizerChoice::Shared));
  EXPECT_EQ(recognizer.contextClass(), RecognizerChoice::Own);
  EXPECT_EQ(fakes.set, (std::map<DISPID, IDispatch*>{{1, fakes.token[1].Get()}, {3, fakes.input.Get()}}));
  EXPECT_EQ(recognizer.recognizerDescriptions(), (std::vector<std::u16string>{u"Recognizer A", u"识别器 乙 (中文)"}));
  EXPECT_EQ(recognizer.recognizerInUse(), 1u);
  EXPECT_EQ(shared->advised(), 0u);
  EXPECT_EQ(shared->references(), 1u) << "the shared context given up was not released";
  EXPECT_EQ(fakes.context->advised(), 1u);
  // Everything after goes to the context the in-process recognizer made.
  ASSERT_TRUE(recognizer.createGrammar());
  EXPECT_EQ(fakes.log->back(), L"context.14 call(I4:1)");

  SapiRecognizer sharedOnly(creates(fakes.context.Get()), unregistered);
  ASSERT_TRUE(sharedOnly.createContext(RecognizerChoice::Own));
  EXPECT_EQ(sharedOnly.contextClass(), RecognizerChoice::Shared);
  sharedOnly.closeContext();
  EXPECT_EQ(sharedOnly.contextClass(), std::nullopt);

  // Without a Chinese engine or an input it sets neither; when its calls fail, it fails.
  SpeechFakes plain;
  plain.token[1]->answer(4, returns(Variant::string(u"Recognizer B")));
  plain.inputs->answer(1, returns(Variant::i4(0)));
  {
    SapiRecognizer own(unregistered, creates(plain.recognizer.Get()));
    ASSERT_TRUE(own.createContext(RecognizerChoice::Shared));
    EXPECT_EQ(own.recognizerInUse(), 0u);
    EXPECT_TRUE(plain.set.empty());
  }
  EXPECT_EQ(plain.recognizer->references(), 2u)
      << "the in-process recognizer was not released (the context's script holds one)";

  for (const DISPID failing : {18, 1, 19, 3, 10}) {
    SCOPED_TRACE(failing);
    SpeechFakes broken;
    broken.recognizer->answer(failing, fails());
    SapiRecognizer recognizer(unregistered, creates(broken.recognizer.Get()));
    EXPECT_FALSE(recognizer.createContext(RecognizerChoice::Shared));
    EXPECT_EQ(recognizer.recognizerDescriptions(), std::nullopt);
    EXPECT_EQ(broken.context->advised(), 0u);
  }
}

// A result may come by reference; a hypothesis or a phrase without text is nothing; a handler may
// recognise again inside itself (its action pumps messages) and may destroy the recognizer.
TEST(SapiRecognizerTest, DeliversTextsAndFalseRecognitionsAndSurvivesHandlersThatReenterOrDestroyIt) {
  SpeechFakes fakes;
  auto recognizer = std::make_unique<SapiRecognizer>(creates(fakes.context.Get()));
  ASSERT_TRUE(recognizer->createContext(RecognizerChoice::Shared));
  std::vector<std::u16string> texts;
  int falseRecognitions = 0;
  IDispatch* raw = fakes.result.Get();
  recognizer->setEventHandlers(
      [&](const std::u16string& text) {
        texts.push_back(text);
        if (texts.size() == 2) fakes.recognise();
        if (texts.size() != 3) return;
        fakes.fire(11, Variant::dispatch(raw));
        recognizer.reset();
      },
      [&] { ++falseRecognitions; });
  EXPECT_EQ(fakes.recognise(), S_OK);
  EXPECT_EQ(fakes.fire(8, Variant::dispatch(raw)), S_OK);
  EXPECT_EQ(fakes.fire(11, Variant::dispatch(raw)), S_OK);
  fakes.phrase->answer(15, fails());
  EXPECT_EQ(fakes.recognise(), S_OK);
  fakes.phrase->answer(15, returns(Variant::string(u"打开记事本")));
  EXPECT_EQ(fakes.fire(7, byReference(&raw)), S_OK);
  EXPECT_EQ(texts, (std::vector<std::u16string>(3, u"打开记事本")));
  EXPECT_EQ(falseRecognitions, 2);
  EXPECT_EQ(fakes.context->advised(), 0u);
  EXPECT_EQ(fakes.context->references(), 1u);
}

// The built-in character's voice: a Chinese one where installed, the default one otherwise.
TEST(SapiVoiceTest, ChoosesAnInstalledChineseVoiceOnceKeepsTheDefaultWithoutAndReportsWhatFailed) {
  for (const std::optional<LONG> installed : {std::optional<LONG>(2), std::optional<LONG>(0), std::optional<LONG>()}) {
    SCOPED_TRACE(installed.value_or(-1));  // -1: listing the voices fails
    auto log = std::make_shared<Log>();
    auto voice = Fake::make(L"voice", log), voices = Fake::make(L"voices", log), chinese = Fake::make(L"chinese", log);
    voice->answer(17, installed ? returnsObject(voices) : fails());
    voices->answer(1, returns(Variant::i4(installed.value_or(0))));
    voices->answer(0, returnsObject(chinese));
    IDispatch* set = nullptr;
    voice->answer(2, [&](speechsim::Call& call) { return set = call.args.putValue()->pdispVal, S_OK; });
    {
      SapiVoice speaker(creates(voice.Get()));
      EXPECT_TRUE(speaker.speak(u"你好"));
      EXPECT_TRUE(speaker.speak(u"再见"));
    }
    EXPECT_EQ(std::count(log->begin(), log->end(), L"voice.17 call(BSTR:Language=804 BSTR:)"), 1);
    // Spoken without waiting, cutting short what is still being said.
    EXPECT_EQ(Log(log->end() - 2, log->end()), (Log{L"voice.12 call(BSTR:你好 I4:19)", L"voice.12 call(BSTR:再见 I4:19)"}));
    EXPECT_EQ(set, installed.value_or(0) > 0 ? static_cast<IDispatch*>(chinese.Get()) : nullptr);
    EXPECT_EQ(voice->references(), 1u) << "the voice was not released";
  }
  // A voice that cannot be created is tried once; a failed speech is reported.
  int created = 0;
  SapiVoice none([&](IDispatch** object) { return ++created, unregistered(object); });
  EXPECT_FALSE(none.speak(u"你好"));
  EXPECT_FALSE(none.speak(u"你好"));
  EXPECT_EQ(created, 1);
  EXPECT_EQ(none.lastResult(), REGDB_E_CLASSNOTREG);

  auto voice = Fake::make(L"voice", std::make_shared<Log>());
  voice->answer(12, fails(E_NOTIMPL));
  SapiVoice mute(creates(voice.Get()));
  EXPECT_FALSE(mute.speak(u"你好"));
  EXPECT_EQ(mute.lastResult(), E_NOTIMPL);  // the voice was made; its Speak failed
}

// --- The character client --------------------------------------------------------------------

struct AgentFakes {
  std::shared_ptr<Log> log = std::make_shared<Log>();
  ComPtr<Fake> agent = Fake::make(L"agent", log), characters = Fake::make(L"characters", log),
               character = Fake::make(L"character", log), commands = Fake::make(L"commands", log),
               input = Fake::make(L"input", log);
  AgentFakes() {
    agent->withEvents(kAgentEvents);
    agent->answer(3, returnsObject(characters));
    characters->answer(0, returnsObject(character));
    character->answer(5, returns(Variant::i2(96)));
    character->answer(6, returns(Variant::i2(128)));
    character->answer(25, returnsObject(commands));
    input->name(L"Name", 0x60020001);
    input->answer(0x60020001, returns(Variant::string(u"打开记事本")));
  }
};

// Sizes and places are 16-bit to the control: what does not fit is refused before any call. A
// command event delivers the name looked up on the user input, and its handler may destroy the
// control, which then makes no call of its own.
TEST(AgentCharacterControlTest, LoadsOnceRefusesWhatDoesNotFitDeliversCommandsAndReleasesEverything) {
  AgentFakes fakes;
  auto control = std::make_unique<AgentCharacterControl>(creates(fakes.agent.Get()));
  sayvane::Character* character = control->load(u"helper", u"C:\\角色\\助手");
  ASSERT_NE(character, nullptr);
  EXPECT_EQ(control->load(u"helper", u"C:\\角色\\助手"), character);
  EXPECT_EQ(character->width(), 128);
  EXPECT_EQ(character->height(), 96);
  fakes.log->clear();
  EXPECT_FALSE(character->setWidth(32768));
  EXPECT_FALSE(character->setHeight(-32769));
  EXPECT_FALSE(character->moveTo(0, 40000));
  EXPECT_EQ(*fakes.log, Log{});
  EXPECT_TRUE(character->setWidth(-32768));
  EXPECT_TRUE(character->moveTo(10, -20));
  EXPECT_EQ(*fakes.log, (Log{L"character.6 put(I2:-32768)", L"character.18 call(I2:10 I2:-20)"}));
  fakes.commands->answer(10, fails());
  EXPECT_FALSE(character->addCommand(u"关闭"));

  std::vector<std::u16string> names;
  control->setCommandHandler([&](const std::u16string& name) {
    names.push_back(name);
    if (names.size() == 3) control.reset();
  });
  IDispatch* raw = fakes.input.Get();
  EXPECT_EQ(fakes.agent->fire(17, {Variant::dispatch(raw)}), S_OK);
  EXPECT_EQ(fakes.agent->fire(17, {byReference(&raw)}), S_OK);
  EXPECT_EQ(fakes.agent->fire(2, {Variant::dispatch(raw)}), S_OK);  // another event: ignored
  EXPECT_EQ(names.size(), 2u);
  fakes.log->clear();
  EXPECT_EQ(fakes.agent->fire(17, {Variant::dispatch(raw)}), S_OK);  // its handler destroys the control
  EXPECT_EQ(names, (std::vector<std::u16string>(3, u"打开记事本")));
  EXPECT_EQ(*fakes.log, Log{L"input.1610743809 get()"}) << "only the name was asked for";
  EXPECT_EQ(fakes.agent->advised(), 0u);
  EXPECT_EQ(fakes.agent->references(), 1u);
  EXPECT_EQ(fakes.character->references(), 2u) << "only the characters' script may hold the character";
}

TEST(AgentCharacterControlTest, AnyFailedStepOfLoadLeavesNothingBehind) {
  const std::vector<std::function<void(AgentFakes&)>> breaks{
      [](AgentFakes& f) { f.agent->answer(9, fails()); },
      [](AgentFakes& f) { f.agent = Fake::make(L"agent", f.log); },  // no events
      [](AgentFakes& f) { f.agent->answer(3, fails()); },
      [](AgentFakes& f) { f.characters->answer(1, fails(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND))); },
      [](AgentFakes& f) { f.characters->answer(0, fails()); },
  };
  for (std::size_t step = 0; step < breaks.size(); ++step) {
    AgentFakes fakes;
    breaks[step](fakes);
    const ULONG characters = fakes.characters->references(), character = fakes.character->references();
    AgentCharacterControl control(creates(fakes.agent.Get()));
    EXPECT_EQ(control.load(u"helper", u"C:\\助手"), nullptr) << "step " << step;
    EXPECT_EQ(fakes.agent->references(), 1u) << "step " << step;
    EXPECT_EQ(fakes.agent->advised(), 0u) << "step " << step;
    EXPECT_EQ(fakes.characters->references(), characters) << "step " << step;
    EXPECT_EQ(fakes.character->references(), character) << "step " << step;
  }
  AgentCharacterControl absent(unregistered);
  EXPECT_EQ(absent.load(u"helper", u"C:\\助手"), nullptr);
}

}  // namespace
