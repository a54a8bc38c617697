// One city of the civ game: an owner, the shared city record (money, place),
// a marker in the scene, a mood and a wall round it. So far it is placed,
// owned and walled: its buildings, economy, turrets, roads and production
// agent come later, and its per-tick update does nothing yet.
#pragma once

#include <cstdint>

#include "math/Types.h"
#include "modes/civ/CivMood.h"
#include "sim/gamedata/GameData.h"

class cCityCommon;
class cCivModeWall;
class cSceneObject;

class cCivModeDecoratedCity : public Ko::cGameData {
 public:
  static constexpr uint32_t kTypeId = 0xAE94CB4D;

  cCivModeDecoratedCity() = default;
  Ko::cIGameData* Create() override { return new cCivModeDecoratedCity(); }
  uint32_t GetTypeId() override { return kTypeId; }

  // Creates the city record through the data manager, places the marker and
  // the record at `position` (upright there) and gives the city to `owner`.
  void Setup(int owner, const Ru::Math::Vector3& position);
  // A later entry into the mode: the marker returns to the scene's record position.
  void Reenter(int owner);
  void Leave();  // the wall goes; the next Reenter builds it again
  void Update(uint32_t dtMs);  // nothing yet
  void Render();  // the wall band
  // The wall restarts from the city centre and encloses the city's positions again.
  void RefreshLayout();

  int GetOwner() const { return mOwner; }
  void SetOwner(int owner);  // also decides whether the NPC agent plays it
  bool IsNPC() const { return mIsNPC; }
  void SetNPC(bool npc) { mIsNPC = npc; }
  cCivMood* GetMood() { return &mMood; }
  cCityCommon* GetRecord() const { return mRecord; }
  void SetRecord(cCityCommon* record) { mRecord = record; }
  cSceneObject* GetMarker() const { return mMarker; }
  cCivModeWall* GetWall() const { return mWall; }
  bool IsHighlighted() const { return mHighlighted; }
  void SetHighlighted(bool on) { mHighlighted = on; }
  void SetMarker(cSceneObject* marker);  // the city takes it
  Ru::Math::Vector3 GetPosition() const;  // the record's; the origin without one
  float GetMoney() const;
  void SetMoney(float money);

 protected:
  ~cCivModeDecoratedCity() override;

 private:
  void MakeWall();
  void DropWall();

  int mOwner = -1;
  bool mHighlighted = false;
  cCivModeWall* mWall = nullptr;
  bool mIsNPC = true;
  cCityCommon* mRecord = nullptr;
  cSceneObject* mMarker = nullptr;
  cCivMood mMood;
};
