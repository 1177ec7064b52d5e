// sayvane-tool: checks action strings and set files without speaking. Arguments and output
// are UTF-8; set files are read and written in code page 936.
#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "platform/CodePage936.h"
#include "speech/SpeechCheck.h"

namespace sayvane {

// Exit status: 0 done, 1 nothing found or problems reported, 2 bad arguments or unreadable input.
// `speechCheck` asks the system's speech API; a host without one passes none.
// `in` is what `simulate` reads its script from.
int runTool(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err,
            CodePage936& codePage, const std::function<SpeechCheck()>& speechCheck = {});

}  // namespace sayvane
