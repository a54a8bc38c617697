// Panels opened without a position go under the anchor panel at the height it
// grew to, each under the ones placed so that are still shown, leaving room for
// a window manager's frames; an explicit position is kept.
#include "GluiTestFixture.h"
#include "platform/Sys.h"
#include "platform/glui/GLUIInternal.h"

TEST_F(GluiTest, PanelsWithoutAPositionStackUnderTheAnchorPanelAndTheShownOnes) {
  GLUI* anchor = Open("Anchor");
  for (const char* name : {"A", "B", "C", "D", "E", "F"}) anchor->add_checkbox(name);
  const int frameHeight = 25;  // a window manager's title bar and bottom edge round each panel
  GLUI_PanelColumn column;
  column.x = 500;
  column.y = 20;
  column.frameHeight = frameHeight;
  GLUI_Master.set_default_position(column, anchor);
  glutSetWindow(mainWindow);
  GLUI* first = GLUI_Master.create_glui("Mode Panel");
  first->add_checkbox("Wide enough to be seen under the next");
  GLUI* second = GLUI_Master.create_glui("Mode Panel");  // two may share a title
  opened.insert(opened.end(), {first, second});
  int x = 0, y = 0, x2 = 0, y2 = 0, width = 0, anchorHeight = 0, firstHeight = 0;
  GLUI_TestPumpUntilIdle();
  GLUI_GetWindowSize(anchor, &width, &anchorHeight);
  GLUI_GetWindowSize(first, &width, &firstHeight);
  ASSERT_GT(anchorHeight, 100) << "the anchor grew to its six rows";
  ASSERT_TRUE(GLUI_TestPlacedAt(first, &x, &y));
  EXPECT_EQ(x, 500);
  EXPECT_TRUE(y > 20 + anchorHeight + frameHeight && y < 20 + anchorHeight + frameHeight + 40) << y;
  ASSERT_TRUE(GLUI_TestPlacedAt(second, &x2, &y2));
  EXPECT_EQ(x2, x);
  EXPECT_TRUE(y2 > y + firstHeight + frameHeight && y2 < y + firstHeight + frameHeight + 40)
      << "under the first's frame, not over it: " << y2;
  int ax = 0, ay = 0;
  EXPECT_FALSE(GLUI_TestPlacedAt(anchor, &ax, &ay)) << "an explicit position is kept";

  // Hidden panels (a mode left) leave their place to the next one.
  first->hide();
  second->hide();
  glutSetWindow(mainWindow);
  GLUI* third = GLUI_Master.create_glui("Next Mode Panel");
  opened.push_back(third);
  GLUI_TestPumpUntilIdle();
  ASSERT_TRUE(GLUI_TestPlacedAt(third, &x2, &y2));
  EXPECT_TRUE(x2 == x && y2 == y);
}

// Too big for their column, panels are cut to it and scroll: both stay inside
// it, neither over the other, and the last control is still there to use.
TEST_F(GluiTest, PanelsTooBigForTheColumnAreCutToItAndScroll) {
  const GLUI_PanelColumn column = {500, 20, 150, 300, 2, 25};  // frames 2 wider, 25 taller
  GLUI_Master.set_default_position(column);
  int last = 0;
  GLUI* panels[2] = {};
  for (GLUI*& panel : panels) {
    glutSetWindow(mainWindow);
    opened.push_back(panel = GLUI_Master.create_glui("Mode Panel"));
    for (const char* label : {"A label wider than the column", "Another", "A third", "A fourth", "A fifth"})
      panel->add_checkbox(label);
  }
  panels[1]->add_checkbox("The last box", &last);
  GLUI_TestPumpUntilIdle();
  int bottom = column.y;
  for (GLUI* panel : panels) {
    int x = 0, y = 0, width = 0, height = 0;
    ASSERT_TRUE(GLUI_TestPlacedAt(panel, &x, &y));
    GLUI_GetWindowSize(panel, &width, &height);
    EXPECT_TRUE(x == column.x && x + width + column.frameWidth <= column.x + column.width) << x << " " << width;
    EXPECT_TRUE(y >= bottom && y + height + column.frameHeight <= column.bottom) << y << " " << height;
    bottom = y + height + column.frameHeight;
  }
  for (int i = 0; i < 20; ++i) GLUI_TestMouseWheel(panels[1], -1, 20, 20);
  GLUI_TestPumpUntilIdle();
  EXPECT_TRUE(GLUI_TestClick(panels[1], "The last box"));
  EXPECT_EQ(last, 1);
}

// Fault mended: panels standing over the game window (a small screen) went
// under it when it was clicked; they are its tool windows, opened before or after.
TEST_F(GluiTest, PanelsKeptAboveTheGameWindowAreItsToolWindows) {
  GLUI* before = Open("Open Before");
  GLUI_Master.keep_panels_above(mainWindow);
  GLUI* after = Open("Opened After");
  for (const int owner : {mainWindow, 0}) {
    GLUI_Master.keep_panels_above(owner);
    GLUI_TestPumpUntilIdle();
    for (GLUI* panel : {before, after})
      EXPECT_EQ(Sys_IsWindowKeptAbove(panel->get_glut_window_id(), mainWindow), owner != 0) << panel->get_name();
  }
}
