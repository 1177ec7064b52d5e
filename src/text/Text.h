// Text helpers shared by the core: UTF-8 at the edges (command line, logs), UTF-16 inside.
#pragma once

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace sayvane {

// Invalid UTF-8 sequences become U+FFFD, so a bad argument can never crash a caller.
std::u16string fromUtf8(std::string_view utf8);
// Unpaired surrogates become U+FFFD.
std::string toUtf8(std::u16string_view text);

// Lower-cases letters whose lower case is one UTF-16 unit (ASCII, full-width Latin,
// Latin-1, Greek, Cyrillic), so character positions stay where they were.
char16_t lowerChar(char16_t c);
std::u16string lowerCase(std::u16string_view text);

bool contains(std::u16string_view text, std::u16string_view part);

// Joins pieces in one allocation.
std::u16string concat(std::initializer_list<std::u16string_view> pieces);

// The first occurrence of `part` at or after `from`, npos when absent; same result as
// std::u16string_view::find, but skips ahead (Horspool) so long set texts scan fast.
std::size_t findText(std::u16string_view text, std::u16string_view part, std::size_t from = 0);

}  // namespace sayvane
