#include "sim/SimPlatform.h"

#include <algorithm>
#include <map>
#include <tuple>
#include <utility>

#include "actions/ActionPlan.h"
#include "app/MainWindow.h"
#include "commandsets/Grammar.h"
#include "commandsets/SetText.h"
#include "speech/SpeechTexts.h"
#include "sim/StandardKeyboard.h"
#include "text/Text.h"

namespace sayvane::sim {

std::string oneLine(std::u16string_view text) {
  std::u16string flat;
  flat.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\r' || text[i] == u'\n') {
      flat += u"\\n";
      if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
    } else {
      flat += text[i];
    }
  }
  return toUtf8(flat);
}

namespace {

using std::chrono::milliseconds;
using std::chrono::nanoseconds;

std::string joined(std::initializer_list<std::u16string_view> parts) {
  std::string line;
  bool first = true;
  for (const auto part : parts) {
    if (!first) line += '|';
    first = false;
    line += oneLine(part);
  }
  return line;
}

std::string withText(const char* word, std::u16string_view text) { return std::string(word) + " " + oneLine(text); }

// What the speech API answers for a class that is not there, and for a busy audio device.
constexpr std::uint32_t kNotRegistered = 0x80040154;
constexpr std::uint32_t kDeviceBusy = 0x80045006;

// The shared state every simulated service reads and writes.
struct Core {
  explicit Core(SimOptions o) : options(std::move(o)) {}

  SimOptions options;
  std::vector<Effect> effects;
  MainWindow* window = nullptr;
  bool quitting = false;

  // The clock and what is due on it, in time order; equal times in the order they were queued.
  using Key = std::pair<nanoseconds, std::uint64_t>;
  nanoseconds now{0};
  std::map<Key, std::function<void()>> due;
  std::uint64_t queued = 0;

  std::optional<Key> nextTick;
  nanoseconds tickInterval{0};

  void add(std::string line) { effects.push_back({now, std::move(line)}); }

  Key enqueue(nanoseconds at, std::function<void()> event) {
    const Key key{at, queued++};
    due.emplace(key, std::move(event));
    return key;
  }

  bool pump(nanoseconds atMost) {
    if (quitting) return false;
    if (atMost < nanoseconds::zero()) atMost = nanoseconds::zero();
    const auto until = atMost > nanoseconds::max() - now ? nanoseconds::max() : now + atMost;
    while (!due.empty() && due.begin()->first.first <= until) {
      // Taken out before it runs, so a nested pump inside it cannot deliver it again.
      auto node = due.extract(due.begin());
      if (node.key().first > now) now = node.key().first;
      node.mapped()();
      if (quitting) return false;
    }
    // A nested pump may already have gone further; the clock never runs back.
    if (now < until) now = until;
    return true;
  }

  void startTimer(milliseconds interval) {
    stopTimer();
    // A zero interval would tick forever within one pump.
    tickInterval = std::max<nanoseconds>(interval, milliseconds(1));
    scheduleTick(now + tickInterval);
  }

  void stopTimer() {
    if (nextTick) due.erase(*nextTick);
    nextTick.reset();
  }

  void scheduleTick(nanoseconds at) {
    nextTick = enqueue(at, [this, at] { tick(at); });
  }

  void tick(nanoseconds at) {
    // The next tick is queued first, so the handler's own stop or restart replaces it.
    scheduleTick(at + tickInterval);
    if (window) window->clearTimerTick();
  }
};

class SimWaiter final : public Waiter {
 public:
  explicit SimWaiter(Core& core) : c_(core) {}
  nanoseconds now() override { return c_.now; }
  [[nodiscard]] bool pump(nanoseconds atMost) override { return c_.pump(atMost); }

 private:
  Core& c_;
};

class SimTimer final : public Timer {
 public:
  explicit SimTimer(Core& core) : c_(core) {}
  void start(milliseconds interval) override { c_.startTimer(interval); }
  void stop() override { c_.stopTimer(); }

 private:
  Core& c_;
};

class SimInput final : public Input {
 public:
  explicit SimInput(Core& core) : c_(core) {}
  void keyEvent(std::uint8_t virtualKey, std::uint8_t scan, std::uint32_t flags, std::uintptr_t extra) override {
    const InputEvent event{InputEvent::Type::Key, virtualKey, flags & ~kKeyUp, 0, 0, scan};
    const auto sameKey = [&](const InputEvent& key) { return key.virtualKey == virtualKey; };
    const auto held = std::find(down.begin(), down.end(), event);
    // A key goes bare, or in the game-keys mode as this keyboard sends it; a key-up goes as a
    // key-down of it went, whatever the mode has become meanwhile: a game hears scan codes, and
    // a release in another form would leave its key down there. A key already up (a nested
    // action released it) may come up again as it last went down.
    bool expected = extra == 0;
    if ((flags & kKeyUp) && std::any_of(down.begin(), down.end(), sameKey)) {
      expected = expected && held != down.end();
    } else {
      InputEvent bare{InputEvent::Type::Key, virtualKey, 0, 0, 0, 0};
      const bool gameKeys = c_.window && c_.window->options().gameKeys;
      const auto last = lastDown.find(virtualKey);
      expected = expected && (event == (gameKeys ? withScanCode(bare, scanCode(virtualKey)) : bare) ||
                              ((flags & kKeyUp) && last != lastDown.end() && last->second == event));
    }
    report({InputEvent::Type::Key, virtualKey, flags, 0, 0, scan}, !expected);
    if (!(flags & kKeyUp)) lastDown[virtualKey] = event;
    if (!(flags & kKeyUp) && held == down.end()) down.push_back(event);
    if ((flags & kKeyUp) && held != down.end()) down.erase(held);
  }
  void mouseEvent(std::uint32_t flags, std::int32_t dx, std::int32_t dy, std::int32_t data, std::uintptr_t extra) override {
    report({InputEvent::Type::Mouse, 0, flags, dx, dy, 0}, data != 0 || extra != 0);
  }
  std::uint8_t scanCode(std::uint8_t virtualKey) override { return standardScanCode(virtualKey); }
  std::vector<InputEvent> down;
  std::map<std::uint8_t, InputEvent> lastDown;

 private:
  // The same line a dry run prints for the event.
  void report(const InputEvent& event, bool unexpected) {
    Operation operation;
    operation.kind = Operation::Kind::Input;
    operation.input = event;
    c_.add(describe(operation) + (unexpected ? " (unexpected)" : ""));
  }
  Core& c_;
};

// Shell, programs, clipboard, screen and random draws: the desktop around the program.
class SimDesktop final : public Shell, public Programs, public Clipboard, public Screen, public Random {
 public:
  explicit SimDesktop(Core& core) : c_(core) {}
  void open(const std::u16string& target) override { c_.add(withText("shell-open", target)); }
  [[nodiscard]] bool start(const std::u16string& commandLine) override {
    c_.add(withText("start-program", commandLine));
    return !c_.options.programsFail;
  }
  [[nodiscard]] bool clear() override {
    c_.add("clipboard-clear");
    if (c_.options.clipboardFails) return false;
    clipboard.clear();
    return true;
  }
  [[nodiscard]] bool setText(const std::u16string& text) override {
    c_.add(withText("clipboard-set", text));
    if (c_.options.clipboardFails) return false;
    clipboard = text;
    return true;
  }
  int width() override { return kSimScreenWidth; }
  int height() override { return kSimScreenHeight; }
  // Three draws a cycle, so that a missed reseed shows in where the next flight lands.
  void reseedFromClock() override { draws_ = 0; }
  double next() override { return kDraws[draws_++ % 3]; }
  std::u16string clipboard;

 private:
  static constexpr double kDraws[] = {0.5, 0.25, 0.75};
  Core& c_;
  unsigned draws_ = 0;
};

class SimDialogs final : public Dialogs {
 public:
  explicit SimDialogs(Core& core) : c_(core) {}
  void message(const std::u16string& text, const std::u16string& caption) override {
    c_.add("message " + joined({caption, text}));
  }
  void critical(const std::u16string& text, const std::u16string& caption) override {
    c_.add("critical " + joined({caption, text}));
  }
  bool ask(const std::u16string& text, const std::u16string& caption) override {
    bool yes = false;
    if (!answers.empty()) {
      yes = answers.front();
      answers.erase(answers.begin());
    }
    c_.add("question " + joined({caption, text, yes ? u"yes" : u"no"}));
    return yes;
  }
  std::optional<std::u16string> pickFile(const std::u16string& title, const std::u16string& folder,
                                         const std::u16string& filterName) override {
    std::optional<std::u16string> picked;
    if (!picks.empty()) {
      picked = picks.front();
      picks.erase(picks.begin());
    }
    c_.add("file-dialog " + joined({title, folder, filterName, picked ? std::u16string_view(*picked) : u"cancel"}));
    return picked;
  }
  void showHelp() override { c_.add("help-window"); }
  void showText(const std::u16string& text, const std::u16string& caption) override {
    c_.add("text-window " + joined({caption, text}));
  }
  std::vector<bool> answers;
  std::vector<std::optional<std::u16string>> picks;

 private:
  Core& c_;
};

// The given files, with every change reported.
class SimFiles final : public Files {
 public:
  SimFiles(Core& core, Files& files) : c_(core), files_(files) {}
  std::u16string folder() override { return files_.folder(); }
  std::vector<std::u16string> listXml() override { return files_.listXml(); }
  [[nodiscard]] std::optional<std::string> read(const std::u16string& name) override { return files_.read(name); }
  [[nodiscard]] bool writeAtomic(const std::u16string& name, const std::string& bytes) override {
    const bool written = files_.writeAtomic(name, bytes);
    if (written) c_.add(withText("write", name));
    return written;
  }
  [[nodiscard]] bool remove(const std::u16string& name) override {
    const bool removed = files_.remove(name);
    if (removed) c_.add(withText("delete", name));
    return removed;
  }
  Kind kindOf(const std::u16string& name) override { return files_.kindOf(name); }

 private:
  Core& c_;
  Files& files_;
};

class SimRecognizer final : public Recognizer {
 public:
  SimRecognizer(Core& core, Files& files, CodePage936& codePage) : c_(core), files_(files), codePage_(codePage) {}
  [[nodiscard]] bool createContext(RecognizerChoice preferred) override {
    closeContext();
    const auto other = preferred == RecognizerChoice::Own ? RecognizerChoice::Shared : RecognizerChoice::Own;
    for (const auto choice : {preferred, other})
      if (!inUse && !c_.options.noSpeech && !(choice == RecognizerChoice::Own ? c_.options.noOwnRecognizer
                                                                                 : c_.options.noSharedRecognizer))
        inUse = choice;
    return inUse.has_value();
  }
  [[nodiscard]] std::optional<RecognizerChoice> contextClass() const override { return inUse; }
  // A new context starts without a grammar, and with the rules off.
  void closeContext() override {
    inUse.reset();
    phrases.clear();
    active = false;
    interests = 0;
  }
  [[nodiscard]] std::optional<std::vector<std::u16string>> recognizerDescriptions() override {
    if (c_.options.recognizers.empty()) return std::vector<std::u16string>{std::u16string(kDefaultRecognizer)};
    return c_.options.recognizers;
  }
  [[nodiscard]] std::size_t recognizerInUse() override { return c_.options.recognizerInUse; }
  [[nodiscard]] bool createGrammar() override { return true; }
  [[nodiscard]] bool loadDictation() override { return true; }
  [[nodiscard]] bool deactivateDictation() override { return true; }
  [[nodiscard]] std::optional<std::uint32_t> eventInterests() override { return interests; }
  [[nodiscard]] bool setEventInterests(std::uint32_t value) override {
    interests = value;
    return true;
  }
  [[nodiscard]] bool loadCommandFile(const std::u16string& path) override {
    const auto slash = path.find_last_of(u"\\/");
    const auto name = slash == std::u16string::npos ? path : path.substr(slash + 1);
    c_.add(withText("grammar-load", name));
    auto compiled = compileGrammarFile(files_, codePage_, name);
    if (!compiled) return false;
    phrases = std::move(*compiled);
    return true;
  }
  [[nodiscard]] bool setRulesActive(bool on) override {
    c_.add(on ? "rules on" : "rules off");
    if (on && c_.options.audioBusy) return false;
    active = on;
    return true;
  }
  // Each recognizer as the options make it: missing, or with the engines, one input and the audio device.
  [[nodiscard]] SpeechSurvey survey() override {
    SpeechSurvey survey{u"模拟的系统"};
    for (const auto which : {RecognizerChoice::Shared, RecognizerChoice::Own}) {
      const bool own = which == RecognizerChoice::Own;
      auto& found = own ? survey.own : survey.shared;
      const bool missing = c_.options.noSpeech || (own ? c_.options.noOwnRecognizer : c_.options.noSharedRecognizer);
      found.steps.push_back({own ? u"创建 SpInprocRecognizer" : u"创建 SpSharedRecoContext", missing ? kNotRegistered : 0});
      if (missing) continue;
      found.created = true;
      const auto descriptions = recognizerDescriptions();
      for (const auto& description : *descriptions)
        found.engines.push_back({description, namesChineseEngine(description) ? u"804" : u"409"});
      found.engineInUse = c_.options.recognizerInUse;
      found.audioInputs = {{u"模拟麦克风", u""}};
      found.inputInUse = 0;
      found.steps.push_back({u"CmdSetRuleIdState(0, 1)", c_.options.audioBusy ? kDeviceBusy : 0});
      found.listens = !c_.options.audioBusy;
    }
    survey.voiceList = {u"SpVoice.GetVoices(\"\", \"\")", 0};
    survey.voices = {{u"模拟声音", u"804"}};
    return survey;
  }

  std::optional<RecognizerChoice> inUse;
  std::uint32_t interests = 0;
  std::vector<std::u16string> phrases;
  bool active = false;

 private:
  Core& c_;
  Files& files_;
  CodePage936& codePage_;
};

class SimCharacter final : public Character {
 public:
  explicit SimCharacter(Core& core) : c_(core) {}
  [[nodiscard]] bool speak(const std::u16string& text) override { return done(withText("speak", text)); }
  [[nodiscard]] std::optional<int> width() override { return works() ? std::optional(w) : std::nullopt; }
  [[nodiscard]] std::optional<int> height() override { return works() ? std::optional(h) : std::nullopt; }
  [[nodiscard]] bool setWidth(int pixels) override { return size(pixels, h); }
  [[nodiscard]] bool setHeight(int pixels) override { return size(w, pixels); }
  [[nodiscard]] bool hide() override {
    if (!done("character hide")) return false;
    shown = false;
    return true;
  }
  [[nodiscard]] bool show() override {
    if (!done("character show")) return false;
    shown = true;
    return true;
  }
  [[nodiscard]] bool moveTo(int x, int y) override {
    return done("character move " + std::to_string(x) + " " + std::to_string(y));
  }
  [[nodiscard]] bool setLanguageId(int) override { return works(); }
  [[nodiscard]] bool addCommand(const std::u16string& name) override {
    if (!done(withText("menu-add", name))) return false;
    menu.push_back(name);
    return true;
  }
  [[nodiscard]] bool removeAllCommands() override {
    if (!done("menu-clear")) return false;
    menu.clear();
    return true;
  }
  void showArmed(bool on) override { armed = on; }

  int w = kSimCharacterSize;
  int h = kSimCharacterSize;
  bool shown = false;
  bool armed = false;
  std::vector<std::u16string> menu;

 private:
  bool works() const { return !c_.options.characterFails; }
  // A failed call is still reported: it was made.
  bool done(std::string line) {
    c_.add(std::move(line));
    return works();
  }
  bool size(int width, int height) {
    if (!done("character size " + std::to_string(width) + " " + std::to_string(height))) return false;
    w = width;
    h = height;
    return true;
  }
  Core& c_;
};

class SimCharacterControl final : public CharacterControl {
 public:
  SimCharacterControl(Core& core, Character& character) : c_(core), character_(character) {}
  [[nodiscard]] Character* load(const std::u16string&, const std::u16string&) override {
    return c_.options.noCharacter ? nullptr : &character_;
  }

 private:
  Core& c_;
  Character& character_;
};

using SettingKey = std::tuple<std::u16string, std::u16string, std::u16string>;

class SimSettings final : public Settings {
 public:
  explicit SimSettings(Core& core) : c_(core) {
    if (c_.options.setting) values[check1()] = *c_.options.setting;
  }
  std::optional<std::u16string> read(const std::u16string& application, const std::u16string& section,
                                     const std::u16string& key) override {
    const auto found = values.find({application, section, key});
    if (found == values.end()) return std::nullopt;
    return found->second;
  }
  [[nodiscard]] bool write(const std::u16string& application, const std::u16string& section,
                           const std::u16string& key, const std::u16string& value) override {
    c_.add("setting-write " + oneLine(key) + " " + oneLine(value));
    values[{application, section, key}] = value;
    return true;
  }
  [[nodiscard]] bool deleteSection(const std::u16string& application, const std::u16string& section) override {
    c_.add(withText("setting-delete", section));
    std::erase_if(values, [&](const auto& value) {
      return std::get<0>(value.first) == application && std::get<1>(value.first) == section;
    });
    return true;
  }
  static SettingKey check1() { return {u"Sayvane", u"Startup", u"Check1"}; }
  std::map<SettingKey, std::u16string> values;

 private:
  Core& c_;
};

class SimForeground final : public ForegroundRights {
 public:
  explicit SimForeground(Core& core) : c_(core) {}
  [[nodiscard]] ForegroundLevel compare() override { return c_.options.foreground; }

 private:
  Core& c_;
};

class SimRecord final : public DiagnosticRecord {
 public:
  explicit SimRecord(Core& core) : c_(core) {}
  void note(std::u16string_view line) override { lines.push_back(oneLine(line)); }
  [[nodiscard]] bool flush() override { return !c_.options.recordUnwritable; }
  std::vector<std::string> lines;

 private:
  Core& c_;
};

class SimView final : public WindowView {
 public:
  explicit SimView(Core& core) : c_(core) {}
  void show() override { c_.add("main-window show"); }
  void hide() override { c_.add("main-window hide"); }
  void quit() override {
    c_.add("quit");
    c_.quitting = true;
  }
  void popupMenu(ComposerMenu menu, int x, int y) override {
    c_.add(std::string(menu == ComposerMenu::Mouse ? "popup pop " : "popup pop2 ") + std::to_string(x) + " " +
           std::to_string(y));
  }

 private:
  Core& c_;
};

}  // namespace

struct SimPlatform::State {
  State(Files& files, CodePage936& codePage, SimOptions options)
      : core(std::move(options)),
        waiter(core),
        timer(core),
        input(core),
        desktop(core),
        dialogs(core),
        files(core, files),
        recognizer(core, files, codePage),
        character(core),
        characterControl(core, character),
        settings(core),
        view(core),
        foreground(core),
        record(core),
        platform{input,       desktop,  desktop,    desktop,          desktop,  desktop, waiter, dialogs,
                 this->files, codePage, recognizer, characterControl, settings, timer,   view,   foreground,
                 record} {}

  Core core;
  SimWaiter waiter;
  SimTimer timer;
  SimInput input;
  SimDesktop desktop;
  SimDialogs dialogs;
  SimFiles files;
  SimRecognizer recognizer;
  SimCharacter character;
  SimCharacterControl characterControl;
  SimSettings settings;
  SimView view;
  SimForeground foreground;
  SimRecord record;
  Platform platform;
};

SimPlatform::SimPlatform(Files& files, CodePage936& codePage, SimOptions options)
    : state_(std::make_unique<State>(files, codePage, std::move(options))) {}

SimPlatform::~SimPlatform() = default;

Platform& SimPlatform::platform() { return state_->platform; }
void SimPlatform::attach(MainWindow& window) { state_->core.window = &window; }
SimOptions& SimPlatform::options() { return state_->core.options; }

std::vector<std::string> SimPlatform::takeEffects() {
  std::vector<std::string> lines;
  for (auto& effect : takeTimedEffects()) lines.push_back(std::move(effect.line));
  return lines;
}

std::vector<Effect> SimPlatform::takeTimedEffects() { return std::exchange(state_->core.effects, {}); }
std::vector<std::string> SimPlatform::takeRecord() { return std::exchange(state_->record.lines, {}); }

void SimPlatform::answer(bool yes) { state_->dialogs.answers.push_back(yes); }
void SimPlatform::pick(std::u16string path) { state_->dialogs.picks.emplace_back(std::move(path)); }
void SimPlatform::pickCancel() { state_->dialogs.picks.emplace_back(std::nullopt); }

void SimPlatform::hear(const std::u16string& phrase) {
  auto& core = state_->core;
  const auto& recognizer = state_->recognizer;
  if (core.quitting || !core.window || !recognizer.active) return;
  const auto& phrases = recognizer.phrases;
  if (std::find(phrases.begin(), phrases.end(), phrase) != phrases.end()) {
    if (recognizer.interests & kRecognitionInterest) core.window->heard(phrase);
  } else if (recognizer.interests & kFalseRecognitionInterest) {
    core.window->heardNothing();
  }
}

void SimPlatform::agentCommand(const std::u16string& name) {
  auto& core = state_->core;
  if (core.quitting || !core.window) return;
  core.window->characterCommand(name);
}

void SimPlatform::elapse(std::chrono::milliseconds ms) { (void)state_->core.pump(ms); }

void SimPlatform::schedule(std::chrono::nanoseconds at, std::function<void()> event) {
  state_->core.enqueue(at, std::move(event));
}

std::chrono::nanoseconds SimPlatform::now() const { return state_->core.now; }
bool SimPlatform::rulesActive() const { return state_->recognizer.active; }
std::optional<RecognizerChoice> SimPlatform::recognizerInUse() const { return state_->recognizer.inUse; }
const std::vector<std::u16string>& SimPlatform::grammarPhrases() const { return state_->recognizer.phrases; }

std::optional<std::u16string> SimPlatform::setting() const {
  const auto& values = state_->settings.values;
  const auto found = values.find(SimSettings::check1());
  if (found == values.end()) return std::nullopt;
  return found->second;
}

std::u16string SimPlatform::clipboard() const { return state_->desktop.clipboard; }
std::vector<std::u16string> SimPlatform::characterMenu() const { return state_->character.menu; }
bool SimPlatform::characterShown() const { return state_->character.shown; }
bool SimPlatform::characterArmed() const { return state_->character.armed; }
int SimPlatform::characterWidth() const { return state_->character.w; }
int SimPlatform::characterHeight() const { return state_->character.h; }
std::vector<std::uint8_t> SimPlatform::keysDown() const {
  std::vector<std::uint8_t> keys;
  for (const auto& key : state_->input.down)
    if (std::find(keys.begin(), keys.end(), key.virtualKey) == keys.end()) keys.push_back(key.virtualKey);
  return keys;
}

}  // namespace sayvane::sim
