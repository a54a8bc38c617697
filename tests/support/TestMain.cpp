// gtest's main with the calendar fixed at each case's start: nothing a case
// seeds from the time depends on the second it runs in or an earlier case.
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
