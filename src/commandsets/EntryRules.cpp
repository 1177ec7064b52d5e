#include "commandsets/EntryRules.h"

#include <array>

#include "commandsets/SetFile.h"
#include "text/Text.h"

namespace sayvane {
namespace {

std::u16string quoted(std::u16string_view s) { return concat({u"“", s, u"”"}); }

std::u16string listed(std::u16string_view text, std::u16string_view forbidden) {
  std::u16string found;
  for (char16_t c : forbidden)
    if (text.find(c) != std::u16string_view::npos) found += quoted(std::u16string_view(&c, 1));
  return found;
}

bool hasControlCharacter(std::u16string_view text) {
  for (char16_t c : text)
    if (c < 0x20 || c == 0x7F) return true;
  return false;
}

// The first character code page 936 cannot hold, quoted; empty when it holds them all.
std::u16string unrepresentable(std::u16string_view text, CodePage936& codePage) {
  const std::u16string whole(text);
  const auto encoded = codePage.encode(whole);
  if (encoded.bytes) return {};
  const auto at = encoded.badIndex < whole.size() ? encoded.badIndex : 0;
  const bool pair = at + 1 < whole.size() && whole[at] >= 0xD800 && whole[at] <= 0xDBFF;
  return quoted(std::u16string_view(whole).substr(at, pair ? 2 : 1));
}

std::u16string textProblem(std::u16string_view text, std::u16string_view what, std::u16string_view forbidden,
                           CodePage936& codePage) {
  if (const auto found = listed(text, forbidden); !found.empty())
    return concat({what, u"中不能含有", found, u"，请修改。"});
  if (hasControlCharacter(text)) return concat({what, u"中不能含有换行符或其他控制字符，请修改。"});
  if (const auto bad = unrepresentable(text, codePage); !bad.empty())
    return concat({what, u"中的文字", bad, u"无法用GBK编码保存，请修改。"});
  return {};
}

constexpr std::array<std::u16string_view, 22> kDeviceNames = {
    u"con",  u"prn",  u"aux",  u"nul",  u"com1", u"com2", u"com3", u"com4", u"com5", u"com6", u"com7",
    u"com8", u"com9", u"lpt1", u"lpt2", u"lpt3", u"lpt4", u"lpt5", u"lpt6", u"lpt7", u"lpt8", u"lpt9"};

// Windows keeps its limit on the whole path; the recognizer is given the full path.
constexpr std::size_t kMaxPath = 259;

}  // namespace

std::u16string phraseProblem(std::u16string_view phrase, CodePage936& codePage) {
  // "(" would split the phrase item in the wrong place; the rest would break the file.
  return textProblem(phrase, u"发音词汇", u"(\"<>&", codePage);
}

std::u16string actionProblem(std::u16string_view action, CodePage936& codePage) {
  return textProblem(action, u"对应的操作", u"\"<>&", codePage);
}

std::u16string setNameProblem(std::u16string_view name, std::u16string_view folder,
                              const std::vector<std::u16string>& existingFiles, CodePage936& codePage) {
  if (name.empty()) return u"请填入语音命令集名字！";
  if (const auto found = listed(name, u"\\/:*?\"<>|"); !found.empty())
    return concat({u"语音命令集名字不能含有", found, u"，请换一个名字。"});
  if (hasControlCharacter(name)) return u"语音命令集名字不能含有控制字符，请换一个名字。";
  if (name.back() == u'.' || name.back() == u' ') return u"语音命令集名字不能以点或空格结尾，请换一个名字。";
  const auto lower = lowerCase(name);
  const auto stem = std::u16string_view(lower).substr(0, lower.find(u'.'));
  for (const auto device : kDeviceNames)
    if (stem == device) return concat({quoted(name), u"是系统保留的名字，不能用作语音命令集名字，请换一个名字。"});
  if (setPath(folder, name).size() > kMaxPath) return u"语音命令集名字太长了，请换一个短一些的名字。";
  if (const auto bad = unrepresentable(name, codePage); !bad.empty())
    return concat({u"语音命令集名字中的文字", bad, u"无法用GBK编码保存，请换一个名字。"});
  const auto file = lowerCase(setFileName(name));
  for (const auto& existing : existingFiles)
    if (lowerCase(existing) == file) return concat({u"已经有名为", quoted(name), u"的语音命令集了，请换一个名字。"});
  return {};
}

}  // namespace sayvane
