#include "platform/win32/SapiTokens.h"

#include <sapi.h>

#include <string>

#include "text/Text.h"

namespace sayvane::win32 {

std::optional<TokenList> describeTokens(IDispatch* collection, bool withLanguages) {
  const auto count = integerResult(collection, DISPID_SOTsCount, DISPATCH_PROPERTYGET);
  if (!count || *count < 0) return std::nullopt;
  TokenList list;
  for (std::int32_t i = 0; i < *count; ++i) {
    ComPtr<IDispatch> token = dispatchResult(collection, DISPID_SOTsItem, DISPATCH_METHOD, {Variant::i4(i)});
    auto description = stringResult(token.Get(), DISPID_SOTGetDescription, DISPATCH_METHOD, {Variant::i4(0)});
    if (!description) return std::nullopt;
    // A token that declares no language is still listed.
    auto language = withLanguages ? stringResult(token.Get(), DISPID_SOTGetAttribute, DISPATCH_METHOD,
                                                 {Variant::string(u"Language")})
                                  : std::nullopt;
    list.described.push_back({std::move(*description), language.value_or(u"")});
    list.tokens.push_back(std::move(token));
  }
  return list;
}

std::u16string listed(const std::vector<SpeechToken>& tokens) {
  std::u16string text = fromUtf8(std::to_string(tokens.size()) + " 个");
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    text += i == 0 ? u"：" : u"，";
    text += tokens[i].description;
    if (!tokens[i].language.empty()) text += concat({u"［", tokens[i].language, u"］"});
  }
  return text;
}

}  // namespace sayvane::win32
