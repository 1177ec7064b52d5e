#include "commandsets/SetCheck.h"

#include <algorithm>
#include <map>

#include "actions/ActionPlan.h"
#include "actions/KeyNames.h"
#include "commandsets/SetText.h"
#include "text/Text.h"

namespace sayvane {
namespace {

constexpr auto npos = std::u16string_view::npos;

class Lines {
 public:
  explicit Lines(std::u16string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i)
      if (text[i] == u'\n') breaks_.push_back(i);
  }
  std::size_t of(std::size_t position) const {
    return static_cast<std::size_t>(std::lower_bound(breaks_.begin(), breaks_.end(), position) - breaks_.begin()) + 1;
  }

 private:
  std::vector<std::size_t> breaks_;
};

std::u16string quoted(std::u16string_view s) { return concat({u"“", s, u"”"}); }

std::u16string forbiddenIn(std::u16string_view text, std::u16string_view forbidden) {
  std::u16string found;
  for (char16_t c : forbidden)
    if (text.find(c) != npos) found += quoted(std::u16string_view(&c, 1));
  return found;
}

void checkCase(std::u16string_view text, const Lines& lines, std::u16string_view marker, std::vector<Finding>& out) {
  const auto lower = lowerCase(text);
  const auto lowerMarker = lowerCase(marker);
  for (auto at = lower.find(lowerMarker); at != npos; at = lower.find(lowerMarker, at + 1)) {
    if (text.substr(at, marker.size()) != marker)
      out.push_back({lines.of(at), {}, quoted(text.substr(at, marker.size())) + u"大小写不对，应写作" + quoted(marker) + u"，程序读不到它", false});
  }
}

void checkKeyNames(const Entry& entry, std::size_t line, std::vector<Finding>& out) {
  if (isKeywordForm(entry.action)) return;
  std::u16string compact;
  for (char16_t c : entry.action)
    if (c != u' ') compact.push_back(c);
  std::size_t start = 0;
  while (start <= compact.size()) {
    auto end = compact.find_first_of(u"*+", start);
    if (end == npos) end = compact.size();
    const auto token = std::u16string_view(compact).substr(start, end - start);
    const auto name = token.substr(0, token.find(u'!'));
    if (!name.empty() && !isKeyName(name))
      out.push_back({line, entry.phrase, u"键名" + quoted(name) + u"不在键名表中，这一键不会被按下", false});
    start = end + 1;
  }
}

void notePrefixes(std::vector<std::pair<std::u16string, std::size_t>> phrases, std::vector<Finding>& out) {
  std::sort(phrases.begin(), phrases.end());
  for (std::size_t i = 0; i < phrases.size(); ++i) {
    const auto& shorter = phrases[i].first;
    if (shorter.empty()) continue;
    for (std::size_t j = i + 1; j < phrases.size() && phrases[j].first.compare(0, shorter.size(), shorter) == 0; ++j) {
      if (phrases[j].first.size() == shorter.size()) continue;
      out.push_back({phrases[i].second, shorter,
                     concat({u"是", quoted(phrases[j].first), u"的开头：识别器听到它后要多等一会儿才确认，听起来会慢"}),
                     true});
    }
  }
}

}  // namespace

std::vector<Finding> checkSetText(std::u16string_view text) {
  std::vector<Finding> out;
  const Lines lines(text);

  std::size_t bareBreaks = 0;
  std::size_t firstBare = 0;
  for (std::size_t i = 0; i < text.size(); ++i)
    if (text[i] == u'\n' && (i == 0 || text[i - 1] != u'\r') && bareBreaks++ == 0) firstBare = i;
  if (bareBreaks > 0)
    out.push_back({lines.of(firstBare), {}, std::u16string(u"有") + fromUtf8(std::to_string(bareBreaks)) +
                                                u"处换行只有LF而没有CR：删除语音命令时可能删错行", false});

  checkCase(text, lines, kEntryMarker, out);
  checkCase(text, lines, u"</P>", out);
  checkCase(text, lines, kListEnd, out);
  if (text.find(kListEnd) == npos) out.push_back({lines.of(text.size()), {}, u"没有“</L>”：无法添加新的语音命令", false});

  std::map<std::u16string, std::size_t> seen;
  std::vector<std::pair<std::u16string, std::size_t>> phrases;
  for (auto marker = text.find(kEntryMarker); marker != npos;) {
    const auto next = text.find(kEntryMarker, marker + kEntryMarker.size());
    const auto line = lines.of(marker);
    // What the recognizer sees: the attribute value in quotes, then ">+", the phrase, "</P>".
    // Searched no further than the next marker, so a file on one long line stays linear.
    const auto stretch = text.substr(0, next == npos ? text.size() : next);
    auto lineEnd = stretch.find_first_of(u"\r\n", marker);
    if (lineEnd == npos) lineEnd = stretch.size();
    const auto body = text.substr(marker + kEntryMarker.size(), lineEnd - marker - kEntryMarker.size());
    const auto close = body.find(u"</P>");
    const auto element = body.substr(0, close);
    const auto join = element.rfind(u"\">+");
    const auto listed = entryAt(text, marker, next == npos ? text.size() : next);
    if (element.empty() || element[0] != u'"' || join == npos || join == 0) {
      out.push_back({line, listed ? listed->phrase : std::u16string(), u"这一条不是 <P VALSTR=\"动作\">+短语</P> 的格式", false});
    } else {
      const Entry entry{std::u16string(element.substr(1, join - 1)), std::u16string(element.substr(join + 3))};
      if (close == npos) out.push_back({line, entry.phrase, u"短语后面缺少“</P>”", false});
      const auto badAction = forbiddenIn(entry.action, u"\"<>&");
      const auto badPhrase = forbiddenIn(entry.phrase, u"(\"<>&");
      if (!badAction.empty())
        out.push_back({line, entry.phrase, u"动作中含有" + badAction + u"，识别器和程序对它的理解不一致", false});
      if (!badPhrase.empty())
        out.push_back({line, entry.phrase, u"短语中含有" + badPhrase + u"，识别器和程序对它的理解不一致", false});
      // Anything else that makes the editor's scan read this entry differently.
      if (badAction.empty() && badPhrase.empty() && (!listed || !(*listed == entry)))
        out.push_back({line, entry.phrase, u"编辑器读出的动作或短语与识别器不一致", false});
      checkKeyNames(entry, line, out);
      if (const auto [it, fresh] = seen.emplace(entry.phrase, line); !fresh)
        out.push_back({line, entry.phrase, u"短语重复（第" + fromUtf8(std::to_string(it->second)) + u"行已有），只有第一条会执行", false});
      else
        phrases.emplace_back(entry.phrase, line);
    }
    marker = next;
  }
  notePrefixes(std::move(phrases), out);
  std::stable_sort(out.begin(), out.end(), [](const Finding& a, const Finding& b) { return a.line < b.line; });
  return out;
}

}  // namespace sayvane
