// A herd of prey animals that tribes hunt: a coloured pyramid scaled by the
// animals left, its home ground, movement target, hunt history and the
// creature that frightens it. Its behaviour over time lives with the object
// controller's herd code; this is the record.
#pragma once

#include <cstdint>

#include "app/GameClock.h"
#include "math/Types.h"
#include "modes/tribe/TribeActor.h"
#include "modes/tribe/TribeSerializable.h"
#include "sim/behavior/InteractionTarget.h"
#include "sim/gamedata/GameData.h"

class cSceneObject;
class cSceneShapeHealthMeter;
class cSceneShapePyramid;
class cTribeCreature;

enum eTribeHerdType : uint32_t {
  kTribeHerdNone = 0,
  kTribeHerdBigGame = 1,
  kTribeHerdRunts = 2,
  kTribeHerdPredators = 3,
  kTribeHerdTypeCount = 4
};

// Hunts of each herd type (0 to 3) in this game; types 1 to 3 are saved with every herd.
extern uint32_t gHerdHuntCounts[kTribeHerdTypeCount];

class cTribeHerd : public cILocation,
                   public Ko::cGameData,
                   public cISerializableObject,
                   public cIInteractionTarget,
                   public cTribeActor {
 public:
  static constexpr uint32_t kTypeId = 0x6F21D472;
  // The object controller marks a herd it has finished with this count.
  static constexpr int32_t kFinishedCount = -42;
  static constexpr float kShapeScale = 2.0f;
  static constexpr float kMeterHeight = 3.0f;
  // SetTarget looks this many times for land near a point under water.
  static constexpr int kLandSearchTries = 1000;

  cTribeHerd();  // no scene object
  // The factory: a herd with its pyramid in the scene and both stopwatches running.
  Ko::cIGameData* Create() override;
  uint32_t GetTypeId() override { return kTypeId; }

  // ---- where it is ----
  const float* GetPosition() override;  // the pyramid's (the herd's own copy while it has none)
  void SetPosition(const Ru::Math::Vector3& position);
  const Ru::Math::Quaternion* GetOrientation() override;
  void SetOrientation(const Ru::Math::Quaternion& orientation);
  const Ru::Math::Vector3* GetVelocity() override { return &mVelocity; }
  void SetVelocity(const Ru::Math::Vector3& velocity) { mVelocity = velocity; }
  void GetHome(Ru::Math::Vector3& centre, float& radius) const {
    centre = mHomeCentre;
    radius = mHomeRadius;
  }
  void SetHome(const Ru::Math::Vector3& centre, float radius) {
    mHomeCentre = centre;
    mHomeRadius = radius;
  }
  const Ru::Math::Vector3* GetTarget() const { return &mTarget; }
  // The point, or the first land point found near it (at most kLandSearchTries
  // looks); when none is found a herd that already has a target keeps it.
  void SetTarget(const Ru::Math::Vector3& point);

  // ---- what it is ----
  uint32_t GetType() const { return mType; }
  void SetType(uint32_t type);  // colours the pyramid: 1 yellow, 2 green, 3 red
  uint32_t GetSize() const { return mSize; }
  void SetSize(uint32_t size);  // then SetCount(size)
  // Animals left. Signed: the finished mark is negative and "none left" is 0 or below.
  int32_t GetCount() const { return mCount; }
  // The pyramid's scale becomes 2 * (count / size)^(1/3), in floating point, 0 at 0 or below.
  void SetCount(int32_t count);
  // Marks a herd the object controller is done with, without touching its model.
  void MarkFinished() { mCount = kFinishedCount; }
  bool IsFinished() const { return mCount == kFinishedCount; }

  // ---- hunting ----
  // One hunt: times hunted and the type's counter + 1, the hunted stopwatch
  // restarted, one animal fewer, and the home moved one radius away from the
  // player's hut (from `awayFrom` in the second form).
  void OnHunted();
  void OnHunted(const Ru::Math::Vector3& awayFrom);
  void SetHunted(uint8_t hunted) { mHunted = hunted; }
  uint8_t IsHunted() const { return mHunted; }
  void SetThreat(cTribeCreature* threat) { mThreat = threat; }
  cTribeCreature* GetThreat() const { return mThreat; }
  uint32_t GetTimesHunted() const { return mTimesHunted; }
  void SetTimesHunted(uint32_t times) { mTimesHunted = times; }
  uint32_t GetTimeSinceCreation() const { return mLifeStopwatch.GetElapsed(); }
  uint32_t GetTimeSinceHunted() const { return mHuntedStopwatch.GetElapsed(); }

  static void ResetHuntCounts();
  static uint32_t GetHuntCount(uint32_t type);  // 0 for a type out of range
  static void SetHuntCount(uint32_t type, uint32_t count);  // ignored out of range

  // ---- drawing ----
  void ShowMeter(bool show);  // a bar 3 units above the herd
  void SetMeterValue(float value);
  cSceneObject* GetMeter() const { return mMeterObject; }
  cSceneObject* GetSceneObject() const { return mSceneObject; }
  cSceneShapePyramid* GetShape() const { return mShape; }
  // The pyramid and the meter leave the scene and are deleted (the pyramid
  // holds a reference on the herd, so a removed herd goes only after this).
  void ReleaseSceneObjects();

  // Type, position, orientation, then (version 6 on) times hunted, count,
  // home centre and radius, movement target and the hunt counters of types 1-3.
  void Write(cMemoryStream& stream, uint32_t version) override;
  void Read(cMemoryStream& stream, uint32_t version) override;
  static constexpr int32_t kMostAnimals = 1000;  // a herd script asks for at most this many
  static uint32_t OwnPartBytes(uint32_t version) { return version >= 6 ? 4 + 12 + 16 + 4 + 4 + 12 + 4 + 12 + 12 : 4 + 12 + 16; }

 protected:
  ~cTribeHerd() override;

 private:
  cSceneObject* mSceneObject = nullptr;
  cSceneShapePyramid* mShape = nullptr;
  uint32_t mType = 0;
  uint32_t mTimesHunted = 0;
  cGameStopwatch mLifeStopwatch;
  cGameStopwatch mHuntedStopwatch;
  uint32_t mSize = 1;
  int32_t mCount = 1;
  Ru::Math::Vector3 mHomeCentre;
  float mHomeRadius = 1.0f;
  Ru::Math::Vector3 mTarget;
  Ru::Math::Vector3 mVelocity;
  cTribeCreature* mThreat = nullptr;
  uint8_t mHunted = 0;
  cSceneObject* mMeterObject = nullptr;
  cSceneShapeHealthMeter* mMeterShape = nullptr;
  Ru::Math::Vector3 mPosition;  // mirrors the pyramid's, for a herd without one
  Ru::Math::Quaternion mOrientation;
};
