// The debug window view: lines printed before it opened, typed commands, and
// following the newest line unless the user scrolled up, whatever the lines' widths.
#include "glf/DebugWindow.h"
#include "platform/glui/DebugView.h"
#include "platform/glui/GLUIInternal.h"
#include "tests/glui/GluiTestFixture.h"

namespace {

GLUI* OpenView() {
  CreateDebugWindow();
  GetDebugWindow()->SetMirrorToStdout(false);
  OpenDebugWindowView();
  return GLUI_GetDebugView();
}

bool HasLineEnding(const char* text) {
  cGLFDebugWindow* window = GetDebugWindow();
  std::lock_guard<std::recursive_mutex> hold(window->Lock());
  for (const std::string& line : window->Lines())
    if (line.size() >= strlen(text) && line.compare(line.size() - strlen(text), std::string::npos, text) == 0)
      return true;
  return false;
}

}  // namespace

TEST_F(GluiTest, DebugViewRunsTypedCommandsThroughTheModel) {
  CreateDebugWindow();
  GetDebugWindow()->SetMirrorToStdout(false);
  DebugPrintf("printed before the view opened");
  GLUI* view = OpenView();
  ASSERT_NE(view, nullptr);
  EXPECT_STREQ(view->get_name(), "Debug Window");
  EXPECT_EQ(OpenView(), view) << "one view only";

  GLUI_TestPumpUntilIdle();
  GLUI_TestTypeText(view, "  help  \r");  // the box has the focus from the start
  GLUI_TestPumpUntilIdle();
  EXPECT_TRUE(HasLineEnding(">  help  "));
  EXPECT_TRUE(HasLineEnding("Current Commands:"));
  EXPECT_TRUE(HasLineEnding("printed before the view opened"));

  // The box is empty and keeps the focus after Return.
  GLUI_TestTypeText(view, "help help\r");
  GLUI_TestPumpUntilIdle();
  EXPECT_TRUE(HasLineEnding(">help help"));
  EXPECT_TRUE(HasLineEnding("help - usage: help [topic]"));

  // Mended: a click on the lines took the keyboard from the box.
  ASSERT_TRUE(GLUI_TestClick(view, "text area"));
  GLUI_TestTypeText(view, "help\r");
  GLUI_TestPumpUntilIdle();
  EXPECT_TRUE(HasLineEnding(">help"));
  EXPECT_GT(MoveDebugWindowView(20, 20), 0);
}

TEST_F(GluiTest, DebugViewFollowsNewLinesOnlyWhileAtTheBottom) {
  GLUI* view = OpenView();
  ASSERT_NE(view, nullptr);
  for (int i = 0; i < 300; ++i) DebugPrintf("line %d", i);
  GLUI_TestPumpUntilIdle(3);
  float scroll = 0, scrollMax = 0;
  ASSERT_TRUE(GLUI_TestDebugViewScroll(&scroll, &scrollMax));
  ASSERT_GT(scrollMax, 0.0f);
  EXPECT_EQ(scroll, scrollMax);

  // Lines growing wider than the window, a frame or two apart (as the civ's
  // status lines do): the view still follows, and the newest row shows whole,
  // with no sideways bar over it.
  for (int i = 0; i < 40; ++i) {
    DebugPrintf("Cities: %d", i);
    DebugPrintf("Vehicles: %s", std::string((size_t)i * 40, 'v').c_str());
    GLUI_PumpFrame();
    GLUI_PumpFrame();
  }
  GLUI_TestPumpUntilIdle(3);
  float rowBottom = 0, areaBottom = 0;
  size_t rows = 0;
  ASSERT_TRUE(GLUI_TestDebugViewNewestRow(&rowBottom, &areaBottom, &rows));
  GLUI_TestDebugViewScroll(&scroll, &scrollMax);
  EXPECT_EQ(scroll, scrollMax);
  EXPECT_LE(rowBottom, areaBottom);
  EXPECT_GT(rows, GetDebugWindow()->Lines().size()) << "the wide lines wrap";

  int x, y, w, h;
  ASSERT_TRUE(GLUI_TestControlRect(view, "text area", &x, &y, &w, &h));
  GLUI_TestMouseMove(view, x + w / 2, y + h / 2);
  for (int i = 0; i < 5; ++i) GLUI_TestMouseWheel(view, +1, x + w / 2, y + h / 2);
  GLUI_TestPumpUntilIdle(3);
  float scrolledUp = 0;
  ASSERT_TRUE(GLUI_TestDebugViewScroll(&scrolledUp, &scrollMax));
  ASSERT_LT(scrolledUp, scrollMax);
  DebugPrintf("one more");
  GLUI_TestPumpUntilIdle(3);
  GLUI_TestDebugViewScroll(&scroll, &scrollMax);
  EXPECT_EQ(scroll, scrolledUp) << "scrolled up, the view stays put";

  for (int i = 0; i < 200; ++i) GLUI_TestMouseWheel(view, -1, x + w / 2, y + h / 2);
  GLUI_TestPumpUntilIdle(3);
  DebugPrintf("and another");
  GLUI_TestPumpUntilIdle(3);
  GLUI_TestDebugViewScroll(&scroll, &scrollMax);
  EXPECT_EQ(scroll, scrollMax) << "back at the bottom, it follows again";
}

// The start-up layout lets the modes' panels cover the view's older lines but
// keeps its bottom free: there stand the newest rows, however few there are
// (they used to start at the top, under the panels), and that bottom holds the
// command box and five whole rows, however narrow the view and long its lines.
TEST_F(GluiTest, DebugViewShowsItsNewestRowsRightAboveTheCommandBox) {
  DestroyDebugWindowForTest();
  GLUI* view = OpenView();
  ASSERT_NE(view, nullptr);
  int width = 0, height = 0;
  GLUI_GetWindowSize(view, &width, &height);
  MoveDebugWindowView(20, 20, 400, 400);
  DebugPrintf("first");
  GLUI_TestPumpUntilIdle(3);  // the view has seen one line, whatever it saw before
  DebugPrintf("second");
  DebugPrintf("third");
  GLUI_TestPumpUntilIdle(3);
  float fewBottom = 0, manyBottom = 0, areaBottom = 0;
  size_t rows = 0;
  ASSERT_TRUE(GLUI_TestDebugViewNewestRow(&fewBottom, &areaBottom, &rows));
  ASSERT_EQ(rows, 3u);
  for (int i = 0; i < 300; ++i) DebugPrintf("line %d", i);
  GLUI_TestPumpUntilIdle(3);
  GLUI_TestDebugViewNewestRow(&manyBottom, &areaBottom, &rows);
  EXPECT_EQ(fewBottom, manyBottom);

  for (int i = 0; i < 10; ++i) DebugPrintf("Civ Kinesthetic Control Panel, a line wrapped %d", i);
  for (const int viewWidth : {400, 240}) {
    MoveDebugWindowView(20, 20, viewWidth, kDebugViewNewestRowsHeight);
    GLUI_TestPumpUntilIdle(3);
    EXPECT_GE(GLUI_TestDebugViewWholeRows(), 5u) << viewWidth;
    GLUI_TestDebugViewNewestRow(&manyBottom, &areaBottom, &rows);
    EXPECT_LE(manyBottom, areaBottom) << viewWidth;
    int x = 0, y = 0, w = 0, h = 0;
    ASSERT_TRUE(GLUI_TestControlRect(view, "command box", &x, &y, &w, &h));
    EXPECT_GE(y, kDebugViewNewestRowsHeight - kDebugViewCommandBoxHeight) << viewWidth;
  }
  EXPECT_GT(rows, GetDebugWindow()->Lines().size()) << "the lines wrap";
  MoveDebugWindowView(20, 20, width, height);
}
