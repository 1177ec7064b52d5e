#include <gtest/gtest.h>
#include "support/Fakes.h"
TEST(Smoke, Builds) { EXPECT_TRUE(true); }
