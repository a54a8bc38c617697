#include <gtest/gtest.h>

#include <GL/freeglut.h>
#include <stdlib.h>

#include "input/MouseDevice.h"
#include "platform/Sys.h"
#include "tests/support/TestSupport.h"

// A device that could not be opened is never read: every poll gives zeros.
static bool PollsReadZerosAfterAFailedStart() {
  unsetenv("DISPLAY");  // no X server to read a pointer from
  if (InitDirectInputMouse() == 0) return false;
  cMouseDevice mouse;
  Sys_NoteMouseMotion(10, 10);
  Sys_NoteMouseMotion(40, 50);
  Sys_NoteMouseButton(GLUT_LEFT_BUTTON, true, 40, 50);
  Sys_NoteMouseButton(3, true, 40, 50);
  mouse.Poll();
  int dx = 1, dy = 1, wheel = 1, sumX = 1, sumY = 1, sumWheel = 1;
  mouse.GetMovement(dx, dy, wheel);
  mouse.GetAccumulatedMovement(sumX, sumY, sumWheel);
  return dx == 0 && dy == 0 && wheel == 0 && !mouse.IsButtonDown(0) && sumX == 0 && sumY == 0 && sumWheel == 0;
}

// Runs in a fresh process, before anything opened the display.
TEST(MouseDevice, PollingAfterAFailedStartReadsZeros) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(_exit(PollsReadZerosAfterAFailedStart() ? 0 : 1), ::testing::ExitedWithCode(0), "");
}

TEST(MouseDevice, CountsButtonsLeftRightMiddleAndTheWheelAsASign) {
  ASSERT_TRUE(EnsureTestDisplay());
  ASSERT_EQ(InitDirectInputMouse(), 0);
  cMouseDevice mouse;
  int dx = 0, dy = 0, wheel = 0;

  Sys_NoteMouseMotion(100, 100);  // only a starting point
  Sys_NoteMouseMotion(103, 98);
  Sys_NoteMouseButton(GLUT_MIDDLE_BUTTON, true, 103, 98);
  Sys_NoteMouseMotion(107, 97);
  for (int i = 0; i < 3; ++i) Sys_NoteMouseButton(3, true, 107, 97);  // three notches away from the user
  Sys_NoteMouseButton(3, false, 107, 97);
  mouse.Poll();
  mouse.GetMovement(dx, dy, wheel);
  EXPECT_EQ(dx, 7);
  EXPECT_EQ(dy, -3);
  EXPECT_EQ(wheel, 1);
  EXPECT_TRUE(mouse.IsButtonDown(2));
  EXPECT_FALSE(mouse.IsButtonDown(1));

  Sys_NoteMouseButton(GLUT_MIDDLE_BUTTON, false, 107, 97);
  Sys_NoteMouseButton(GLUT_RIGHT_BUTTON, true, 107, 97);
  Sys_NoteMouseButton(4, true, 107, 97);
  mouse.Poll();
  EXPECT_EQ(mouse.GetWheel(), -1);
  EXPECT_TRUE(mouse.IsButtonDown(1));
  EXPECT_FALSE(mouse.IsButtonDown(2));

  // The sums count wheel frames, not notches; clearing starts them again.
  mouse.GetAccumulatedMovement(dx, dy, wheel);
  EXPECT_EQ(wheel, 0);
  mouse.ClearAccumulatedMovement();
  for (int x : {109, 112, 111}) {
    Sys_NoteMouseMotion(x, 97);
    mouse.Poll();
  }
  mouse.GetAccumulatedMovement(dx, dy, wheel);
  EXPECT_EQ(dx, 4);

  // Where the pointer comes back into the window is no movement.
  Sys_NoteMouseLeft();
  Sys_NoteMouseMotion(600, 400);
  mouse.Poll();
  EXPECT_EQ(mouse.GetMoveX(), 0);
  Sys_NoteMouseButton(GLUT_RIGHT_BUTTON, false, 600, 400);
  ShutdownDirectInputMouse();
}
