#include "sim/Simulation.h"

#include <cstdio>
#include <filesystem>
#include <istream>
#include <optional>
#include <ostream>
#include <string_view>

#include "app/MainWindow.h"
#include "platform/std/FolderFiles.h"
#include "sim/SimPlatform.h"
#include "text/Text.h"

namespace sayvane::sim {
namespace {

namespace fs = std::filesystem;

constexpr const char* kUsage =
    "用法: sayvane-tool simulate 文件夹 [选项] < 脚本\n"
    "选项:\n"
    "  --recognizer 名称   安装的识别引擎（可重复，依次列出）\n"
    "  --no-speech         没有语音识别\n"
    "  --no-character      没有助手角色\n"
    "  --audio-busy        录音设备被占用，无法开始识别\n"
    "  --setting 值        已保存的“关闭打开时的提示框”设置\n"
    "  --echo              在每行脚本的结果前先打印“> 脚本行”\n";

int usage(std::ostream& err, const std::string& problem) {
  err << problem << "\n" << kUsage;
  return 2;
}

// One JSON value at a time, commas placed by the writer, so the caller only says what comes.
class JsonWriter {
 public:
  explicit JsonWriter(std::string& out) : out_(out) {}

  void beginObject() { open('{'); }
  void endObject() { close('}'); }
  void beginArray() { open('['); }
  void endArray() { close(']'); }
  void key(std::string_view name) {
    separate();
    quoted(name);
    out_ += ':';
    afterKey_ = true;
  }
  void string(std::u16string_view text) {
    separate();
    quoted(toUtf8(text));
  }
  void boolean(bool b) {
    separate();
    out_ += b ? "true" : "false";
  }
  void integer(long long n) {
    separate();
    out_ += std::to_string(n);
  }
  void null() {
    separate();
    out_ += "null";
  }

 private:
  void open(char bracket) {
    separate();
    out_ += bracket;
    first_ = true;
  }
  void close(char bracket) {
    out_ += bracket;
    first_ = false;
  }
  void separate() {
    if (afterKey_) afterKey_ = false;
    else if (!first_) out_ += ',';
    first_ = false;
  }
  void quoted(std::string_view utf8) {
    out_ += '"';
    for (const char c : utf8) {
      const auto u = static_cast<unsigned char>(c);
      if (c == '"') out_ += "\\\"";
      else if (c == '\\') out_ += "\\\\";
      else if (c == '\n') out_ += "\\n";
      else if (c == '\r') out_ += "\\r";
      else if (u < 0x20) {
        char escape[8];
        std::snprintf(escape, sizeof escape, "\\u%04X", u);
        out_ += escape;
      } else {
        out_ += c;
      }
    }
    out_ += '"';
  }

  std::string& out_;
  bool first_ = true;
  bool afterKey_ = false;
};

std::string stateJson(const MainWindow& window, const SimPlatform& sim) {
  std::string json;
  JsonWriter w(json);
  w.beginObject();
  w.key("time_ms");
  w.integer(static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(sim.now()).count()));
  w.key("loadedSet");
  w.string(window.library().loadedName());
  w.key("mainWindow");
  w.string(window.shown() ? std::u16string_view(u"shown") : u"hidden");
  w.key("flags");
  w.beginObject();
  w.key("wake");
  w.boolean(window.listener().awake());
  w.key("testMode");
  w.boolean(window.listener().testing());
  w.key("rulesActive");
  w.boolean(window.listener().rulesActive());
  w.key("grammarLoaded");
  w.boolean(window.listener().grammarLoaded());
  w.key("menuFilled");
  w.boolean(window.characterMenu().filled());
  w.endObject();
  w.key("characterMenu");
  w.beginArray();
  for (const auto& entry : window.characterMenu().entries()) w.string(entry);
  w.endArray();
  w.key("controls");
  w.beginObject();
  Controls controls = window.controls();
  for (const auto& [name, control] : controls.named()) {
    w.key(name);
    w.beginObject();
    w.key("caption");
    w.string(control->caption);
    w.key("label");
    w.string(control->label);
    w.key("text");
    w.string(control->text);
    w.key("enabled");
    w.boolean(control->enabled);
    w.key("visible");
    w.boolean(control->visible);
    w.key("items");
    w.beginArray();
    for (const auto& item : control->items) w.string(item);
    w.endArray();
    w.key("selection");
    if (control->selectedItem()) w.integer(static_cast<long long>(control->selection) + 1);
    else w.null();
    w.key("checked");
    w.boolean(control->checked);
    w.endObject();
  }
  w.endObject();
  w.endObject();
  return json;
}

bool isControlName(std::string_view name) {
  static Controls names = initialControls();
  return names.find(name) != nullptr;
}

// Digits only, no sign and no blanks; nothing when it does not fit.
std::optional<long long> number(std::string_view text, long long limit) {
  if (text.empty()) return std::nullopt;
  long long n = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    n = n * 10 + (c - '0');
    if (n > limit) return std::nullopt;
  }
  return n;
}

// Beyond this, simulated nanoseconds would overflow.
constexpr long long kMaxElapseMs = 9'000'000'000'000LL;

enum class Outcome { Done, Ignored, NotUnderstood };

class Script {
 public:
  Script(MainWindow& window, SimPlatform& sim) : window_(window), sim_(sim) {}

  Outcome run(std::string_view line, std::ostream& out) {
    const auto space = line.find(' ');
    const auto verb = line.substr(0, space);
    const bool hasRest = space != std::string_view::npos;
    const auto rest = hasRest ? line.substr(space + 1) : std::string_view();

    if (verb == "hear" && !rest.empty()) {
      sim_.hear(fromUtf8(rest));
      return Outcome::Done;
    }
    if (verb == "click" && isControlName(rest)) return taken(window_.click(rest));
    if (verb == "select") return select(rest);
    if (verb == "type") return type(rest);
    if (verb == "menu" && !rest.empty()) return taken(window_.chooseMenuItem(rest));
    if (verb == "agent-command" && !rest.empty()) {
      sim_.agentCommand(fromUtf8(rest));
      return Outcome::Done;
    }
    if (verb == "tray" && !rest.empty()) return tray(fromUtf8(rest));
    if (verb == "answer" && (rest == "yes" || rest == "no")) {
      sim_.answer(rest == "yes");
      return Outcome::Done;
    }
    if (verb == "pick" && !rest.empty()) {
      sim_.pick(fromUtf8(rest));
      return Outcome::Done;
    }
    if (verb == "elapse" && hasRest) {
      const auto ms = number(rest, kMaxElapseMs);
      if (!ms) return Outcome::NotUnderstood;
      sim_.elapse(std::chrono::milliseconds(*ms));
      return Outcome::Done;
    }
    if (hasRest) return Outcome::NotUnderstood;
    if (verb == "pick-cancel") sim_.pickCancel();
    else if (verb == "minimize") window_.minimize();
    else if (verb == "close") window_.close();
    else if (verb == "state") out << stateJson(window_, sim_) << "\n";
    else return Outcome::NotUnderstood;
    return Outcome::Done;
  }

 private:
  static Outcome taken(bool accepted) { return accepted ? Outcome::Done : Outcome::Ignored; }

  // The field name, one blank, then the text to the end of the line: empty, or with blanks.
  Outcome type(std::string_view rest) {
    const auto blank = rest.find(' ');
    const auto name = rest.substr(0, blank);
    if (!isControlName(name)) return Outcome::NotUnderstood;
    const auto text = blank == std::string_view::npos ? std::string_view() : rest.substr(blank + 1);
    return taken(window_.type(name, fromUtf8(text)));
  }

  Outcome tray(const std::u16string& caption) {
    for (const auto& entry : window_.trayMenu())
      if (entry.caption == caption) {
        window_.trayCommand(entry.choice);
        return Outcome::Done;
      }
    return Outcome::Ignored;
  }

  Outcome select(std::string_view rest) {
    const auto blank = rest.find(' ');
    if (blank == std::string_view::npos) return Outcome::NotUnderstood;
    const auto list = rest.substr(0, blank);
    const auto argument = rest.substr(blank + 1);
    const auto& controls = window_.controls();
    if (list == "List2") {
      if (argument.empty()) return Outcome::NotUnderstood;
      const auto& items = controls.List2.items;
      const auto name = fromUtf8(argument);
      for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i] == name) return taken(window_.select(list, static_cast<int>(i)));
      return Outcome::Ignored;
    }
    if (list != "List1" && list != "SREngines") return Outcome::NotUnderstood;
    const auto n = number(argument, 1'000'000'000LL);
    if (!n || *n < 1) return Outcome::NotUnderstood;
    return taken(window_.select(list, static_cast<int>(*n - 1)));
  }

  MainWindow& window_;
  SimPlatform& sim_;
};

void flush(SimPlatform& sim, std::ostream& out) {
  for (const auto& line : sim.takeEffects()) out << line << "\n";
}

}  // namespace

int runSimulation(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err,
                  CodePage936& codePage) {
  std::optional<std::string> folder;
  SimOptions options;
  bool echo = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const auto& arg = args[i];
    if (arg == "--recognizer" || arg == "--setting") {
      if (i + 1 >= args.size()) return usage(err, "选项“" + arg + "”后面需要一个值。");
      const auto value = fromUtf8(args[++i]);
      if (arg == "--recognizer") options.recognizers.push_back(value);
      else options.setting = value;
    } else if (arg == "--no-speech") {
      options.noSpeech = true;
    } else if (arg == "--no-character") {
      options.noCharacter = true;
    } else if (arg == "--audio-busy") {
      options.audioBusy = true;
    } else if (arg == "--echo") {
      echo = true;
    } else if (arg.starts_with("--")) {
      return usage(err, "未知的选项“" + arg + "”。");
    } else if (!folder) {
      folder = arg;
    } else {
      return usage(err, "simulate 只需要一个文件夹。");
    }
  }
  if (!folder) return usage(err, "simulate 需要一个文件夹。");
  const fs::path path(fromUtf8(*folder));
  std::error_code ec;
  if (!fs::is_directory(path, ec)) {
    err << "文件夹“" << *folder << "”不存在。\n";
    return 2;
  }

  FolderFiles files(path);
  SimPlatform sim(files, codePage, std::move(options));
  MainWindow window(sim.platform());
  sim.attach(window);
  window.start();
  flush(sim, out);

  Script script(window, sim);
  std::string line;
  for (long long number = 1; !window.quitting() && std::getline(in, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (number == 1 && line.starts_with("\xEF\xBB\xBF")) line.erase(0, 3);
    if (line.find_first_not_of(" \t") == std::string::npos || line.front() == '#') continue;
    if (echo) out << "> " << line << "\n";
    const auto outcome = script.run(line, out);
    flush(sim, out);
    if (outcome == Outcome::NotUnderstood) {
      err << "第" << number << "行：无法理解“" << line << "”\n";
      return 2;
    }
    if (outcome == Outcome::Ignored) out << "ignored " << line << "\n";
  }
  return 0;
}

}  // namespace sayvane::sim
