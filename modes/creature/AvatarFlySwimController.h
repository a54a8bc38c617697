// Flies and swims the player's creature under the keys of "creature_keys.txt":
// MOVE forwards and back, TURN about its up, CLIMB up and (negative) down. Over
// land and sea it flies between the ground (or the sea surface) and a ceiling;
// over the sea it may dive and swim down to the sea floor, slower. Two marker
// objects follow it, their wing shapes beating while it flies, and the camera
// follows it.
#pragma once

#include <memory>
#include <string>

#include "input/InputEventHandler.h"
#include "input/KeyBindings.h"
#include "modes/creature/AvatarTuningData.h"
#include "modes/creature/CreatureController.h"

class cIGameMode;
class cCreatureModeCreature;
class cSceneObject;

class cAvatarFlySwimController : public cICreatureController, public cIInputEventHandler {
 public:
  static constexpr const char* kKeyFile = ".\\Data\\Scripts\\creature_keys.txt";
  static constexpr const char* kCameraScript = ".\\Data\\Scripts\\creature_camera.txt";

  // The owner mode may be null (a stand-alone bench). Neither the creature
  // nor the markers are owned. The tuning file lies in the data folder.
  cAvatarFlySwimController(cIGameMode* owner, cCreatureModeCreature* creature, cSceneObject* firstMarker,
                           cSceneObject* secondMarker, const std::string& tuningFile,
                           const std::string& dataFolder = kTuningDataFolder);

  void Update(float seconds) override;
  void Activate() override;
  void SetupCamera() override;
  void Deactivate() override;
  void HandleInputEvent(const char* action, float value, unsigned int framesHeld) override;

  cIGameMode* GetOwnerMode() const { return mOwner; }
  bool IsActive() const { return mActive; }
  bool IsSwimming() const { return mSwimming; }
  float GetSpeed() const { return mSpeed; }
  float GetFlapPhase() const { return mFlapPhase; }
  const cAvatarTuningData& GetTuning() const { return mTuning; }

 private:
  void FollowWithMarkersAndCamera();

  cIGameMode* mOwner;
  cCreatureModeCreature* mCreature;
  cSceneObject* mMarkers[2];
  cAvatarTuningData mTuning;
  cKeyBindings mKeys;
  bool mActive = false;
  // The actions' values gathered since the last update (several held keys add up).
  float mMove = 0.0f, mTurn = 0.0f, mClimb = 0.0f;
  float mSpeed = 0.0f;  // along the heading, units per second
  bool mSwimming = false;
  float mFlapPhase = 0.0f;
};
