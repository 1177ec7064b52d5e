// The set-file format as plain string operations: no reader parses XML, all rely on markers.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sayvane {

inline constexpr std::u16string_view kEntryMarker = u"<P VALSTR=";
inline constexpr std::u16string_view kListEnd = u"</L>";
inline constexpr std::u16string_view kCrLf = u"\r\n";

struct Entry {
  std::u16string action;
  std::u16string phrase;
  friend bool operator==(const Entry&, const Entry&) = default;
};

// The text of a new set: the header, the three template entries and the closing lines.
std::u16string newSetText();
// The envelope around entry lines; `splitRuleTag` breaks the rule tag before TOPLEVEL.
std::u16string setTextWithEntries(const std::vector<Entry>& entries, bool splitRuleTag = false);

// How the editor's scan reads the entry whose marker starts at `marker`, looking no further
// than `limit` (the next marker); nothing when its quotes, "+" or "<" are missing there.
std::optional<Entry> entryAt(std::u16string_view text, std::size_t marker, std::size_t limit);

// Entries in file order. A marker whose quotes, "+" or "<" are missing before the next
// marker is skipped, so a damaged entry never swallows its neighbour.
std::vector<Entry> listEntries(std::u16string_view text);
std::u16string makeEntryLine(std::u16string_view phrase, std::u16string_view action);
// Puts the line before the last "</L>", so it becomes the last entry; nothing when the text has none.
[[nodiscard]] std::optional<std::u16string> insertEntry(std::u16string_view text, std::u16string_view entryLine);
// Removes the line holding the first entry of the phrase, and the line break before it;
// nothing when the phrase is not there.
[[nodiscard]] std::optional<std::u16string> removeEntry(std::u16string_view text, std::u16string_view phrase);
// The action of the first entry whose phrase is exactly `phrase`.
std::optional<std::u16string> findAction(std::u16string_view text, std::u16string_view phrase);

// "phrase(action)", as the phrase list shows an entry.
std::u16string makePhraseItem(std::u16string_view phrase, std::u16string_view action);
// Phrase before the first "(", action up to the last ")"; nothing for an item without both.
std::optional<Entry> splitPhraseItem(std::u16string_view item);

// The character menu's entries: lower-cased phrases between ">+" and the next "</p>".
std::vector<std::u16string> characterMenuEntries(std::u16string_view text);

}  // namespace sayvane
