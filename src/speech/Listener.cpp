#include "speech/Listener.h"

#include "speech/SpeechTexts.h"
#include "text/Text.h"

namespace sayvane {

std::u16string_view recognizerName(RecognizerChoice choice) {
  return choice == RecognizerChoice::Own ? kUseOwnRecognizer : kUseSharedRecognizer;
}

Listener::Listener(Recognizer& recognizer, const SetLibrary& library, DiagnosticRecord& record)
    : recognizer_(recognizer), library_(library), record_(record) {}

bool Listener::start(RecognizerChoice preferred) {
  grammarLoaded_ = false;
  rulesActive_ = false;
  // A test ends with the context it ran in.
  if (testing()) testMode_ = Toggle::Off;
  auto& r = recognizer_;
  if (!r.createContext(preferred)) return false;
  record_.note(concat({u"识别器：", recognizerName(*r.contextClass()),
                       r.contextClass() == preferred ? u"" : u"（选择的那个用不了）"}));
  auto descriptions = r.recognizerDescriptions();
  // Without any recognizer nothing can work.
  if (!descriptions || descriptions->empty()) return false;
  engines_ = std::move(*descriptions);
  // The entry of the engine that listens, so the set switch's check judges what is heard.
  const std::size_t inUse = r.recognizerInUse();
  shownEngine_ = inUse < engines_.size() ? static_cast<int>(inUse) : 0;
  if (!r.createGrammar() || !r.loadDictation() || !r.deactivateDictation()) return false;
  // Interests already set by the recognizer stay set.
  for (const auto interest : {kRecognitionInterest, kFalseRecognitionInterest}) {
    const auto interests = r.eventInterests();
    if (!interests || !r.setEventInterests(*interests | interest)) return false;
  }
  return true;
}

void Listener::stop() {
  recognizer_.closeContext();
  engines_.clear();
  shownEngine_ = -1;
  grammarLoaded_ = rulesActive_ = false;
}

void Listener::showEngine(int index) {
  if (index >= 0 && static_cast<std::size_t>(index) < engines_.size()) shownEngine_ = index;
}

bool Listener::chineseEngineShown() const { return shownEngine_ >= 0 && namesChineseEngine(engines_[shownEngine_]); }

std::optional<std::u16string> Listener::engineProblem() const {
  if (chineseEngineShown()) return std::nullopt;
  for (const auto& description : engines_)
    if (namesChineseEngine(description)) return concat({kMustUseChinese, kChangeInControlPanel});
  return concat({kNoChineseEngine, kSeeHelp});
}

bool Listener::load(const std::u16string& path) {
  auto& r = recognizer_;
  grammarLoaded_ = r.loadCommandFile(path) && r.setRulesActive(false) && (!rulesActive_ || r.setRulesActive(true));
  return grammarLoaded_;
}

bool Listener::switchSet(bool on, const std::u16string& set) {
  if (grammarLoaded_) {
    // The rules go the way the switch goes, whatever they did before: a switch that found no
    // grammar moved only its position.
    if (rulesActive_ != on && !recognizer_.setRulesActive(on)) return false;
    rulesActive_ = on;
    rulesSwitch_ = on ? Toggle::On : Toggle::Off;
    activeSet_ = on ? set : std::u16string();
    if (on) testMode_ = testMode_ == Toggle::On ? Toggle::Off : testMode_;
  }
  setSwitch_ = on ? Toggle::On : Toggle::Off;
  return true;
}

void Listener::dropSet() {
  rulesActive_ = false;
  setSwitch_ = rulesSwitch_ = Toggle::Off;
  activeSet_.clear();
}

bool Listener::setTesting(bool on) {
  if (!recognizer_.setRulesActive(on)) return false;
  testMode_ = on ? Toggle::On : Toggle::Off;
  rulesActive_ = testing();
  return true;
}

void Listener::heard(const std::u16string& phrase, ActionServices& services, ResultField& result) {
  if (testing()) {
    record_.note(concat({u"听到（测试模式）：", phrase}));
    result.showResult(phrase);
    return;
  }
  // A character that cannot speak must not cost the user the command itself.
  (void)services.character.speak(phrase);
  if (phrase == kWakePhrase) {
    record_.note(concat({u"听到：", phrase, u"（唤醒）"}));
    awake_ = true;
    services.character.showArmed(true);
    return;
  }
  if (!awake_) return record_.note(concat({u"听到：", phrase, u"（之前没有唤醒，不执行）"}));
  awake_ = false;
  // Off before the action runs: its waits may last seconds.
  services.character.showArmed(false);
  // Taken out of the loaded text before it runs: an edit during one of its waits cannot change it.
  const auto action = findAction(library_.loadedText(), phrase);
  // Noted before it runs, in memory only: the file is written when the program is idle.
  record_.note(action ? concat({u"听到：", phrase, u" → 执行 ", *action})
                      : concat({u"听到：", phrase, u"（语音命令集里没有它的操作）"}));
  if (action) runAction(*action, services);
}

void Listener::heardNothing(ResultField& result) {
  record_.note(u"没有识别：说的话不是语音命令集里的词汇");
  result.showResult(std::u16string(kNotRecognized));
}

}  // namespace sayvane
