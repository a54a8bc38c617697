#include "modes/city/groups/CityRecruiting.h"

#include <cmath>
#include <vector>

#include "glf/Sound.h"
#include "math/Math.h"
#include "modes/city/citizens/CityTribe.h"
#include "modes/city/data/CityFormulas.h"
#include "modes/city/data/CityTuning.h"
#include "modes/city/economy/CityBuildingKinds.h"
#include "modes/city/objects/CityCreation.h"
#include "modes/city/objects/CityGameCity.h"
#include "modes/city/objects/CityObjectRegistry.h"
#include "modes/city/objects/CityScene.h"
#include "modes/creature/CreatureCommon.h"
#include "platform/Sys.h"
#include "sim/behavior/BehaviorController.h"

using namespace Ru::Math;

namespace {
constexpr float kCycleScale = 0.00066666666f;  // one ripple grows from 0 to 1 in 1.5 s
constexpr float kRingShares[cCityRingPulse::kRingCount] = {1.0f, 0.9f, 0.75f, 0.5f};
constexpr float kArrivalReach = 3.0f;


template <class T>
T* TargetOf(cIInteraction* interaction) {
  return dynamic_cast<T*>(TargetOfWord(interaction->GetTarget()));
}
}  // namespace

// ---- the drive ----

void cCityRecruitDrive::Start(cCityGameCity* city, cCityGameTribe* tribe) {
  mRecruitStopwatch = cGameStopwatch();
  SetOwner(city);
  mTribeId = tribe ? tribe->GetId() : kNoCityId;
  GetSharedSound(kMusic);  // one loaded music for every drive
  mMusicStarted = false;
  mRippleStopwatch.Restart();
  mRings.Make(GetDriveColour());
}

cCityGameTribe* cCityRecruitDrive::GetTribe() const {
  return dynamic_cast<cCityGameTribe*>(GetCityObjectRegistry().Find(mTribeId));
}

float cCityRecruitDrive::GetReach() const {
  const cCityGameTuning& tuning = GetCityGameTuning();
  return (float)mArrivedCount * tuning.recruitDisasterRadiusPer + tuning.recruitDisasterBaseRadius;
}

void cCityRecruitDrive::Leave(bool arrived) {
  if (arrived) --mArrivedCount;
  if (mExpectedCount > 0) --mExpectedCount;
}

void cCityRecruitDrive::Update(uint32_t) {
  const cCityGameTuning& tuning = GetCityGameTuning();
  const float reach = GetReach();
  if ((mGathered && mArrivedCount == 0) || (mArrivedCount == 0 && mExpectedCount == 0)) {
    GetCityObjectRegistry().QueueRemoval(this);
    mFinished = true;
    return;
  }
  if (mArrivedCount == mExpectedCount && mExpectedCount != 0) mGathered = true;
  const float duration = std::trunc(tuning.recruitDisasterDuration);
  if (!mFinished && mRecruitStopwatch.IsRunning() && (float)mRecruitStopwatch.GetElapsed() > duration) {
    if (mArrivedCount > 0) Recruit();
    mFinished = true;  // the recruiters end at their next step
  }
  if (mArrivedCount != mExpectedCount && mArrivedCount != 0) return;
  if (mGathered && !mMusicStarted) {
    GetSharedSound(kMusic).Play();
    mMusicStarted = true;
    mRecruitStopwatch.Restart();  // the countdown runs from the last arrival
  }
  if (mArrivedCount > 0 && SlowsCitizens()) {
    std::vector<cCityGamePlayerCreature*> citizens;
    GetCityObjectRegistry().CollectObjectsOfClass(citizens);
    for (cCityGamePlayerCreature* citizen : citizens)
      if (DistanceBetween(citizen->GetPosition(), mPosition) < reach) citizen->SlowDown();
  }
  if (mRippleStopwatch.GetElapsed() >= kRippleMs) {
    mRippleStopwatch.Restart();  // the rings hold their size this frame
    return;
  }
  const float t = mArrivedCount < 1 ? 0.0f : (float)mRippleStopwatch.GetElapsed() * kCycleScale;
  const bool blinking = mRecruitStopwatch.IsRunning() && (float)mRecruitStopwatch.GetElapsed() > duration - (float)kBlinkMs;
  float radii[cCityRingPulse::kRingCount];
  for (int i = 0; i < cCityRingPulse::kRingCount; ++i) {
    radii[i] = reach * kRingShares[i];
    mRings.SetColour(i, blinking && i % 2 == 0 ? Vector3{1.0f, 1.0f, 1.0f} : GetDriveColour());
  }
  mRings.Place(mPosition, t, radii);
}

void cCityRecruitDrive::EndUsersInteractions() {
  cCityGameWorldObject::EndUsersInteractions();
  if (!mTribeTold)
    if (cCityGameTribe* tribe = GetTribe()) tribe->EndRecruiting();
  mTribeTold = true;
  mRings.Remove();
}

cIInteraction* cCityGameRecruitDisaster::GetDefaultInteraction() {
  return GetCityBehavior<cCityGameRecruitingTribeInteraction>();
}

Vector3 cCityGameRecruitDisaster::GetDriveColour() {
  cCityGameTribe* tribe = GetTribe();
  return tribe ? tribe->GetColour() : Vector3{1.0f, 1.0f, 1.0f};
}

void cCityGameRecruitDisaster::Recruit() {
  const cCityGameTuning& tuning = GetCityGameTuning();
  auto* city = dynamic_cast<cCityGameCity*>(mOwner.object);
  cCityGameTribe* tribe = GetTribe();
  if (!city || !tribe) return;
  const float h = city->GetHappiness();
  const float chance = (tuning.recruitDisasterMaxRecruitChance - tuning.recruitDisasterMinRecruitChance) * (1.0f - h * 0.01f) +
                       tuning.recruitDisasterMinRecruitChance;
  const float reach = GetReach();
  std::vector<cCityGamePlayerCreature*> citizens;  // in id order
  GetCityObjectRegistry().CollectObjectsOfClass(citizens);
  for (cCityGamePlayerCreature* citizen : citizens) {
    const float roll = (float)Sys_Random() / 32767.0f;
    if (roll < chance && DistanceBetween(citizen->GetPosition(), mPosition) < reach)
      tribe->Interact(citizen, GetCityBehavior<cCityRecruitedCityMemberInteraction>(), nullptr, 0);
  }
}

cIInteraction* cCityGameRecruitManager::GetDefaultInteraction() {
  return GetCityBehavior<cCityGameRecruitingInteraction>();
}

void cCityGameRecruitManager::Recruit() {
  auto* city = dynamic_cast<cCityGameCity*>(mOwner.object);
  cCityGameTribe* tribe = GetTribe();
  if (!city || !tribe) return;
  const bool temple = GetCityObjectRegistry().CountObjectsOfClass<cCityGameBuildingTemple>() > 0;
  const float answer = nCityGameFormulas::ChancePlayerRecruitSuccessful().Evaluate(
      GetArrivedCount(), tribe->GetMemberCount(), tribe->GetRelationship(city), temple, 0.0f, city->GetHappiness());
  // A NaN or negative answer wins nobody; a huge one at most the whole tribe.
  if (!(answer >= 1.0f)) return;
  const int members = tribe->GetMemberCount();
  tribe->StartRecruitedMembers(answer >= (float)members ? members : (int)answer);
}

// ---- the recruiters ----

uint32_t cCityRecruiterPart::Step() {
  auto* creature = dynamic_cast<cCityGameCreature*>(GetAgent());
  auto* drive = TargetOf<cCityRecruitDrive>(this);
  if (!creature || !drive || !IsRecruiter(GetAgent()) || !Holds(GetAgent())) return 0;
  cCreatureCommon* record = creature->GetCommon();
  if (!record) return 0;
  record->SetPosition(drive->GetPosition());
  if (mArrived) return drive->IsFinished() ? 0 : 1;
  if (record->GetDistanceToTarget() < kArrivalReach) {
    drive->Arrive();
    mArrived = true;
    return 1;
  }
  creature->MoveTowardGoal(GetBehaviorController().GetLastUpdateTime(), 1.0f);
  return 1;
}

void cCityRecruiterPart::End() {
  cCityGameInteraction::End();
  auto* drive = TargetOf<cCityRecruitDrive>(this);
  if (drive && IsRecruiter(GetAgent())) drive->Leave(mArrived);
  mArrived = false;
}

bool cCityGameRecruitingTribeInteraction::IsRecruiter(cIInteractionAgent* agent) {
  return dynamic_cast<cCityGameTribeCreature*>(agent) && TargetOf<cCityGameRecruitDisaster>(this);
}

bool cCityGameRecruitingInteraction::IsRecruiter(cIInteractionAgent* agent) {
  return dynamic_cast<cCityGamePlayerCreature*>(agent) && TargetOf<cCityGameRecruitManager>(this);
}

bool cCityGameRecruitingInteraction::Holds(cIInteractionAgent* agent) {
  auto* citizen = dynamic_cast<cCityGamePlayerCreature*>(agent);
  return citizen && !(citizen->GetMotive(citizen->LowestMotiveIndex()) < GetCityGameMotiveTuning().lowMotive);
}

// ---- the won over ----

uint32_t cCityRecruitedPart::Step() {
  auto* creature = dynamic_cast<cCityGameCreature*>(GetAgent());
  auto* tribe = TargetOf<cCityGameTribe>(this);
  if (!creature || !tribe || !IsRecruited(GetAgent()) || !creature->GetCommon()) return 0;
  creature->GetCommon()->SetPosition(tribe->GetPosition());
  creature->MoveTowardGoal(GetBehaviorController().GetLastUpdateTime(), 1.0f);
  return creature->GetCommon()->GetDistanceToTarget() >= kArrival ? 1 : 0;
}

void cCityRecruitedPart::End() {
  cCityGameInteraction::End();
  auto* creature = dynamic_cast<cCityGameCreature*>(GetAgent());
  auto* tribe = TargetOf<cCityGameTribe>(this);
  cCityGameObjectRegistry& registry = GetCityObjectRegistry();
  // A creature leaving the game (removed, or every object at a load) makes nobody new.
  if (!creature || !tribe || !IsRecruited(GetAgent()) || registry.IsClearing() || registry.IsQueued(creature) ||
      registry.Find(creature->GetId()) != creature)
    return;
  ChangeSides(tribe);
}

void cCityRecruitedCityMemberInteraction::Start() {
  cCityRecruitedPart::Start();
  if (auto* citizen = dynamic_cast<cCityGamePlayerCreature*>(GetAgent())) citizen->SetLeaving(true);
}

bool cCityRecruitedCityMemberInteraction::IsRecruited(cIInteractionAgent* agent) {
  return dynamic_cast<cCityGamePlayerCreature*>(agent) != nullptr;
}

void cCityRecruitedCityMemberInteraction::ChangeSides(cCityGameTribe* tribe) {
  auto* citizen = dynamic_cast<cCityGamePlayerCreature*>(GetAgent());
  if (citizen->HasHome())
    if (auto* house = dynamic_cast<cCityGameBuildingHouse*>(GetCityObjectRegistry().Find(citizen->GetHomeId())))
      house->FreeRoom();
  citizen->ClearHome();
  const Vector3 where = citizen->GetPosition();
  cCityGameObject* city = citizen->GetOwner();
  GetCityObjectRegistry().QueueRemoval(citizen);
  if (auto* member = CreateRegisteredCityObject<cCityGameTribeCreature>()) {
    member->JoinTribe(city, tribe);
    member->SetPosition(where, Vector3{});
    if (member->GetCommon()) member->GetCommon()->SetPosition(where);
  }
}

bool cCityRecruitedTribeMemberInteraction::IsRecruited(cIInteractionAgent* agent) {
  return dynamic_cast<cCityGameTribeCreature*>(agent) != nullptr;
}

void cCityRecruitedTribeMemberInteraction::ChangeSides(cCityGameTribe* tribe) {
  static_cast<cCityGameTribeCreature*>(GetAgent())->BecomeCitizenOf(tribe->GetOwner());
}
