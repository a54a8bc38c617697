// The application's globals: the nine modes, the current and pending mode,
// the main window and the flags behind the command line and the control panel.
#pragma once

#include <cstdint>

class cIGameMode;
class cCreatureGameMode;
class cTribeGameMode;
class cCityGameMode;
class cCivGameMode;
class cSpaceGameMode;
class cTestGameMode;
class cPelsGameMode;
class cTovansGameMode;
class cFlockTestMode;
class cAppState;
class GLUI;
class GLUI_Checkbox;
struct GLUquadric;

extern cCreatureGameMode* gCreatureGameMode;
extern cTribeGameMode* gTribeGameMode;
extern cCityGameMode* gCityGameMode;
extern cCivGameMode* gCivGameMode;
extern cSpaceGameMode* gSpaceGameMode;
extern cTestGameMode* gTestGameMode;
extern cPelsGameMode* gPelsGameMode;
extern cTovansGameMode* gTovansGameMode;
extern cFlockTestMode* gFlockTestMode;

extern cIGameMode* gCurrentGameMode;
extern cIGameMode* gPendingGameMode;   // switched to after the frame is drawn

extern int gMainWindow;
extern GLUI* gControlPanel;
extern int gPanelX, gPanelY;           // where the next panel window opens
extern int32_t gUseCivTestCamera;
extern uint8_t gSoundEnabled;
extern uint8_t gAutoPause;
extern int32_t gUserPause, gShowDebugInfo, gWireframe, gLightsOn;
extern int32_t gMouseInWindow;
extern int32_t gPaused;                 // the effective pause
extern GLUI_Checkbox* gPauseCheckbox;
extern GLUquadric* gQuadric;
extern cAppState* gAppState;

// Frame globals.
extern float gFrameSeconds;            // last frame's duration, not clamped
extern int gMouseX, gMouseY;

// The nine modes in creation order (null entries for modes not yet created).
cIGameMode* const* AllGameModes();     // nine entries
constexpr int kGameModeCount = 9;
