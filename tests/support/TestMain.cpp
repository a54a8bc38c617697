// The main of every test binary: gtest's, with the calendar fixed at the start
// of each case, so nothing a case seeds from the time depends on the second
// the suite runs in, nor on what an earlier case left installed.
#include <gtest/gtest.h>

#include "tests/support/TestSupport.h"

namespace {
struct cFixedCalendarForEachCase : ::testing::EmptyTestEventListener {
  void OnTestStart(const ::testing::TestInfo&) override { Sys_SetCalendarForTest(&TestCalendar); }
};
}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  Sys_SetCalendarForTest(&TestCalendar);  // also for what runs outside the cases
  ::testing::UnitTest::GetInstance()->listeners().Append(new cFixedCalendarForEachCase);
  return RUN_ALL_TESTS();
}
