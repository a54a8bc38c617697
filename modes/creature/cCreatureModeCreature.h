// A creature of the creature mode, as far as other subsystems ask about it:
// its combat flag, its current opponent, its leader, species, loyalty and
// whether it belongs to a group.
#pragma once

#include "sim/gamedata/GameData.h"

class cCreatureModeCreature : public Ko::cGameData {
 public:
  static constexpr uint32_t kTypeId = 0x4E8B5ABF;
  Ko::cIGameData* Create() override { return new cCreatureModeCreature(); }
  uint32_t GetTypeId() override { return kTypeId; }

  bool IsInCombat() const { return mInCombat; }
  // The nearest creature of another species, also kept (with a reference) as
  // the current opponent; null while the mode has no other creatures.
  cCreatureModeCreature* FindNearestOtherSpecies();
  cCreatureModeCreature* GetLeader() const { return mLeader; }
  int GetSpecies() const { return mSpecies; }
  float GetLoyalty() const { return mLoyalty; }  // 0 at construction, at most 100
  bool HasGroup() const { return mHasGroup; }

 protected:
  ~cCreatureModeCreature() override;

 private:
  bool mInCombat = false;
  cCreatureModeCreature* mLeader = nullptr;
  cCreatureModeCreature* mNearestOther = nullptr;  // holds a reference
  int mSpecies = 0;
  float mLoyalty = 0.0f;
  bool mHasGroup = false;
};
