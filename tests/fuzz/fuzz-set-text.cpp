// Set-file text operations on arbitrary text, and exact round trips on texts built from entries.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzInput.h"
#include "commandsets/SetText.h"

namespace sayvane::fuzz {
namespace {

constexpr auto npos = std::u16string_view::npos;
constexpr std::size_t kMaxChecked = 8;  // keeps each run linear in the input

std::optional<Entry> firstListed(const std::vector<Entry>& entries, std::u16string_view phrase) {
  for (const auto& e : entries)
    if (e.phrase == phrase) return e;
  return std::nullopt;
}

// The lookup and the removal act exactly on the first entry the editor lists for the phrase;
// the removal cuts one contiguous piece out of the text and leaves the rest as it was.
void checkPhrase(std::u16string_view text, const std::vector<Entry>& entries, std::u16string_view phrase) {
  const auto listed = firstListed(entries, phrase);
  SAYVANE_FUZZ_CHECK(findAction(text, phrase) == (listed ? std::optional(listed->action) : std::nullopt));
  const auto removed = removeEntry(text, phrase);
  SAYVANE_FUZZ_CHECK(removed.has_value() == listed.has_value());
  if (!removed) return;
  const std::u16string_view r = *removed;
  SAYVANE_FUZZ_CHECK(r.size() < text.size());
  const auto prefix = std::mismatch(r.begin(), r.end(), text.begin()).first - r.begin();
  const auto suffix = std::mismatch(r.rbegin(), r.rend(), text.rbegin()).first - r.rbegin();
  SAYVANE_FUZZ_CHECK(prefix + suffix >= static_cast<std::ptrdiff_t>(r.size()));
}

void checkAnyText(std::u16string_view text) {
  const auto entries = listEntries(text);
  for (std::size_t i = 0; i < entries.size() && i < kMaxChecked; ++i) checkPhrase(text, entries, entries[i].phrase);
  const auto plus = text.find(u'+');
  checkPhrase(text, entries, plus == npos ? text.substr(0, 4) : text.substr(plus + 1, 6));
  checkPhrase(text, entries, u"");

  const auto line = makeEntryLine(u"关闭程序", u"Alt+F4");
  const auto at = text.rfind(kListEnd);
  const auto inserted = insertEntry(text, line);
  SAYVANE_FUZZ_CHECK(inserted.has_value() == (at != npos));
  if (inserted) SAYVANE_FUZZ_CHECK(*inserted == std::u16string(text.substr(0, at)) + line + u"\r\n" + std::u16string(text.substr(at)));

  (void)characterMenuEntries(text);
  if (const auto item = splitPhraseItem(text)) SAYVANE_FUZZ_CHECK(makePhraseItem(item->phrase, item->action).size() <= text.size());
}

// Lines of "action<TAB>phrase", without the characters that would end an attribute or a phrase.
std::vector<Entry> entriesFrom(std::u16string_view text) {
  const auto without = [](std::u16string_view s, std::u16string_view banned) {
    std::u16string out;
    for (char16_t c : s)
      if (banned.find(c) == npos) out.push_back(c);
    return out;
  };
  std::vector<Entry> entries;
  for (std::size_t start = 0; start <= text.size() && entries.size() < 32;) {
    auto end = text.find(u'\n', start);
    if (end == npos) end = text.size();
    const auto line = text.substr(start, end - start);
    const auto tab = line.find(u'\t');
    entries.push_back({without(tab == npos ? std::u16string_view{} : line.substr(0, tab), u">\"\r\n"),
                       without(tab == npos ? line : line.substr(tab + 1), u"<>\"\r\n")});
    start = end + 1;
  }
  return entries;
}

void checkBuiltText(const std::vector<Entry>& entries, bool splitRuleTag) {
  for (const auto& e : entries)  // an action holding a marker or the list end makes another file
    if (e.action.find(kEntryMarker) != npos || e.action.find(kListEnd) != npos) return;
  const auto text = setTextWithEntries(entries, splitRuleTag);
  SAYVANE_FUZZ_CHECK(listEntries(text) == entries);
  SAYVANE_FUZZ_CHECK(characterMenuEntries(text).size() == entries.size());
  for (std::size_t i = 0; i < entries.size() && i < kMaxChecked; ++i) {
    const auto first = std::find_if(entries.begin(), entries.end(), [&](const Entry& e) { return e.phrase == entries[i].phrase; });
    auto rest = entries;
    rest.erase(rest.begin() + (first - entries.begin()));
    SAYVANE_FUZZ_CHECK(findAction(text, entries[i].phrase) == first->action);
    SAYVANE_FUZZ_CHECK(removeEntry(text, entries[i].phrase) == setTextWithEntries(rest, splitRuleTag));
  }
  auto more = entries;
  more.push_back({u"Alt+F4", u"关闭程序"});
  SAYVANE_FUZZ_CHECK(insertEntry(text, makeEntryLine(u"关闭程序", u"Alt+F4")) == setTextWithEntries(more, splitRuleTag));
}

}  // namespace
}  // namespace sayvane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace sayvane::fuzz;
  if (size == 0) return 0;
  const auto decoding = decodingOf(data[0]);
  const auto text = decode(decoding, data + 1, size - 1);
  if (decoding == Decoding::Structured)
    checkBuiltText(entriesFrom(text), (data[0] / 3) % 2 == 1);
  else
    checkAnyText(text);
  return 0;
}
