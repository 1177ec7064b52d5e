#include "platform/Recognizer.h"

#include "text/Text.h"

namespace sayvane {

bool namesChineseEngine(std::u16string_view description) {
  const auto lower = lowerCase(description);
  return contains(lower, u"chinese") || contains(lower, u"中文");
}

}  // namespace sayvane
