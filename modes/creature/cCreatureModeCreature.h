// A creature of the creature mode: a game object that wraps a shared creature
// record (its body), places it through its spatial part, carries out
// interactions (it may belong to a group) and is moved by at most one
// controller. Other subsystems ask it about combat, its opponent, its leader,
// its species and its loyalty.
#pragma once

#include <memory>

#include "math/Types.h"
#include "sim/behavior/MemberInteractionAgent.h"
#include "sim/behavior/SpatialObject.h"
#include "sim/gamedata/GameData.h"

class cCreatureCommon;
class cICreatureController;
class cSceneObject;

class cCreatureModeCreature : public Ko::cGameData, public cMemberInteractionAgent, public cISpatialObject {
 public:
  static constexpr uint32_t kTypeId = 0x4E8B5ABF;
  cCreatureModeCreature();
  Ko::cIGameData* Create() override { return new cCreatureModeCreature(); }
  uint32_t GetTypeId() override { return kTypeId; }

  // One count for both parts: the agent's references are the game object's.
  int AddRef() override { return Ko::cGameData::AddRef(); }
  int Release() override { return Ko::cGameData::Release(); }
  void* Cast(uint32_t) override { return nullptr; }
  tCandidateList* GetCandidates() override { return &mCandidates; }

  // The body record; linked, not referenced (its manager keeps it).
  void SetCommon(cCreatureCommon* common) { mCommon = common; }
  cCreatureCommon* GetCommon() const { return mCommon; }
  void SetId(uint32_t id);                // the linked record's id
  cSceneObject* GetSceneObject() const;  // the linked record's body; null without a record

  // Placement forwards to the body; without one the getters answer the origin and the identity.
  void SetPosition(const Ru::Math::Vector3& position) override;
  Ru::Math::Vector3 GetPosition() override;
  void SetOrientation(const Ru::Math::Quaternion& orientation) override;
  Ru::Math::Quaternion GetOrientation() override;

  // Takes ownership. A current controller is deactivated and replaced; the
  // new one sets up the camera.
  void SetController(cICreatureController* controller);
  cICreatureController* GetController() const { return mController.get(); }

  bool IsInCombat() const { return mInCombat; }
  void SetInCombat(bool inCombat) { mInCombat = inCombat; }
  // The nearest creature of the object manager's with another species, also
  // kept (with a reference) as the current opponent; null when there is none.
  cCreatureModeCreature* FindNearestOtherSpecies();
  cCreatureModeCreature* GetLeader() const { return mLeader; }
  void SetLeader(cCreatureModeCreature* leader) { mLeader = leader; }
  int GetSpecies() const;  // the record's species; 0 without a record
  float GetLoyalty() const { return mLoyalty; }
  void SetLoyalty(float loyalty);  // kept within 0..100

 protected:
  ~cCreatureModeCreature() override;

 private:
  void KeepOpponent(cCreatureModeCreature* opponent);

  cCreatureCommon* mCommon = nullptr;
  std::unique_ptr<cICreatureController> mController;
  bool mInCombat = false;
  cCreatureModeCreature* mLeader = nullptr;        // not referenced
  cCreatureModeCreature* mNearestOther = nullptr;  // holds a reference
  float mLoyalty = 0.0f;
  tCandidateList mCandidates;                      // the creature mode offers no interactions yet
};
