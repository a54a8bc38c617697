#include "modes/civ/cCivGameMode.h"

#include "app/AppGlobals.h"
#include "camera/Camera.h"
#include "camera/CameraControl.h"
#include "glf/DebugWindow.h"
#include "math/Scalar.h"
#include "modes/civ/CivAccess.h"
#include "modes/civ/CivCity.h"
#include "modes/civ/CivDebugFlags.h"
#include "modes/civ/CivHud.h"
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
  SetCivInputHooks({[this] { return mInput->GetPickPoint(); }, [this](cCivModeVehicle* v) { mInput->AddToSelection(v); }});
  mHud = new cCivHud();
  ReadCivDebugFlags();
  for (const std::string& line : cCivTuning::GetBoundReport()) DebugPrintf("%s", line.c_str());
}

cCivGameMode::~cCivGameMode() {
  SetCivInputHooks({});
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
  tDataModeShell::Update(ms);
}

void cCivGameMode::Enter() {
  mWorld->Enter();
  SetCameraScriptFile(gUseCivTestCamera ? ".\\Data\\Scripts\\civ_camera_experiment.txt" : ".\\Data\\Scripts\\civ_camera.txt");
  // The camera opens over the human's nearest city.
  if (cCivModeDecoratedCity* city = mWorld->NextPlayerCity()) {
    Ru::Math::Vector3 position = city->GetPosition();
    if (gUseCivTestCamera) {
      CameraFocusOnPoint(position.x, position.y, position.z);
    } else if (city->GetRecord()) {
      Ru::Math::Quaternion orientation = city->GetRecord()->GetOrientation();
      SetCameraAnchorFrame(&position.x, &orientation.x);
    }
  }
  tDataModeShell::Enter();
}

void cCivGameMode::Leave() {
  mWorld->Leave();
  mHud->Leave();
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

bool cCivGameMode::SniffTest() {
  for (int tick = 0; tick < 1200; ++tick) mWorld->Update(50);
  return true;
}

void cCivGameMode::ObjectAdded(Ko::cIGameData* object) { mSerializationController->ObjectAdded(object); }

void cCivGameMode::ObjectRemoved(Ko::cIGameData* object) { mWorld->ForgetObject(object); }

void cCivGameMode::BeforeLoad() {
  mSerializationController->BeforeLoad();
  mWorld->ClearFocusCycle();
}
