// The eight command sets the program carries, and the restore that writes them afresh.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "commandsets/SetFile.h"
#include "commandsets/SetText.h"

namespace sayvane {

inline constexpr std::u16string_view kInitialSetName = u"初始默认语音命令集";

struct DefaultSet {
  std::u16string_view name;
  bool splitRuleTag;  // one set's rule tag stands on two lines; readers do not mind
  std::vector<Entry> entries;
  std::u16string text() const { return setTextWithEntries(entries, splitRuleTag); }
};

// In the order the restore writes them.
const std::vector<DefaultSet>& defaultSets();

struct RestoreResult {
  SetFileResult result;     // the first failure, if any
  std::u16string setName;   // the set being written when it failed
  std::u16string fileName;  // the file being deleted when it failed
  explicit operator bool() const { return static_cast<bool>(result); }
};

// Deletes every "*.xml" of the folder (listed once, before the first deletion), then writes
// the eight defaults. Stops at the first failure; what was done before it stays done.
RestoreResult restoreDefaultSets(Files& files, CodePage936& codePage);

}  // namespace sayvane
