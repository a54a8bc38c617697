#include "modes/civ/cCivGameMode.h"

#include "app/AppGlobals.h"
#include "camera/Camera.h"
#include "camera/CameraControl.h"
#include "glf/DebugWindow.h"
#include "math/Scalar.h"
#include "modes/civ/CivAccess.h"
#include "modes/civ/CivCity.h"
#include "modes/civ/CivControlPanels.h"
#include "modes/civ/CivDebugFlags.h"
#include "modes/civ/CivDebugVehicle.h"
#include "modes/civ/CivHud.h"
#include "modes/civ/CivHudView.h"
#include "modes/civ/CivInputController.h"
#include "modes/civ/CivPlayers.h"
#include "modes/civ/CivRecords.h"
#include "modes/civ/CivSerializationController.h"
#include "modes/civ/CivWorld.h"

int32_t gCivSimulationSpeed = 1;
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
  mSerializationController = new cCivSerializationController();
  mWorld = new cCivWorld();
  mPlayers = new cCivPlayers(cCivTuning::GetGeneral()->NumPlayers, GetCivHumanPlayer());
  SetCivPlayers(mPlayers);
  mPlayers->GetRelationships()->SetExpelEmbassiesHook([this](int a, int b) { mWorld->ExpelEmbassies(a, b); });
  mInput = new cCivInputController();
  mHud = new cCivHud();
  ReadCivDebugFlags();
  for (const std::string& line : cCivTuning::GetBoundReport()) DebugPrintf("%s", line.c_str());
}

cCivGameMode::~cCivGameMode() {
  if (GetCivPlayers() == mPlayers) SetCivPlayers(nullptr);
  delete mHud;
  delete mInput;
  delete mPlayers;
  delete mWorld;
  delete mSerializationController;
}


void cCivGameMode::Update(unsigned int ms) {
  // The product is taken in floating point and truncated: speed 0 runs the tick with no time.
  uint32_t scaledMs = (uint32_t)((double)ms * (double)gCivSimulationSpeed);
  mInput->Update(scaledMs);
  mWorld->Update(scaledMs);
  mHud->Update(scaledMs);
  ArrangeCivControlPanels();
  tDataModeShell::Update(ms);
}

void cCivGameMode::Enter() {
  mWorld->Enter();
  // The camera opens over the human's nearest city.
  mHud->Enter(mWorld->NextPlayerCity());
  OpenCivControlPanels();
  tDataModeShell::Enter();
}

void cCivGameMode::Leave() {
  mWorld->Leave();
  mHud->Leave();
  HideCivControlPanels();
  tDataModeShell::Leave();
}

void cCivGameMode::OnRender() {
  cGameMode::OnRender();
  mWorld->Render();
  mHud->Draw();
}

void cCivGameMode::PreSniffTest() {
  mWorld->PrepareSniffTest();
  tDataModeShell::PreSniffTest();
}

void cCivGameMode::ObjectAdded(Ko::cIGameData* object) { mSerializationController->ObjectAdded(object); }

void cCivGameMode::ObjectRemoved(Ko::cIGameData* object) {
  mWorld->ForgetObject(object);
  ForgetCivHudObject(object);
  ForgetCivDebugObject(object);
}

void cCivGameMode::BeforeLoad() {
  mSerializationController->BeforeLoad();
  mWorld->ClearFocusCycle();
}
