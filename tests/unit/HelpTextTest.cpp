#include <gtest/gtest.h>

#include "app/HelpText.h"
#include "commandsets/DefaultSets.h"
#include "platform/HostCodePage936.h"
#include "text/Text.h"

namespace sayvane {
namespace {

TEST(HelpText, NamesEveryExampleSetByItsFileAndFitsCodePage936) {
  for (const auto& set : defaultSets()) {
    if (set.name == kInitialSetName) continue;
    EXPECT_TRUE(contains(kHelpText, concat({set.name, u".xml"}))) << toUtf8(set.name);
  }
  // The help window shows it on any system; a character outside GBK would be a sign of text
  // pasted from elsewhere.
  EXPECT_TRUE(makeHostCodePage936()->encode(std::u16string(kHelpText)).bytes);
}

TEST(HelpText, BreaksLinesOnlyWithCarriageReturnLineFeed) {
  // A bare line feed shows as nothing in a Win32 edit field: the two lines would run together.
  for (std::size_t i = 0; i < kHelpText.size(); ++i) {
    const bool lineFeed = kHelpText[i] == u'\n', carriageReturn = kHelpText[i] == u'\r';
    EXPECT_FALSE(lineFeed && (i == 0 || kHelpText[i - 1] != u'\r')) << "bare line feed at " << i;
    EXPECT_FALSE(carriageReturn && (i + 1 == kHelpText.size() || kHelpText[i + 1] != u'\n')) << "bare CR at " << i;
  }
}

}  // namespace
}  // namespace sayvane
