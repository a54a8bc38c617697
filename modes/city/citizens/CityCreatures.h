// The creatures of a city game: the citizens and the tribes' members. A city
// creature is a city world object and an interaction agent at once: it has a
// body (the shared creature shape, drawn through its creature record), hunger
// and energy that drain with time and their mean, the happiness; an icon over
// its head when a need runs low; a bundle it may carry; and one walking step
// towards the goal kept in its record. City behaviours never offer
// themselves: the agent has no candidates and is started explicitly.
//
// Citizens decide for themselves each frame (their own file), joining and
// starting groups among other things.
#pragma once

#include <cstdint>

#include "app/GameClock.h"
#include "modes/city/objects/CityGameObject.h"
#include "sim/behavior/InteractionAgent.h"

class cCityGameBundle;
class cCityGameTribeCreature;
class cCreatureCommon;
class cSceneShapeHealthMeter;
class cSceneShapeBillboard;

class cCityGameCreature : public cCityGameWorldObject, public cInteractionAgent {
 public:
  static constexpr uint32_t kTypeId = 0xCE9F6639;
  static constexpr uint32_t kAgentInterfaceId = 0xAE9CB0FA;
  static constexpr float kPushApartBelow = 1.5f;  // creatures closer than this are pushed apart
  static constexpr float kPushStep = 0.2f;
  static constexpr float kIconHeight = 3.0f;

  uint32_t GetTypeId() override { return kTypeId; }
  // The agent's counting is the game object's: one count for both parts.
  int AddRef() override { return cCityGameWorldObject::AddRef(); }
  int Release() override { return cCityGameWorldObject::Release(); }
  void* Cast(uint32_t interfaceId) override { return interfaceId == kAgentInterfaceId ? this : nullptr; }
  tCandidateList* GetCandidates() override;  // none: city behaviours are started, never chosen

  // Its record, a start 5 to 15 units from the owner, the body; the agent
  // joins the behaviour controller.
  void Initialize(cCityGameObject* owner) override;
  // Its behaviour ends, the agent leaves the controller, the body and icons
  // go, and the record leaves the data manager.
  void EndUsersInteractions() override;
  void ResolveLinks() override;
  void OnModeEnter() override;
  void OnModeLeave() override;
  void Update(uint32_t ms) override;
  void SetPosition(const Ru::Math::Vector3& position, const Ru::Math::Vector3& offset) override;
  cSceneObject* GetSceneObject() override;
  void DrawLabel(bool show, int x, int y) override;

  virtual int LowestMotiveIndex();
  virtual Ru::Math::Vector3 GetColour() { return Ru::Math::Vector3{1.0f, 1.0f, 1.0f}; }
  virtual void UpdateMotives(uint32_t ms);
  virtual void ResetRates();
  virtual float GetMotive(int index);  // 0 hunger, 1 energy, 2 happiness
  virtual void SetMotive(int index, float value);  // kept within the motive range; hunger and energy reach the record
  virtual float GetRate(int index) { return index == 0 || index == 1 ? mMotiveRate[index] : 0.0f; }
  virtual void SetRate(int index, float rate) {
    if (index == 0 || index == 1) mMotiveRate[index] = rate;
  }
  virtual void RemoveMotiveIcon();
  virtual bool AttachCarried(cCityGameBundle* bundle);  // false while carrying one already
  virtual cCityGameBundle* TakeCarried();
  virtual void DropCarried();  // into the city's global store of its kind
  virtual cCityGameBundle* GetCarried() { return mCarried; }
  virtual float GetHappiness() { return mMotive[2]; }
  virtual bool IsAnyMotiveLow();
  virtual bool IsAnyMotiveEmpty();
  virtual bool IsAnyMotiveAtOrBelow(float value);
  virtual bool IsLeaving() { return mLeaving; }
  virtual void SetLeaving(bool leaving) { mLeaving = leaving; }
  virtual bool IsHidden() { return mHidden; }
  virtual void SetHidden(bool hidden);
  // One step towards the record's goal; the factor scales the walking speed once.
  virtual void MoveTowardGoal(uint32_t ms, float factor);

  ~cCityGameCreature() override;
  void SetPendingTarget(cCityGameObject* object) { mPendingTargetId = object ? object->GetId() : kNoCityId; }
  // A behaviour instance the creature starts next once it is idle; owned from now on.
  void SetPendingInteraction(cIInteraction* interaction);
  cIInteraction* GetPendingInteraction() const { return mPendingInteraction; }
  uint32_t GetPendingTargetId() const { return mPendingTargetId; }
  cCreatureCommon* GetCommon() const { return mCommon; }
  cSceneObject* GetMotiveIcon() const { return mMotiveIcon; }
  cSceneObject* GetMotiveMeter() const { return mMotiveMeter; }

  // The billboard a need shows: the low one (yellow) or the critical one (red).
  static cSceneShapeBillboard* GetMotiveIconShape(int index, bool critical);

 protected:
  void UpdateMotiveIcon();
  void RemoveMotiveMeter();
  void DestroyBody();

  cCreatureCommon* mCommon = nullptr;  // not counted: the creature manager keeps it
  int32_t mIdleTimer = 0;
  uint32_t mPendingTargetId = kNoCityId;
  cIInteraction* mPendingInteraction = nullptr;  // owned
  bool mLeaving = false;
  bool mHidden = false;
  float mMotiveRate[2] = {0.0f, 0.0f};
  uint32_t mCommonId = kNoCityId;
  cCityGameBundle* mCarried = nullptr;  // owned while carried
  float mMotive[3] = {100.0f, 100.0f, 100.0f};
  cSceneObject* mMotiveIcon = nullptr;   // owned
  cSceneObject* mMotiveMeter = nullptr;  // owned
  cSceneShapeHealthMeter* mMotiveMeterShape = nullptr;  // owned
};

// Pushes apart every two visible city creatures closer than 1.5 units, 0.2
// each; the city runs it once an update.
void SeparateCityCreatures();

class cCityGamePlayerCreature : public tCityGameClass<cCityGamePlayerCreature, cCityGameCreature, 0x4F176642> {
 public:
  cCityGamePlayerCreature();  // full happiness, the world's drain rates
  void Initialize(cCityGameObject* owner) override;  // random hunger and energy from the starting ranges first

  Ru::Math::Vector3 GetColour() override;  // white while selected, red while leaving, else blue
  // A click selects the citizen for an order; a drag starts a rubber band with it.
  cICityGameCursor* GetCursor(int x, int y, cSceneObject* picked) override;
  cICityGameCursor* StartDrag(int x, int y, cSceneObject* picked) override;
  void MoveTowardGoal(uint32_t ms, float factor) override;  // a slowed citizen walks at 0.75
  // The citizen's own decision each frame: home, groups, errands, the most
  // attractive building or an idle walk near the hall.
  void Update(uint32_t ms) override;
  // The group checks, each at most once a check period; they answer whether
  // a group took the citizen.
  virtual bool CheckFight(uint32_t ms);
  virtual bool CheckSing(uint32_t ms);
  virtual bool CheckJoinGroup(uint32_t ms);
  // The protest group when in need with nowhere to turn, else the best-scoring
  // world object (the lowest id on a tie), else null.
  virtual cCityGameWorldObject* ChooseTarget();

  // Starts a behaviour, remembering whether the player ordered it (1) or the citizen chose it (0).
  void StartWithMode(cIInteraction* prototype, tTargetWord target, uint32_t extra);
  uint32_t GetStartMode() const { return mStartMode; }
  void SetSelected(bool selected);
  // A citizen held from its own choices only lives its needs and the
  // behaviours started on it from outside (a scene watching one behaviour).
  void SetOwnChoices(bool on) { mOwnChoices = on; }
  void SetIdleTimer(int32_t ms) { mIdleTimer = ms; }
  int32_t GetIdleTimer() const { return mIdleTimer; }
  bool IsSelected() const { return mSelected; }
  bool IsMustered() const { return mMustered; }
  void SetMustered(bool mustered) { mMustered = mustered; }
  void SlowDown();
  bool IsSlowed() const { return mSlowed; }
  void SetHome(uint32_t id) {
    mHasHome = true;
    mHomeId = id;
  }
  bool HasHome() const { return mHasHome; }
  uint32_t GetHomeId() const { return mHomeId; }
  void ClearHome() {
    mHasHome = false;
    mHomeId = kNoCityId;
  }
  // The building the citizen is heading for, and the road it came in by (so
  // it does not go straight back along it).
  void SetDestinationBuilding(uint32_t id) {
    mHasDestinationBuilding = id != kNoCityId;
    mDestinationBuildingId = id;
  }
  bool HasDestinationBuilding() const { return mHasDestinationBuilding; }
  uint32_t GetDestinationBuildingId() const { return mDestinationBuildingId; }
  void SetArrivalRoad(uint32_t id) {
    mHasArrivalRoad = id != kNoCityId;
    mArrivalRoadId = id;
  }
  bool HasArrivalRoad() const { return mHasArrivalRoad; }
  uint32_t GetArrivalRoadId() const { return mArrivalRoadId; }

 private:
  void FindHome();
  void WalkToIdleSpot(bool atWar);

  bool mOwnChoices = true;
  bool mSelected = false;
  cGameStopwatch mFightCheckTimer, mSingCheckTimer, mGroupCheckTimer;
  uint32_t mStartMode = 0;
  bool mSlowed = false;
  cGameStopwatch mSlowTimer;
  bool mMustered = false;
  bool mHasHome = false;
  uint32_t mHomeId = kNoCityId;
  bool mHasDestinationBuilding = false;
  uint32_t mDestinationBuildingId = kNoCityId;
  bool mHasArrivalRoad = false;
  uint32_t mArrivalRoadId = kNoCityId;
};

// The tribes and their members have their own file; callers that know
// creatures know tribes.
#include "modes/city/citizens/CityTribe.h"
