// Panels opened without a position go under the panel named as the anchor,
// at the height it grew to, each later one a step further; an explicit
// position is kept.
#include "GluiTestFixture.h"
#include "platform/glui/GLUIInternal.h"

TEST_F(GluiTest, PanelsWithoutAPositionOpenUnderTheAnchorPanelInACascade) {
  GLUI* anchor = Open("Anchor");
  for (const char* name : {"A", "B", "C", "D", "E", "F"}) anchor->add_checkbox(name);
  GLUI_Master.set_default_position(500, 20, anchor);

  glutSetWindow(mainWindow);
  GLUI* first = GLUI_Master.create_glui("Mode Panel");  // two panels may share one title
  GLUI* second = GLUI_Master.create_glui("Mode Panel");
  opened.push_back(first);
  opened.push_back(second);
  GLUI* placed = Open("Placed By Hand");
  int x = 0, y = 0;
  EXPECT_FALSE(GLUI_TestPlacedAt(first, &x, &y)) << "placed only after its first frame";
  GLUI_TestPumpUntilIdle();

  int width = 0, anchorHeight = 0;
  GLUI_GetWindowSize(anchor, &width, &anchorHeight);
  ASSERT_GT(anchorHeight, 100) << "the anchor grew to its six rows";
  ASSERT_TRUE(GLUI_TestPlacedAt(first, &x, &y));
  EXPECT_EQ(x, 500);
  EXPECT_GT(y, 20 + anchorHeight);
  EXPECT_LT(y, 20 + anchorHeight + 40);
  int x2 = 0, y2 = 0;
  ASSERT_TRUE(GLUI_TestPlacedAt(second, &x2, &y2));
  EXPECT_GT(x2, x);
  EXPECT_GT(y2, y);
  EXPECT_FALSE(GLUI_TestPlacedAt(placed, &x, &y));
  EXPECT_FALSE(GLUI_TestPlacedAt(anchor, &x, &y));
}
