// Set files on disk: one "<name>.xml" per set in the program folder, code page 936, CR LF.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/CodePage936.h"
#include "platform/Files.h"

namespace sayvane {

std::u16string setFileName(std::u16string_view setName);
// Program folder + "\" + name + ".xml": what the recognizer is given to load.
std::u16string setPath(std::u16string_view folder, std::u16string_view setName);
// Every "*.xml" file counts as a set, named without its last four characters.
std::vector<std::u16string> listSetNames(Files& files);

enum class SetFileError { None, ReadFailed, NotCodePage936, Unrepresentable, WriteFailed, DeleteFailed };

struct SetFileResult {
  SetFileError error = SetFileError::None;
  std::u16string text;       // the file's text after a successful read
  std::size_t badIndex = 0;  // Unrepresentable: index of the first character in the text
  explicit operator bool() const { return error == SetFileError::None; }
};

SetFileResult readSetFile(Files& files, CodePage936& codePage, std::u16string_view setName);
// The same for a file name of the folder that need not end in ".xml".
SetFileResult readSetFileNamed(Files& files, CodePage936& codePage, const std::u16string& fileName);
// Writes the text and one more CR LF, as every save has; the old file survives a failure.
SetFileResult writeSetFile(Files& files, CodePage936& codePage, std::u16string_view setName, std::u16string_view text);

// A message for the user, in Chinese, naming the file; `text` is what was being written, for
// Unrepresentable.
std::u16string describeSetFileError(const SetFileResult& result, std::u16string_view fileName, std::u16string_view text = {});

}  // namespace sayvane
