// The code page 936 converter of the system the program was built for.
#pragma once

#include <memory>

#include "platform/CodePage936.h"

namespace sayvane {

std::unique_ptr<CodePage936> makeHostCodePage936();

}  // namespace sayvane
