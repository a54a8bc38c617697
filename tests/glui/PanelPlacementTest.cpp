// Panels opened without a position go under the anchor panel at the height it
// grew to, each under the ones placed so that are still shown, leaving room for
// a window manager's frames; an explicit position is kept.
#include "GluiTestFixture.h"
#include "platform/glui/GLUIInternal.h"

TEST_F(GluiTest, PanelsWithoutAPositionStackUnderTheAnchorPanelAndTheShownOnes) {
  GLUI* anchor = Open("Anchor");
  for (const char* name : {"A", "B", "C", "D", "E", "F"}) anchor->add_checkbox(name);
  const int frameHeight = 25;  // a window manager's title bar and bottom edge round each panel
  GLUI_Master.set_default_position(500, 20, anchor, frameHeight);
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
