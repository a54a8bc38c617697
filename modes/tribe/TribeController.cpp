#include "modes/tribe/TribeController.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "math/Math.h"
#include "modes/tribe/RaidInteractions.h"
#include "modes/tribe/Tribe.h"
#include "modes/tribe/TribeCreature.h"
#include "modes/tribe/TribeCreatureGroup.h"
#include "modes/tribe/TribeHut.h"
#include "modes/tribe/TribeObjectController.h"
#include "modes/tribe/TribeStatics.h"
#include "modes/tribe/cTribeGameMode.h"
#include "sim/behavior/BehaviorController.h"
#include "sim/rovurozoviz/RovurozovizProgram.h"
#include "sim/tuning/BoundedCount.h"
#include "world/planet/PlanetModel.h"
#include "world/scene/SceneObject.h"

using Ru::Math::Vector3;

namespace {

constexpr const char* kScriptCaption = "Rovurozoviz Error";
constexpr float kDegreesToRadians = 3.14159265f / 180.0f;
const Vector3 kRaiderColour{0.7f, 0.0f, 1.0f};

// Set at the first placement of the run and kept, also when the world is
// rebuilt: the rivals stay where they settled.
struct sPlacementCentre {
  bool set = false;
  Vector3 position;
};
sPlacementCentre& PlacementCentre() {
  static auto* centre = new sPlacementCentre;
  return *centre;
}

bool LoadNpcProgram(eTribeProgram which) {
  return LoadTribeProgram(which, kScriptCaption, std::string("Couldn't load ") + GetTribeProgramFile(which));
}

std::string Numbered(const char* word, int k) { return word + std::to_string(k); }

}  // namespace

cTribeController::cTribeController(cTribeGameMode* mode) : mMode(mode) { mTimeSinceAttack.Restart(); }

cTribeController::~cTribeController() = default;

void cTribeController::ResetPlacementCentreForTest() { PlacementCentre() = sPlacementCentre(); }

cTribeObjectController* cTribeController::Objects() { return mMode ? mMode->GetObjectController() : nullptr; }

// A timer that fires starts again from 0, dropping what ran over.
static bool TimerFires(uint32_t& elapsedMs, uint32_t ms, uint32_t periodMs) {
  elapsedMs += ms;
  if (elapsedMs <= periodMs) return false;
  elapsedMs = 0;
  return true;
}

void cTribeController::Update(uint32_t ms) {
  if (TimerFires(mPlacementMs, ms, kPlacementPeriodMs)) PlaceNpcTribes();
  if (TimerFires(mGrowthMs, ms, kGrowthPeriodMs)) GrowNpcTribes();
  if (TimerFires(mAttackMs, ms, kAttackPeriodMs)) TestAttack();
}

void cTribeController::Enter() { PlaceNpcTribes(); }

void cTribeController::Leave() {}

Vector3 cTribeController::GetNpcLocation(const Vector3& centre, int k) {
  cRovurozovizProgram& program = GetTribeProgram(eTribeProgram::NpcLocation);
  const float angle = program.GetVariable(Numbered("angle", k)) * kDegreesToRadians;
  const float distance = program.GetVariable(Numbered("distance", k));
  const Vector3 offset{std::sin(angle) * distance, 0.0f, -std::cos(angle) * distance};
  Vector3 place;
  GetPlanetModel().ProjectToSurface(place, Vector3Add(centre, offset));
  return place;
}

void cTribeController::PlaceNpcTribes() {
  cTribeObjectController* objects = Objects();
  if (!objects) return;
  LoadNpcProgram(eTribeProgram::NpcLocation);
  cTribe* player = objects->GetPlayerTribe();
  sPlacementCentre& centre = PlacementCentre();
  if (!centre.set && player) {
    centre.position = HutPositionOf(player);
    centre.set = true;
  }

  cRovurozovizProgram& program = GetTribeProgram(eTribeProgram::NpcLocation);
  int n = 0;
  for (cTribe* tribe : objects->GetTribes()) {
    if (tribe == player) continue;
    ++n;
    program.SetVariable(Numbered("tribe_size", n), (float)tribe->GetPopulation());
    program.SetVariable(Numbered("time_since_birth", n), (float)tribe->GetTimeSinceBirth());
  }
  program.Run();
  const float wanted = program.GetVariable("number_of_tribes");
  // A script's wild answer must not flood the world (or overflow the int).
  const int m = BoundedCount("number_of_tribes", wanted, 0, 64);
  while (n < m) {
    ++n;
    objects->CreateNpcTribe(GetNpcLocation(centre.position, n));
  }

  int k = 0;
  const tTribeList tribes = objects->GetTribes();  // creating members may not change it, but stay safe
  for (cTribe* tribe : tribes) {
    if (tribe == player) continue;
    ++k;
    if (cTribeHut* hut = tribe->GetHut()) hut->SetPosition(GetNpcLocation(centre.position, k));
  }
}

void cTribeController::GrowNpcTribes() {
  cTribeObjectController* objects = Objects();
  if (!objects) return;
  LoadNpcProgram(eTribeProgram::NpcSize);
  cTribe* player = objects->GetPlayerTribe();
  const tTribeList tribes = objects->GetTribes();
  for (cTribe* tribe : tribes)
    if (tribe != player) GrowNpcTribe(tribe);
}

void cTribeController::GrowNpcTribe(cTribe* tribe) {
  cTribeObjectController* objects = Objects();
  if (!objects || !tribe) return;
  cRovurozovizProgram& program = GetTribeProgram(eTribeProgram::NpcSize);
  const uint32_t population = tribe->GetPopulation();
  program.SetVariable("tribe_size", (float)population);
  program.SetVariable("time_since_birth", (float)(tribe->GetTimeSinceBirth() * 0.001));
  program.SetVariable("time_since_new_member", (float)(tribe->GetTimeSinceNewMember() * 0.001));
  program.Run();
  // Truncated towards zero; a script answer beyond any sensible tribe is held
  // back so that the float-to-int conversion stays defined.
  const int target = BoundedCount("tribe_size", program.GetVariable("tribe_size"), 0, 1000);
  for (int64_t i = (int64_t)population; i < target; ++i) objects->AddNewMember(tribe, false);
}

void cTribeController::TestAttack() {
  cTribeObjectController* objects = Objects();
  if (!objects) return;
  LoadNpcProgram(eTribeProgram::AttackTest);
  cTribe* player = objects->GetPlayerTribe();
  cRovurozovizProgram& program = GetTribeProgram(eTribeProgram::AttackTest);
  const tTribeList tribes = objects->GetTribes();
  for (cTribe* tribe : tribes) {
    if (tribe == player) continue;
    const uint32_t population = tribe->GetPopulation();
    program.SetVariable("npc_tribe_size", (float)population);
    program.SetVariable("player_tribe_size", player ? (float)player->GetPopulation() : 0.0f);
    program.SetVariable("time_since_attack", (float)mTimeSinceAttack.GetElapsed() * 0.001f);
    program.SetVariable("distance_to_hut", Vector3Length(Vector3Sub(HutPositionOf(tribe), HutPositionOf(player))));
    program.SetVariable("number_of_raids", (float)tribe->GetRaidCount());
    program.Run();
    // Truncated towards zero; a NaN answer sends nobody.
    const float asked = program.GetVariable("attackers");
    const int n = asked > 0.0f ? (int)std::min((float)population, asked) : 0;
    if (n > 0) {
      mTimeSinceAttack.Restart();
      StartRaid(tribe, n);
      return;  // one raid per test at most
    }
  }
}

void cTribeController::StartRaid(cTribe* tribe, int attackers) {
  cTribeObjectController* objects = Objects();
  cTribe* player = objects ? objects->GetPlayerTribe() : nullptr;
  if (!tribe || !player || !player->GetHut()) return;
  tRefPtr<cTransientCreatureGroup> group(new cTransientCreatureGroup());
  const Vector3 home = HutPositionOf(tribe);
  int taken = 0;
  for (cTribeCreature* member : tribe->GetMembers()) {
    if (taken >= attackers) break;
    ++taken;
    member->SetPosition(home);
    member->SetColour(kRaiderColour);
    group->AddMember(member);
  }
  if (group->GetMemberCount() == 0) return;  // the group goes with the last reference
  GetBehaviorController().AddAgent(group.Get());
  group->StartInteraction(GetTribePrototype<cTribeGroupAttacks>(), TargetWordOf(player->GetHut()));
}
