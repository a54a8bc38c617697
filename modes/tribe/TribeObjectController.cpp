#include "modes/tribe/TribeObjectController.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <string>

#include "app/AppGlobals.h"
#include "math/Math.h"
#include "modes/creature/CommonCreatureManager.h"
#include "modes/tribe/Tribe.h"
#include "modes/tribe/TribeCreature.h"
#include "modes/tribe/TribeCreatureGroup.h"
#include "modes/tribe/TribeDisplayController.h"
#include "modes/tribe/TribeHerd.h"
#include "modes/tribe/TribeHut.h"
#include "modes/tribe/TribeInputController.h"
#include "modes/tribe/TribeStatics.h"
#include "modes/tribe/cTribeGameMode.h"
#include "platform/Sys.h"
#include "sim/tuning/BoundedCount.h"
#include "sim/behavior/BehaviorController.h"
#include "sim/behavior/Interaction.h"
#include "sim/gamedata/DataManager.h"
#include "sim/rovurozoviz/RovurozovizProgram.h"
#include "sim/tuning/SharedTuningData.h"
#include "sim/tuning/TribeTuningData.h"
#include "world/planet/GamePlant.h"
#include "world/planet/PlanetModel.h"
#include "world/scene/PolyModelShape.h"
#include "world/scene/SceneManager.h"
#include "world/scene/SolidShapes.h"

using namespace Ru::Math;

const Vector3 cTribeObjectController::kPlayerColour{0.0f, 0.0f, 1.0f};
const Vector3 cTribeObjectController::kNpcColour{0.7f, 0.0f, 1.0f};

namespace {

constexpr float kPi = 3.14159265f;
constexpr float kTuningReloadSeconds = 10.0f;
constexpr float kSteerDistance = 3.0f;      // closer than this a member heads straight for its goal
constexpr float kCrowdDistance = 2.0f;      // tribe mates closer than this push a walking member aside
constexpr float kArrivedDistance = 1.0f;    // closer than this a member rests
constexpr float kRestBeforeWalking = 5.0f;  // seconds a tired member rests before it walks again
constexpr float kMaxEnergy = 100.0f;
constexpr float kNpcFood = 1.7014117e38f;   // just below half the largest float: endless in practice
// A tree script can ask for anything; the world takes at most this much.
constexpr int kMaxTreeStands = 64;
constexpr int kMaxTreesPerStand = 256;
constexpr int kMostStartingMembers = 256;  // a tribe of 100,000 stopped frames from completing
constexpr float kMaxStandRadius = 1000.0f;  // two planet diameters: any point will do

const Vector3 kWhite{1.0f, 1.0f, 1.0f};
const Vector3 kOrigin{0.0f, 0.0f, 0.0f};

bool IsOrigin(const Vector3& v) { return v.x == 0.0f && v.y == 0.0f && v.z == 0.0f; }

float DistanceSquared(const Vector3& a, const Vector3& b) { return Vector3LengthSquared(Vector3Sub(a, b)); }

// Milliseconds per point from the tuning; a rate of 0 or below would divide by zero.
float PointsPerSecond(int millisecondsPerPoint) { return 1000.0f / (float)std::max(millisecondsPerPoint, 1); }

std::string Numbered(const char* word, int k) { return word + std::to_string(k); }

// The first herd closest to the point, of the given kind unless any will do; null when none.
template <class Herds>
cTribeHerd* NearestHerd(const Herds& herds, const Vector3& point, bool anyType, int type = 0) {
  cTribeHerd* nearest = nullptr;
  float best = FLT_MAX;
  for (cTribeHerd* herd : herds) {
    if (!anyType && (int)herd->GetType() != type) continue;
    const float d = DistanceSquared(herd->GetPositionVector(), point);
    if (!nearest || d < best) nearest = herd, best = d;
  }
  return nearest;
}

// A new tribe's hut: its drawn cube in the tribe's colour, set down at the position.
void PlaceHut(cTribeHut* hut, cISceneShape* shape, const Vector3& colour, const Vector3& position) {
  cSceneObject* object = new cSceneObject(hut, shape);
  object->SetColour(colour);
  object->SetOrientation(QuatIdentity());
  hut->SetSceneObject(object);
  hut->SetPosition(position);
  GetSceneManager().AddObject(object);
}

// The plants over a stand's circle. Trees are drawn within the radius across
// the ground's tangent at the centre and then set down on the ground, so the
// test goes by direction, whatever the ground's height.
std::vector<Vector3> PlantsInStand(const std::vector<Vector3>& plants, const Vector3& centre, float radius) {
  const float centreSquared = Vector3LengthSquared(centre);
  const float reach = radius * 1.001f;  // a tree drawn at the rim stays inside despite rounding
  std::vector<Vector3> inside;
  for (const Vector3& p : plants) {
    const float along = Vector3Dot(p, centre);
    if (along <= 0.0f) continue;
    const Vector3 across = Vector3Sub(p, Vector3Scale(centre, along / centreSquared));
    if (Vector3Length(across) * centreSquared <= reach * along) inside.push_back(p);
  }
  return inside;
}

// Whether one of the plants that stood in the stand before this game planted
// any stands on the spot (the same spot drawn again by the same seed), so no
// second one is put there. Trees this game planted never count: two draws of
// one stand may fall a hair apart, and the stand would come out short.
bool PlantStoodAt(const std::vector<Vector3>& standing, const Vector3& spot) {
  constexpr float kSameSpot = 0.01f;
  for (const Vector3& p : standing)
    if (DistanceSquared(p, spot) < kSameSpot * kSameSpot) return true;
  return false;
}

}  // namespace

cTribeObjectController::cTribeObjectController(cTribeGameMode* mode) : mMode(mode) {
  mSelectionGroup = new cTribeCreatureGroup();
  mSelectionGroup->AddRef();
  const float hut = GetSharedTuningData().GetHutScale();
  mHutShape = new cSceneShapeCube();
  mHutShape->SetScale(Vector3{hut, hut, hut});
  // Authored Z-up facing -Y; this turn makes file +Z the planet's up and file -Y forward.
  const float s = 0.5f * std::sqrt(2.0f);
  mMemberShape = new cSceneShapePolyModel(".\\Data\\models\\TribalGame_NoRole.obj", true);
  mMemberShape->RotateVertices(Quaternion{0.0f, s, s, 0.0f});
}

cTribeObjectController::~cTribeObjectController() {
  Clear();
  mSelectionGroup->Release();
  delete mHutShape;
  delete mMemberShape;
}

// ---- entering and leaving -----------------------------------------------------

void cTribeObjectController::Init() {
  // The platform's generator, so the planet's random points follow the seed;
  // tests fix it through the platform's calendar hook.
  Sys_SeedRandom(Sys_CalendarSeconds());
  LoadTribeProgram(eTribeProgram::HerdLocation);
  LoadTribeProgram(eTribeProgram::CreatureSpeed);
  if (!mPlayerTribe) BuildStartWorld();
}

void cTribeObjectController::BuildStartWorld() {
  cTribe* tribe = GetDataManager()->CreateObject<cTribe>();
  if (!tribe) return;
  mPlayerTribe = tribe;
  mTribes.push_back(tribe);
  tribe->SetColour(kPlayerColour);

  if (cTribeHut* hut = tribe->GetHut()) {
    Vector3 pole;
    GetPlanetModel().ProjectToSurface(pole, Vector3{0.0f, 1.0f, 0.0f});
    PlaceHut(hut, mHutShape, kPlayerColour, pole);
  }

  // The count is read again after every member, as the tuning may change it.
  const int start = BoundedCount("tribePopulationStart", (float)GetTribeTuningData().GetTribePopulationStart(), 0,
                                 kMostStartingMembers);
  for (int made = 0; made < start; ++made) AddNewMember(tribe, false);
  cTribeHerd::ResetHuntCounts();
  PopulateHerds();
  PlantTrees();
}

void cTribeObjectController::PlantTrees() {
  if (!mPlayerTribe || !mPlayerTribe->GetHut()) return;
  LoadTribeProgram(eTribeProgram::TreeLocation);
  cRovurozovizProgram& script = GetTribeProgram(eTribeProgram::TreeLocation);
  script.Run();
  cPlanetModel& planet = GetPlanetModel();
  const Vector3 hut = HutPositionOf(mPlayerTribe);
  planet.RemovePlantsInRadius(hut, script.GetVariable("clear_cut_radius"));
  // Where plants stood before this game planted any: stands that overlap
  // still each get their trees in a first game.
  std::vector<Vector3> standing;
  standing.reserve(planet.GetPlants().size());
  for (const tRefPtr<cGamePlant>& plant : planet.GetPlants()) standing.push_back(plant->GetPosition());
  const int stands = BoundedCount("number_of_stands", script.GetVariable("number_of_stands"), 0, kMaxTreeStands);
  for (int k = 1; k <= stands; ++k) {
    const float angle = script.GetVariable(Numbered("angle", k)) * (kPi / 180.0f);
    const float distance = script.GetVariable(Numbered("distance", k));
    if (!std::isfinite(angle) || !std::isfinite(distance)) continue;  // no place to plant at
    Vector3 centre;
    planet.ProjectToSurface(centre, Vector3Add(hut, Vector3{std::sin(angle) * distance, 0.0f, -std::cos(angle) * distance}));
    float radius = script.GetVariable(Numbered("radius", k));
    if (!(radius >= 2.0f)) radius = 2.0f;  // also when it is not a number
    if (radius > kMaxStandRadius) radius = kMaxStandRadius;
    // A fractional count makes the next whole number of trees.
    const int count = BoundedCount("count", std::ceil(script.GetVariable(Numbered("count", k))), 1, kMaxTreesPerStand);
    // A stand the planet already has (an earlier new game's, kept by the
    // planet and by saves) is left as it is, so repeated new games do not
    // grow the planet; one that lost trees is planted again, never with a
    // second tree where one stands. Every spot is drawn either way, so what
    // follows sees the same random numbers.
    const std::vector<Vector3> stood = PlantsInStand(standing, centre, radius);
    const bool grown = (int)stood.size() >= count;
    for (int made = 0; made < count; ++made) {
      Vector3 spot;
      planet.GetRandomSurfacePointNear(spot, centre, 1.0f, radius);
      if (!grown && !PlantStoodAt(stood, spot)) planet.CreatePlant(spot);
    }
  }
}

void cTribeObjectController::Clear() {
  cBehaviorController& behavior = GetBehaviorController();
  // Only the tribe's own agents leave the behaviour controller; other modes'
  // stay. Every interaction ends first: a running one holds its agent, so a
  // creature or group left busy would never be freed.
  std::vector<cIInteractionAgent*> agents;
  behavior.GetAgents(agents);
  std::vector<cIInteractionAgent*> tribeAgents;
  for (cIInteractionAgent* agent : agents)
    if (dynamic_cast<cTribeCreatureGroup*>(agent) || dynamic_cast<cTribeCreature*>(agent)) tribeAgents.push_back(agent);
  for (cIInteractionAgent* agent : tribeAgents)  // groups first, so no member is held by a group's step
    if (dynamic_cast<cTribeCreatureGroup*>(agent)) agent->EndInteraction();
  for (cTribeCreature* creature : mCreatures) creature->EndInteraction();
  for (cTribeCreature* creature : mDying) creature->EndInteraction();
  mSelectionGroup->EndInteraction();
  for (cIInteractionAgent* agent : tribeAgents) behavior.RemoveAgent(agent);

  mSelectionGroup->Clear();
  tTribeCreatureList creatures;
  creatures.swap(mCreatures);
  // Dying members go now too: after a Leave the next update may never come,
  // and their records must not reach a save made in another mode.
  creatures.insert(creatures.end(), mDying.begin(), mDying.end());
  mDying.clear();
  for (cTribeCreature* creature : creatures) {
    creature->ShowHealthMeter(false);
    if (cTribeDisplayController* display = mMode ? mMode->GetDisplayController() : nullptr)
      display->RemoveConditionLabel(creature);
    RemoveCreatureFromWorld(creature);
  }

  for (cTribe* tribe : mTribes) {
    tribe->ReleaseObjects();
    GetDataManager()->Remove(tribe);
  }
  mTribes.clear();
  mPlayerTribe = nullptr;

  for (cTribeHerd* herd : mHerds) {
    herd->ReleaseSceneObjects();
    GetDataManager()->Remove(herd);
  }
  mHerds.clear();
}

void cTribeObjectController::RemoveCreatureFromWorld(cTribeCreature* creature) {
  GetBehaviorController().RemoveAgent(creature);
  // Held until it is removed: on a load the creature mode may have removed
  // the record first, and the creature's reference is then the last one.
  tRefPtr<cCreatureCommon> common = creature->GetCommon();
  creature->DropSceneObjects();
  creature->SetCommon(nullptr);
  cDataManager* data = GetDataManager();
  data->Remove(creature);
  // The body record goes with its creature; a record left behind would be
  // written into every later save.
  if (common) data->Remove(common.Get());
  creature->Release();
}

// ---- members --------------------------------------------------------------------

cTribeCreature* cTribeObjectController::AddNewMember(cTribe* tribe, bool announce) {
  if (!tribe) return nullptr;
  cCreatureCommon* common = cCommonCreatureManager::Get()->CreateCommon();
  if (!common) return nullptr;
  cSceneObject* body = new cSceneObject(nullptr, mMemberShape);
  if (announce && tribe == mPlayerTribe)
    Sys_MessageBox("New Tribe Member", "Congratulations on your new creature!", SysBox::Ok);
  body->SetColour(*tribe->GetColour());
  common->SetSceneObject(body);
  common->SetSpecies(0);
  // Beside the hut, one step further out along x and z for every member, with
  // the goal where it stands so that it stays there.
  const Vector3 hut = HutPositionOf(tribe);
  const float n = (float)tribe->GetPopulation();
  const Vector3 place{hut.x + n, hut.y, hut.z + n};
  body->SetPosition(place);
  body->SetOrientation(QuatIdentity());
  common->SetPosition(place);
  cTribeCreature* creature = CreateTribeCreature(common, tribe);
  if (!creature) {
    common->SetSceneObject(nullptr);
    delete body;
    GetDataManager()->Remove(common);
  }
  return creature;
}

cTribeCreature* cTribeObjectController::CreateTribeCreature(cCreatureCommon* common, cTribe* tribe) {
  cTribeCreature* creature = GetDataManager()->CreateObject<cTribeCreature>();
  if (!creature) return nullptr;
  creature->SetCommon(common);
  AppendCreature(creature);
  if (cSceneObject* body = common ? common->GetSceneObject() : nullptr) {
    body->SetOwner(creature);
    GetSceneManager().AddObject(body);
  }
  if (tribe) tribe->AddMember(creature);
  return creature;
}

bool cTribeObjectController::KillCreature(cTribeCreature* creature) {
  auto alive = std::find(mCreatures.begin(), mCreatures.end(), creature);
  if (alive == mCreatures.end()) return true;  // already dying, or never ours
  creature->EndInteraction();
  if (creature->HasGroup()) creature->LeaveGroup();
  creature->SetSuppressChoice(true);
  if (cTribe* tribe = creature->GetTribe()) tribe->RemoveMember(creature);
  mSelectionGroup->RemoveMember(creature);
  if (cTribeDisplayController* display = mMode ? mMode->GetDisplayController() : nullptr)
    display->RemoveConditionLabel(creature);
  mCreatures.erase(alive);  // the order of the others is kept
  mDying.push_back(creature);  // the list's reference moves with it
  return true;
}

bool cTribeObjectController::IsDying(cTribeCreature* creature) {
  return std::find(mDying.begin(), mDying.end(), creature) != mDying.end();
}

void cTribeObjectController::DestroyDyingCreatures() {
  tTribeCreatureList dying;
  dying.swap(mDying);
  for (cTribeCreature* creature : dying) RemoveCreatureFromWorld(creature);
}

void cTribeObjectController::SelectCreature(cTribeCreature* creature) {
  if (mSelectionGroup->Contains(creature)) return;
  mSelectionGroup->AddMember(creature);
  creature->SetColour(kWhite);
}

bool cTribeObjectController::IsSelected(cTribeCreature* creature) { return mSelectionGroup->Contains(creature); }

void cTribeObjectController::ClearSelection() {
  for (auto member = mSelectionGroup->MembersBegin(); member != mSelectionGroup->MembersEnd(); ++member)
    RestoreTribeColour(member->Get());
  mSelectionGroup->Clear();
}

void cTribeObjectController::RestoreTribeColour(cTribeCreature* creature) {
  if (creature && creature->GetTribe()) creature->SetColour(*creature->GetTribe()->GetColour());
}

cTribe* cTribeObjectController::CreateNpcTribe(const Vector3& position) {
  cTribe* tribe = GetDataManager()->CreateObject<cTribe>();
  if (!tribe) return nullptr;
  tribe->SetColour(kNpcColour);
  mTribes.push_back(tribe);
  tribe->AddFood(kNpcFood);
  if (cTribeHut* hut = tribe->GetHut()) {
    PlaceHut(hut, mHutShape, kNpcColour, position);
  }
  AddNewMember(tribe, false);
  AddNewMember(tribe, false);
  return tribe;
}

// ---- the loader's entries -----------------------------------------------------------

void cTribeObjectController::AppendTribe(cTribe* tribe) { mTribes.push_back(tribe); }

void cTribeObjectController::AppendCreature(cTribeCreature* creature) {
  creature->AddRef();
  mCreatures.push_back(creature);
}

void cTribeObjectController::AppendHerd(cTribeHerd* herd) { mHerds.push_back(herd); }

// ---- the tick -------------------------------------------------------------------------

void cTribeObjectController::Update(uint32_t ms) {
  const float seconds = (float)ms * 0.001f;
  mReloadSeconds += seconds;
  if (mReloadSeconds > kTuningReloadSeconds) {
    GetTribeTuningData().ReloadIfChanged();
    mReloadSeconds = 0.0f;
  }
  DestroyDyingCreatures();
  if (AskForCityStage()) return;

  bool someoneNests = false;
  // A copy: a member may die (leave the list) during its own turn.
  const tTribeCreatureList creatures = mCreatures;
  for (cTribeCreature* creature : creatures) {
    if (IsDying(creature)) continue;
    UpdateCreatureMovement(creature, seconds);
    UpdateCreatureStarvation(creature, seconds);
    cIInteraction* doing = creature->GetInteraction();
    if (doing && doing->GetName() == "Nesting") someoneNests = true;
  }

  if (mPlayerTribe) {
    if (cTribeHut* hut = mPlayerTribe->GetHut()) {
      hut->ShowNestMeter(someoneNests);
      hut->SetNestMeterValue(std::min(mPlayerTribe->GetBreedProgress(), 1.0f));
    }
    if (mPlayerTribe->IsBreedReady()) {
      mPlayerTribe->TakeWholeBreedProgress();
      AddNewMember(mPlayerTribe, true);
    }
  }
  PopulateHerds();
  StepHerds(seconds);
}

bool cTribeObjectController::AskForCityStage() {
  if (mCityStageDeclined || !mPlayerTribe) return false;
  if ((int64_t)mPlayerTribe->GetPopulation() < (int64_t)GetTribeTuningData().GetTribePopulationGoal()) return false;
  const SysAnswer answer = Sys_MessageBox("Win", "You have reached the City stage. Press Cancel to keep playing Tribal",
                                          SysBox::OkCancel);
  if (answer == SysAnswer::Ok) {
    gPendingGameMode = (cIGameMode*)gCityGameMode;  // the application switches after the frame
    return true;
  }
  mCityStageDeclined = true;
  return false;
}

void cTribeObjectController::UpdateCreatureMovement(cTribeCreature* creature, float seconds) {
  const Vector3 position = creature->GetPositionVector();
  const Vector3 target = *creature->GetDestination();
  const bool hasTarget = !IsOrigin(target);
  const float distance = hasTarget ? Vector3Length(Vector3Sub(target, position)) : 0.0f;
  const float speed = creature->GetSpeed();

  if (hasTarget && distance <= kSteerDistance) {
    creature->SteerTowards(target, seconds, speed, kPi);
  } else if (hasTarget) {
    // Head for the goal, pushed aside by tribe mates standing close.
    Vector3 heading = Vector3Scale(Vector3Sub(target, position), 1.0f / distance);
    if (cTribe* tribe = creature->GetTribe()) {
      for (cTribeCreature* mate : tribe->GetMembers()) {
        if (mate == creature) continue;
        const Vector3 away = Vector3Sub(mate->GetPositionVector(), position);
        const float apart = Vector3Length(away);
        if (apart < kCrowdDistance && apart > 0.0f) heading = Vector3Sub(heading, Vector3Scale(away, 1.0f / apart));
      }
    }
    creature->SteerTowards(Vector3Add(position, heading), seconds, speed, kPi);
  }

  const float walking = GetSlopeSpeed(creature->GetPositionVector(), *creature->GetOrientation()) * speed;
  const float rest = creature->GetRestTime();
  if (distance > kArrivedDistance && creature->GetEnergy() > 0.0f && (rest == 0.0f || rest >= kRestBeforeWalking)) {
    creature->SetRestTime(0.0f);
    creature->MoveForward(seconds, walking);
    return;
  }

  // Resting: energy comes back, and a member that ran dry waits until rested.
  const float gain = seconds * PointsPerSecond(GetTribeTuningData().GetEnergyIncreaseRate());
  if (creature->GetEnergy() == 0.0f || rest > 0.0f) creature->SetRestTime(rest + gain);
  creature->SetEnergy(std::min(creature->GetEnergy() + gain, kMaxEnergy));
  if (IsSelected(creature)) {
    cTribeInputController* input = mMode ? mMode->GetInputController() : nullptr;
    const Vector3 cursor = input ? input->GetCursorPoint() : kOrigin;
    if (!IsOrigin(cursor)) creature->SteerTowards(cursor, seconds, speed, kPi);
  }
  creature->SetDestinationNear(kOrigin, -1.0f);
}

void cTribeObjectController::UpdateCreatureStarvation(cTribeCreature* creature, float seconds) {
  const bool wasAlive = creature->GetHealth() > 0.0f;
  if (creature->GetHunger() <= 0.0f)
    creature->SetHealth(creature->GetHealth() - seconds * PointsPerSecond(GetTribeTuningData().GetHealthDecreaseRate()));
  const bool ours = mPlayerTribe && creature->GetTribe() == mPlayerTribe;
  if (creature->GetHealth() <= 0.0f) {
    if (wasAlive && ours) Sys_MessageBox("Tribe Member Dies", "One of your tribe has starved to death.", SysBox::Ok);
    KillCreature(creature);
    return;
  }
  if (ours) RefreshConditionLabel(creature);
}

void cTribeObjectController::RefreshConditionLabel(cTribeCreature* creature) {
  cTribeDisplayController* display = mMode ? mMode->GetDisplayController() : nullptr;
  if (!display) return;
  const cTribeTuningData& tuning = GetTribeTuningData();
  const float health = creature->GetHealth(), hunger = creature->GetHunger(), energy = creature->GetEnergy();
  // The first that holds wins: critical before low, health before hunger before energy.
  const bool kinds[6] = {health <= (float)tuning.GetCriticalHealthLevel(), hunger <= (float)tuning.GetCriticalHungerLevel(),
                         energy <= (float)tuning.GetCriticalEnergyLevel(), health <= (float)tuning.GetLowHealthLevel(),
                         hunger <= (float)tuning.GetLowHungerLevel(),       energy <= (float)tuning.GetLowEnergyLevel()};
  for (int kind = 0; kind < 6; ++kind)
    if (kinds[kind]) {
      display->SetConditionLabel(creature, kind);
      return;
    }
  // Hunters keep the label they had while they are out.
  cIInteraction* doing = creature->GetInteraction();
  const std::string name = doing ? doing->GetName() : std::string();
  if (name != "Hunting Runts" && name != "Hunting Big Game") display->RemoveConditionLabel(creature);
}

float cTribeObjectController::GetSlopeSpeed(const Vector3& position, const Quaternion& orientation) {
  cRovurozovizProgram& script = GetTribeProgram(eTribeProgram::CreatureSpeed);
  script.SetVariable("slope", GetPlanetModel().GetForwardSlope(position, orientation));
  script.Run();
  return script.GetVariable("speed");
}

// ---- herds ---------------------------------------------------------------------------

void cTribeObjectController::StepHerds(float seconds) {
  for (size_t i = 0; i < mHerds.size(); ++i) {
    cTribeHerd* herd = mHerds[i];
    if (herd->GetCount() > 0) {
      UpdateHerd(herd, seconds);
      continue;
    }
    // A finished herd is marked on one pass and leaves on the next; the herds
    // after it wait for the next tick.
    if (herd->IsFinished()) {
      mHerds.erase(mHerds.begin() + (ptrdiff_t)i);
      herd->ReleaseSceneObjects();
      GetDataManager()->Remove(herd);
    } else {
      herd->MarkFinished();
    }
    return;
  }
}

cTribeHerd* cTribeObjectController::FindNearestHerdOfType(int type) {
  return NearestHerd(mHerds, HutPositionOf(mPlayerTribe), false, type);
}

cTribeHerd* cTribeObjectController::FindNearestHerd(const Vector3& point) { return NearestHerd(mHerds, point, true); }

cTribeHut* cTribeObjectController::FindNearestRivalHut(const Vector3& point) {
  cTribeHut* nearest = nullptr;
  float best = FLT_MAX;
  for (cTribe* tribe : mTribes) {
    if (tribe == mPlayerTribe || tribe->GetPopulation() < 1 || !tribe->GetHut()) continue;
    const float d = DistanceSquared(tribe->GetHut()->GetPositionVector(), point);
    if (!nearest || d < best) nearest = tribe->GetHut(), best = d;
  }
  return nearest;
}
