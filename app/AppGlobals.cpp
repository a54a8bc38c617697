#include "app/AppGlobals.h"

#include "modes/city/cCityGameMode.h"
#include "modes/civ/cCivGameMode.h"
#include "modes/creature/cCreatureGameMode.h"
#include "modes/dev/flocktest/cFlockTestMode.h"
#include "modes/dev/stresstest/cPelsGameMode.h"
#include "modes/dev/space/cSpaceGameMode.h"
#include "modes/dev/testbench/cTestGameMode.h"
#include "modes/dev/flyswim/cTovansGameMode.h"
#include "modes/tribe/cTribeGameMode.h"

cCreatureGameMode* gCreatureGameMode = nullptr;
cTribeGameMode* gTribeGameMode = nullptr;
cCityGameMode* gCityGameMode = nullptr;
cCivGameMode* gCivGameMode = nullptr;
cSpaceGameMode* gSpaceGameMode = nullptr;
cTestGameMode* gTestGameMode = nullptr;
cPelsGameMode* gPelsGameMode = nullptr;
cTovansGameMode* gTovansGameMode = nullptr;
cFlockTestMode* gFlockTestMode = nullptr;

cIGameMode* gCurrentGameMode = nullptr;
cIGameMode* gPendingGameMode = nullptr;

int gMainWindow = 0;
GLUI* gControlPanel = nullptr;
int gPanelX = 0, gPanelY = 0;
int32_t gUseCivTestCamera = 0;
uint8_t gSoundEnabled = 1;
uint8_t gAutoPause = 1;
int32_t gUserPause = 0, gShowDebugInfo = 0, gWireframe = 0, gLightsOn = 1;
int32_t gMouseInWindow = 1;
int32_t gPaused = 0;
GLUI_Checkbox* gPauseCheckbox = nullptr;
GLUquadric* gQuadric = nullptr;
cAppState* gAppState = nullptr;

float gFrameSeconds = 0.0f;
int gMouseX = 0, gMouseY = 0;

cIGameMode* const* AllGameModes() {
  static cIGameMode* modes[kGameModeCount];
  modes[0] = gCreatureGameMode;
  modes[1] = gTribeGameMode;
  modes[2] = gCityGameMode;
  modes[3] = gCivGameMode;
  modes[4] = gSpaceGameMode;
  modes[5] = gTestGameMode;
  modes[6] = gPelsGameMode;
  modes[7] = gTovansGameMode;
  modes[8] = gFlockTestMode;
  return modes;
}
