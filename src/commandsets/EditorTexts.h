// What the command-set editor says to the user.
#pragma once

#include <string_view>

namespace sayvane {

inline constexpr std::u16string_view kEnterPhrase = u"请添加你想读的中文词汇";
inline constexpr std::u16string_view kEnterAction = u"请添加中文词汇对应的操作";
inline constexpr std::u16string_view kDuplicatePhrase = u"请添加新的词汇，这个词汇已经有了！";
inline constexpr std::u16string_view kSelectPhrase = u"选中你要删除的语音命令";
inline constexpr std::u16string_view kProtectedPhrase = u"不可删除默认的语音命令!";
inline constexpr std::u16string_view kProtectedWord = u"退出";
inline constexpr std::u16string_view kEnterSetName = u"请填入语音命令集名字！";
inline constexpr std::u16string_view kProtectedSet = u"初始默认语音命令集不允许被删除";
inline constexpr std::u16string_view kConfirmDeleteSet = u"确实要删除这个语音命令集吗？";
inline constexpr std::u16string_view kNoLoadedSet =
    u"语音命令集列表中选中的语音命令集没有载入，不能修改。请在列表中选中一个语音命令集，等它的语音命令显示出来再修改。";
inline constexpr std::u16string_view kNoListEnd = u"语音命令集文件已损坏（找不到“</L>”），无法添加语音命令。";
inline constexpr std::u16string_view kPhraseNotInFile = u"在语音命令集文件中找不到这个语音命令，没有删除。";

}  // namespace sayvane
