#include "sim/Grammar.h"

#include "commandsets/SetFile.h"
#include "commandsets/SetText.h"
#include "text/Text.h"

namespace sayvane {
namespace {

bool wellFormed(std::u16string_view text) {
  if (findText(text, u"<GRAMMAR") == std::u16string_view::npos) return false;
  if (findText(text, u"</GRAMMAR>") == std::u16string_view::npos) return false;
  std::size_t openings = 0;
  for (auto at = findText(text, u"<P"); at != std::u16string_view::npos; at = findText(text, u"<P", at + 2)) {
    const auto next = at + 2 < text.size() ? text[at + 2] : u'\0';
    if (next == u' ' || next == u'\t' || next == u'\r' || next == u'\n' || next == u'>') ++openings;
  }
  std::size_t closings = 0;
  for (auto at = findText(text, u"</P>"); at != std::u16string_view::npos; at = findText(text, u"</P>", at + 4))
    ++closings;
  return openings == closings;
}

bool markupFree(std::u16string_view text) { return text.find_first_of(u"<>&") == std::u16string_view::npos; }

}  // namespace

std::optional<std::vector<std::u16string>> compileGrammar(std::u16string_view text) {
  if (!wellFormed(text)) return std::nullopt;
  std::vector<std::u16string> phrases;
  for (const auto& entry : listEntries(text)) {
    if (!markupFree(entry.phrase) || !markupFree(entry.action)) return std::nullopt;
    phrases.push_back(entry.phrase);
  }
  return phrases;
}

std::optional<std::vector<std::u16string>> compileGrammarFile(Files& files, CodePage936& codePage,
                                                              const std::u16string& fileName) {
  const auto file = readSetFileNamed(files, codePage, fileName);
  if (!file) return std::nullopt;
  return compileGrammar(file.text);
}

}  // namespace sayvane
