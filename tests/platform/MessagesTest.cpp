#include <gtest/gtest.h>

#include "platform/Sys.h"

// Fault mended: a box shown before the debug window existed (a broken tuning
// file read at start-up) reached standard error only.
TEST(MessageBoxes, BoxesShownBeforeTheEchoExistsReachItWhenItIsSet) {
  static std::vector<std::string> echoed;
  Sys_SetMessageSink(nullptr);
  Sys_SetMessageEcho(nullptr);
  testing::internal::CaptureStderr();
  Sys_MessageBox("Script Error", "early");
  Sys_SetMessageEcho([](const char* line) { echoed.push_back(line); });
  Sys_MessageBox("Load Error", "later");
  std::string printed = testing::internal::GetCapturedStderr();
  Sys_SetMessageEcho(nullptr);
  EXPECT_EQ(echoed, (std::vector<std::string>{"[Script Error] early", "[Load Error] later"}));
  EXPECT_NE(printed.find("[Script Error] early"), std::string::npos);
}
