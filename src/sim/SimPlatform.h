// Every platform service held in memory, so the program's logic runs headless: what it does to
// the desktop becomes one text line per effect, time is a simulated clock that only moves when
// pumped, and the user's answers to dialogs are queued before they are asked for.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/Platform.h"

namespace sayvane {
class MainWindow;
}

namespace sayvane::sim {

inline constexpr std::u16string_view kDefaultRecognizer = u"模拟识别引擎 (中文)";
inline constexpr int kSimScreenWidth = 1024;
inline constexpr int kSimScreenHeight = 768;
inline constexpr int kSimCharacterSize = 128;

// Effect lines stay one a line whatever the text holds: each line break is written as "\\n".
std::string oneLine(std::u16string_view text);

struct SimOptions {
  std::vector<std::u16string> recognizers;  // empty: one default recognizer
  std::size_t recognizerInUse = 0;          // the entry whose engine listens
  bool noSpeech = false;                    // no recognition context can be created
  bool noSharedRecognizer = false;          // the shared recognizer's cannot
  bool noOwnRecognizer = false;             // the in-process recognizer's cannot
  bool noCharacter = false;                 // the character control loads nothing
  bool audioBusy = false;                   // rules cannot be switched on
  std::optional<std::u16string> setting;    // the stored value of Sayvane/Startup/Check1
  // Failures that may be switched on at any time, through options().
  bool programsFail = false;   // no program starts, as when the path names none
  bool clipboardFails = false;  // another program holds the clipboard
  bool characterFails = false;  // every call to the loaded character fails
  ForegroundLevel foreground = ForegroundLevel::NotHigher;  // the window in front, against this program
  bool recordUnwritable = false;  // the diagnostic record cannot be written
};

// One thing the program did to the simulated system, and when.
struct Effect {
  std::chrono::nanoseconds at;
  std::string line;
};

class SimPlatform {
 public:
  SimPlatform(Files& files, CodePage936& codePage, SimOptions options);
  ~SimPlatform();
  SimPlatform(const SimPlatform&) = delete;
  SimPlatform& operator=(const SimPlatform&) = delete;

  // Every reference in it points into this object.
  Platform& platform();
  // Where recognitions, character commands and timer ticks are delivered.
  void attach(MainWindow& window);
  SimOptions& options();
  // Effect lines in UTF-8, in the order they happened since the last take.
  std::vector<std::string> takeEffects();
  std::vector<Effect> takeTimedEffects();
  // The diagnostic record's lines since the last take, in UTF-8: apart from the effects, which
  // are what the user sees.
  std::vector<std::string> takeRecord();

  // Answers for the next questions, first queued first used; with none queued the answer is No.
  void answer(bool yes);
  // Answers for the next file dialogs; with none queued the dialog is cancelled.
  void pick(std::u16string path);
  void pickCancel();

  // The user says something: a phrase of the active grammar is recognised, anything else is
  // a false recognition; nothing is heard while the rules are off.
  void hear(const std::u16string& phrase);
  // The user chooses an entry of the character's command menu.
  void agentCommand(const std::u16string& name);
  // Lets simulated time pass, delivering timer ticks and scheduled events on the way.
  void elapse(std::chrono::milliseconds ms);
  // Delivered by the first pump that reaches `at`, e.g. in the middle of an action's hold.
  void schedule(std::chrono::nanoseconds at, std::function<void()> event);
  std::chrono::nanoseconds now() const;

  // What the simulated system holds now.
  bool rulesActive() const;
  // Whose recognition context there is.
  std::optional<RecognizerChoice> recognizerInUse() const;
  const std::vector<std::u16string>& grammarPhrases() const;
  std::optional<std::u16string> setting() const;
  std::u16string clipboard() const;
  std::vector<std::u16string> characterMenu() const;
  bool characterShown() const;
  bool characterArmed() const;
  int characterWidth() const;
  int characterHeight() const;
  // Keys pressed and not yet released, in the order they went down.
  std::vector<std::uint8_t> keysDown() const;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace sayvane::sim
