// Panels opened without a position go under the anchor panel at the height it
// grew to, each under the ones placed so that are still shown, leaving room for
// a window manager's frames and as wide as their titles need under its title
// bars; an explicit position is kept.
#include "GluiTestFixture.h"
#include "platform/Sys.h"
#include "platform/glui/GLUIFrame.h"
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
  // Under a title bar (frames with a height), as wide as its title needs there.
  int secondWidth = 0, secondHeight = 0;
  GLUI_GetWindowSize(second, &secondWidth, &secondHeight);
  EXPECT_EQ(secondWidth, 7 * 10 + kGLUITitleBarRoom) << "\"Mode Panel\" shown whole";
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

// Fault mended: a window manager cut a panel's title in the middle ("Q... el")
// where the panel was narrower than the title's bar. At each width the title
// shown is whole where it fits, else its start cut at a character with an
// ellipsis, as long as fits and no longer (one character more, and the
// manager cut it in the middle again). The panels' font takes 7 pixels a
// character, the ellipsis one too.
TEST_F(GluiTest, ATitleTooWideForItsPanelIsCutAtItsEndToTheLongestThatFits) {
  GLUI* panel = Open("Quorvel Control Panel");
  panel->add_checkbox("A");
  const std::string name = panel->get_name(), ellipsis = "\xE2\x80\xA6";
  const int whole = 7 * (int)name.size() + kGLUITitleBarRoom;  // 259
  for (const int room : {kGLUITitleBarRoom + 14, 150, 200, 240, whole - 1, whole, 300}) {
    SCOPED_TRACE(room);
    panel->show_title_within(room);
    GLUI_TestPumpUntilIdle();
    int width = 0, height = 0;
    GLUI_GetWindowSize(panel, &width, &height);
    EXPECT_EQ(width, std::min(room, whole));
    const std::string shown = Sys_WindowShownTitle(panel->get_glut_window_id());
    if (room >= whole) {
      EXPECT_EQ(shown, name);
      continue;
    }
    ASSERT_GT(shown.size(), ellipsis.size());
    const std::string kept = shown.substr(0, shown.size() - ellipsis.size());
    EXPECT_EQ(shown.substr(kept.size()), ellipsis);
    EXPECT_EQ(name.rfind(kept, 0), 0u) << shown;
    const int characters = (int)kept.size() + 1;
    EXPECT_LE(7 * characters + kGLUITitleBarRoom, width) << shown;
    // One more character (a space the cut drops counts as none) would not fit.
    const size_t next = name.find_first_not_of(' ', kept.size());
    EXPECT_GT(7 * (characters + 1 + (int)(next - kept.size())) + kGLUITitleBarRoom, width) << shown;
  }
}
