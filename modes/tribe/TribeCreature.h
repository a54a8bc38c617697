// One member of a tribe: a saved game-data object, an agent the behaviour
// controller drives, a place and a target for other creatures' interactions,
// and an actor with named attributes. Its body (position, facing, health,
// hunger, energy, the drawn scene object) lives in the creature mode's common
// record, which it wraps; the tribe adds the tribe link, the role and its
// model, carried food, speed factor and velocity, and the meters above it.
#pragma once

#include <cstdint>

#include "math/Types.h"
#include "modes/tribe/TribeActor.h"
#include "modes/tribe/TribeSerializable.h"
#include "sim/behavior/InteractionTarget.h"
#include "sim/behavior/MemberInteractionAgent.h"
#include "sim/gamedata/GameData.h"
#include "sim/gamedata/RefPtr.h"

class cCreatureCommon;
class cISceneShape;
class cSceneObject;
class cSceneShapeHealthMeter;
class cTribe;

class cTribeCreature : public Ko::cGameData,
                       public cMemberInteractionAgent,
                       public cILocation,
                       public cISerializableObject,
                       public cIInteractionTarget,
                       public cTribeActor {
 public:
  static constexpr uint32_t kTypeId = 0xAE977884;
  static constexpr uint32_t kAgentInterfaceId = 0xAE9CB0FA;  // the one id Cast answers
  static constexpr uint32_t kNoRole = 100;                    // a role never set
  static constexpr uint32_t kRoleCount = 10;                  // roles 0 to 9; 2 and 5 have no model of their own

  // The first creature of a run (the registered prototype) builds the
  // candidate list and loads the role models.
  cTribeCreature();

  // A new creature, already registered with the behaviour controller.
  Ko::cIGameData* Create() override;
  uint32_t GetTypeId() override { return kTypeId; }
  // One count governs the creature: the agent's counting is the game data's.
  int AddRef() override { return Ko::cGameData::AddRef(); }
  int Release() override { return Ko::cGameData::Release(); }
  void* Cast(uint32_t interfaceId) override;
  tCandidateList* GetCandidates() override;

  // The wrapped body record (a reference is held). The creature owns the
  // record's scene object from then on, unless the record owns it itself (a
  // loaded record): it deletes the bodies it replaces (RefreshRoleModel) and,
  // through DropSceneObjects, the last one.
  cCreatureCommon* GetCommon() const { return mCommon.Get(); }
  void SetCommon(cCreatureCommon* common);

  void SetPosition(const Ru::Math::Vector3& position);  // the body's position
  void SetOrientation(const Ru::Math::Quaternion& orientation);
  // The movement target (the record's own point); the origin means none.
  const Ru::Math::Vector3* GetDestination();
  // A radius below 0 means twice the tribe selection radius; 0 the point
  // itself on the surface; above 0 a random surface point within it.
  void SetDestinationNear(const Ru::Math::Vector3& point, float radius);
  bool HasArrived(float radius);  // a radius below 0 counts as 1; no destination: true
  void MoveForward(float seconds, float speed);  // also sets the velocity; nothing for seconds <= 0
  // Forwarded to the record: turn towards a point (the caller then moves), turn about up.
  void SteerTowards(const Ru::Math::Vector3& target, float seconds, float speed, float turnRate);
  void TurnAboutUp(float angle);

  float GetEnergy() const;
  float GetHealth() const;
  float GetHunger() const;
  void SetEnergy(float energy);  // values below 0 are stored as 0, likewise for health and hunger
  void SetHealth(float health);
  void SetHunger(float hunger);

  float GetSpeed() const;  // tuned creature speed x speed factor
  float GetSpeedFactor() const { return mSpeedFactor; }
  void SetSpeedFactor(float factor) { mSpeedFactor = factor; }
  float GetRestTime() const { return mRestTime; }
  void SetRestTime(float seconds) { mRestTime = seconds; }
  float GetCarriedFood() const { return mCarriedFood; }
  void SetCarriedFood(float food) { mCarriedFood = food; }
  // Eats from the carried food: hunger rises by what the food buys (one
  // hunger point costs eatfood / 100), never past 100, and the food spent
  // leaves the carried food, never below 0.
  void EatCarriedFood();

  void ShowHealthMeter(bool show);
  void SetHealthMeterValue(float value);
  cSceneObject* GetHealthMeter() const { return mHealthMeter; }
  // Three bars H, E, F over the creature, for the hover text and the HUD.
  void ShowStatusMeter(bool show);
  void UpdateStatusMeter();
  cSceneObject* GetStatusMeter() const { return mStatusMeter; }

  cTribe* GetTribe() const { return mTribe; }
  void SetTribe(cTribe* tribe) { mTribe = tribe; }
  uint32_t GetRole() const { return mRole; }
  void SetRole(uint32_t role);  // a new role swaps the drawn model
  void SetColour(const Ru::Math::Vector3& colour);  // the body's colour

  // Draws the body with the model of the current role; a role without a
  // model of its own (2, 5, never set) draws the NoRole model.
  void RefreshRoleModel();
  // Takes the meters and the body out of the scene and deletes them. Bodies
  // hold a reference to their creature, so the creature is freed only after
  // this (the object controller calls it when it destroys a creature).
  void DropSceneObjects();

  // The model of a role, never null (the models are loaded on first need).
  static cISceneShape* GetRoleModel(uint32_t role);
  static const char* GetRoleModelFile(uint32_t role);  // ".\Data\models\TribalGame_*.obj"
  static bool AreClassDataBuilt();

  // cILocation and cTribeActor: the body's place, facing and last velocity.
  const float* GetPosition() override;
  const Ru::Math::Quaternion* GetOrientation() override;
  const Ru::Math::Vector3* GetVelocity() override { return &mVelocity; }

  // Saved fields: the role (u32) and the carried food (f32); read from version 2 on.
  void Write(cMemoryStream& stream, uint32_t version) override;
  void Read(cMemoryStream& stream, uint32_t version) override;

 protected:
  ~cTribeCreature() override;

 private:
  static void EnsureClassData();
  static void BuildCandidates();
  static void LoadRoleModels();

  void DeleteMeter(cSceneObject*& object, cSceneShapeHealthMeter*& shape);

  tRefPtr<cCreatureCommon> mCommon;
  cTribe* mTribe = nullptr;
  uint32_t mRole = kNoRole;
  float mCarriedFood = 0.0f;
  float mRestTime = 0.0f;
  float mSpeedFactor = 1.0f;
  Ru::Math::Vector3 mVelocity;
  Ru::Math::Vector3 mPositionCache;        // what GetPosition hands out as three floats
  Ru::Math::Quaternion mOrientationCache;  // what GetOrientation hands out
  cSceneObject* mHealthMeter = nullptr;
  cSceneShapeHealthMeter* mHealthMeterShape = nullptr;
  cSceneObject* mStatusMeter = nullptr;
  cSceneShapeHealthMeter* mStatusMeterShape = nullptr;
};
