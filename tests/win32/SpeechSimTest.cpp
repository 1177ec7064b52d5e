// The stand-in recognizer, loaded straight from speechsim.dll (no registration) and driven by the
// program's own speech client: what the end-to-end tests cannot see of it.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "GrammarFile.h"
#include "commandsets/DefaultSets.h"
#include "commandsets/SetText.h"
#include "e2e/driver/Process.h"
#include "e2e/driver/SpeechSim.h"
#include "platform/win32/Automation.h"
#include "platform/win32/MessagePump.h"
#include "platform/win32/SapiRecognizer.h"
#include "platform/win32/WinCodePage936.h"
#include "text/Text.h"
#include "win32/Win32Test.h"

namespace {

using sayvane::kFalseRecognitionInterest;
using sayvane::kRecognitionInterest;
using namespace sayvane::win32;
using win32test::pumpUntil;

constexpr CLSID kSharedRecoContext = {0x47206204, 0x5ECA, 0x11D2, {0x96, 0x0F, 0x00, 0xC0, 0x4F, 0x8E, 0xE6, 0x28}};
constexpr CLSID kInprocRecognizer = {0x41B89B6B, 0x9399, 0x11D2, {0x96, 0x23, 0x00, 0xC0, 0x4F, 0x8E, 0xE6, 0x28}};

std::filesystem::path standInFolder() { return e2e::programBuild() / L"speechsim"; }

// From speechsim.dll, loaded once for the whole run and never freed.
HRESULT createStandIn(const CLSID& clsid, IDispatch** object) {
  static const HMODULE module = LoadLibraryW((standInFolder() / L"speechsim.dll").c_str());
  const auto getClassObject = reinterpret_cast<HRESULT(WINAPI*)(REFCLSID, REFIID, void**)>(
      module ? reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject")) : nullptr);
  if (!getClassObject) return E_FAIL;
  ComPtr<IClassFactory> factory;
  const HRESULT got = getClassObject(clsid, IID_IClassFactory, reinterpret_cast<void**>(factory.GetAddressOf()));
  return FAILED(got) ? got : factory->CreateInstance(nullptr, IID_IDispatch, reinterpret_cast<void**>(object));
}

// Sends one line from another thread, as speechsim-say would, while this thread pumps messages
// (the stand-in hands the line to the thread that created it); the stand-in's reply.
std::optional<std::string> speak(std::u16string_view phrase) {
  sayvane::MessagePump pump;
  std::optional<std::string> reply;
  std::atomic<bool> finished{false};
  std::thread sender([&] {
    reply = e2e::say(phrase);
    finished = true;
  });
  pumpUntil(
      pump, [&] { return finished.load(); }, 20s);
  sender.join();
  return reply;
}

// Each stand-in reads its environment when a context is created (not when the DLL loads), so
// every test sets its own before creating anything.
class SpeechSimTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(std::filesystem::exists(standInFolder() / L"speechsim.dll")) << standInFolder();
    logPath_ = folder_.path() / L"语音模拟.log";
    SetEnvironmentVariableW(L"SAYVANE_SIM_LOG", logPath_.c_str());
    SetEnvironmentVariableW(L"SAYVANE_SIM_WINDOW", L"0");
    recognizer_.setEventHandlers([this](const std::u16string& text) { heard_.push_back(text); },
                                 [this] { ++falseRecognitions_; });
  }

  // A set file in code page 936; its path.
  std::u16string writeSet(const std::u16string& name, const std::u16string& text) {
    const auto encoded = sayvane::WinCodePage936().encode(text);
    EXPECT_TRUE(encoded.bytes);
    folder_.writeBytes(name, encoded.bytes.value_or(""));
    return (folder_.path() / std::filesystem::path(name)).u16string();
  }
  std::u16string goodSet() {
    return writeSet(u"初始默认语音命令集.xml",
                    sayvane::setTextWithEntries({{u"Alt+F4", u"关闭窗口"}, {u"notepad", u"打开记事本"}}));
  }

  win32test::TempFolder folder_;
  std::filesystem::path logPath_;
  SapiRecognizer recognizer_{[](IDispatch** context) { return createStandIn(kSharedRecoContext, context); }};
  std::vector<std::u16string> heard_;
  int falseRecognitions_ = 0;
};

// An utterance raises an event only when of interest; a malformed set is refused and leaves the
// grammar without phrases; speechsim-say reports the outcome by its exit code.
TEST_F(SpeechSimTest, HearsTheLoadedSetOnlyWithTheInterestsRefusesAMalformedSetAndSpeechsimSayTellsTheOutcome) {
  ASSERT_TRUE(recognizer_.createContext(sayvane::RecognizerChoice::Shared));
  ASSERT_TRUE(recognizer_.setEventInterests(kRecognitionInterest | kFalseRecognitionInterest));
  ASSERT_TRUE(recognizer_.createGrammar());
  ASSERT_TRUE(recognizer_.loadCommandFile(goodSet()));
  ASSERT_TRUE(recognizer_.setRulesActive(true));
  EXPECT_EQ(speak(u"关闭窗口"), "recognition");
  EXPECT_EQ(speak(u"随便说"), "false-recognition");
  EXPECT_EQ(falseRecognitions_, 1);
  EXPECT_TRUE(e2e::waitForCall(logPath_, "ISpeechPhraseInfo.GetText(0, -1, true) -> \"关闭窗口\"", 0ms));
  ASSERT_TRUE(recognizer_.setEventInterests(kFalseRecognitionInterest));
  EXPECT_EQ(speak(u"关闭窗口"), "ignored");
  ASSERT_TRUE(recognizer_.setEventInterests(kRecognitionInterest));
  EXPECT_EQ(speak(u"随便说"), "ignored");
  EXPECT_EQ(falseRecognitions_, 1);

  auto malformed = sayvane::setTextWithEntries({{u"Alt+F4", u"关闭窗口"}});
  malformed.insert(malformed.find(sayvane::kListEnd), u"<P VALSTR=\"x\">+y\r\n");
  EXPECT_FALSE(recognizer_.loadCommandFile(writeSet(u"坏的.xml", malformed)));
  EXPECT_TRUE(recognizer_.setRulesActive(true));
  EXPECT_EQ(speak(u"关闭窗口"), "ignored");
  EXPECT_FALSE(recognizer_.loadCommandFile((folder_.path() / L"无.xml").u16string())) << "a missing file";

  // A good load replaces the phrases and leaves the rules off until they are switched on.
  EXPECT_TRUE(recognizer_.loadCommandFile(goodSet()));
  EXPECT_EQ(speak(u"打开记事本"), "ignored");
  EXPECT_TRUE(recognizer_.setRulesActive(true));
  EXPECT_EQ(speak(u"打开记事本"), "recognition");

  // speechsim-say tells by its exit code what became of the phrase.
  const auto say = standInFolder() / L"speechsim-say.exe";  // not started: exit -100
  sayvane::MessagePump pump;
  const auto exitOf = [&](const std::wstring& arguments) {
    const auto output = folder_.path() / L"say.out";
    const auto process = e2e::startDespiteWine([&] {
      e2e::StartAttempt attempt{e2e::Process(say, arguments, {}, output)};
      // This thread must keep pumping: the stand-in hands the line to it.
      pumpUntil(
          pump, [&] { return !attempt.process.running(); }, 20s);
      std::error_code error;  // it prints on every road
      attempt.showedLife = std::filesystem::file_size(output, error) > 0 && !error;
      return attempt;
    });
    return process.started() ? process.waitExit(1s) : -100L;
  };
  ASSERT_TRUE(recognizer_.setEventInterests(kRecognitionInterest | kFalseRecognitionInterest));
  EXPECT_EQ(exitOf(L"关闭窗口"), 0);
  EXPECT_EQ(exitOf(L"--wait 3000 随便说"), 0);
  EXPECT_EQ(exitOf(L"--no-wait 打开记事本"), 0);
  pumpUntil(
      pump, [&] { return heard_.size() == 4; }, 5s);
  ASSERT_TRUE(recognizer_.setRulesActive(false));
  EXPECT_EQ(exitOf(L"关闭窗口"), 1);
  // No control alive, so nobody serves the character pipe.
  EXPECT_EQ(exitOf(L"--wait 300 --menu 退出"), 2);
  EXPECT_EQ(heard_, (std::vector<std::u16string>{u"关闭窗口", u"打开记事本", u"关闭窗口", u"打开记事本"}));
  EXPECT_EQ(falseRecognitions_, 2);
}

// What the end-to-end tests cannot provoke: a put by value, a token of the wrong kind, a
// context made before any audio input was given, which cannot hear.
TEST_F(SpeechSimTest, TheInProcessRecognizerTakesOnlyItsOwnTokensByReferenceAndNeedsAnInput) {
  ComPtr<IDispatch> engine;
  ASSERT_EQ(createStandIn(kInprocRecognizer, engine.GetAddressOf()), S_OK);
  const auto first = [&](DISPID list) {
    const ComPtr<IDispatch> tokens = dispatchResult(engine.Get(), list, DISPATCH_METHOD);
    return dispatchResult(tokens.Get(), DISPID_VALUE, DISPATCH_METHOD, {Variant::i4(0)});
  };
  const ComPtr<IDispatch> chinese = first(18), microphone = first(19);
  ASSERT_TRUE(chinese && microphone);
  const auto setTo = [&](DISPID property, IDispatch* token, WORD how = DISPATCH_PROPERTYPUTREF) {
    return invoke(engine.Get(), property, how, {Variant::dispatch(token)});
  };
  EXPECT_EQ(setTo(1, chinese.Get(), DISPATCH_PROPERTYPUT), DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(setTo(1, microphone.Get()), E_INVALIDARG);
  EXPECT_EQ(setTo(3, engine.Get()), E_INVALIDARG) << "not a token of its own";
  EXPECT_EQ(setTo(1, chinese.Get()), S_OK);
  // Without an input the rules answer a success code, as the real recognizer does, and hear nothing.
  const auto heardWithRulesOn = [&](HRESULT answer) {
    const ComPtr<IDispatch> context = dispatchResult(engine.Get(), 10, DISPATCH_METHOD);
    const ComPtr<IDispatch> grammar = dispatchResult(context.Get(), 14, DISPATCH_METHOD, {Variant::i4(1)});
    EXPECT_EQ(putProperty(context.Get(), 7, Variant::i4(kRecognitionInterest | kFalseRecognitionInterest)), S_OK);
    EXPECT_EQ(invoke(grammar.Get(), 7, DISPATCH_METHOD, {Variant::string(goodSet()), Variant::i4(1)}), S_OK);
    EXPECT_EQ(invoke(grammar.Get(), 13, DISPATCH_METHOD, {Variant::i4(0), Variant::i4(1)}), answer);
    return speak(u"随便说");
  };
  EXPECT_EQ(heardWithRulesOn(HRESULT{0x00045057}), "ignored");
  EXPECT_EQ(setTo(3, microphone.Get()), S_OK);
  EXPECT_EQ(heardWithRulesOn(S_OK), "false-recognition");
}

// The stand-in reads a grammar as XML, apart from the program's own marker-based readers: what
// the program writes must hold up there too.
TEST(GrammarFile, WhatTheProgramWritesReadsToItsPhrasesAndMalformedXmlIsRefused) {
  using speechsim::readGrammar;
  for (const auto& set : sayvane::defaultSets()) {
    std::vector<std::u16string> phrases;
    for (const auto& entry : set.entries) phrases.push_back(entry.phrase);
    EXPECT_EQ(readGrammar(set.text()), phrases) << sayvane::toUtf8(set.name);
  }
  EXPECT_EQ(readGrammar(sayvane::setTextWithEntries({})), std::vector<std::u16string>{});
  EXPECT_EQ(readGrammar(u"<!-- 注释 --><GRAMMAR><RULE TOPLEVEL='ACTIVE'><P>+a&amp;&#x4E00;</P></RULE>"
                        u"<RULE><P>不是顶层</P></RULE></GRAMMAR>"),
            std::vector<std::u16string>{u"a&一"});

  const auto good = sayvane::setTextWithEntries({{u"Alt+F4", u"关闭窗口"}});
  const auto with = [&](std::u16string_view line) {
    auto text = good;
    return text.insert(text.find(sayvane::kListEnd), line);
  };
  for (const auto& bad : {std::u16string(), std::u16string(u"<GRAMMAR LANGID=\"804\">"), with(u"<P VALSTR=\"x\">+y\r\n"),
                          with(u"<P VALSTR=\"x\">+关闭&窗口</P>"), with(u"<P VALSTR=\"A<B\">+y</P>"), with(u"<PX/>"),
                          with(u"<P VALSTR=\"x\">+y</L>"), with(u"文字"), good + u"<GRAMMAR></GRAMMAR>",
                          with(u"<P VALSTR=\"x\"VAL=\"y\">+y</P>")})
    EXPECT_FALSE(readGrammar(bad)) << sayvane::toUtf8(bad);
  EXPECT_FALSE(speechsim::readGrammarBytes("<GRAMMAR>\x81\x20\xFF</GRAMMAR>")) << "not code page 936";
}

}  // namespace
