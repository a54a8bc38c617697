#include <gtest/gtest.h>

#include "sim/rovurozoviz/RovurozovizUnitTest.h"

TEST(RovurozovizSelfTest, PassesAsAtStartUp) { EXPECT_TRUE(RovurozovizUnitTest()); }
