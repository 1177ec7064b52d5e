#include "commandsets/SetText.h"

#include "text/Text.h"

namespace sayvane {
namespace {

constexpr auto npos = std::u16string_view::npos;

constexpr std::u16string_view kHeader =
    u"<?xml version=\"1.0\" encoding=\"gb2312\" ?> \r\n"
    u"<GRAMMAR LANGID=\"804\">\r\n"
    u"<DEFINE>\r\n"
    u"<ID NAME=\"RID_Game1\" VAL=\"1001\"/>\r\n"
    u"</DEFINE>\r\n";
constexpr std::u16string_view kRuleTag = u"<RULE NAME=\"Game1\" ID=\"RID_Game1\" TOPLEVEL=\"ACTIVE\">\r\n";
constexpr std::u16string_view kSplitRuleTag = u"<RULE NAME=\"Game1\" ID=\"RID_Game1\"\r\nTOPLEVEL=\"ACTIVE\">\r\n";
constexpr std::u16string_view kListTag = u"<L PROPNAME=\"Game1\" PROPID=\"RID_Game1\">\r\n";
constexpr std::u16string_view kFooter = u"</L>\r\n</RULE>\r\n</GRAMMAR>\r\n";

bool isBreak(char16_t c) { return c == u'\r' || c == u'\n'; }

}  // namespace

std::u16string setTextWithEntries(const std::vector<Entry>& entries, bool splitRuleTag) {
  std::u16string text(kHeader);
  text += splitRuleTag ? kSplitRuleTag : kRuleTag;
  text += kListTag;
  for (const auto& entry : entries) {
    text += makeEntryLine(entry.phrase, entry.action);
    text += kCrLf;
  }
  text += kFooter;
  return text;
}

std::u16string newSetText() {
  return setTextWithEntries({{u"CloseSoft", u"退出"}, {u"AddSpeech", u"添加语音命令"}, {u"AddSpeech", u"更换语音命令"}});
}

std::optional<Entry> entryAt(std::u16string_view text, std::size_t marker, std::size_t limit) {
  const auto q1 = text.find(u'"', marker + kEntryMarker.size());
  const auto q2 = q1 == npos ? npos : text.find(u'"', q1 + 1);
  const auto a = q2 == npos ? npos : text.find(u'+', q2 + 1);
  const auto b = a == npos ? npos : text.find(u'<', a + 1);
  // The phrase's closing "<" may be the next marker itself, but nothing may come from beyond it.
  if (b == npos || b > limit) return std::nullopt;
  return Entry{std::u16string(text.substr(q1 + 1, q2 - q1 - 1)), std::u16string(text.substr(a + 1, b - a - 1))};
}

std::vector<Entry> listEntries(std::u16string_view text) {
  std::vector<Entry> entries;
  std::size_t marker = text.find(kEntryMarker);
  while (marker != npos) {
    const auto next = text.find(kEntryMarker, marker + kEntryMarker.size());
    if (auto entry = entryAt(text, marker, next == npos ? text.size() : next)) entries.push_back(std::move(*entry));
    marker = next;
  }
  return entries;
}

std::u16string makeEntryLine(std::u16string_view phrase, std::u16string_view action) {
  std::u16string line(kEntryMarker);
  line += u'"';
  line += action;
  line += u"\">+";
  line += phrase;
  line += u"</P>";
  return line;
}

std::optional<std::u16string> insertEntry(std::u16string_view text, std::u16string_view entryLine) {
  const auto at = text.find(kListEnd);
  if (at == npos) return std::nullopt;
  std::u16string result(text.substr(0, at));
  result += entryLine;
  result += kCrLf;
  result += text.substr(at);
  return result;
}

namespace {

std::u16string entryKey(std::u16string_view phrase) {
  std::u16string key = u"+";
  key += phrase;
  key += u'<';
  return key;
}

}  // namespace

std::optional<std::u16string> removeEntry(std::u16string_view text, std::u16string_view phrase) {
  const auto k = text.find(entryKey(phrase));
  if (k == npos) return std::nullopt;

  // The line holding k, whatever its line breaks are (CR LF, or bare LF in a hand-edited file).
  std::size_t lineStart = k;
  while (lineStart > 0 && !isBreak(text[lineStart - 1])) --lineStart;
  std::size_t lineEnd = k;
  while (lineEnd < text.size() && !isBreak(text[lineEnd])) ++lineEnd;

  // A line that holds more than this entry loses only the entry's element.
  const auto line = text.substr(lineStart, lineEnd - lineStart);
  const auto local = k - lineStart;
  const auto elementStart = line.rfind(kEntryMarker, local);
  const auto elementEnd = line.find(u"</P>", local);
  if (elementStart != npos && elementEnd != npos) {
    const auto isBlank = [](std::u16string_view s) { return s.find_first_not_of(u" \t") == npos; };
    if (!isBlank(line.substr(0, elementStart)) || !isBlank(line.substr(elementEnd + 4))) {
      std::u16string result(text.substr(0, lineStart + elementStart));
      result += text.substr(lineStart + elementEnd + 4);
      return result;
    }
  }

  std::size_t cutStart = lineStart;
  std::size_t cutEnd = lineEnd;
  if (lineStart > 0) {
    // Take the break before the line; the break after it stays, one entry per line.
    cutStart = lineStart - 1;
    if (text[cutStart] == u'\n' && cutStart > 0 && text[cutStart - 1] == u'\r') --cutStart;
  } else if (lineEnd < text.size()) {
    // First line of the text: its own break goes with it instead.
    cutEnd = lineEnd + ((text[lineEnd] == u'\r' && lineEnd + 1 < text.size() && text[lineEnd + 1] == u'\n') ? 2 : 1);
  }
  std::u16string result(text.substr(0, cutStart));
  result += text.substr(cutEnd);
  return result;
}

std::optional<std::u16string> findAction(std::u16string_view text, std::u16string_view phrase) {
  const auto k = text.find(entryKey(phrase));
  if (k == npos || k == 0) return std::nullopt;
  const auto q2 = text.rfind(u'"', k);
  if (q2 == npos || q2 == 0) return std::nullopt;
  const auto q1 = text.rfind(u'"', q2 - 1);
  if (q1 == npos) return std::nullopt;
  // Both quotes must belong to this entry's tag: quotes found before its "<" belong to an
  // earlier entry, whose action must not run for this phrase.
  const auto tagStart = text.rfind(u'<', k);
  if (tagStart != npos && tagStart > q1) return std::nullopt;
  return std::u16string(text.substr(q1 + 1, q2 - q1 - 1));
}

std::u16string makePhraseItem(std::u16string_view phrase, std::u16string_view action) {
  std::u16string item(phrase);
  item += u'(';
  item += action;
  item += u')';
  return item;
}

std::optional<Entry> splitPhraseItem(std::u16string_view item) {
  const auto open = item.find(u'(');
  const auto close = item.rfind(u')');
  if (open == npos || close == npos || close < open) return std::nullopt;
  return Entry{std::u16string(item.substr(open + 1, close - open - 1)), std::u16string(item.substr(0, open))};
}

std::vector<std::u16string> characterMenuEntries(std::u16string_view text) {
  const auto lower = lowerCase(text);
  std::vector<std::u16string> phrases;
  std::size_t at = lower.find(u">+");
  while (at != npos) {
    const auto end = lower.find(u"</p>", at + 2);
    if (end == npos) break;
    phrases.emplace_back(lower.substr(at + 2, end - at - 2));
    // Every ">+" starts an entry, even one inside the previous phrase.
    at = lower.find(u">+", at + 1);
  }
  return phrases;
}

}  // namespace sayvane
