// The body record every mode's creatures share (creature, tribe and city):
// id, species, speed, the walking goal, hunger, energy and health, and the
// scene object that draws the creature. The modes wrap it; its steering turns
// the body and the caller moves it, so no creature is ever moved twice.
#pragma once

#include <cstdint>

#include "math/Types.h"
#include "sim/gamedata/GameData.h"

class cSceneObject;
class cSceneShapeCreature;

class cCreatureCommon : public Ko::cGameData {
 public:
  static constexpr uint32_t kTypeId = 0x4E8B5ABE;

  cCreatureCommon();  // the next id of the global counter; species 0; needs at 100
  Ko::cIGameData* Create() override { return new cCreatureCommon(); }
  uint32_t GetTypeId() override { return kTypeId; }

  uint32_t GetId() const { return mId; }
  void SetId(uint32_t id);  // also raises the counter past it, so new ids never repeat it
  int GetSpecies() const { return mSpecies; }
  void SetSpecies(int species) { mSpecies = species; }
  float GetSpeed() const { return mSpeed; }
  void SetSpeed(float speed) { mSpeed = speed; }
  float GetHealth() const { return mHealth; }
  void SetHealth(float health) { mHealth = health; }
  float GetHunger() const { return mHunger; }
  void SetHunger(float hunger) { mHunger = hunger; }
  float GetEnergy() const { return mEnergy; }
  void SetEnergy(float energy) { mEnergy = energy < 0.0f ? 0.0f : energy; }

  // The record's own point: the walking goal; the origin means "no goal".
  const Ru::Math::Vector3& GetPosition() const { return mGoal; }
  void SetPosition(const Ru::Math::Vector3& goal) { mGoal = goal; }

  // The body. A record made by loading owns the scene object it made and
  // deletes it; one set by a mode stays the mode's.
  cSceneObject* GetSceneObject() const { return mSceneObject; }
  void SetSceneObject(cSceneObject* object);
  bool OwnsSceneObject() const { return mOwnsSceneObject; }
  // The body's place and facing, forwarded; without a body the getters answer
  // the origin and the identity and the setters do nothing.
  Ru::Math::Vector3 GetObjectPosition() const;
  void SetObjectPosition(const Ru::Math::Vector3& position);
  Ru::Math::Quaternion GetObjectOrientation() const;
  void SetObjectOrientation(const Ru::Math::Quaternion& orientation);

  // Turns the body about its own up axis towards the point by at most
  // turnRate * seconds radians and sets the speed to `speed` scaled by how
  // well the body then faces the point (none when it faces away). Does not move.
  void SteerTowards(const Ru::Math::Vector3& target, float seconds, float speed, float turnRate);
  // Moves the body along its heading (local -z) and back onto the planet's
  // surface, upright there.
  void MoveForward(float distance);
  // Turns the body about its own up axis: (0, sin(a/2), 0, cos(a/2)) applied first.
  void TurnAboutUp(float angle);
  // Straight-line distance from the body to the goal; 0 with no goal or no body.
  float GetDistanceToTarget() const;

  // The city keeps its creatures out of saved games; their records write nothing.
  bool IsKeptInSaves() const { return mKeptInSaves; }
  void SetKeptInSaves(bool kept) { mKeptInSaves = kept; }

  // The shared body shape of creatures that have no shape of their own kind.
  static cSceneShapeCreature* GetBodyShape();

  static uint32_t PeekNextId();                 // the id the next record will get
  static void ResetIdCounterForTest(uint32_t last = 0);

 protected:
  ~cCreatureCommon() override;

 private:
  friend class cCommonCreatureManager;  // the loader gives a loaded record a body it owns
  void AdoptSceneObject(cSceneObject* object);

  uint32_t mId;
  int mSpecies = 0;
  float mSpeed = 0.0f;
  Ru::Math::Vector3 mGoal{0.0f, 0.0f, 0.0f};
  float mHunger = 100.0f;
  float mEnergy = 100.0f;
  float mHealth = 100.0f;
  cSceneObject* mSceneObject = nullptr;
  bool mOwnsSceneObject = false;
  bool mKeptInSaves = true;
};
