// A float spinner refuses an infinite number; a key let go over a panel is let
// go for the game too, while a key pressed there is never seen by it.
#include "GluiTestFixture.h"
#include "platform/Sys.h"

TEST_F(GluiTest, AFloatSpinnerRefusesAnInfiniteNumberWithoutACallback) {
  float level = 504.0f;
  GLUI* panel = Open("Levels");
  panel->add_spinner("Sea Level", GLUI_SPINNER_FLOAT, &level, 3, [](int) { ++callbackCalls; });
  for (const char* typed : {"1e999\r", "-1e999\r", "12.5\r"}) {
    ASSERT_TRUE(GLUI_TestClick(panel, "Sea Level"));
    GLUI_TestKey(panel, 1, true, GLUT_ACTIVE_CTRL);  // Ctrl+A selects the old number
    GLUI_TestKey(panel, 1, false, GLUT_ACTIVE_CTRL);
    GLUI_TestTypeText(panel, typed);
    GLUI_TestPumpUntilIdle();
  }
  EXPECT_EQ(level, 12.5f);
  EXPECT_EQ(callbackCalls, 1);
}

TEST_F(GluiTest, KeysLetGoOverAPanelAreLetGoForTheGameButPressesStayInThePanel) {
  constexpr int kW = 0x57, kUp = 0x26;
  GLUI* panel = Open("Keys");
  Sys_ClearKeyStates();
  GLUI_TestKey(panel, 'w', true);
  EXPECT_FALSE(Sys_IsKeyDown(kW)) << "typing in a panel presses nothing in the game";
  Sys_SetKeyState(kW, true);  // held in the game's window, then let go over the panel
  Sys_SetKeyState(kUp, true);
  GLUI_TestKey(panel, 'w', false);
  EXPECT_FALSE(Sys_IsKeyDown(kW));
  EXPECT_TRUE(Sys_IsKeyDown(kUp));
  Sys_ClearKeyStates();
}
