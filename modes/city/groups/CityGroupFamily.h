// The city's gatherings: fights, songs, the protest by the hall, raid
// defences and parties. A group is a world object on the planet; it is no
// agent. Each member is a city creature running the generic group behaviour
// with the group as its target: the behaviour walks the member there and then
// asks the group every step whether the member stays, and the group moves the
// member's drawn offset, plays its sounds and feeds or tires its members. A
// group left with too few members, or a party out of cake, removes itself.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "app/GameClock.h"
#include "glf/Sound.h"
#include "modes/city/behaviours/CityBehaviors.h"
#include "modes/city/objects/CityGameObject.h"
#include "sim/gamedata/RefPtr.h"

class cCityGameCreature;
class cSceneShapeCube;

// The creatures a group has judged, by registry id: a freed creature's
// address may come back as a newcomer's, its id never does.
class cJudgedCreatures {
 public:
  bool Has(cCityGameObject* creature) const;
  void Add(cCityGameObject* creature) { mIds.push_back(creature->GetId()); }

 private:
  std::vector<uint32_t> mIds;
};

class cCityGameGroup : public cCityGameWorldObject {
 public:
  static constexpr uint32_t kTypeId = 0xAF2726E2;
  uint32_t GetTypeId() override { return kTypeId; }
  cIInteraction* GetDefaultInteraction() override;  // the generic group behaviour

  // The member protocol, in the order the generic group behaviour uses it.
  virtual float GetMemberRadius() { return 1.0f; }  // members this near count as there
  virtual float GetAttractionRadius() { return 0.0f; }  // passers-by this near may be drawn in
  virtual const char* GetGroupName() { return nullptr; }
  virtual bool StepMember(cCityGameCreature* /*creature*/, uint32_t /*ms*/, cGameStopwatch& /*memberWatch*/) {
    return false;
  }
  virtual bool AddMember(cCityGameCreature* /*creature*/) {
    ++mMemberCount;
    return true;
  }
  virtual void RemoveMember(cCityGameCreature* /*creature*/) { --mMemberCount; }
  virtual bool TryAttract(cCityGameCreature* /*creature*/) { return false; }
  virtual void OnMemberArrived(cCityGameCreature* /*creature*/) {}

  int GetMemberCount() const { return mMemberCount; }

 protected:
  // Draws the group's marker sphere (radius 1, 5 slices, 5 stacks) in the colour.
  void DrawMarker(float r, float g, float b);

  int mMemberCount = 0;
};

// Fights and songs: two citizens start one, passers-by are judged once each
// and may join, and each join restarts the group's clock.
class cCityGameGatheringGroup : public cCityGameGroup {
 public:
  bool AddMember(cCityGameCreature* creature) override;
  bool TryAttract(cCityGameCreature* creature) override;
  void Update(uint32_t ms) override;  // fewer than two members: the group goes
  uint32_t GetElapsed() { return mGroupStopwatch.GetElapsed(); }

 protected:
  virtual bool CanJoin(cCityGameCreature* creature) = 0;
  virtual float GetAttractedChance() = 0;

  cJudgedCreatures mConsideredCreatures;
  cGameStopwatch mGroupStopwatch;
};

class cCityGameFightGroup : public tCityGameClass<cCityGameFightGroup, cCityGameGatheringGroup, 0xEF287DE7> {
 public:
  const char* GetGroupName() override { return "Fight"; }
  float GetAttractionRadius() override;
  bool StepMember(cCityGameCreature* creature, uint32_t ms, cGameStopwatch& memberWatch) override;
  void Draw() override;  // a red sphere

 protected:
  bool CanJoin(cCityGameCreature* creature) override;
  float GetAttractedChance() override;
};

class cCityGameSingGroup : public tCityGameClass<cCityGameSingGroup, cCityGameGatheringGroup, 0xAF343AA9> {
 public:
  const char* GetGroupName() override { return "Fight"; }  // the singers' label is the fighters'
  float GetAttractionRadius() override;
  bool StepMember(cCityGameCreature* creature, uint32_t ms, cGameStopwatch& memberWatch) override;
  void Draw() override;  // a white sphere

 protected:
  bool CanJoin(cCityGameCreature* creature) override;
  float GetAttractedChance() override;
};

// The city's one protest by the hall: members turn on the spot in cycles of
// "Protest Duration" and at each cycle's end may leave for something better,
// lie down or leave the city; the crowd's sound swells with those present.
class cCityGameProtestGroup : public tCityGameClass<cCityGameProtestGroup, cCityGameGroup, 0x6F303426> {
 public:
  enum eSound { kSilent = -1, kBoo = 0, kRiot = 1, kStrike = 2 };
  static const char* const kCrowdSounds[3];

  void Initialize(cCityGameObject* owner) override;  // loads the three crowd sounds
  const char* GetGroupName() override { return "Protest"; }
  float GetMemberRadius() override;
  bool AddMember(cCityGameCreature* creature) override;
  void OnMemberArrived(cCityGameCreature* creature) override;
  bool StepMember(cCityGameCreature* creature, uint32_t ms, cGameStopwatch& memberWatch) override;
  void Update(uint32_t ms) override;
  void OnModeLeave() override;  // the crowd falls silent outside the city; it starts again on return
  void EndUsersInteractions() override;

  int GetSoundLevel() const { return mSoundLevel; }
  int GetArrivedCount() const { return mArrivedCount; }
  static int LevelFor(int arrived);

 private:
  cSoundHandle mCrowdSounds[3];
  int mSoundLevel = kSilent;
  int mArrivedCount = 0;
  std::map<uint32_t, cGameStopwatch> mMemberStopwatches;  // by the member's registry id
};

// Citizens against tribe members raiding or recruiting in the city. The
// raid-defence rates tire both sides; the first citizen to leave ends it.
class cCityGameRaidDefenseGroup
    : public tCityGameClass<cCityGameRaidDefenseGroup, cCityGameGroup, 0xEF6A155C> {
 public:
  const char* GetGroupName() override { return "Raid Defense"; }
  bool AddMember(cCityGameCreature* creature) override;
  void RemoveMember(cCityGameCreature* creature) override;
  bool TryAttract(cCityGameCreature* creature) override;
  bool StepMember(cCityGameCreature* creature, uint32_t ms, cGameStopwatch& memberWatch) override;
  void Update(uint32_t ms) override;
  void Draw() override;  // a red sphere
  bool HasCitizen() const { return mHasCitizen; }

 private:
  cJudgedCreatures mConsideredCreatures;
  bool mHasCitizen = false;
  cGameStopwatch mDurationStopwatch, mMaxDurationStopwatch;
};

// A party bought at the hall: a magenta cake pile that feeds the guests who
// have arrived, one cake each supply period, shrinks as it goes and removes
// itself when the cake is gone. Dropped by the player the first time, it
// starts the city's party bonus.
class cCityGameParty : public tCityGameClass<cCityGameParty, cCityGameGroup, 0x2F381889> {
 public:
  void Initialize(cCityGameObject* owner) override;  // the cake pile, 20 to 40 units from the pole
  void SetSupplies(int cakes) { mCakes = cakes; }
  int GetCakes() const { return mCakes; }
  int GetArrivedCount() const { return mArrivedCount; }
  bool IsBonusStarted() const { return mBonusStarted; }
  const char* GetGroupName() override { return "Party"; }
  float GetMemberRadius() override { return 5.0f; }
  float GetAttractionRadius() override;
  float GetCost() override;
  cSceneObject* GetSceneObject() override { return mSceneObject; }
  bool AddMember(cCityGameCreature* creature) override;  // up to capacity + 1
  bool TryAttract(cCityGameCreature* creature) override;
  void OnMemberArrived(cCityGameCreature* creature) override { ++mArrivedCount; }
  bool StepMember(cCityGameCreature* creature, uint32_t ms, cGameStopwatch& memberWatch) override;
  float GetUseScore(cCityGameWorldObject* user) override;
  void OnDropped() override;
  void Update(uint32_t ms) override;
  void OnModeEnter() override;
  void OnModeLeave() override;
  void EndUsersInteractions() override;  // the cake pile goes with the party
  void DrawLabel(bool show, int x, int y) override;

  virtual bool CanAccept(cCityGameCreature* creature);
  virtual int GetCapacity();

 private:
  cSceneShapeCube* mCubeShape = nullptr;  // owned
  cSceneObject* mSceneObject = nullptr;   // owned
  cJudgedCreatures mConsideredCreatures;
  cGameStopwatch mSupplyStopwatch;
  int mCakes = 0;
  int mSuppliedThisRound = 0;
  int mArrivedCount = 0;
  bool mBonusStarted = false;
};

// What every member runs: walk to the group, then stay while the group's
// step says so. The prototype's name is the catalogue's; a running one takes
// its group's name.
class cCityGameBehaviorGenericGroup : public tCityBehavior<cCityGameBehaviorGenericGroup, 0x2F6A5B64> {
 public:
  std::string GetName() override { return mName; }
  void Start() override;  // joins the group
  uint32_t Step() override;
  void End() override;  // leaves it: world rates again, the drawn offset gone
  cCityGameGroup* GetGroup() const { return mGroup.Get(); }
  bool HasArrived() const { return mArrived; }
  bool IsMember() const { return mJoined; }

 private:
  std::string mName = "Generic Group Interaction";
  tRefPtr<cCityGameGroup> mGroup;  // keeps a removed group alive until this leaves it
  cGameStopwatch mMemberWatch;
  bool mJoined = false;  // a full party turns a guest away: it then never leaves
  bool mArrived = false;
};

// Who may take part, and the four ways a creature's update starts or joins a
// group; each answers whether a group took the creature.
bool CanFight(cCityGameCreature* creature);
bool CanSing(cCityGameCreature* creature);
bool CanDefendRaid(cCityGameCreature* creature);
bool TryJoinNearbyGroup(cCityGameCreature* creature);
bool TryStartFight(cCityGameCreature* creature);
bool TryStartSing(cCityGameCreature* creature);
bool TryStartRaidDefense(cCityGameCreature* creature);
// The group the creature's current behaviour is a member of, or null.
cCityGameGroup* GetCurrentGroup(cCityGameCreature* creature);

// A uniform roll in [0, 1] from the game's generator, for the groups' chances.
float RollGroupChance();

// The fights' and defences' 14 stabs; the count of plays is for tests (the
// device may be closed).
void PlayStabSound();
int GetStabSoundCount();
