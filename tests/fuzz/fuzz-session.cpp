// Random sessions: start-up, then any sequence of what the user and the platform can do,
// events arriving in the middle of holds included. After every step the window must agree with
// itself and with the simulated system, and no key may be left down or sent otherwise than the
// game-keys mode of its action says.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "FuzzInput.h"
#include "app/MainWindow.h"
#include "commandsets/SetFile.h"
#include "commandsets/SetText.h"
#include "platform/HostCodePage936.h"
#include "sim/SimPlatform.h"
#include "speech/SpeechTexts.h"
#include "support/MemoryFiles.h"

namespace {

using namespace sayvane;
using namespace std::chrono_literals;

constexpr std::u16string_view kPhrases[] = {u"Tobrin", u"关闭窗口", u"向下",   u"运行框",  u"按住",
                                            u"变大",   u"写字",     u"打开冰箱", u"添加语音命令", u"跳"};
constexpr std::string_view kClicks[] = {"Command1", "Command2", "Command3", "Command4", "Command5", "Command6",
                                        "Command7", "Check1",   "Image1",   "Image2",   "Image3",   "Image4", "Image5"};
constexpr std::string_view kFields[] = {"Text1", "Text2", "Text3"};
constexpr std::u16string_view kTexts[] = {u"",          u"跳",     u"新的",       u"Ctrl+Shift!300", u"打开(新)",
                                          u"a<b>&\"",   u"😀",     u"Write[你好]", u"游戏",          u"初始默认语音命令集",
                                          u"con",       u"新的.",  u"退出",       u"  ",             u"Down!2000*A"};
constexpr std::string_view kMenuItems[] = {"MLBC", "Key01", "Key02", "Key3", "Key11", "Key6", "MDownBM"};
constexpr TrayChoice kTrayChoices[] = {TrayChoice::UseSharedRecognizer, TrayChoice::UseOwnRecognizer,
                                       TrayChoice::CheckSpeech, TrayChoice::OpenRecord};
constexpr std::u16string_view kAgentCommands[] = {u"添加语音命令", u"更换语音命令", u"ie浏览器", u"退出"};

class Bytes {
 public:
  Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  bool empty() const { return at_ >= size_; }
  std::uint8_t next() { return at_ < size_ ? data_[at_++] : 0; }
  template <class T, std::size_t N>
  const T& pick(const T (&options)[N]) { return options[next() % N]; }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

void check(const MainWindow& window, sim::SimPlatform& sim) {
  const auto& ui = window.controls();
  for (const Control* list : {&ui.List1, &ui.List2, &ui.SREngines})
    SAYVANE_FUZZ_CHECK(list->selection == -1 || (list->selection >= 0 && static_cast<std::size_t>(list->selection) < list->items.size()));
  // The window never claims the rules are on when the recognizer has them off, or the reverse.
  if (!window.quitting()) SAYVANE_FUZZ_CHECK(window.listener().rulesActive() == sim.rulesActive());
  // An active set's label names the set whose phrases act.
  if (window.listener().rulesActive() && !window.listener().testing() && !window.quitting())
    SAYVANE_FUZZ_CHECK(ui.Label5.caption == concat({kActiveSetLabel, window.library().loadedName()}));
  SAYVANE_FUZZ_CHECK(window.characterMenu().entries() == sim.characterMenu());
  // While the set list shows the loaded set, the phrase list shows exactly its entries.
  const auto* selected = ui.List2.selectedItem();
  if (selected && *selected == window.library().loadedName()) {
    const auto entries = listEntries(window.library().loadedText());
    SAYVANE_FUZZ_CHECK(entries.size() == ui.List1.items.size());
    for (std::size_t i = 0; i < entries.size(); ++i)
      SAYVANE_FUZZ_CHECK(makePhraseItem(entries[i].phrase, entries[i].action) == ui.List1.items[i]);
  }
  // The rules listen only for the set switched on or the test.
  if (window.listener().rulesActive() && !window.quitting())
    SAYVANE_FUZZ_CHECK(window.listener().setSwitch() == Toggle::On || window.listener().testing());
  // Locked controls come and go together: editing is off whenever the rules listen.
  if (window.listener().rulesActive()) SAYVANE_FUZZ_CHECK(!ui.List2.enabled && !ui.Command3.enabled && !ui.SREngines.enabled);
  // Every key went as its action's mode asked, and came up as it went down.
  for (const auto& line : sim.takeEffects()) SAYVANE_FUZZ_CHECK(!line.ends_with("(unexpected)"));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Bytes in(data, size);
  static const auto codePage = makeHostCodePage936();
  testing::MemoryFiles files;
  const auto add = [&](std::u16string_view name, const std::vector<Entry>& entries) {
    (void)writeSetFile(files, *codePage, name, setTextWithEntries(entries));
  };
  add(u"初始默认语音命令集", {{u"CloseSoft", u"退出"}, {u"AddSpeech", u"添加语音命令"}, {u"OpenShow", u"Tobrin"},
                           {u"Alt+F4", u"关闭窗口"}, {u"Down!1000", u"向下"}, {u"LWindows*R", u"运行框"},
                           {u"Ctrl+Shift!3000+Alt!2000", u"按住"}, {u"OpenBigger", u"变大"}, {u"Write[字]", u"写字"}});
  add(u"游戏", {{u"CloseSoft", u"退出"}, {u"Space", u"跳"}, {u"Space", u"跳"}, {u"OpenShow", u"Tobrin"}});
  files.files[u"坏.xml"] = "\x81";

  const auto setup = in.next();
  sim::SimOptions options;
  options.audioBusy = setup & 1;
  options.noCharacter = setup & 2;
  if (setup & 4) options.setting = u"1";
  if (setup & 8) options.recognizers = {u"English", u"中文识别器"};
  options.noSharedRecognizer = setup & 16;
  options.noOwnRecognizer = setup & 32;
  sim::SimPlatform sim(files, *codePage, options);
  MainWindow window(sim.platform());
  sim.attach(window);
  for (int i = 0, n = in.next() % 4; i < n; ++i) sim.answer(in.next() & 1);
  window.start();
  check(window, sim);

  // Every step that may run an action: runs while some event can still arrive mid-way.
  std::function<void(Bytes&)> step = [&](Bytes& b) {
    switch (b.next() % 15) {
      case 0: case 1: sim.hear(std::u16string(b.pick(kPhrases))); break;
      case 2: case 3: (void)window.click(b.pick(kClicks)); break;
      case 4: (void)window.select("List2", b.next() % 5); break;
      case 5: (void)window.select("List1", b.next() % 6); break;
      case 6: (void)window.select("SREngines", b.next() % 3); break;
      case 7: (void)window.type(b.pick(kFields), std::u16string(b.pick(kTexts))); break;
      case 8: (void)window.chooseMenuItem(b.pick(kMenuItems)); break;
      case 9: sim.agentCommand(std::u16string(b.pick(kAgentCommands))); break;
      case 10: sim.answer(b.next() & 1); break;
      case 11: if (b.next() & 1) sim.pick(u"C:\\Games\\Game.exe"); else sim.pickCancel(); break;
      case 12: sim.elapse(std::chrono::milliseconds(b.next() * 20)); break;
      case 13: {
        // Something the user does later, possibly in the middle of an action's hold.
        const auto at = sim.now() + std::chrono::milliseconds(b.next() * 20);
        const auto phrase = std::u16string(b.pick(kPhrases));
        const auto control = b.pick(kClicks);
        const auto what = b.next() % 3;
        sim.schedule(at, [&sim, &window, phrase, control, what] {
          if (what == 0) sim.hear(phrase);
          else if (what == 1) (void)window.click(control);
          else window.trayCommand(TrayChoice::GameKeys);
        });
        break;
      }
      case 14:
        // The notification icon's choices; the new recognizer may refuse the rules.
        if (b.next() & 1) sim.options().audioBusy = !sim.options().audioBusy;
        window.trayCommand(b.pick(kTrayChoices));
        break;
    }
  };
  for (int steps = 0; !in.empty() && !window.quitting() && steps < 200; ++steps) {
    step(in);
    check(window, sim);
    // No action leaves a key down once it is over, nested ones and quits included.
    SAYVANE_FUZZ_CHECK(sim.keysDown().empty() || !window.quitting());
  }
  sim.elapse(10s);
  check(window, sim);
  SAYVANE_FUZZ_CHECK(sim.keysDown().empty());
  return 0;
}
