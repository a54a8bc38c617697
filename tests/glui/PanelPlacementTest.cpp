// Panels opened without a position go under the anchor panel at the height it
// grew to, each later one a step further; an explicit position is kept.
#include "GluiTestFixture.h"
#include "platform/glui/GLUIInternal.h"

TEST_F(GluiTest, PanelsWithoutAPositionOpenUnderTheAnchorPanelInACascade) {
  GLUI* anchor = Open("Anchor");
  for (const char* name : {"A", "B", "C", "D", "E", "F"}) anchor->add_checkbox(name);
  GLUI_Master.set_default_position(500, 20, anchor);
  glutSetWindow(mainWindow);
  GLUI* first = GLUI_Master.create_glui("Mode Panel");
  GLUI* second = GLUI_Master.create_glui("Mode Panel");  // two may share a title; both stay empty
  opened.insert(opened.end(), {first, second});
  int x = 0, y = 0, x2 = 0, y2 = 0, width = 0, anchorHeight = 0;
  GLUI_TestPumpUntilIdle();
  GLUI_GetWindowSize(anchor, &width, &anchorHeight);
  ASSERT_GT(anchorHeight, 100) << "the anchor grew to its six rows";
  ASSERT_TRUE(GLUI_TestPlacedAt(first, &x, &y));
  EXPECT_EQ(x, 500);
  EXPECT_TRUE(y > 20 + anchorHeight && y < 20 + anchorHeight + 40) << y;
  ASSERT_TRUE(GLUI_TestPlacedAt(second, &x2, &y2));
  EXPECT_TRUE(x2 > x && y2 > y);
  EXPECT_FALSE(GLUI_TestPlacedAt(anchor, &x, &y)) << "an explicit position is kept";
}
