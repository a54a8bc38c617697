// The hut of a tribe: its drawn scene object, the nest meter above it, its
// saved id, and the sites around it where members rest, heal, eat, idle and
// nest. Whoever places the hut gives it its scene object.
#pragma once

#include <cstdint>

#include "math/Types.h"
#include "modes/tribe/TribeSerializable.h"
#include "sim/behavior/InteractionTarget.h"
#include "sim/gamedata/GameData.h"

class cSceneObject;
class cSceneShapeHealthMeter;
class cTribe;

// Hut ids: each new hut takes the next value; loaded ids raise it.
extern uint32_t gTribeHutIdCounter;

class cTribeHut : public Ko::cGameData, public cILocation, public cIInteractionTarget, public cISerializableObject {
 public:
  static constexpr uint32_t kTypeId = 0x2E9E04E8;
  // The offsets of the sites from the hut position, before they are put on the ground.
  static constexpr float kSiteOffset = 5.0f;
  static constexpr float kNestOffset = 3.535f;
  static constexpr float kNestMeterHeight = 3.6f;  // above the ground under the hut

  cTribeHut();  // takes the next hut id
  Ko::cIGameData* Create() override { return new cTribeHut(); }
  uint32_t GetTypeId() override { return kTypeId; }

  uint32_t GetId() const { return mId; }
  void SetId(uint32_t id);  // raises the hut id counter to it, so loaded ids never repeat

  // The site, or the position of the tribe's Rest (Heal) Tool when it owns one.
  const Ru::Math::Vector3* GetRestSite();
  const Ru::Math::Vector3* GetHealSite();
  const Ru::Math::Vector3* GetFoodSite() const { return &mFoodSite; }
  const Ru::Math::Vector3* GetIdleSite() const { return &mIdleSite; }
  const Ru::Math::Vector3* GetNestSite() const { return &mNestSite; }

  // The breeding progress bar, 3.6 units above the ground under the hut.
  void ShowNestMeter(bool show);
  void SetNestMeterValue(float value);
  cSceneObject* GetNestMeter() const { return mNestMeterObject; }

  void SetTribe(cTribe* tribe) { mTribe = tribe; }
  cTribe* GetTribe() const { return mTribe; }

  cSceneObject* GetSceneObject() const { return mSceneObject; }
  // The hut does not delete a scene object it is given until ReleaseSceneObject.
  void SetSceneObject(cSceneObject* object) { mSceneObject = object; }
  // Takes the scene object out of the scene and deletes it (it holds a
  // reference on the hut, so a removed hut goes only after this).
  void ReleaseSceneObject();

  // The scene object's position (the hut's own copy while it has none).
  const float* GetPosition() override;
  Ru::Math::Vector3 GetPositionVector() {
    const float* p = GetPosition();
    return Ru::Math::Vector3{p[0], p[1], p[2]};
  }
  const Ru::Math::Quaternion& GetOrientation() const;
  void SetOrientation(const Ru::Math::Quaternion& orientation);
  // Moves the scene object and puts every site on the ground around the new place.
  void SetPosition(const Ru::Math::Vector3& position);

  // Position, then the scene object's orientation.
  void Write(cMemoryStream& stream, uint32_t version) override;
  void Read(cMemoryStream& stream, uint32_t version) override;
  static constexpr uint32_t kOwnPartBytes = 12 + 16;

  // A hut made and thrown away at once (a loaded tribe's own, the prototype
  // tribe's) hands its id back when it was the last one given, so loading
  // does not use up ids.
  void GiveBackId() {
    if (mId == gTribeHutIdCounter) --gTribeHutIdCounter;
  }
  static uint32_t PeekNextId() { return gTribeHutIdCounter + 1; }
  static void ResetIdCounterForTest(uint32_t last = 0) { gTribeHutIdCounter = last; }

 protected:
  ~cTribeHut() override;

 private:
  cSceneObject* mSceneObject = nullptr;
  cSceneObject* mNestMeterObject = nullptr;
  cSceneShapeHealthMeter* mNestMeterShape = nullptr;
  uint32_t mId;
  cTribe* mTribe = nullptr;
  Ru::Math::Vector3 mRestSite, mHealSite, mFoodSite, mIdleSite, mNestSite;
  Ru::Math::Vector3 mPosition;     // mirrors the scene object's, for a hut without one
  Ru::Math::Quaternion mOrientation;
  Ru::Math::Vector3 mToolSite;     // where GetRestSite/GetHealSite copied a tool's position
};
