#include "modes/civ/cCivGameMode.h"

#include "app/AppGlobals.h"
#include "camera/CameraControl.h"
#include "math/Scalar.h"
#include "glf/DebugWindow.h"
#include "modes/civ/CivAccess.h"
#include "modes/civ/CivDebugFlags.h"
#include "modes/civ/CivPlayers.h"
#include "modes/civ/CivRecords.h"

int32_t gCivConstrainLatitude = 0;
int32_t gCivShowMap = 1;
cGameStopwatch gCivPressStopwatch;

// 1 at 500 and closer, falling linearly to 0 at 1100 and beyond.
float CivCameraLatitudeLimit(float cameraDistance) {
  if (!gCivConstrainLatitude) return 1.0f;
  float d = ClampFloat(cameraDistance, 500.0f, 1100.0f);
  return 1.0f + (500.0f - d) / 600.0f;
}

cCivGameMode::cCivGameMode() : tDataModeShell("Civ") {
  RegisterCivRecordTypes();
  ReadCivDebugFlags();
  for (const std::string& line : cCivTuning::GetBoundReport()) DebugPrintf("%s", line.c_str());
  cCivTuningGeneral* general = cCivTuning::GetGeneral();
  mPlayers = new cCivPlayers(general->NumPlayers, ChooseCivHumanPlayer(*general));
}

cCivGameMode::~cCivGameMode() { delete mPlayers; }

cCivPlayers* GetCivPlayers() { return gCivGameMode ? gCivGameMode->GetPlayers() : nullptr; }

void cCivGameMode::Enter() {
  SetCameraScriptFile(gUseCivTestCamera ? ".\\Data\\Scripts\\civ_camera_experiment.txt" : ".\\Data\\Scripts\\civ_camera.txt");
  tDataModeShell::Enter();
}
