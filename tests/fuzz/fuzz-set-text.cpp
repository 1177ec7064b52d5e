// Set-file text operations on arbitrary text, and round trips on texts built from entries.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzInput.h"
#include "commandsets/SetText.h"
#include "text/Text.h"

namespace sayvane::fuzz {
namespace {

constexpr auto npos = std::u16string_view::npos;
// Enough entries to reach every branch without making each run quadratic.
constexpr std::size_t kMaxChecked = 8;

std::u16string keyOf(std::u16string_view phrase) {
  std::u16string key = u"+";
  key += phrase;
  key += u'<';
  return key;
}


std::size_t occurrences(std::u16string_view text, std::u16string_view part) {
  std::size_t n = 0;
  for (auto at = text.find(part); at != npos; at = text.find(part, at + 1)) ++n;
  return n;
}

std::size_t commonPrefix(std::u16string_view a, std::u16string_view b) {
  return static_cast<std::size_t>(std::mismatch(a.begin(), a.end(), b.begin(), b.end()).first - a.begin());
}

std::size_t commonSuffix(std::u16string_view a, std::u16string_view b) {
  return static_cast<std::size_t>(std::mismatch(a.rbegin(), a.rend(), b.rbegin(), b.rend()).first - a.rbegin());
}

// The entry the editor lists first for the phrase: what the lookup and the removal must act on.
std::optional<Entry> firstListed(std::u16string_view text, std::u16string_view phrase) {
  for (const auto& e : listEntries(text))
    if (e.phrase == phrase) return e;
  return std::nullopt;
}

// removeEntry acts exactly when the editor lists the phrase, and then cuts one piece out of
// the text that holds an occurrence of "+phrase<".
void checkRemoval(std::u16string_view text, std::u16string_view phrase) {
  const auto result = removeEntry(text, phrase);
  SAYVANE_FUZZ_CHECK(result.has_value() == firstListed(text, phrase).has_value());
  if (!result) return;
  const std::u16string_view r = *result;
  SAYVANE_FUZZ_CHECK(r.size() < text.size());
  const auto removed = text.size() - r.size();
  // Cut positions x for which r == text[0, x) + text[x + removed, end).
  const auto high = commonPrefix(r, text);
  const auto suffix = commonSuffix(r, text);
  const auto low = r.size() > suffix ? r.size() - suffix : 0;
  SAYVANE_FUZZ_CHECK(low <= high);
  const auto key = keyOf(phrase);
  bool covers = false;
  for (auto k = text.find(key); k != npos && !covers; k = text.find(key, k + 1))
    covers = k + 1 > low && k < high + removed;
  SAYVANE_FUZZ_CHECK(covers);
}

// The lookup agrees with the editor's list: the first listed entry of the phrase, or nothing.
void checkFind(std::u16string_view text, std::u16string_view phrase) {
  const auto action = findAction(text, phrase);
  const auto listed = firstListed(text, phrase);
  SAYVANE_FUZZ_CHECK(action.has_value() == listed.has_value());
  if (action) SAYVANE_FUZZ_CHECK(*action == listed->action);
  if (text.find(keyOf(phrase)) == npos) SAYVANE_FUZZ_CHECK(!action.has_value());
}

void checkInsert(std::u16string_view text, std::u16string_view phrase, std::u16string_view action) {
  const auto line = makeEntryLine(phrase, action);
  if (phrase.find(u'<') == npos && action.find(u'"') == npos)
    SAYVANE_FUZZ_CHECK(listEntries(line) == (std::vector<Entry>{{std::u16string(action), std::u16string(phrase)}}));
  const auto at = text.rfind(kListEnd);
  const auto result = insertEntry(text, line);
  SAYVANE_FUZZ_CHECK(result.has_value() == (at != npos));
  if (!result) return;
  const std::u16string_view r = *result;
  SAYVANE_FUZZ_CHECK(r.size() == text.size() + line.size() + kCrLf.size());
  SAYVANE_FUZZ_CHECK(r.substr(0, at) == text.substr(0, at));
  SAYVANE_FUZZ_CHECK(r.substr(at, line.size()) == line);
  SAYVANE_FUZZ_CHECK(r.substr(at + line.size(), kCrLf.size()) == kCrLf);
  SAYVANE_FUZZ_CHECK(r.substr(at + line.size() + kCrLf.size()) == text.substr(at));
}

void checkPhraseItems(std::u16string_view text, std::u16string_view phrase, std::u16string_view action) {
  if (phrase.find(u'(') == npos) {
    const auto back = splitPhraseItem(makePhraseItem(phrase, action));
    SAYVANE_FUZZ_CHECK(back.has_value() && back->phrase == phrase && back->action == action);
  }
  const auto open = text.find(u'(');
  const auto close = text.rfind(u')');
  const auto split = splitPhraseItem(text);
  SAYVANE_FUZZ_CHECK(split.has_value() == (open != npos && close != npos && open < close));
  if (!split) return;
  SAYVANE_FUZZ_CHECK(split->phrase.size() == open && text.substr(0, open) == split->phrase);
  SAYVANE_FUZZ_CHECK(text.substr(open + 1, split->action.size()) == split->action);
  SAYVANE_FUZZ_CHECK(open + 1 + split->action.size() == close);
}

// The i-th menu entry is what follows the i-th ">+" up to the next "</p>" of the lowered text.
void checkCharacterMenu(std::u16string_view text) {
  const auto lower = lowerCase(text);
  SAYVANE_FUZZ_CHECK(lower.size() == text.size());
  const auto menu = characterMenuEntries(text);
  std::size_t at = lower.find(u">+");
  for (std::size_t i = 0; i < menu.size(); ++i, at = lower.find(u">+", at + 1)) {
    SAYVANE_FUZZ_CHECK(at != npos);
    if (i >= kMaxChecked * 4) continue;
    const auto end = lower.find(u"</p>", at + 2);
    SAYVANE_FUZZ_CHECK(end != npos && menu[i] == std::u16string_view(lower).substr(at + 2, end - at - 2));
    SAYVANE_FUZZ_CHECK(lowerCase(menu[i]) == menu[i]);
  }
  // The list stops only at a ">+" that no "</p>" follows.
  if (at != npos) SAYVANE_FUZZ_CHECK(lower.find(u"</p>", at + 2) == npos);
}

void checkAnyText(std::u16string_view text) {
  const auto entries = listEntries(text);
  SAYVANE_FUZZ_CHECK(entries.size() <= occurrences(text, kEntryMarker));
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const auto& e = entries[i];
    SAYVANE_FUZZ_CHECK(e.phrase.find(u'<') == npos && e.action.find(u'"') == npos);
    SAYVANE_FUZZ_CHECK(text.find(keyOf(e.phrase)) != npos);
    if (i < kMaxChecked) {
      checkFind(text, e.phrase);
      checkRemoval(text, e.phrase);
    }
  }
  // Phrases that may or may not be there: the empty one and a piece of the text itself.
  checkFind(text, u"");
  checkRemoval(text, u"");
  const auto plus = text.find(u'+');
  const auto piece = plus == npos ? text.substr(0, 4) : text.substr(plus + 1, 6);
  checkFind(text, piece);
  checkRemoval(text, piece);

  checkCharacterMenu(text);
  const auto sample = entries.empty() ? Entry{u"Alt+F4", u"关闭程序"} : entries.front();
  checkInsert(text, sample.action, sample.phrase);
  checkInsert(text, sample.phrase, sample.action);
  checkPhraseItems(text, sample.phrase, sample.action);
  checkPhraseItems(text, piece, sample.phrase);
}

std::u16string without(std::u16string_view s, std::u16string_view banned) {
  std::u16string out;
  for (char16_t c : s)
    if (banned.find(c) == npos) out.push_back(c);
  return out;
}

// A "+" in a phrase and a "<" in an action are let in: makeEntryLine writes them unchanged.
constexpr std::u16string_view kBannedInActions = u">\"\r\n";
constexpr std::u16string_view kBannedInPhrases = u"<>\"\r\n";

// Lines of "action<TAB>phrase", cleaned of the characters a set file cannot hold unescaped.
std::vector<Entry> entriesFrom(std::u16string_view text) {
  std::vector<Entry> entries;
  std::size_t start = 0;
  while (start <= text.size() && entries.size() < 32) {
    auto end = text.find(u'\n', start);
    if (end == npos) end = text.size();
    const auto line = text.substr(start, end - start);
    const auto tab = line.find(u'\t');
    const auto action = tab == npos ? std::u16string_view{} : line.substr(0, tab);
    const auto phrase = tab == npos ? line : line.substr(tab + 1);
    entries.push_back({without(action, kBannedInActions), without(phrase, kBannedInPhrases)});
    start = end + 1;
  }
  return entries;
}

void checkBuiltText(const std::vector<Entry>& entries, bool splitRuleTag) {
  // An action holding a marker or the list end is a different file, not the same entries.
  for (const auto& e : entries)
    if (e.action.find(kEntryMarker) != npos || e.action.find(kListEnd) != npos) return;
  const auto text = setTextWithEntries(entries, splitRuleTag);
  SAYVANE_FUZZ_CHECK(listEntries(text) == entries);

  std::vector<std::u16string> lowered;
  for (const auto& e : entries) lowered.push_back(lowerCase(e.phrase));
  SAYVANE_FUZZ_CHECK(characterMenuEntries(text) == lowered);

  std::size_t longest = 0;
  for (std::size_t i = 0; i < entries.size() && i < kMaxChecked; ++i) {
    const auto& phrase = entries[i].phrase;
    longest = std::max(longest, phrase.size());
    const auto first = static_cast<std::size_t>(
        std::find_if(entries.begin(), entries.end(), [&](const Entry& e) { return e.phrase == phrase; }) - entries.begin());
    SAYVANE_FUZZ_CHECK(findAction(text, phrase) == std::optional<std::u16string>(entries[first].action));
    auto rest = entries;
    rest.erase(rest.begin() + static_cast<std::ptrdiff_t>(first));
    SAYVANE_FUZZ_CHECK(removeEntry(text, phrase) == std::optional<std::u16string>(setTextWithEntries(rest, splitRuleTag)));
  }
  for (const auto& e : entries) longest = std::max(longest, e.phrase.size());
  // Longer than every phrase, so no entry has it.
  const std::u16string absent(longest + 1, u'语');
  SAYVANE_FUZZ_CHECK(!findAction(text, absent).has_value());
  SAYVANE_FUZZ_CHECK(!removeEntry(text, absent).has_value());

  const Entry added = entries.empty() ? Entry{u"Alt+F4", u"关闭程序"} : Entry{entries.back().action, entries.front().phrase};
  auto more = entries;
  more.push_back(added);
  SAYVANE_FUZZ_CHECK(insertEntry(text, makeEntryLine(added.phrase, added.action)) ==
                     std::optional<std::u16string>(setTextWithEntries(more, splitRuleTag)));
}

}  // namespace
}  // namespace sayvane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace sayvane::fuzz;
  if (size == 0) return 0;
  const auto decoding = decodingOf(data[0]);
  const auto text = decode(decoding, data + 1, size - 1);
  if (decoding == Decoding::Structured) {
    checkBuiltText(entriesFrom(text), (data[0] / 3) % 2 == 1);
  } else {
    checkAnyText(text);
  }
  return 0;
}
