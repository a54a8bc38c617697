#include <gtest/gtest.h>

#include <chrono>

#include "platform/Sys.h"
#include "tests/support/TestSupport.h"

// Fault mended: a case that seeded from the time without fixing it first (the
// sniff test's tribe games) did what the second it ran in decided.
TEST(TestCalendar, EveryCaseStartsOnTheFixedSecondAndReadsTheRealOneOnlyWhenItAsks) {
  EXPECT_EQ(Sys_CalendarSeconds(), kTestCalendarSecond);
  using namespace std::chrono;
  auto now = [] { return (uint32_t)duration_cast<seconds>(system_clock::now().time_since_epoch()).count(); };
  Sys_SetCalendarForTest(nullptr);
  const uint32_t before = now(), read = Sys_CalendarSeconds(), after = now();
  Sys_SetCalendarForTest(&TestCalendar);
  EXPECT_LE(before, read);
  EXPECT_LE(read, after);
}
