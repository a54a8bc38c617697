// Panel windows: sizing, start-up settings, the idle hook, hiding and closing.
#include "tests/glui/GluiTestFixture.h"

#include <climits>

#include "glf/DebugWindow.h"
#include "platform/glui/DebugView.h"
#include "platform/glui/GLUIInternal.h"

namespace {

int gIdleCalls = 0;
int gIdleWindow = 0;
void CountIdle() {
  ++gIdleCalls;
  gIdleWindow = glutGetWindow();
}

GLUI* gSelfClosing = nullptr;
void CloseOwnPanel(int) { gSelfClosing->close(); }

GLUI* gOpenedByCallback = nullptr;
void OpenAnotherPanel(int) { gOpenedByCallback = GLUI_Master.create_glui("Opened by a callback"); }

}  // namespace

TEST_F(GluiTest, PanelWindowFitsItsControlsAndKeepsTheGamesWindowSettings) {
  glutInitWindowSize(640, 480);
  glutInitWindowPosition(33, 44);
  GLUI* panel = Open("Quorvel Control Panel");
  EXPECT_EQ(glutGet(GLUT_INIT_WINDOW_WIDTH), 640);
  EXPECT_EQ(glutGet(GLUT_INIT_WINDOW_X), 33);
  EXPECT_EQ(glutGetWindow(), mainWindow) << "creating a panel leaves the current window alone";

  panel->add_button("Save Game", 1);
  panel->add_checkbox("Show Debug Info");
  panel->add_checkbox("A rather long check box label for width");
  for (int i = 0; i < 4; ++i) GLUI_PumpFrame();
  int x, y, w, h;
  ASSERT_TRUE(GLUI_TestControlRect(panel, "A rather long check box label for width", &x, &y, &w, &h));
  glutMainLoopEvent();  // its callbacks may leave another window current
  glutSetWindow(panel->get_glut_window_id());
  int width = glutGet(GLUT_WINDOW_WIDTH), height = glutGet(GLUT_WINDOW_HEIGHT);
  glutSetWindow(mainWindow);
  EXPECT_GE(width, x + w);
  EXPECT_GE(height, y + h);
  EXPECT_LT(width, x + w + 60) << "no wide empty margin";
}

// freeglut loses the data of XInput 2 crossings on windows it does not know
// (a drag out of a window onto the root): the game's windows take the pointer
// as core events, which freeglut reads without that loss.
TEST_F(GluiTest, TheGameWindowAndPanelsTakeThePointerAsCoreEventsOnly) {
  GLUI* panel = Open("Core Events");
  EXPECT_FALSE(Sys_WindowSelectsXInput2ForTest(mainWindow));
  EXPECT_FALSE(Sys_WindowSelectsXInput2ForTest(panel->get_glut_window_id()));
  EXPECT_EQ(glutGetWindow(), mainWindow) << "the question leaves the current window alone";
}

TEST_F(GluiTest, IdleHookRunsTheGameOnItsMainWindowAndRedrawsPanels) {
  gIdleCalls = 0;
  GLUI* panel = Open("Idle");
  int flag = 0;
  panel->add_checkbox("Flag", &flag);
  GLUI_Master.set_glutIdleFunc(CountIdle);
  glutSetWindow(panel->get_glut_window_id());
  GLUI_Master.run_idle_once();
  GLUI_Master.run_idle_once();
  EXPECT_EQ(gIdleCalls, 2);
  EXPECT_EQ(gIdleWindow, mainWindow);
  int x, y, w, h;
  EXPECT_TRUE(GLUI_TestControlRect(panel, "Flag", &x, &y, &w, &h)) << "the idle pass drew the panel";
  GLUI_Master.set_glutIdleFunc(nullptr);
  glutSetWindow(mainWindow);
}

// The throttled idle hook redraws the panels once 16 ms have passed since the
// last pump on GLUT's count, also as that int passes INT_MAX (and goes
// negative) and as it passes -1 to 0 (2^32 as the stamp's uint32), and after
// a stall of 2^31 ms, which a signed difference reads as a pump to come.
TEST(GluiIdlePump, RedrawsAfter16MsAcrossGlutsCountWrap) {
  const struct {
    int last, now;  // GLUT_ELAPSED_TIME at the last pump and now
    bool due;
  } rows[] = {
      {1000, 1015, false},
      {1000, 1016, true},
      {INT_MAX - 5, INT_MAX, false},
      {INT_MAX - 5, INT_MIN + 9, false},
      {INT_MAX - 5, INT_MIN + 10, true},
      {-11, 4, false},
      {-11, 5, true},
      {100, INT_MIN + 100, true},
  };
  for (const auto& row : rows)
    EXPECT_EQ(GLUI_IdlePumpDue(row.now, (uint32_t)row.last), row.due) << row.last << " to " << row.now;
}

TEST_F(GluiTest, SyncLiveAllShowsVariablesChangedBehindThePanelsBack) {
  int shown = 0;
  GLUI* panel = Open("Sync");
  GLUI_Checkbox* box = panel->add_checkbox("Lights On", &shown);
  shown = 1;
  EXPECT_EQ(box->get_int_val(), 0);
  GLUI_Master.sync_live_all();
  EXPECT_EQ(box->get_int_val(), 1);
}

TEST_F(GluiTest, HiddenPanelsAreNotDrawnAndShowBringsThemBack) {
  GLUI* panel = Open("Hide");
  panel->add_button("Press");
  panel->hide();
  EXPECT_FALSE(panel->is_visible());
  EXPECT_FALSE(GLUI_TestClick(panel, "Press"));
  panel->show();
  EXPECT_TRUE(GLUI_TestClick(panel, "Press"));
}

TEST_F(GluiTest, ACallbackMayCloseItsOwnPanelOrOpenAnother) {
  gSelfClosing = Open("Closing");
  gSelfClosing->add_button("Close", 0, CloseOwnPanel);
  int live = 0;
  GLUI_Checkbox* box = gSelfClosing->add_checkbox("Still here", &live);
  ASSERT_TRUE(GLUI_TestClick(gSelfClosing, "Close"));
  EXPECT_TRUE(gSelfClosing->is_closed());
  EXPECT_EQ(gSelfClosing->get_glut_window_id(), 0);
  EXPECT_EQ(GLUI_Master.find_glui_by_window_id(0), nullptr);
  box->set_int_val(1);  // game code may still hold its controls
  EXPECT_EQ(live, 1);
  gSelfClosing->show();
  gSelfClosing->close();
  GLUI_PumpFrame();

  GLUI* opener = Open("Opener");
  opener->add_button("Open", 0, OpenAnotherPanel);
  ASSERT_TRUE(GLUI_TestClick(opener, "Open"));
  ASSERT_NE(gOpenedByCallback, nullptr);
  opened.push_back(gOpenedByCallback);
  gOpenedByCallback->add_button("Inner");
  EXPECT_TRUE(GLUI_TestClick(gOpenedByCallback, "Inner"));
}

// Fault mended: a window manager's close button (or Alt+F4) closed the
// control panel or the debug window for good; freeglut destroys a window asked
// to close, whatever its callbacks say. Panels close with the game only.
TEST_F(GluiTest, AWindowManagersCloseLeavesEveryPanelOpen) {
  CreateDebugWindow();
  GetDebugWindow()->SetMirrorToStdout(false);
  OpenDebugWindowView();
  const std::pair<const char*, GLUI*> rows[] = {{"a panel of controls", Open("Quorvel Control Panel")},
                                                {"the debug window", GLUI_GetDebugView()}};
  for (const auto& [name, panel] : rows) {
    ASSERT_NE(panel, nullptr) << name;
    const int window = panel->get_glut_window_id();
    Sys_CloseWindowAsAManagerForTest(window);
    EXPECT_FALSE(panel->is_closed()) << name;
    EXPECT_EQ(GLUI_Master.find_glui_by_window_id(window), panel) << name;
  }
}

TEST_F(GluiTest, PanelsInsideColumnsAndRolloutsAreReachable) {
  int a = 0, b = 0;
  GLUI* panel = Open("Layout");
  GLUI_Panel* group = panel->add_panel("Flags");
  panel->add_checkbox_to_panel(group, "Left", &a);
  panel->add_column_to_panel(group, true);
  panel->add_checkbox_to_panel(group, "Right", &b);
  GLUI_Rollout* more = panel->add_rollout("More", false);
  panel->add_statictext_to_panel(more, "Hidden text");
  ASSERT_TRUE(GLUI_TestClick(panel, "Right"));
  EXPECT_EQ(b, 1);
  int x, y, w, h;
  EXPECT_FALSE(GLUI_TestControlRect(panel, "Hidden text", &x, &y, &w, &h));
  ASSERT_TRUE(GLUI_TestClick(panel, "More"));
  GLUI_PumpFrame();
  EXPECT_TRUE(GLUI_TestControlRect(panel, "Hidden text", &x, &y, &w, &h));
  EXPECT_TRUE(more->is_open());
}
