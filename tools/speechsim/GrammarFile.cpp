#include "GrammarFile.h"

#include <windows.h>

namespace speechsim {
namespace {

constexpr auto npos = std::u16string_view::npos;

bool isSpace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

bool isNameChar(char16_t c) {
  return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'_' ||
         c == u'-' || c == u'.' || c == u':';
}

bool isPhrase(std::u16string_view element) { return element == u"P" || element == u"PHRASE"; }

// The elements a command grammar of this kind has, each only inside its own parent.
bool allowedIn(std::u16string_view element, std::u16string_view parent) {
  if (element == u"GRAMMAR") return parent.empty();
  if (element == u"DEFINE" || element == u"RULE") return parent == u"GRAMMAR";
  if (element == u"ID") return parent == u"DEFINE";
  if (element == u"L" || element == u"LIST") return parent == u"RULE";
  if (isPhrase(element)) return parent == u"RULE" || parent == u"L" || parent == u"LIST";
  return false;
}

void appendCodePoint(std::u16string& out, char32_t c) {
  if (c < 0x10000) {
    out += static_cast<char16_t>(c);
    return;
  }
  c -= 0x10000;
  out += static_cast<char16_t>(0xD800 + (c >> 10));
  out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
}

// "#38" or "#x26": nothing for anything that is not a character's number.
std::optional<char32_t> numericReference(std::u16string_view name) {
  const bool hex = name.size() > 1 && name[1] == u'x';
  const auto digits = name.substr(hex ? 2 : 1);
  if (digits.empty() || digits.size() > 8) return std::nullopt;
  char32_t value = 0;
  for (const char16_t c : digits) {
    int digit = -1;
    if (c >= u'0' && c <= u'9') digit = c - u'0';
    else if (hex && c >= u'a' && c <= u'f') digit = c - u'a' + 10;
    else if (hex && c >= u'A' && c <= u'F') digit = c - u'A' + 10;
    if (digit < 0) return std::nullopt;
    value = value * (hex ? 16 : 10) + static_cast<char32_t>(digit);
  }
  if (value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return std::nullopt;
  return value;
}

// Character data with its entity and character references replaced; nothing for a "<" or a
// "&" that starts no reference.
std::optional<std::u16string> decoded(std::u16string_view raw) {
  std::u16string out;
  out.reserve(raw.size());
  for (std::size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] == u'<') return std::nullopt;
    if (raw[i] != u'&') {
      out += raw[i];
      continue;
    }
    const auto end = raw.find(u';', i);
    if (end == npos) return std::nullopt;
    const auto name = raw.substr(i + 1, end - i - 1);
    if (name == u"amp") out += u'&';
    else if (name == u"lt") out += u'<';
    else if (name == u"gt") out += u'>';
    else if (name == u"quot") out += u'"';
    else if (name == u"apos") out += u'\'';
    else if (const auto c = name.starts_with(u'#') ? numericReference(name) : std::nullopt) appendCodePoint(out, *c);
    else return std::nullopt;
    i = end;
  }
  return out;
}

class Reader {
 public:
  explicit Reader(std::u16string_view text) : text_(text) {}

  std::optional<std::vector<std::u16string>> read() {
    skipSpaces();
    if (ahead(u"<?xml") && !skipPast(u"?>")) return std::nullopt;
    while (at_ < text_.size()) {
      const bool ok = text_[at_] != u'<' ? characterData()
                      : ahead(u"<!--")   ? skipPast(u"-->")
                      : ahead(u"</")     ? endTag()
                                         : startTag();
      if (!ok) return std::nullopt;
    }
    if (!rootSeen_ || !open_.empty()) return std::nullopt;
    return std::move(phrases_);
  }

 private:
  struct Open {
    std::u16string_view name;
    bool topLevel;  // inside a rule that is a top-level one
  };

  bool ahead(std::u16string_view s) const { return text_.substr(at_).starts_with(s); }
  void skipSpaces() {
    while (at_ < text_.size() && isSpace(text_[at_])) ++at_;
  }
  bool skipPast(std::u16string_view end) {
    const auto found = text_.find(end, at_);
    if (found == npos) return false;
    at_ = found + end.size();
    return true;
  }
  std::u16string_view name() {
    const auto start = at_;
    while (at_ < text_.size() && isNameChar(text_[at_])) ++at_;
    return text_.substr(start, at_ - start);
  }

  // Text belongs to a phrase; anywhere else only blanks may stand.
  bool characterData() {
    const auto end = std::min(text_.find(u'<', at_), text_.size());
    const auto data = decoded(text_.substr(at_, end - at_));
    at_ = end;
    if (!data) return false;
    if (!open_.empty() && isPhrase(open_.back().name)) {
      phrase_ += *data;
      return true;
    }
    for (const char16_t c : *data)
      if (!isSpace(c)) return false;
    return true;
  }

  bool endTag() {
    at_ += 2;
    const auto closed = name();
    skipSpaces();
    if (open_.empty() || open_.back().name != closed || !ahead(u">")) return false;
    ++at_;
    if (isPhrase(closed)) finishPhrase(open_.back().topLevel);
    open_.pop_back();
    return true;
  }

  bool startTag() {
    ++at_;
    const auto element = name();
    const auto parent = open_.empty() ? std::u16string_view() : open_.back().name;
    if (element.empty() || (rootSeen_ && open_.empty()) || !allowedIn(element, parent)) return false;
    rootSeen_ = true;
    bool topLevel = !open_.empty() && open_.back().topLevel;
    for (;;) {
      const auto before = at_;
      skipSpaces();
      if (ahead(u"/>") || ahead(u">")) break;
      if (at_ == before) return false;  // a blank before each attribute
      const auto attribute = name();
      if (attribute.empty()) return false;
      skipSpaces();
      if (!ahead(u"=")) return false;
      ++at_;
      skipSpaces();
      if (at_ >= text_.size() || (text_[at_] != u'"' && text_[at_] != u'\'')) return false;
      const auto quote = text_[at_++];
      const auto end = text_.find(quote, at_);
      if (end == npos || !decoded(text_.substr(at_, end - at_))) return false;
      at_ = end + 1;
      if (element == u"RULE" && attribute == u"TOPLEVEL") topLevel = true;
    }
    const bool empty = ahead(u"/>");
    at_ += empty ? 2 : 1;
    if (!empty) open_.push_back({element, topLevel});
    return true;
  }

  void finishPhrase(bool topLevel) {
    std::u16string phrase = std::move(phrase_);
    phrase_.clear();
    if (!topLevel) return;
    if (phrase.starts_with(u'+')) phrase.erase(0, 1);
    phrases_.push_back(std::move(phrase));
  }

  std::u16string_view text_;
  std::size_t at_ = 0;
  std::vector<Open> open_;
  bool rootSeen_ = false;
  std::u16string phrase_;
  std::vector<std::u16string> phrases_;
};

}  // namespace

std::optional<std::vector<std::u16string>> readGrammar(std::u16string_view text) { return Reader(text).read(); }

std::optional<std::vector<std::u16string>> readGrammarBytes(std::string_view bytes) {
  if (bytes.empty()) return readGrammar({});
  if (bytes.size() > 0x7FFFFFFF) return std::nullopt;
  const int length = static_cast<int>(bytes.size());
  const int size = MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, bytes.data(), length, nullptr, 0);
  if (size <= 0) return std::nullopt;
  std::u16string text(static_cast<std::size_t>(size), u'\0');
  MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, bytes.data(), length, reinterpret_cast<wchar_t*>(text.data()), size);
  return readGrammar(text);
}

}  // namespace speechsim
