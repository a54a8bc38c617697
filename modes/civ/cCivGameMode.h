#pragma once

#include <cstdint>

#include "app/GameClock.h"
#include "modes/ModeShell.h"
#include "modes/civ/CivTuning.h"  // start-up narrows the general block for the test camera

class cCivHud;
class cCivInputController;
class cCivPlayers;
class cCivSerializationController;
class cCivWorld;

// The civ mode: it owns the world, the players and the save bridge, scales
// each frame's time by the simulation speed, and keeps every civ object out
// of save files (it is their serializer, and it writes nothing).
class cCivGameMode : public tDataModeShell {
 public:
  // Builds the save bridge, the world (which registers the civ types and
  // chooses the human player) and the players; reads the debug switches and
  // names any tuning value it had to bound in the debug window.
  cCivGameMode();
  ~cCivGameMode() override;

  void Update(unsigned int ms) override;
  void OnMouseMove(int x, int y) override;
  void OnLeftButtonUp(int x, int y) override;
  void OnLeftButtonDown(int x, int y) override;
  void OnMiddleButtonUp(int x, int y) override;
  void OnMiddleButtonDown(int x, int y) override;
  void OnRightButtonUp(int x, int y) override;
  void OnRightButtonDown(int x, int y) override;
  void OnKeyPress(unsigned char key, int x, int y) override;
  void Enter() override;  // the world, then the civ camera (the experimental one with the test camera)
  void Leave() override;
  void OnRender() override;
  void PreSniffTest() override;  // every city and vehicle plays as an NPC
  bool SniffTest() override;     // 1200 ticks of 50 ms in a row

  void ObjectAdded(Ko::cIGameData* object) override;
  void ObjectRemoved(Ko::cIGameData* object) override;  // the world lets go of it
  void BeforeLoad() override;

  cCivWorld* GetWorld() { return mWorld; }
  cCivHud* GetHud() { return mHud; }
  cCivPlayers* GetPlayers() { return mPlayers; }
  cCivInputController* GetInput() { return mInput; }

 private:
  void PublishHudView();

  cCivSerializationController* mSerializationController = nullptr;
  cCivWorld* mWorld = nullptr;
  cCivPlayers* mPlayers = nullptr;
  cCivInputController* mInput = nullptr;
  cCivHud* mHud = nullptr;                // draws nothing yet
};

// The civ debug panel's "Simulation Speed " (0 to 10): every tick's time is multiplied by it.
extern int32_t gCivSimulationSpeed;

// Behind the civ debug panel's "Camera Constraint: Constrain Latitude" and "Show Map" check boxes.
extern int32_t gCivConstrainLatitude;
extern int32_t gCivShowMap;
// Runs while the civ input controller's mouse button is down.
extern cGameStopwatch gCivPressStopwatch;

float CivCameraLatitudeLimit(float cameraDistance);
