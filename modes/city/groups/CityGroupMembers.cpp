// The member protocol every group shares: the generic group behaviour that
// walks a member to its group and keeps asking the group, who may take part,
// and the ways a creature's update starts a fight, a song or a raid defence
// or joins a group it passes.
#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "glf/PreparedGeometry.h"
#include "math/Math.h"
#include "modes/city/behaviours/CityBehaviorMechanics.h"
#include "modes/city/citizens/CityCreatures.h"
#include "modes/city/data/CityFormulas.h"
#include "modes/city/data/CityTuning.h"
#include "modes/city/economy/CityBuildingKinds.h"
#include "modes/city/groups/CityGroupFamily.h"
#include "modes/city/groups/CityRaidDisaster.h"
#include "modes/city/groups/CityRecruiting.h"
#include "modes/city/objects/CityCreation.h"
#include "modes/city/objects/CityObjectRegistry.h"
#include "platform/Sys.h"
#include "sim/behavior/BehaviorController.h"
#include "world/planet/PlanetModel.h"

using namespace Ru::Math;

namespace {
// What the tribes' raiders and recruiters run, known by their interaction ids.
constexpr uint32_t kRaidingFromCityId = 0xEF6A244C;
constexpr uint32_t kRecruitingFromCityId = 0x8F8DF67C;
constexpr float kRaidDefenseNear = 2.0f, kRaidDefenseFar = 15.0f;  // where the defence gathers

float DistanceSquared(const Vector3& a, const Vector3& b) {
  const Vector3 d = Vector3Sub(a, b);
  return Vector3Dot(d, d);
}

cIInteraction* CurrentOf(cCityGameCreature* creature) {
  return creature && creature->HasInteraction() ? creature->GetInteraction() : nullptr;
}

template <class T>
bool CurrentTargets(cCityGameCreature* creature) {
  cIInteraction* current = CurrentOf(creature);
  return current && dynamic_cast<T*>(TargetOfWord(current->GetTarget()));
}

// Starts a new group of the kind at the midpoint of the two and sends both there.
template <class T>
void StartPair(cCityGameCreature* creature, cCityGameCreature* partner, const Vector3& at) {
  T* group = CreateRegisteredCityObject<T>();
  if (!group) return;
  group->SetOwner(creature->GetOwner());
  group->SetPosition(at, Vector3{});
  group->Interact(creature, nullptr, nullptr, 0);
  group->Interact(partner, nullptr, nullptr, 0);
}

bool TryStartPair(cCityGameCreature* creature, bool (*eligible)(cCityGameCreature*), float radius, float chance,
                  bool sing) {
  if (!eligible(creature)) return false;
  const float reach = radius * radius;
  std::vector<cCityGamePlayerCreature*> citizens;  // in id order
  GetCityObjectRegistry().CollectObjectsOfClass(citizens);
  for (cCityGamePlayerCreature* partner : citizens) {
    if (partner == creature) continue;
    if (!(RollGroupChance() < chance) || DistanceSquared(partner->GetPosition(), creature->GetPosition()) > reach) continue;
    const Vector3 middle = Vector3Scale(Vector3Add(creature->GetPosition(), partner->GetPosition()), 0.5f);
    if (sing)
      StartPair<cCityGameSingGroup>(creature, partner, middle);
    else
      StartPair<cCityGameFightGroup>(creature, partner, middle);
    return true;  // whatever Interact made of it: a lone member ends the group at its update
  }
  return false;
}

int& StabPlays() {
  static int plays = 0;
  return plays;
}
}  // namespace

// ---- the group base ----

bool cJudgedCreatures::Has(cCityGameObject* creature) const {
  return std::find(mIds.begin(), mIds.end(), creature->GetId()) != mIds.end();
}

cIInteraction* cCityGameGroup::GetDefaultInteraction() { return GetCityBehavior<cCityGameBehaviorGenericGroup>(); }

void cCityGameGroup::DrawMarker(float r, float g, float b) {
  static GLUquadric* quadric = gluNewQuadric();  // first drawn inside the frame, never before main
  glColor3f(r, g, b);
  glPushMatrix();
  glTranslatef(mPosition.x, mPosition.y, mPosition.z);
  DrawPreparedSphere(quadric, 1.0, 5, 5);
  glPopMatrix();
}

void PlayStabSound() {
  static cSoundHandle* stabs = [] {
    auto* table = new cSoundHandle[14];
    char path[64];
    for (int i = 0; i < 14; ++i) {
      std::snprintf(path, sizeof path, ".\\Data\\Sounds\\stab%d.wav", i + 1);
      table[i].Load(path);
    }
    return table;
  }();
  ++StabPlays();
  stabs[Sys_Random() % 14].Play();
}

int GetStabSoundCount() { return StabPlays(); }

float RollGroupChance() { return (float)Sys_Random() / 32767.0f; }

// ---- the member's behaviour ----

void cCityGameBehaviorGenericGroup::Start() {
  cCityGameInteraction::Start();
  mGroup = dynamic_cast<cCityGameGroup*>(TargetOfWord(GetTarget()));
  auto* creature = dynamic_cast<cCityGameCreature*>(GetAgent());
  if (!mGroup || !creature) return;
  if (const char* name = mGroup->GetGroupName()) mName = name;
  mJoined = mGroup->AddMember(creature);
  mMemberWatch.Restart();
}

uint32_t cCityGameBehaviorGenericGroup::Step() {
  auto* creature = dynamic_cast<cCityGameCreature*>(GetAgent());
  if (!mJoined || !creature || mGroup->IsDead()) return 0;
  const Vector3 at = mGroup->GetPosition();
  const float radius = mGroup->GetMemberRadius();
  auto distance = [&] { return Vector3Length(Vector3Sub(creature->GetPosition(), at)); };
  if (!mArrived) {
    if (distance() > radius) WalkTowards(creature, at, 1.0f);
    if (distance() > radius) return 1;
    mArrived = true;
    mGroup->OnMemberArrived(creature);
  } else if (distance() > radius) {
    WalkTowards(creature, at, 1.0f);
  }
  return mGroup->StepMember(creature, GetBehaviorController().GetLastUpdateTime(), mMemberWatch) ? 1 : 0;
}

void cCityGameBehaviorGenericGroup::End() {
  cCityGameInteraction::End();
  auto* creature = dynamic_cast<cCityGameCreature*>(GetAgent());
  if (mJoined && mGroup) mGroup->RemoveMember(creature);
  mJoined = false;
  if (!creature) return;
  creature->ResetRates();
  creature->SetPosition(creature->GetPosition(), Vector3{});  // the bobbing offset goes
}

cCityGameGroup* GetCurrentGroup(cCityGameCreature* creature) {
  auto* member = dynamic_cast<cCityGameBehaviorGenericGroup*>(CurrentOf(creature));
  return member ? member->GetGroup() : nullptr;
}

// ---- who takes part ----

bool CanFight(cCityGameCreature* creature) {
  if (CurrentTargets<cCityGameFightGroup>(creature) || creature->IsHidden()) return false;
  return creature->IsAnyMotiveAtOrBelow(GetCityGameTuning().fightMotiveLevel) && !creature->IsCursorObject();
}

bool CanSing(cCityGameCreature* creature) {
  if (CurrentTargets<cCityGameGroup>(creature) || creature->IsHidden()) return false;
  if (creature->IsAnyMotiveAtOrBelow(GetCityGameTuning().singMotiveLevel)) return false;
  if (dynamic_cast<cCityGameBehaviorAttackTribe*>(CurrentOf(creature))) return false;
  return !creature->IsCursorObject();
}

bool CanDefendRaid(cCityGameCreature* creature) {
  if (creature->IsHidden() || creature->IsCursorObject()) return false;
  return !dynamic_cast<cCityGameBehaviorGenericGroup*>(CurrentOf(creature));
}

// ---- starting and joining ----

bool TryJoinNearbyGroup(cCityGameCreature* creature) {
  std::vector<cCityGameGroup*> groups;  // in id order
  GetCityObjectRegistry().CollectObjectsOfClass(groups);
  for (cCityGameGroup* group : groups) {
    if (Vector3Length(Vector3Sub(group->GetPosition(), creature->GetPosition())) > group->GetAttractionRadius())
      continue;
    if (!group->TryAttract(creature)) continue;
    group->Interact(creature, nullptr, nullptr, 0);
    return true;
  }
  return false;
}

bool TryStartFight(cCityGameCreature* creature) {
  const cCityGameTuning& tuning = GetCityGameTuning();
  return TryStartPair(creature, CanFight, tuning.fightStartRadius, tuning.fightStartChance, false);
}

bool TryStartSing(cCityGameCreature* creature) {
  const cCityGameTuning& tuning = GetCityGameTuning();
  return TryStartPair(creature, CanSing, tuning.singStartRadius, tuning.singStartChance, true);
}

namespace {
// A citizen sets on the first tribe member raiding or recruiting within reach
// (the distance first: at the tuning's bounds there are tens of thousands).
// Members raid or recruit only for a registered raid or drive, whose removal
// ends their part, so while there is none nobody need be looked at.
cCityGameCreature* FindInvader(cCityGameCreature* citizen) {
  const cCityGameTuning& tuning = GetCityGameTuning();
  if (!(RollGroupChance() < tuning.raidDefenseStartChance)) return nullptr;
  const cCityGameObjectRegistry& registry = GetCityObjectRegistry();
  if (registry.CountObjectsOfClass<cCityGameRaidDisaster>() + registry.CountObjectsOfClass<cCityGameRecruitDisaster>() == 0)
    return nullptr;
  const float reach = tuning.raidDefenseStartRadius * tuning.raidDefenseStartRadius;
  for (cCityGameTribeCreature* member : registry.ObjectsOfClass<cCityGameTribeCreature>()) {
    if (DistanceSquared(member->GetPosition(), citizen->GetPosition()) > reach) continue;
    cIInteraction* current = CurrentOf(member);
    const uint32_t id = current ? current->GetInteractionId() : 0;
    if (id == kRaidingFromCityId || id == kRecruitingFromCityId) return member;
  }
  return nullptr;
}

// A tribe member comes out against a citizen near its village: first one
// defending there in a fight still smaller than the raid formula allows,
// else one attacking the tribe. "Tribe Raid Defense Radius" is compared with
// the squared distance, as the tuning file has it. At the tuning's bounds
// every member of the tribes asks in the same frame, so the kept lists are
// read rather than the registry walked, the first pass is skipped while no
// defence stands and asks the disk for an edited formula once, and the
// second looks at the distance first.
cCityGameCreature* FindAttacker(cCityGameTribeCreature* member) {
  cCityGameTribe* tribe = member->GetTribe();
  if (!tribe) return nullptr;
  const float reach = GetCityGameTuning().tribeRaidDefenseRadius;
  const cCityGameObjectRegistry& registry = GetCityObjectRegistry();
  const std::vector<cCityGamePlayerCreature*>& citizens = registry.ObjectsOfClass<cCityGamePlayerCreature>();
  auto near = [&](cCityGamePlayerCreature* c) { return DistanceSquared(c->GetPosition(), tribe->GetPosition()) <= reach; };
  if (registry.CountObjectsOfClass<cCityGameRaidDefenseGroup>() > 0) {
    const bool military = registry.CountObjectsOfClass<cCityGameBuildingMilitary>() > 0;
    bool fileChecked = false;
    for (cCityGamePlayerCreature* citizen : citizens) {
      auto* defence = dynamic_cast<cCityGameRaidDefenseGroup*>(GetCurrentGroup(citizen));
      if (!defence) continue;
      const int members = tribe->GetMemberCount();
      const float multiplier = nCityGameFormulas::ChancePlayerRaidSuccessful().Evaluate(
          members, military, tribe->GetRelationship(tribe->GetOwner()), !fileChecked);
      fileChecked = true;
      // A negative answer lets nobody more in, a huge one at most the tribe's members.
      const int allowed = !(multiplier >= 0.0f) ? 0 : multiplier >= (float)members ? members : (int)multiplier;
      if (defence->GetMemberCount() < allowed + 1 && near(citizen)) return citizen;
    }
  }
  for (cCityGamePlayerCreature* citizen : citizens)
    if (near(citizen) && dynamic_cast<cCityGameBehaviorAttackTribe*>(CurrentOf(citizen))) return citizen;
  return nullptr;
}
}  // namespace

bool TryStartRaidDefense(cCityGameCreature* creature) {
  if (!CanDefendRaid(creature)) return false;
  cCityGameCreature* chosen = nullptr;
  if (dynamic_cast<cCityGamePlayerCreature*>(creature))
    chosen = FindInvader(creature);
  else if (auto* member = dynamic_cast<cCityGameTribeCreature*>(creature))
    chosen = FindAttacker(member);
  if (!chosen) return false;
  if (cCityGameGroup* joined = GetCurrentGroup(chosen)) {
    // Only a defender is ever found in a group: the newcomer joins its fight,
    // and the creature's own update goes on as though nothing started.
    if (dynamic_cast<cCityGameRaidDefenseGroup*>(joined)) joined->Interact(creature, nullptr, nullptr, 0);
    return false;
  }
  auto* group = CreateRegisteredCityObject<cCityGameRaidDefenseGroup>();
  if (!group) return false;
  const Vector3 middle = Vector3Scale(Vector3Add(creature->GetPosition(), chosen->GetPosition()), 0.5f);
  Vector3 at;
  GetPlanetModel().GetRandomSurfacePointNear(at, middle, kRaidDefenseNear, kRaidDefenseFar);
  group->SetOwner(creature->GetOwner());
  group->SetPosition(at, Vector3{});
  group->Interact(creature, nullptr, nullptr, 0);
  group->Interact(chosen, nullptr, nullptr, 0);
  return true;
}
