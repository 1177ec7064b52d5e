#include "commandsets/Grammar.h"

#include "commandsets/SetFile.h"
#include "commandsets/SetText.h"
#include "text/Text.h"

namespace sayvane {
namespace {

std::size_t phraseOpenings(std::u16string_view text) {
  std::size_t openings = 0;
  for (auto at = findText(text, u"<P"); at != std::u16string_view::npos; at = findText(text, u"<P", at + 2)) {
    const auto next = at + 2 < text.size() ? text[at + 2] : u'\0';
    if (next == u' ' || next == u'\t' || next == u'\r' || next == u'\n' || next == u'>') ++openings;
  }
  return openings;
}

std::size_t count(std::u16string_view text, std::u16string_view part) {
  std::size_t found = 0;
  for (auto at = findText(text, part); at != std::u16string_view::npos; at = findText(text, part, at + part.size()))
    ++found;
  return found;
}

bool markupFree(std::u16string_view text) { return text.find_first_of(u"<>&") == std::u16string_view::npos; }

// The phrases; or nothing, with `problem` saying why in words for the user.
std::optional<std::vector<std::u16string>> compile(std::u16string_view text, std::u16string& problem) {
  if (text.find_first_not_of(u" \t\r\n") == std::u16string_view::npos) problem = u"文件是空的";
  else if (findText(text, u"<GRAMMAR") == std::u16string_view::npos) problem = u"文件中没有“<GRAMMAR”";
  else if (findText(text, u"</GRAMMAR>") == std::u16string_view::npos) problem = u"文件不完整，缺少结尾的“</GRAMMAR>”";
  else if (phraseOpenings(text) != count(text, u"</P>")) problem = u"文件中的“<P”与“</P>”不成对";
  if (!problem.empty()) return std::nullopt;
  std::vector<std::u16string> phrases;
  for (const auto& entry : listEntries(text)) {
    if (!markupFree(entry.phrase) || !markupFree(entry.action)) {
      problem = concat({u"语音命令“", entry.phrase, u"”中含有“<”“>”或“&”"});
      return std::nullopt;
    }
    phrases.push_back(entry.phrase);
  }
  return phrases;
}

}  // namespace

std::optional<std::vector<std::u16string>> compileGrammar(std::u16string_view text) {
  std::u16string problem;
  return compile(text, problem);
}

std::u16string grammarProblem(std::u16string_view text) {
  std::u16string problem;
  (void)compile(text, problem);
  return problem;
}

std::optional<std::vector<std::u16string>> compileGrammarFile(Files& files, CodePage936& codePage,
                                                              const std::u16string& fileName) {
  const auto file = readSetFileNamed(files, codePage, fileName);
  if (!file) return std::nullopt;
  return compileGrammar(file.text);
}

}  // namespace sayvane
