// The platform's own X connection in processes forked from one that opened
// it: each child talks to the server on a connection of its own, so a case
// run in a child leaves the parent's and the next child's intact.
#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/Sys.h"
#include "tests/support/TestSupport.h"

TEST(XConnection, ChildrenForkedAfterTheParentAskedTheServerEachAskOnTheirOwn) {
  ASSERT_TRUE(EnsureTestDisplay());
  const int width = Sys_PrimaryMonitorWidth();  // the parent opens its connection and asks
  ASSERT_GT(width, 0);
  for (int child = 0; child < 3; ++child) {
    SCOPED_TRACE(child);
    EXPECT_EXIT(_exit(Sys_PrimaryMonitorWidth() == width && !Sys_MouseButtonsSwapped() ? 0 : 1),
                ::testing::ExitedWithCode(0), "");
  }
  EXPECT_EQ(Sys_PrimaryMonitorWidth(), width) << "the parent's connection still answers";
}
