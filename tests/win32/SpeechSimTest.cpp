// The stand-in recognizer and character control, loaded straight from speechsim.dll (no
// registration): their automation surface, the call log, and utterances and menu choices
// arriving through their pipes as events on this thread.
#include <gtest/gtest.h>

#include <ocidl.h>
#include <oleauto.h>
#include <windows.h>
#include <wrl/client.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "SpeechSimPipe.h"
#include "commandsets/SetText.h"
#include "e2e/driver/Process.h"
#include "platform/win32/MessagePump.h"
#include "platform/win32/WinCodePage936.h"
#include "win32/Win32Test.h"

namespace {

using Microsoft::WRL::ComPtr;
using namespace std::chrono_literals;
using win32test::pumpUntil;
using win32test::TempFolder;

constexpr CLSID kSharedRecoContext = {0x47206204, 0x5ECA, 0x11D2, {0x96, 0x0F, 0x00, 0xC0, 0x4F, 0x8E, 0xE6, 0x28}};
constexpr CLSID kAgent = {0xD45FD31B, 0x5C6E, 0x11D1, {0x9E, 0xC1, 0x00, 0xC0, 0x4F, 0xD7, 0x08, 0x1F}};
constexpr IID kRecoContextEvents = {0x7b8fcb42, 0x0e9d, 0x4f00, {0xa0, 0x48, 0x7b, 0x04, 0xd6, 0x17, 0x9d, 0x3d}};
constexpr IID kAgentEvents = {0xF5BE8BD4, 0x7DE6, 0x11D0, {0x91, 0xFE, 0x00, 0xC0, 0x4F, 0xD7, 0x01, 0xA5}};
constexpr IID kISpeechRecoContext = {0x580AA49D, 0x7E1E, 0x4809, {0xB8, 0xE2, 0x57, 0xDA, 0x80, 0x61, 0x04, 0xB8}};

// DISPIDs from sapi51.h and the character control's type library.
enum : DISPID {
  kRecognizer = 1,
  kEventInterests = 7,
  kCreateGrammar = 14,
  kGetRecognizers = 18,
  kCount = 1,
  kItem = 0,
  kGetDescription = 4,
  kCmdLoadFromFile = 7,
  kCmdSetRuleIdState = 13,
  kPhraseInfo = 4,
  kGetText = 15,
  kRecognitionEvent = 7,
  kFalseRecognitionEvent = 11,
  kCharacters = 3,
  kConnected = 9,
  kLoad = 1,
  kHeight = 5,
  kWidth = 6,
  kSpeak = 15,
  kMoveTo = 18,
  kHide = 19,
  kShow = 20,
  kCommands = 25,
  kLanguageId = 43,
  kAdd = 10,
  kRemoveAll = 14,
  kCommandEvent = 17,
};

std::filesystem::path testExeFolder() {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return std::filesystem::path(path).parent_path();
}

std::filesystem::path standInFolder() { return testExeFolder().parent_path() / L"speechsim"; }

// speechsim.dll, loaded once for the whole run and never freed (its objects come and go).
struct StandIns {
  HMODULE module = nullptr;
  HRESULT(WINAPI* getClassObject)(REFCLSID, REFIID, void**) = nullptr;
  HRESULT(WINAPI* canUnloadNow)() = nullptr;

  static StandIns& get() {
    static StandIns standIns = [] {
      StandIns loaded;
      loaded.module = LoadLibraryW((standInFolder() / L"speechsim.dll").c_str());
      if (loaded.module) {
        loaded.getClassObject = reinterpret_cast<decltype(loaded.getClassObject)>(
            reinterpret_cast<void*>(GetProcAddress(loaded.module, "DllGetClassObject")));
        loaded.canUnloadNow = reinterpret_cast<decltype(loaded.canUnloadNow)>(
            reinterpret_cast<void*>(GetProcAddress(loaded.module, "DllCanUnloadNow")));
      }
      return loaded;
    }();
    return standIns;
  }

  ComPtr<IDispatch> create(const CLSID& clsid) const {
    ComPtr<IClassFactory> factory;
    ComPtr<IDispatch> object;
    if (getClassObject && SUCCEEDED(getClassObject(clsid, IID_IClassFactory, &factory)))
      factory->CreateInstance(nullptr, IID_IDispatch, &object);
    return object;
  }
};

// A VARIANT that clears itself.
struct Var {
  VARIANT v;
  Var() { VariantInit(&v); }
  Var(const Var&) = delete;
  Var& operator=(const Var&) = delete;
  Var(Var&& other) noexcept : v(other.v) { VariantInit(&other.v); }
  ~Var() { VariantClear(&v); }
};

VARIANT vLong(long value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = value;
  return v;
}
VARIANT vString(const std::wstring& text) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BSTR;
  v.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  return v;
}
VARIANT vBool(bool value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BOOL;
  v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  return v;
}
// An optional argument left out, as automation callers pass it.
VARIANT vMissing() {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_ERROR;
  v.scode = DISP_E_PARAMNOTFOUND;
  return v;
}

struct Reply {
  HRESULT hr = E_FAIL;
  Var value;
  IDispatch* object() const { return value.v.vt == VT_DISPATCH ? value.v.pdispVal : nullptr; }
  std::wstring text() const { return value.v.vt == VT_BSTR ? std::wstring(value.v.bstrVal, SysStringLen(value.v.bstrVal)) : L"?"; }
};

// One Invoke with the arguments in call order (reversed into rgvarg here, as callers do).
Reply invoke(IDispatch* object, DISPID id, WORD flags, std::vector<VARIANT> args = {}) {
  Reply reply;
  if (!object) return reply;
  std::vector<VARIANT> reversed(args.rbegin(), args.rend());
  DISPPARAMS params{reversed.empty() ? nullptr : reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  reply.hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, &reply.value.v, nullptr, nullptr);
  for (auto& arg : args) VariantClear(&arg);
  return reply;
}
Reply call(IDispatch* object, DISPID id, std::vector<VARIANT> args = {}) {
  return invoke(object, id, DISPATCH_METHOD, std::move(args));
}
Reply get(IDispatch* object, DISPID id, std::vector<VARIANT> args = {}) {
  return invoke(object, id, DISPATCH_PROPERTYGET, std::move(args));
}
HRESULT put(IDispatch* object, DISPID id, VARIANT value) {
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS params{&value, &named, 1, 1};
  const HRESULT hr = object ? object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params,
                                             nullptr, nullptr, nullptr)
                            : E_POINTER;
  VariantClear(&value);
  return hr;
}
ComPtr<IDispatch> object(const Reply& reply) { return ComPtr<IDispatch>(reply.object()); }

// An event sink that records what it is told; `during` runs inside its Invoke, as a handler would.
class Sink final : public IDispatch {
 public:
  struct Event {
    DISPID id;
    std::vector<VARTYPE> types;  // rgvarg order
    long streamNumber = -1;
    long recognitionType = -1;
    ComPtr<IDispatch> argument;  // the last argument in call order (Result, UserInput)
    std::wstring text;           // what `during` read from it
  };

  Sink(const IID& events, std::function<std::wstring(IDispatch*)> during)
      : events_(events), during_(std::move(during)) {}

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, events_)) {
      *out = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++references_; }
  STDMETHODIMP_(ULONG) Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }
  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return DISP_E_UNKNOWNNAME; }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override {
    Event event{id, {}, -1, -1, nullptr, {}};
    for (UINT i = 0; i < params->cArgs; ++i) event.types.push_back(params->rgvarg[i].vt);
    if (params->cArgs >= 1 && params->rgvarg[0].vt == VT_DISPATCH) event.argument = params->rgvarg[0].pdispVal;
    const UINT last = params->cArgs - 1;
    if (params->cArgs >= 3 && params->rgvarg[last].vt == VT_I4) event.streamNumber = params->rgvarg[last].lVal;
    if (params->cArgs == 4 && params->rgvarg[1].vt == VT_I4) event.recognitionType = params->rgvarg[1].lVal;
    if (during_ && event.argument) event.text = during_(event.argument.Get());
    // A handler that takes its time: the pipe's reply must still wait for it.
    Sleep(150);
    returnedAt = GetTickCount64();
    events.push_back(std::move(event));
    return S_OK;
  }

  std::vector<Event> events;
  ULONGLONG returnedAt = 0;

 private:
  IID events_;
  std::function<std::wstring(IDispatch*)> during_;
  ULONG references_ = 0;
};

ComPtr<Sink> makeSink(const IID& events, std::function<std::wstring(IDispatch*)> during) {
  // Born with no reference: the ComPtr takes the first (mingw's ComPtr::Attach adds one, unlike WRL's).
  return ComPtr<Sink>(new Sink(events, std::move(during)));
}

// Advises `sink` on `source`'s connection point for `events`; the cookie, or 0.
DWORD advise(IDispatch* source, const IID& events, IUnknown* sink) {
  ComPtr<IConnectionPointContainer> container;
  ComPtr<IConnectionPoint> point;
  DWORD cookie = 0;
  if (SUCCEEDED(source->QueryInterface(IID_IConnectionPointContainer, &container)) &&
      SUCCEEDED(container->FindConnectionPoint(events, &point)))
    point->Advise(sink, &cookie);
  return cookie;
}

HRESULT unadvise(IDispatch* source, const IID& events, DWORD cookie) {
  ComPtr<IConnectionPointContainer> container;
  ComPtr<IConnectionPoint> point;
  if (FAILED(source->QueryInterface(IID_IConnectionPointContainer, &container))) return E_NOINTERFACE;
  if (FAILED(container->FindConnectionPoint(events, &point))) return E_NOINTERFACE;
  return point->Unadvise(cookie);
}

struct Spoken {
  std::optional<std::string> reply;
  ULONGLONG repliedAt = 0;
};

// Sends one line from another thread, as speechsim-say would, while this thread pumps messages
// (the stand-in hands the line to the thread that created it).
Spoken speak(const wchar_t* pipeName, const std::string& line) {
  sayvane::MessagePump pump;
  Spoken spoken;
  std::atomic<bool> finished{false};
  std::thread sender([&] {
    spoken.reply = speechsim::exchangeLine(pipeName, line, 5000, 10000);
    spoken.repliedAt = GetTickCount64();
    finished = true;
  });
  pumpUntil(pump, [&] { return finished.load(); }, 20s);
  sender.join();
  return spoken;
}

std::string utf8(const std::wstring& text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                       nullptr);
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
  return out;
}

// The text a sink reads from a recognition result, the way the program does.
std::wstring phraseText(IDispatch* result) {
  const auto info = object(get(result, kPhraseInfo));
  const auto text = call(info.Get(), kGetText, {vLong(0), vLong(-1), vBool(true)});
  return SUCCEEDED(text.hr) ? text.text() : L"<GetText failed>";
}

// Each stand-in reads its environment when a context or control is created (not when the DLL
// loads), so every test sets its own before creating anything.
class SpeechSimTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(StandIns::get().module, nullptr) << "speechsim.dll not found in " << standInFolder();
    ASSERT_NE(StandIns::get().getClassObject, nullptr);
    logPath_ = folder_.path() / L"语音模拟.log";
    SetEnvironmentVariableW(L"SAYVANE_SIM_LOG", logPath_.c_str());
    SetEnvironmentVariableW(L"SAYVANE_SIM_WINDOW", L"0");
    SetEnvironmentVariableW(L"SAYVANE_SIM_RECOGNIZERS", nullptr);
    SetEnvironmentVariableW(L"SAYVANE_SIM_AUDIO_BUSY", nullptr);
  }
  void TearDown() override {
    for (const wchar_t* name :
         {L"SAYVANE_SIM_LOG", L"SAYVANE_SIM_WINDOW", L"SAYVANE_SIM_RECOGNIZERS", L"SAYVANE_SIM_AUDIO_BUSY"})
      SetEnvironmentVariableW(name, nullptr);
  }

  // The log's lines without their time stamps, which must be performance-counter microseconds
  // that never go backwards.
  std::vector<std::string> logLines() {
    std::ifstream in(logPath_, std::ios::binary);
    std::vector<std::string> lines;
    std::string line;
    long long last = 0;
    while (std::getline(in, line)) {
      const auto space = line.find(' ');
      EXPECT_NE(space, std::string::npos) << line;
      if (space == std::string::npos) continue;
      const std::string stamp = line.substr(0, space);
      EXPECT_EQ(stamp.find_first_not_of("0123456789"), std::string::npos) << line;
      const long long micros = std::stoll(stamp);
      EXPECT_GE(micros, last) << line;
      last = micros;
      lines.push_back(line.substr(space + 1));
    }
    return lines;
  }
  // Index of the first line equal to `wanted` at or after `from`, or -1.
  int findLine(const std::string& wanted, int from = 0) {
    const auto lines = logLines();
    for (int i = from; i < static_cast<int>(lines.size()); ++i)
      if (lines[static_cast<std::size_t>(i)] == wanted) return i;
    return -1;
  }

  // A set file in code page 936 with these (action, phrase) entries; its path.
  std::filesystem::path writeSet(const std::u16string& name, const std::u16string& text) {
    sayvane::WinCodePage936 codePage;
    const auto encoded = codePage.encode(text);
    EXPECT_TRUE(encoded.bytes);
    folder_.writeBytes(name, encoded.bytes.value_or(""));
    return folder_.path() / std::filesystem::path(name);
  }
  std::filesystem::path goodSet() {
    return writeSet(u"初始默认语音命令集.xml",
                    sayvane::setTextWithEntries({{u"Alt+F4", u"关闭窗口"}, {u"notepad", u"打开记事本"}}));
  }

  // A context listening for the good set, with both recognition events of interest.
  ComPtr<IDispatch> listeningContext(ComPtr<IDispatch>& grammar) {
    auto context = StandIns::get().create(kSharedRecoContext);
    EXPECT_TRUE(context);
    if (!context) return context;
    EXPECT_EQ(put(context.Get(), kEventInterests, vLong(16 | 512)), S_OK);
    grammar = object(call(context.Get(), kCreateGrammar, {vLong(1)}));
    EXPECT_TRUE(grammar);
    EXPECT_EQ(call(grammar.Get(), kCmdLoadFromFile, {vString(goodSet().wstring()), vLong(1)}).hr, S_OK);
    EXPECT_EQ(call(grammar.Get(), kCmdSetRuleIdState, {vLong(0), vLong(1)}).hr, S_OK);
    return context;
  }

  TempFolder folder_;
  std::filesystem::path logPath_;
};

using SpeechSimRecognizerTest = SpeechSimTest;
using SpeechSimCharacterTest = SpeechSimTest;
using SpeechSimServerTest = SpeechSimTest;

TEST_F(SpeechSimRecognizerTest, IsReachedThroughIDispatchOnly) {
  const auto context = StandIns::get().create(kSharedRecoContext);
  ASSERT_TRUE(context);
  ComPtr<IUnknown> dual;
  EXPECT_EQ(context->QueryInterface(kISpeechRecoContext, &dual), E_NOINTERFACE);
  ComPtr<IConnectionPointContainer> container;
  ASSERT_EQ(context->QueryInterface(IID_IConnectionPointContainer, &container), S_OK);
  ComPtr<IConnectionPoint> point;
  EXPECT_EQ(container->FindConnectionPoint(kRecoContextEvents, &point), S_OK);
  ComPtr<IConnectionPoint> wrong;
  EXPECT_TRUE(FAILED(container->FindConnectionPoint(kAgentEvents, &wrong)));
  UINT typeInfos = 99;
  EXPECT_EQ(context->GetTypeInfoCount(&typeInfos), S_OK);
  EXPECT_EQ(typeInfos, 0u);
  LPOLESTR known[] = {const_cast<LPOLESTR>(L"EventInterests")};
  DISPID id = 0;
  EXPECT_EQ(context->GetIDsOfNames(IID_NULL, known, 1, LOCALE_USER_DEFAULT, &id), S_OK);
  EXPECT_EQ(id, kEventInterests);
  LPOLESTR unknown[] = {const_cast<LPOLESTR>(L"Voice")};
  EXPECT_EQ(context->GetIDsOfNames(IID_NULL, unknown, 1, LOCALE_USER_DEFAULT, &id), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(get(context.Get(), 4).hr, DISP_E_MEMBERNOTFOUND);
}

TEST_F(SpeechSimRecognizerTest, LoadsAGoodSetAndRefusesAMalformedOne) {
  ComPtr<IDispatch> grammar;
  const auto context = listeningContext(grammar);
  ASSERT_TRUE(grammar);
  const auto path = goodSet();
  EXPECT_GE(findLine("ISpeechRecoGrammar.CmdLoadFromFile(\"" + utf8(path.wstring()) + "\", 1) -> ok"), 0);
  EXPECT_EQ(speak(speechsim::kRecognizerPipe, "打开记事本").reply, "recognition");

  // A phrase element never closed: refused, and the grammar is left without phrases.
  auto malformed = sayvane::setTextWithEntries({{u"Alt+F4", u"关闭窗口"}});
  malformed.insert(malformed.find(sayvane::kListEnd), u"<P VALSTR=\"x\">+y\r\n");
  const auto bad = writeSet(u"坏的.xml", malformed);
  EXPECT_TRUE(FAILED(call(grammar.Get(), kCmdLoadFromFile, {vString(bad.wstring()), vLong(1)}).hr));
  EXPECT_EQ(call(grammar.Get(), kCmdSetRuleIdState, {vLong(0), vLong(1)}).hr, S_OK);
  EXPECT_EQ(speak(speechsim::kRecognizerPipe, "关闭窗口").reply, "ignored");

  // A missing file fails too; LoadOption left out.
  EXPECT_TRUE(FAILED(call(grammar.Get(), kCmdLoadFromFile, {vString((folder_.path() / L"无.xml").wstring())}).hr));
  // A good load replaces the phrases and leaves the rules off until they are switched on.
  EXPECT_EQ(call(grammar.Get(), kCmdLoadFromFile, {vString(path.wstring()), vMissing()}).hr, S_OK);
  EXPECT_EQ(speak(speechsim::kRecognizerPipe, "关闭窗口").reply, "ignored");
  EXPECT_EQ(call(grammar.Get(), kCmdSetRuleIdState, {vLong(0), vLong(1)}).hr, S_OK);
  EXPECT_EQ(speak(speechsim::kRecognizerPipe, "关闭窗口").reply, "recognition");
}

TEST_F(SpeechSimRecognizerTest, AnUtteranceThroughThePipeReachesTheSinkBeforeTheReply) {
  ComPtr<IDispatch> grammar;
  const auto context = listeningContext(grammar);
  ASSERT_TRUE(context);
  const auto sink = makeSink(kRecoContextEvents, phraseText);
  const DWORD cookie = advise(context.Get(), kRecoContextEvents, sink.Get());
  ASSERT_NE(cookie, 0u);

  const auto recognized = speak(speechsim::kRecognizerPipe, "关闭窗口");
  EXPECT_EQ(recognized.reply, "recognition");
  ASSERT_EQ(sink->events.size(), 1u);
  const auto& recognition = sink->events[0];
  EXPECT_EQ(recognition.id, kRecognitionEvent);
  // rgvarg order: Result, RecognitionType, StreamPosition, StreamNumber.
  EXPECT_EQ(recognition.types, (std::vector<VARTYPE>{VT_DISPATCH, VT_I4, VT_DECIMAL, VT_I4}));
  EXPECT_EQ(recognition.recognitionType, 0);
  EXPECT_GE(recognition.streamNumber, 0);
  EXPECT_EQ(recognition.text, L"关闭窗口");
  EXPECT_GE(recognized.repliedAt, sink->returnedAt);

  const auto falseRecognition = speak(speechsim::kRecognizerPipe, "随便说");
  EXPECT_EQ(falseRecognition.reply, "false-recognition");
  ASSERT_EQ(sink->events.size(), 2u);
  EXPECT_EQ(sink->events[1].id, kFalseRecognitionEvent);
  EXPECT_EQ(sink->events[1].types, (std::vector<VARTYPE>{VT_DISPATCH, VT_DECIMAL, VT_I4}));
  EXPECT_EQ(sink->events[1].text, L"随便说");

  const int heard = findLine("utterance \"关闭窗口\" from pipe");
  ASSERT_GE(heard, 0);
  const int raised = findLine("event Recognition(\"关闭窗口\")", heard);
  ASSERT_GT(raised, heard);
  EXPECT_GT(findLine("ISpeechRecoResult.PhraseInfo -> ok", raised), raised);
  EXPECT_GT(findLine("ISpeechPhraseInfo.GetText(0, -1, true) -> \"关闭窗口\"", raised), raised);
  EXPECT_GE(findLine("event FalseRecognition(\"随便说\")"), 0);

  // Without the Recognition interest a matching phrase raises nothing.
  EXPECT_EQ(put(context.Get(), kEventInterests, vLong(512)), S_OK);
  EXPECT_EQ(speak(speechsim::kRecognizerPipe, "关闭窗口").reply, "ignored");
  EXPECT_EQ(put(context.Get(), kEventInterests, vLong(16)), S_OK);
  EXPECT_EQ(speak(speechsim::kRecognizerPipe, "随便说").reply, "ignored");
  EXPECT_EQ(sink->events.size(), 2u);

  // A sink that unadvised hears nothing more, though the phrase is still recognized.
  EXPECT_EQ(unadvise(context.Get(), kRecoContextEvents, cookie), S_OK);
  EXPECT_EQ(speak(speechsim::kRecognizerPipe, "关闭窗口").reply, "recognition");
  EXPECT_EQ(sink->events.size(), 2u);
}

TEST_F(SpeechSimRecognizerTest, TheResultAnswersArgumentsByValueByReferenceAndLeftOut) {
  ComPtr<IDispatch> grammar;
  const auto context = listeningContext(grammar);
  const auto sink = makeSink(kRecoContextEvents, nullptr);
  ASSERT_NE(advise(context.Get(), kRecoContextEvents, sink.Get()), 0u);
  EXPECT_EQ(speak(speechsim::kRecognizerPipe, "打开记事本").reply, "recognition");
  ASSERT_EQ(sink->events.size(), 1u);
  const auto info = object(get(sink->events[0].argument.Get(), kPhraseInfo));
  ASSERT_TRUE(info);

  EXPECT_EQ(call(info.Get(), kGetText).text(), L"打开记事本");
  EXPECT_EQ(call(info.Get(), kGetText, {vMissing(), vMissing(), vMissing()}).text(), L"打开记事本");
  long start = 0;
  long elements = -1;
  VARIANT_BOOL replacements = VARIANT_TRUE;
  VARIANT byReference[3];
  for (auto& v : byReference) VariantInit(&v);
  byReference[0].vt = VT_BYREF | VT_I4;
  byReference[0].plVal = &start;
  byReference[1].vt = VT_BYREF | VT_I4;
  byReference[1].plVal = &elements;
  byReference[2].vt = VT_BYREF | VT_BOOL;
  byReference[2].pboolVal = &replacements;
  EXPECT_EQ(call(info.Get(), kGetText, {byReference[0], byReference[1], byReference[2]}).text(), L"打开记事本");
  // Past the one element there is no text; a negative start is no element at all.
  EXPECT_EQ(call(info.Get(), kGetText, {vLong(1), vLong(-1)}).text(), L"");
  EXPECT_EQ(call(info.Get(), kGetText, {vLong(0), vLong(0)}).text(), L"");
  EXPECT_TRUE(FAILED(call(info.Get(), kGetText, {vLong(-1)}).hr));
  EXPECT_EQ(call(info.Get(), kGetText, {vString(L"开头")}).hr, DISP_E_TYPEMISMATCH);
  EXPECT_EQ(call(info.Get(), kGetText, {vLong(0), vLong(-1), vBool(true), vLong(0)}).hr, DISP_E_BADPARAMCOUNT);
  EXPECT_GE(findLine("ISpeechPhraseInfo.GetText(missing, missing, missing) -> \"打开记事本\""), 0);
}

TEST_F(SpeechSimRecognizerTest, SeveralLinesOnOneConnectionAreAnsweredInTurn) {
  ComPtr<IDispatch> grammar;
  const auto context = listeningContext(grammar);
  sayvane::MessagePump pump;
  std::vector<std::string> replies;
  std::atomic<bool> finished{false};
  std::thread client([&] {
    HANDLE pipe = INVALID_HANDLE_VALUE;
    for (int i = 0; i < 100 && pipe == INVALID_HANDLE_VALUE; ++i, Sleep(20))
      pipe = CreateFileW(speechsim::kRecognizerPipe, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                         nullptr);
    if (pipe != INVALID_HANDLE_VALUE) {
      // Two utterances in one write, the second with a CR as Windows tools write it.
      const std::string lines = "关闭窗口\n没有这句\r\n";
      DWORD moved = 0;
      WriteFile(pipe, lines.data(), static_cast<DWORD>(lines.size()), &moved, nullptr);
      std::string received;
      char buffer[256];
      while (std::count(received.begin(), received.end(), '\n') < 2 &&
             ReadFile(pipe, buffer, sizeof buffer, &moved, nullptr) && moved > 0)
        received.append(buffer, moved);
      for (std::size_t begin = 0, end; (end = received.find('\n', begin)) != std::string::npos; begin = end + 1)
        replies.push_back(received.substr(begin, end - begin));
      CloseHandle(pipe);
    }
    finished = true;
  });
  pumpUntil(pump, [&] { return finished.load(); }, 20s);
  client.join();
  EXPECT_EQ(replies, (std::vector<std::string>{"recognition", "false-recognition"}));
  EXPECT_GE(findLine("utterance \"没有这句\" from pipe"), 0);
}

TEST_F(SpeechSimRecognizerTest, WithoutAGrammarEveryUtteranceIsIgnored) {
  const auto context = StandIns::get().create(kSharedRecoContext);
  ASSERT_TRUE(context);
  EXPECT_EQ(put(context.Get(), kEventInterests, vLong(16 | 512)), S_OK);
  const auto sink = makeSink(kRecoContextEvents, phraseText);
  ASSERT_NE(advise(context.Get(), kRecoContextEvents, sink.Get()), 0u);
  EXPECT_EQ(speak(speechsim::kRecognizerPipe, "关闭窗口").reply, "ignored");
  // A grammar created but never loaded listens for nothing either, even with its rules "on".
  const auto grammar = object(call(context.Get(), kCreateGrammar, {vLong(1)}));
  EXPECT_EQ(call(grammar.Get(), kCmdSetRuleIdState, {vLong(0), vLong(1)}).hr, S_OK);
  EXPECT_EQ(speak(speechsim::kRecognizerPipe, "关闭窗口").reply, "ignored");
  EXPECT_TRUE(sink->events.empty());
  EXPECT_GE(findLine("utterance \"关闭窗口\" ignored"), 0);
}

TEST_F(SpeechSimCharacterTest, RefusesEveryCallUntilConnected) {
  const auto control = StandIns::get().create(kAgent);
  ASSERT_TRUE(control);
  EXPECT_EQ(get(control.Get(), kCharacters).hr, E_UNEXPECTED);
  const auto connected = get(control.Get(), kConnected);
  ASSERT_EQ(connected.hr, S_OK);
  EXPECT_EQ(connected.value.v.vt, VT_BOOL);
  EXPECT_EQ(connected.value.v.boolVal, VARIANT_FALSE);
  EXPECT_EQ(put(control.Get(), kConnected, vBool(true)), S_OK);
  EXPECT_EQ(get(control.Get(), kConnected).value.v.boolVal, VARIANT_TRUE);
  EXPECT_TRUE(object(get(control.Get(), kCharacters)));
  EXPECT_GE(findLine("create Agent"), 0);
  EXPECT_GE(findLine("Agent.Characters -> error 0x8000FFFF"), 0);
  EXPECT_GE(findLine("Agent.Connected = true -> ok"), 0);
  EXPECT_GE(findLine("Agent.Characters -> ok"), 0);
}

TEST_F(SpeechSimServerTest, SpeechsimSayReportsTheOutcomeByItsExitCode) {
  const auto say = standInFolder() / L"speechsim-say.exe";
  ASSERT_TRUE(std::filesystem::exists(say)) << say;
  sayvane::MessagePump pump;
  const auto exitOf = [&](const std::wstring& arguments) {
    e2e::Process process(say, arguments);
    if (!process.started()) return -100L;
    // This thread must keep pumping: the stand-in hands the line to it.
    pumpUntil(pump, [&] { return !process.running(); }, 20s);
    return process.waitExit(1s);
  };
  {
    ComPtr<IDispatch> grammar;
    const auto context = listeningContext(grammar);
    ASSERT_TRUE(context);
    EXPECT_EQ(exitOf(L"关闭窗口"), 0);
    EXPECT_EQ(exitOf(L"--wait 3000 随便说"), 0);
    EXPECT_EQ(call(grammar.Get(), kCmdSetRuleIdState, {vLong(0), vLong(0)}).hr, S_OK);
    EXPECT_EQ(exitOf(L"关闭窗口"), 1);
    // No control alive, so nobody serves the character pipe.
    EXPECT_EQ(exitOf(L"--wait 300 --menu 退出"), 2);
  }
  EXPECT_GE(findLine("event Recognition(\"关闭窗口\")"), 0);
  EXPECT_GE(findLine("utterance \"随便说\" from pipe"), 0);
}

TEST_F(SpeechSimServerTest, ThePipesCloseAndTheDllMayUnloadWithTheLastObject) {
  ASSERT_NE(StandIns::get().canUnloadNow, nullptr);
  {
    const auto context = StandIns::get().create(kSharedRecoContext);
    const auto control = StandIns::get().create(kAgent);
    ASSERT_TRUE(context && control);
    EXPECT_EQ(StandIns::get().canUnloadNow(), S_FALSE);
    EXPECT_EQ(speak(speechsim::kRecognizerPipe, "关闭窗口").reply, "ignored");
    EXPECT_EQ(speak(speechsim::kCharacterPipe, "退出").reply, "not-in-menu");
  }
  EXPECT_EQ(StandIns::get().canUnloadNow(), S_OK);
  EXPECT_EQ(speechsim::exchange(speechsim::kRecognizerPipe, "关闭窗口", 300).status,
            speechsim::ExchangeStatus::Unreachable);
  EXPECT_EQ(speechsim::exchange(speechsim::kCharacterPipe, "退出", 300).status,
            speechsim::ExchangeStatus::Unreachable);
}

}  // namespace
