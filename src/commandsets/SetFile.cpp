#include "commandsets/SetFile.h"

#include "text/Text.h"

namespace sayvane {

std::u16string setFileName(std::u16string_view setName) {
  std::u16string name(setName);
  name += u".xml";
  return name;
}

std::u16string setPath(std::u16string_view folder, std::u16string_view setName) {
  std::u16string path(folder);
  path += u'\\';
  path += setFileName(setName);
  return path;
}

std::vector<std::u16string> listSetNames(Files& files) {
  std::vector<std::u16string> names;
  for (const auto& file : files.listXml())
    if (file.size() >= 4) names.push_back(file.substr(0, file.size() - 4));
  return names;
}

SetFileResult readSetFile(Files& files, CodePage936& codePage, std::u16string_view setName) {
  return readSetFileNamed(files, codePage, setFileName(setName));
}

SetFileResult readSetFileNamed(Files& files, CodePage936& codePage, const std::u16string& fileName) {
  SetFileResult result;
  const auto bytes = files.read(fileName);
  if (!bytes) {
    result.error = SetFileError::ReadFailed;
    return result;
  }
  auto text = codePage.decode(*bytes);
  if (!text) {
    result.error = SetFileError::NotCodePage936;
    return result;
  }
  result.text = std::move(*text);
  return result;
}

SetFileResult writeSetFile(Files& files, CodePage936& codePage, std::u16string_view setName, std::u16string_view text) {
  std::u16string whole(text);
  whole += u"\r\n";
  SetFileResult result;
  const auto encoded = codePage.encode(whole);
  if (!encoded.bytes) {
    result.error = SetFileError::Unrepresentable;
    result.badIndex = encoded.badIndex;
    return result;
  }
  if (!files.writeAtomic(setFileName(setName), *encoded.bytes)) result.error = SetFileError::WriteFailed;
  return result;
}

std::u16string describeSetFileError(const SetFileResult& result, std::u16string_view fileName, std::u16string_view text) {
  const std::u16string file = concat({u"“", fileName, u"”"});
  switch (result.error) {
    case SetFileError::None: return {};
    case SetFileError::ReadFailed: return concat({u"无法读取语音命令集文件", file, u"。"});
    case SetFileError::NotCodePage936: return concat({u"语音命令集文件", file, u"不是有效的GBK编码文本，无法读取。"});
    case SetFileError::Unrepresentable: {
      std::u16string character;
      if (result.badIndex < text.size()) {
        // A character outside the basic plane is a surrogate pair: name both halves.
        const bool pair = text[result.badIndex] >= 0xD800 && text[result.badIndex] <= 0xDBFF && result.badIndex + 1 < text.size();
        character = concat({u"“", text.substr(result.badIndex, pair ? 2 : 1), u"”"});
      }
      return concat({u"文字", character, u"无法用GBK编码保存，语音命令集文件", file, u"没有改动。"});
    }
    case SetFileError::WriteFailed: return concat({u"无法写入语音命令集文件", file, u"，原文件没有改动。"});
    case SetFileError::DeleteFailed: return concat({u"无法删除语音命令集文件", file, u"。"});
  }
  return {};
}

}  // namespace sayvane
