#include <gtest/gtest.h>

#include <csignal>

#include "app/Assert.h"
#include "tests/support/TestSupport.h"

namespace {

TEST(Assertions, IgnoreSilencesOneFileAndLineRetryAsksAgain) {
  cMessageCapture boxes;
  boxes.answers = {SysAnswer::Ignore, SysAnswer::Retry, SysAnswer::Retry};
  ReportAssertion("count > 0", "tribe.cpp", 40);
  ReportAssertion("count > 0", "tribe.cpp", 40);   // silenced
  ReportAssertion("count > 0", "city.cpp", 40);    // same line, another file
  ReportAssertion("count > 0", "city.cpp", 40);    // Retry: asked again
  ASSERT_EQ(boxes.boxes.size(), 3u);
  EXPECT_EQ(boxes.boxes[0].caption, "Assert!");
  EXPECT_EQ(boxes.boxes[0].kind, SysBox::AbortRetryIgnore);
  EXPECT_EQ(boxes.boxes[0].text,
            "Assertion: count > 0\nFile: tribe.cpp, Line: 40\nAbort to break, Retry to continue, Ignore to remove assert");
  EXPECT_EQ(boxes.boxes[1].text.find("File: city.cpp, Line: 40"), 21u);

  cCapturedOutput captured(cCapturedOutput::Stream::Stderr);
  ReportAssertion("count > 0", "tribe.cpp", 40);
  EXPECT_EQ(captured.End(), "") << "a silenced assertion writes nothing";
  EXPECT_EQ(boxes.boxes.size(), 3u);
}

TEST(Assertions, ALongMessageIsCut) {
  cMessageCapture boxes;
  boxes.answers = {SysAnswer::Retry};
  std::string expression(2000, 'x');
  ReportAssertion(expression.c_str(), "long.cpp", 1);
  ASSERT_EQ(boxes.boxes.size(), 1u);
  EXPECT_EQ(boxes.boxes[0].text.size(), 499u);
}

TEST(AssertionsDeathTest, AbortBreaksIntoTheDebugger) {
  EXPECT_EXIT(
      {
        cMessageCapture boxes;
        boxes.answers = {SysAnswer::Abort};
        ReportAssertion("false", "abort.cpp", 7);
        _exit(0);
      },
      ::testing::KilledBySignal(SIGTRAP), "");
}

}  // namespace
