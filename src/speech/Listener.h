// The program's hearing: the recognition context and its one command grammar, the engines it
// offers, the set switch and whether the rules listen, the test mode, and the wake phrase
// between two recognitions. Every fact of the speech side has its one owner here; the window
// draws its buttons and labels from it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "actions/ActionRunner.h"
#include "commandsets/SetLibrary.h"
#include "platform/DiagnosticRecord.h"
#include "platform/Recognizer.h"

namespace sayvane {

inline constexpr std::u16string_view kWakePhrase = u"Tobrin";
inline constexpr std::u16string_view kNotRecognized = u"没有识别重新念";

// The result field: what the test mode heard, or the notice for an utterance nothing matched.
class ResultField {
 public:
  ResultField() = default;
  ResultField(const ResultField&) = delete;
  ResultField& operator=(const ResultField&) = delete;
  virtual ~ResultField() = default;
  virtual void showResult(const std::u16string& text) = 0;
};

// A switch the user turns: Untouched until first turned, since its button's first caption differs.
enum class Toggle { Untouched, On, Off };

class Listener {
 public:
  // Actions are looked up in the library's loaded set; each step is noted in the record.
  Listener(Recognizer& recognizer, const SetLibrary& library, DiagnosticRecord& record);
  Listener(const Listener&) = delete;
  Listener& operator=(const Listener&) = delete;

  // The context (of the preferred recognizer, or where that cannot be had of the other; any
  // earlier one goes first), its engines, the grammar with dictation loaded and off, and both
  // events of interest (the recognizer's own interests stay). False at the first step that
  // fails; the rules are off and no grammar is loaded after it either way.
  [[nodiscard]] bool start(RecognizerChoice preferred);
  // No context at all, after a start failed: nothing is heard and no engine is offered.
  void stop();
  // Whose context hears; nothing without one.
  std::optional<RecognizerChoice> inUse() const { return recognizer_.contextClass(); }

  const std::vector<std::u16string>& engines() const { return engines_; }
  // The entry the user sees: the engine that listens, until the user shows another (which
  // changes nothing in the recognizer). -1 while there is none.
  int shownEngine() const { return shownEngine_; }
  void showEngine(int index);
  bool chineseEngineShown() const;
  // Before a set is loaded: nothing when the engine shown is Chinese, else what the user is told.
  std::optional<std::u16string> engineProblem() const;

  // The file's rules replace the grammar's and keep their activity; a failure leaves no
  // grammar loaded and the rules' activity as it was.
  [[nodiscard]] bool load(const std::u16string& path);
  bool grammarLoaded() const { return grammarLoaded_; }
  bool rulesActive() const { return rulesActive_; }

  // The set switch: its position, and the rules go the same way when a grammar is loaded (the
  // set named while they are on). False when the recognizer refused: then nothing changed.
  [[nodiscard]] bool switchSet(bool on, const std::u16string& set);
  Toggle setSwitch() const { return setSwitch_; }
  // How the set switch last left the rules, and the set it switched on.
  Toggle rulesSwitch() const { return rulesSwitch_; }
  // The set switch off and the rules with it, without asking the recognizer: for a context
  // that is gone, or that could not take the set again.
  void dropSet();
  const std::u16string& activeSet() const { return activeSet_; }

  // The test mode: the rules listen and what they hear is only shown. False when the
  // recognizer refused: then nothing changed.
  [[nodiscard]] bool setTesting(bool on);
  Toggle testMode() const { return testMode_; }
  bool testing() const { return testMode_ == Toggle::On; }
  bool awake() const { return awake_; }

  // A recognition: shown in the test mode; otherwise spoken, and after the wake phrase the
  // loaded set's action for the phrase runs.
  void heard(const std::u16string& phrase, ActionServices& services, ResultField& result);
  void heardNothing(ResultField& result);

 private:
  Recognizer& recognizer_;
  const SetLibrary& library_;
  DiagnosticRecord& record_;
  std::vector<std::u16string> engines_;
  int shownEngine_ = -1;
  bool grammarLoaded_ = false;
  bool rulesActive_ = false;
  Toggle setSwitch_ = Toggle::Untouched;
  Toggle rulesSwitch_ = Toggle::Untouched;
  std::u16string activeSet_;
  Toggle testMode_ = Toggle::Untouched;
  bool awake_ = false;
};

}  // namespace sayvane
