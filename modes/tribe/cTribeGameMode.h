// The tribe mode: it owns the tribe's six controllers, makes the per-visit
// ones on Enter and deletes them on Leave, drives them once a frame in a fixed
// order, routes input to the input controller, draws the planet, the scene and
// the tribe overlays, and passes load notices to the serialization controller.
// The tribe world itself lives in the object controller and the data manager.
#pragma once

#include <cstdint>

#include "modes/ModeShell.h"
#include "sim/gamedata/GameData.h"

class cBehaviorController;
class cTribeDisplayController;
class cTribeInputController;
class cTribeObjectController;
class cTribeController;
class cTribeSerializationController;

class cTribeGameMode : public tModeShell<cGameMode>, public Ko::cIGameDataClient {
 public:
  static constexpr uint32_t kLongestFrameMs = 1000;  // a longer frame is stepped as this

  cTribeGameMode();  // the object and serialization controllers live as long as the mode
  ~cTribeGameMode() override;

  std::string GetName() override { return cGameMode::GetName(); }
  void OnMouseMove(int x, int y) override;
  void OnLeftButtonUp(int x, int y) override;
  void OnLeftButtonDown(int x, int y) override;
  void OnRightButtonUp(int x, int y) override;
  void OnRightButtonDown(int x, int y) override;
  void OnKeyPress(unsigned char key, int x, int y) override;
  void OnRender() override;
  void Update(unsigned int ms) override;
  void Enter() override;
  void Leave() override;

  // Load and removal notices reach the serialization controller whether or
  // not the mode is current.
  void ObjectRemoved(Ko::cIGameData* object) override;
  void ObjectLoaded(Ko::cIGameData* object) override;
  void BeforeLoad() override;
  void AfterLoad() override;

  // Null outside a visit (between Leave and the next Enter), except the two
  // that live as long as the mode.
  cBehaviorController* GetBehaviorController() { return mBehaviorController; }
  cTribeDisplayController* GetDisplayController() { return mDisplayController; }
  cTribeInputController* GetInputController() { return mInputController; }
  cTribeObjectController* GetObjectController() { return mObjectController; }
  cTribeController* GetTribeController() { return mTribeController; }
  cTribeSerializationController* GetSerializationController() { return mSerializationController; }

 private:
  cBehaviorController* mBehaviorController = nullptr;
  cTribeDisplayController* mDisplayController = nullptr;
  cTribeInputController* mInputController = nullptr;
  cTribeObjectController* mObjectController = nullptr;
  cTribeController* mTribeController = nullptr;
  cTribeSerializationController* mSerializationController = nullptr;
};

// The one tribe mode (the application's gTribeGameMode); null before start-up.
cTribeGameMode* GetTribeGameMode();
// That mode's object controller; null before start-up.
cTribeObjectController* GetTribeObjectController();
