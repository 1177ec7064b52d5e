#include "tool/Tool.h"

#include <filesystem>
#include <istream>
#include <optional>
#include <ostream>

#include "actions/ActionPlan.h"
#include "commandsets/DefaultSets.h"
#include "commandsets/SetCheck.h"
#include "commandsets/SetFile.h"
#include "commandsets/SetText.h"
#include "platform/std/FolderFiles.h"
#include "sim/Simulation.h"
#include "sim/StandardKeyboard.h"
#include "text/Text.h"
#include "Version.h"

namespace sayvane {
namespace {

namespace fs = std::filesystem;

constexpr const char* kUsage =
    "用法:\n"
    "  sayvane-tool dry-run [--game-keys] 动作\n"
    "                                     列出执行该动作时会做的每一步，但不执行；--game-keys：\n"
    "                                     按游戏按键模式，列出每个按键的扫描码和扩展键标志\n"
    "  sayvane-tool list 文件             列出语音命令：短语<TAB>动作\n"
    "  sayvane-tool find 文件 短语        显示该短语对应的动作（没有时退出码为1）\n"
    "  sayvane-tool menu 文件             列出助手菜单中的条目\n"
    "  sayvane-tool check 文件...         检查语音命令集文件中的问题（有问题时退出码为1）\n"
    "  sayvane-tool restore-defaults 文件夹 --yes\n"
    "                                     删除文件夹中所有 .xml 语音命令集，写入八个默认命令集\n"
    "  sayvane-tool simulate 文件夹 [选项] < 脚本\n"
    "                                     在模拟的系统上运行程序，按脚本操作，列出程序的每个动作\n"
    "  sayvane-tool speech-check          检查语音识别能否使用（都不能听时退出码为1）\n"
    "  sayvane-tool --version             显示版本\n";

int usage(std::ostream& err, const std::string& problem) {
  err << problem << "\n" << kUsage;
  return 2;
}

fs::path pathOf(const std::string& utf8) { return fs::path(fromUtf8(utf8)); }

// Reads a set file given on the command line; reports and returns nothing when it cannot.
std::optional<std::u16string> readArgument(const std::string& file, std::ostream& err, CodePage936& codePage) {
  const auto path = pathOf(file);
  auto folder = path.parent_path();
  if (folder.empty()) folder = fs::path(u".");
  FolderFiles files(folder);
  const auto result = readSetFileNamed(files, codePage, path.filename().u16string());
  if (!result) {
    err << toUtf8(describeSetFileError(result, path.filename().u16string())) << "\n";
    return std::nullopt;
  }
  return result.text;
}

int dryRun(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::optional<std::string> action;
  bool gameKeys = false;
  for (std::size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--game-keys") gameKeys = true;
    else if (!action) action = args[i];
    else return usage(err, "dry-run 只需要一个动作。");
  }
  if (!action) return usage(err, "dry-run 需要一个动作。");
  for (auto operation : planAction(fromUtf8(*action))) {
    if (gameKeys && operation.kind == Operation::Kind::Input)
      operation.input = withScanCode(operation.input, sim::standardScanCode(operation.input.virtualKey));
    out << describe(operation) << "\n";
  }
  return 0;
}

int list(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, CodePage936& codePage) {
  if (args.size() != 2) return usage(err, "list 需要一个文件。");
  const auto text = readArgument(args[1], err, codePage);
  if (!text) return 2;
  for (const auto& entry : listEntries(*text)) out << toUtf8(entry.phrase) << "\t" << toUtf8(entry.action) << "\n";
  return 0;
}

int find(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, CodePage936& codePage) {
  if (args.size() != 3) return usage(err, "find 需要一个文件和一个短语。");
  const auto text = readArgument(args[1], err, codePage);
  if (!text) return 2;
  const auto action = findAction(*text, fromUtf8(args[2]));
  if (!action) return 1;
  out << toUtf8(*action) << "\n";
  return 0;
}

int menu(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, CodePage936& codePage) {
  if (args.size() != 2) return usage(err, "menu 需要一个文件。");
  const auto text = readArgument(args[1], err, codePage);
  if (!text) return 2;
  for (const auto& phrase : characterMenuEntries(*text)) out << toUtf8(phrase) << "\n";
  return 0;
}

int check(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, CodePage936& codePage) {
  if (args.size() < 2) return usage(err, "check 需要至少一个文件。");
  int status = 0;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const auto text = readArgument(args[i], err, codePage);
    if (!text) {
      status = 2;
      continue;
    }
    for (const auto& finding : checkSetText(*text)) {
      out << args[i] << ":" << finding.line << ": ";
      if (finding.noteOnly) out << "注意: ";
      else if (status == 0) status = 1;
      if (!finding.phrase.empty()) out << "“" << toUtf8(finding.phrase) << "”: ";
      out << toUtf8(finding.message) << "\n";
    }
  }
  return status;
}

int restore(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, CodePage936& codePage) {
  std::optional<std::string> folder;
  bool yes = false;
  for (std::size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--yes") yes = true;
    else if (!folder) folder = args[i];
    else return usage(err, "restore-defaults 只需要一个文件夹。");
  }
  if (!folder) return usage(err, "restore-defaults 需要一个文件夹。");
  if (!yes) {
    err << "restore-defaults 会删除“" << *folder
        << "”中所有的 .xml 语音命令集（包括您自己建的），再写入默认命令集。确定要这样做，请加上 --yes。\n";
    return 2;
  }
  std::error_code ec;
  if (!fs::is_directory(pathOf(*folder), ec)) {
    err << "文件夹“" << *folder << "”不存在。\n";
    return 2;
  }
  FolderFiles files(pathOf(*folder));
  const auto result = restoreDefaultSets(files, codePage);
  if (!result) {
    if (result.result.error == SetFileError::DeleteFailed)
      err << "无法删除文件“" << toUtf8(result.fileName) << "”，恢复中止。\n";
    else
      err << toUtf8(describeSetFileError(result.result, setFileName(result.setName))) << "恢复中止。\n";
    return 1;
  }
  for (const auto& set : defaultSets()) out << toUtf8(setFileName(set.name)) << "\n";
  return 0;
}

}  // namespace

int runTool(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err,
            CodePage936& codePage, const std::function<SpeechCheck()>& speechCheck) {
  if (args.empty()) return usage(err, "缺少命令。");
  const auto& command = args[0];
  if (command == "--version") {
    out << "sayvane-tool " SAYVANE_VERSION "\n";
    return 0;
  }
  if (command == "dry-run") return dryRun(args, out, err);
  if (command == "list") return list(args, out, err, codePage);
  if (command == "find") return find(args, out, err, codePage);
  if (command == "menu") return menu(args, out, err, codePage);
  if (command == "check") return check(args, out, err, codePage);
  if (command == "restore-defaults") return restore(args, out, err, codePage);
  if (command == "speech-check") {
    if (args.size() != 1) return usage(err, "speech-check 不需要参数。");
    if (!speechCheck) {
      err << "speech-check 只能在 Windows 上运行。\n";
      return 2;
    }
    const auto check = speechCheck();
    out << toUtf8(check.report) << "\n";
    return check.canListen ? 0 : 1;
  }
  if (command == "simulate") return sim::runSimulation({args.begin() + 1, args.end()}, in, out, err, codePage);
  return usage(err, "未知的命令“" + command + "”。");
}

}  // namespace sayvane
