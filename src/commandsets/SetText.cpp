#include "commandsets/SetText.h"

#include <utility>

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
  std::u16string text;
  text.reserve(kHeader.size() + kSplitRuleTag.size() + kListTag.size() + kFooter.size() + entries.size() * 40);
  text += kHeader;
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

namespace {

// Positions of one entry as the editor's scan reads it.
struct EntrySpan {
  std::size_t q1, q2, plus, end;  // the quotes, the "+" before the phrase, the "<" after it
};

// Every search stops at `limit`, so a marker with nothing after it costs no more than its own
// stretch of text and a whole scan stays linear.
std::optional<EntrySpan> spanAt(std::u16string_view text, std::size_t marker, std::size_t limit) {
  const auto view = text.substr(0, limit < text.size() ? limit + 1 : text.size());
  const auto q1 = view.find(u'"', marker + kEntryMarker.size());
  const auto q2 = q1 == npos ? npos : view.find(u'"', q1 + 1);
  const auto a = q2 == npos ? npos : view.find(u'+', q2 + 1);
  const auto b = a == npos ? npos : view.find(u'<', a + 1);
  // The phrase's closing "<" may be the next marker itself, but nothing may come from beyond it.
  if (b == npos || b > limit) return std::nullopt;
  return EntrySpan{q1, q2, a, b};
}

std::size_t nextMarker(std::u16string_view text, std::size_t marker) {
  return marker == npos ? npos : text.find(kEntryMarker, marker + kEntryMarker.size());
}

std::size_t limitOf(std::u16string_view text, std::size_t next) { return next == npos ? text.size() : next; }

// The first entry whose phrase is exactly `phrase`: an occurrence of "+phrase<" counts only
// where the scan reads it as the start of an entry's phrase, so "打开+关闭" never answers for
// "关闭" and a damaged entry never borrows the quotes of the entry before it.
std::optional<EntrySpan> findEntry(std::u16string_view text, std::u16string_view phrase) {
  std::u16string key = u"+";
  key += phrase;
  key += u'<';
  // Each stretch of text is searched for markers once, however many times the key occurs:
  // backwards only down to the previous occurrence, forwards only when passed.
  std::size_t marker = npos;
  std::size_t next = 0;
  std::size_t searchedUpTo = 0;
  std::optional<EntrySpan> span;
  for (auto k = findText(text, key); k != npos; k = findText(text, key, k + 1)) {
    if (const auto back = text.substr(searchedUpTo, k - searchedUpTo).rfind(kEntryMarker); back != npos) {
      marker = searchedUpTo + back;
      span.reset();
    }
    searchedUpTo = k;
    if (marker == npos) continue;
    if (!span) {
      if (next <= k) next = text.find(kEntryMarker, k);
      span = spanAt(text, marker, limitOf(text, next));
      if (!span) span = EntrySpan{npos, npos, npos, npos};
    }
    // The scan's phrase must be this one whole: a phrase holding "<" ends early there.
    if (span->plus == k && span->end == k + 1 + phrase.size()) return span;
  }
  return std::nullopt;
}

Entry entryOf(std::u16string_view text, const EntrySpan& s) {
  return Entry{std::u16string(text.substr(s.q1 + 1, s.q2 - s.q1 - 1)), std::u16string(text.substr(s.plus + 1, s.end - s.plus - 1))};
}

}  // namespace

std::optional<Entry> entryAt(std::u16string_view text, std::size_t marker, std::size_t limit) {
  const auto span = spanAt(text, marker, limit);
  if (!span) return std::nullopt;
  return entryOf(text, *span);
}

std::vector<Entry> listEntries(std::u16string_view text) {
  std::vector<Entry> entries;
  // An entry line is rarely shorter than 32 units; growing the vector step by step would
  // move every entry a dozen times in a large set.
  entries.reserve(text.size() / 32);
  for (auto marker = text.find(kEntryMarker); marker != npos;) {
    const auto next = nextMarker(text, marker);
    if (const auto span = spanAt(text, marker, limitOf(text, next))) entries.push_back(entryOf(text, *span));
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
  // The list end stands near the end of the file, so look for it from there.
  const auto at = text.rfind(kListEnd);
  if (at == npos) return std::nullopt;
  std::u16string result;
  result.reserve(text.size() + entryLine.size() + kCrLf.size());
  result += text.substr(0, at);
  result += entryLine;
  result += kCrLf;
  result += text.substr(at);
  return result;
}

std::optional<std::u16string> removeEntry(std::u16string_view text, std::u16string_view phrase) {
  const auto entry = findEntry(text, phrase);
  if (!entry) return std::nullopt;
  const auto k = entry->plus;

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
  const auto entry = findEntry(text, phrase);
  if (!entry) return std::nullopt;
  return entryOf(text, *entry).action;
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

namespace {

// "</p>" in any letter case, as a search of the lower-cased text would find it.
std::size_t findParagraphEnd(std::u16string_view text, std::size_t from) {
  for (auto at = text.find(u"</", from); at != npos; at = text.find(u"</", at + 1))
    if (at + 3 < text.size() && lowerChar(text[at + 2]) == u'p' && text[at + 3] == u'>') return at;
  return npos;
}

}  // namespace

std::vector<std::u16string> characterMenuEntries(std::u16string_view text) {
  // Lower-casing keeps every position, so only the phrases need it, not the whole file.
  std::vector<std::u16string> phrases;
  for (auto at = text.find(u">+"); at != npos; at = text.find(u">+", at + 1)) {
    const auto end = findParagraphEnd(text, at + 2);
    if (end == npos) break;
    // Every ">+" starts an entry, even one inside the previous phrase.
    phrases.push_back(lowerCase(text.substr(at + 2, end - at - 2)));
  }
  return phrases;
}

}  // namespace sayvane
