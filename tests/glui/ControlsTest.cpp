// Clicking, typing and live variables, driven through the panel's input queue.
#include <string>
#include <vector>

#include "tests/glui/GluiTestFixture.h"

namespace {

std::vector<int> gCalls;
int gWindowDuringCallback = 0;
void Record(int id) {
  gCalls.push_back(id);
  gWindowDuringCallback = glutGetWindow();
}

}  // namespace

TEST_F(GluiTest, ButtonsCallBackWithTheirIdsAfterTheFrameOnTheMainWindow) {
  gCalls.clear();
  GLUI* panel = Open("Buttons");
  panel->add_button("Save Game", 1, Record);
  panel->add_button("Load Game", 2, Record);
  ASSERT_TRUE(GLUI_TestClick(panel, "Load Game"));
  ASSERT_EQ(gCalls, std::vector<int>{2});
  EXPECT_EQ(gWindowDuringCallback, mainWindow);
  ASSERT_TRUE(GLUI_TestClick(panel, "Save Game"));
  EXPECT_EQ(gCalls, (std::vector<int>{2, 1}));
  EXPECT_FALSE(GLUI_TestClick(panel, "No Such Button"));
}

TEST_F(GluiTest, CheckboxFollowsAndWritesItsLiveVariable) {
  gCalls.clear();
  int pause = 0;
  GLUI* panel = Open("Checks");
  GLUI_Checkbox* box = panel->add_checkbox("Pause", &pause, 7, Record);
  ASSERT_TRUE(GLUI_TestClick(panel, "Pause"));
  EXPECT_EQ(pause, 1);
  EXPECT_EQ(gCalls, std::vector<int>{7});

  // Game code flips the variable (Ctrl+P): the control shows it without a callback.
  pause = 0;
  GLUI_PumpFrame();
  EXPECT_EQ(box->get_int_val(), 0);
  box->set_int_val(1);
  EXPECT_EQ(pause, 1);
  EXPECT_EQ(gCalls.size(), 1u);
}

TEST_F(GluiTest, PressAndReleaseArrivingTogetherStillClickOnce) {
  gCalls.clear();
  int flag = 0;
  GLUI* panel = Open("Quick");
  panel->add_checkbox("Wireframe", &flag, 5, Record);
  GLUI_PumpFrame();
  GLUI_PumpFrame();
  int x, y, w, h;
  ASSERT_TRUE(GLUI_TestControlRect(panel, "Wireframe", &x, &y, &w, &h));
  // Two whole clicks queued between frames, as a fast user on a slow frame gives them.
  for (int i = 0; i < 2; ++i) {
    GLUI_TestMouseButton(panel, GLUT_LEFT_BUTTON, GLUT_DOWN, x + 4, y + h / 2);
    GLUI_TestMouseButton(panel, GLUT_LEFT_BUTTON, GLUT_UP, x + 4, y + h / 2);
  }
  GLUI_PumpFrame();
  EXPECT_EQ(GLUI_TestPendingEvents(panel), 3u) << "one button change per frame";
  GLUI_PumpFrame();
  EXPECT_EQ(flag, 1) << "the first click is whole";
  GLUI_TestPumpUntilIdle();
  EXPECT_EQ(flag, 0) << "the second click toggled it back";
  EXPECT_EQ(gCalls, (std::vector<int>{5, 5}));
}

TEST_F(GluiTest, RadioButtonsGiveTheirOwnValues) {
  gCalls.clear();
  int mode = 0x501;
  GLUI* panel = Open("Fly/Swim UI");
  GLUI_RadioGroup* group = panel->add_radiogroup(&mode, 3, Record);
  panel->add_radiobutton_to_group(group, "UFO", 0);
  panel->add_radiobutton_to_group(group, "Fish", 0x501);
  panel->add_radiobutton_to_group(group, "Bird", 0x442);
  ASSERT_TRUE(GLUI_TestClick(panel, "Bird"));
  EXPECT_EQ(mode, 0x442);
  EXPECT_EQ(gCalls, std::vector<int>{3});
  ASSERT_TRUE(GLUI_TestClick(panel, "Bird"));
  EXPECT_EQ(gCalls.size(), 1u) << "choosing the chosen button changes nothing";

  int index = 0;
  GLUI_RadioGroup* plain = panel->add_radiogroup(&index);
  panel->add_radiobutton_to_group(plain, "First");
  panel->add_radiobutton_to_group(plain, "Second");
  ASSERT_TRUE(GLUI_TestClick(panel, "Second"));
  EXPECT_EQ(index, 1);
}

TEST_F(GluiTest, SpinnersStepAndClampToTheirLimits) {
  gCalls.clear();
  int speed = 15;
  float level = 504.0f;
  GLUI* panel = Open("Spinners");
  GLUI_Spinner* spinner = panel->add_spinner("Simulation Speed ", GLUI_SPINNER_INT, &speed, 4, Record);
  spinner->set_int_limits(0, 10, GLUI_LIMIT_CLAMP);
  EXPECT_EQ(speed, 10) << "a value outside new limits is pulled in";
  ASSERT_TRUE(GLUI_TestClick(panel, "Simulation Speed /+"));
  EXPECT_EQ(speed, 10);
  ASSERT_TRUE(GLUI_TestClick(panel, "Simulation Speed /-"));
  EXPECT_EQ(speed, 9);
  EXPECT_EQ(gCalls, (std::vector<int>{4, 4}));

  GLUI_Spinner* sea = panel->add_spinner("Sea Level", GLUI_SPINNER_FLOAT, &level);
  ASSERT_TRUE(GLUI_TestClick(panel, "Sea Level/+"));
  EXPECT_FLOAT_EQ(level, 504.1f);
  sea->set_int_limits(0, 1000);
  EXPECT_FLOAT_EQ(level, 504.1f) << "whole-number limits keep a float's fraction";
  sea->set_int_limits(0, 500);
  EXPECT_FLOAT_EQ(level, 500.0f);

  GLUI_Spinner* wrapping = panel->add_spinner("Wrap", GLUI_SPINNER_INT);
  wrapping->set_int_limits(0, 3, GLUI_LIMIT_WRAP);
  wrapping->set_int_val(4);
  EXPECT_EQ(wrapping->get_int_val(), 0);
  wrapping->set_int_val(-1);
  EXPECT_EQ(wrapping->get_int_val(), 3);
}

TEST_F(GluiTest, IntegerFieldsCommitOnReturnAndRejectJunk) {
  gCalls.clear();
  int weight = 3;
  GLUI* panel = Open("Pel's Game Mode Control Panel");
  panel->add_edittext("Line Formation", GLUI_EDITTEXT_INT, &weight, 0, Record);
  ASSERT_TRUE(GLUI_TestClick(panel, "Line Formation"));
  GLUI_TestTypeText(panel, "42");  // the click selected the old number
  GLUI_TestPumpUntilIdle();
  EXPECT_EQ(weight, 3) << "nothing is committed before Return";
  GLUI_TestTypeText(panel, "\r");
  GLUI_TestPumpUntilIdle();
  EXPECT_EQ(weight, 42);
  EXPECT_EQ(gCalls, std::vector<int>{0});

  // A number too large for an int is refused, not wrapped into garbage.
  ASSERT_TRUE(GLUI_TestClick(panel, "Line Formation"));
  GLUI_TestTypeText(panel, "99999999999\r");
  GLUI_TestPumpUntilIdle();
  EXPECT_EQ(weight, 42);
  EXPECT_EQ(gCalls.size(), 1u);

  // New limits pull the held value in at once, whichever kind they are given in.
  float depth = 7.5f;
  GLUI_EditText* field = panel->add_edittext("Depth", GLUI_EDITTEXT_FLOAT, &depth);
  field->set_int_limits(0, 5);
  EXPECT_FLOAT_EQ(depth, 5.0f);
}

TEST_F(GluiTest, ASpinnerLeftMidEditForAnotherWindowDropsItsTyping) {
  static int keyboardAt = 0;  // the window X gives the keyboard to, as a click does
  Sys_SetKeyboardProbeForTest([](int window) { return window == keyboardAt; });
  int speed = 4;
  GLUI* panel = Open("Civ Deubg Panel");
  panel->add_spinner("Simulation Speed ", GLUI_SPINNER_INT, &speed)->set_int_limits(0, 10);
  keyboardAt = panel->get_glut_window_id();
  ASSERT_TRUE(GLUI_TestClick(panel, "Simulation Speed "));
  GLUI_TestKey(panel, 1, true, GLUT_ACTIVE_CTRL);  // Ctrl+A, then the new number
  GLUI_TestKey(panel, 1, false, GLUT_ACTIVE_CTRL);
  GLUI_TestTypeText(panel, "9");
  GLUI_TestPumpUntilIdle();
  // The game window is clicked: the field must not go on showing 9 while the
  // game uses 4, nor take 9 from a later Return.
  keyboardAt = mainWindow;
  GLUI_TestPumpUntilIdle();
  GLUI_TestTypeText(panel, "\r");
  GLUI_TestPumpUntilIdle();
  EXPECT_EQ(speed, 4);
}

TEST_F(GluiTest, TextFieldsAndListsWriteTheirVariables) {
  std::string name = "old";
  int choice = 10;
  GLUI* panel = Open("Texts");
  panel->add_edittext("Name", GLUI_EDITTEXT_TEXT, &name);
  GLUI_Listbox* list = panel->add_listbox("Owner", &choice);
  list->add_item(10, "Ten");
  list->add_item(20, "Twenty");
  EXPECT_FALSE(list->add_item(20, "Again"));
  ASSERT_TRUE(GLUI_TestClick(panel, "Owner/Twenty"));
  EXPECT_EQ(choice, 20);

  ASSERT_TRUE(GLUI_TestClick(panel, "Name"));
  GLUI_TestKey(panel, 1, true, GLUT_ACTIVE_CTRL);  // Ctrl+A, as GLUT reports it
  GLUI_TestKey(panel, 1, false, GLUT_ACTIVE_CTRL);
  GLUI_TestTypeText(panel, "Quorvel\r");
  GLUI_TestPumpUntilIdle();
  EXPECT_EQ(name, "Quorvel");
}

TEST_F(GluiTest, PointerMotionDoesNotReleaseAHeldCtrl) {
  std::string name = "old";
  GLUI* panel = Open("Motion");
  panel->add_edittext("Name", GLUI_EDITTEXT_TEXT, &name);
  ASSERT_TRUE(GLUI_TestClick(panel, "Name"));
  int x, y, w, h;
  ASSERT_TRUE(GLUI_TestControlRect(panel, "Name", &x, &y, &w, &h));
  // Ctrl+A, with the pointer moving before the frame that handles the key.
  GLUI_TestKey(panel, 1, true, GLUT_ACTIVE_CTRL);
  GLUI_TestMouseMove(panel, x + 2, y + 2);
  GLUI_TestKey(panel, 1, false, GLUT_ACTIVE_CTRL);
  GLUI_TestTypeText(panel, "Quorvel\r");
  GLUI_TestPumpUntilIdle();
  EXPECT_EQ(name, "Quorvel");
}
