// The speech recognizer: the one recognition context and its command grammar.
// Recognitions come back as events the platform delivers to the main window.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sayvane {

inline constexpr std::uint32_t kRecognitionInterest = 16;        // SRERecognition
inline constexpr std::uint32_t kFalseRecognitionInterest = 512;  // SREFalseRecognition

// Which recognizer hears: the system's shared one (Windows Speech Recognition, with the engine
// its settings select), or one the program runs in its own process.
enum class RecognizerChoice { Shared, Own };

// One call to the speech API and its answer, an HRESULT (0: S_OK).
struct SpeechStep {
  std::u16string call;
  std::uint32_t answer = 0;
  friend bool operator==(const SpeechStep&, const SpeechStep&) = default;
};

// An installed engine, audio input or voice: its description, and the language it declares
// (a hexadecimal language id, "804" for Simplified Chinese; empty when it declares none).
struct SpeechToken {
  std::u16string description;
  std::u16string language;
  friend bool operator==(const SpeechToken&, const SpeechToken&) = default;
};

// One recognizer tried on its own: its start, then a grammar of one phrase switched on; the
// steps stop at the first that failed.
struct RecognizerSurvey {
  bool created = false;  // a context with its engine list, as the program's start needs
  bool listens = false;  // and the phrase's rules switched on with S_OK
  std::vector<SpeechStep> steps;
  std::vector<SpeechToken> engines, audioInputs;
  std::optional<std::size_t> engineInUse, inputInUse;
};

// What the speech API offers this user.
struct SpeechSurvey {
  std::u16string system;  // the system's name and version
  RecognizerSurvey shared, own;
  SpeechStep voiceList;
  std::vector<SpeechToken> voices;
};
// A recognizer description names a Chinese engine when, lower-cased, it holds "chinese" or "中文".
bool namesChineseEngine(std::u16string_view description);

class Recognizer {
 public:
  Recognizer() = default;
  Recognizer(const Recognizer&) = delete;
  Recognizer& operator=(const Recognizer&) = delete;
  virtual ~Recognizer() = default;

  // Creates the recognition context of the preferred recognizer, or where that cannot be had,
  // of the other; any earlier context goes first, with its grammar.
  [[nodiscard]] virtual bool createContext(RecognizerChoice preferred) = 0;
  // Whose context there is; nothing before one was created or after it was closed.
  [[nodiscard]] virtual std::optional<RecognizerChoice> contextClass() const = 0;
  virtual void closeContext() = 0;
  // The descriptions (locale 0) of every installed recognizer, in enumeration order.
  [[nodiscard]] virtual std::optional<std::vector<std::u16string>> recognizerDescriptions() = 0;
  // Which of them listens, when the program chose it; the shared recognizer's choice is the
  // system's, shown as entry 0.
  [[nodiscard]] virtual std::size_t recognizerInUse() { return 0; }
  // The command grammar, id 1.
  [[nodiscard]] virtual bool createGrammar() = 0;
  // Dictation topic "" loaded statically, then switched inactive: it never produces results.
  [[nodiscard]] virtual bool loadDictation() = 0;
  [[nodiscard]] virtual bool deactivateDictation() = 0;
  [[nodiscard]] virtual std::optional<std::uint32_t> eventInterests() = 0;
  [[nodiscard]] virtual bool setEventInterests(std::uint32_t interests) = 0;
  // Replaces the grammar's rules by those of the file at `path`, loaded dynamically; fails
  // for a file the recognizer cannot compile.
  [[nodiscard]] virtual bool loadCommandFile(const std::u16string& path) = 0;
  // Every top-level rule (rule id 0) on or off; switching on fails when the audio input
  // cannot be opened, or when the recognizer answers anything but plain success.
  [[nodiscard]] virtual bool setRulesActive(bool active) = 0;
  // Tries each recognizer apart from the context in use, which it leaves as it is.
  [[nodiscard]] virtual SpeechSurvey survey() = 0;
};

}  // namespace sayvane
