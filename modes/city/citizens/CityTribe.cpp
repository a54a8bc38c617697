#include "modes/city/citizens/CityTribe.h"

#include <GL/freeglut.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "glf/Overlay2D.h"
#include "glf/TextPlacement.h"
#include "math/Math.h"
#include "modes/city/behaviours/CityBehaviors.h"
#include "modes/city/data/CityFormulas.h"
#include "modes/city/data/CityTuning.h"
#include "modes/city/economy/CityBundleContainers.h"
#include "modes/city/groups/CityGroupFamily.h"
#include "modes/city/groups/CityRaidDisaster.h"
#include "modes/city/groups/CityRecruiting.h"
#include "modes/city/objects/CityCreation.h"
#include "modes/city/objects/CityGameCity.h"
#include "modes/city/objects/CityGameCityWalls.h"
#include "modes/city/objects/CityScene.h"
#include "modes/creature/CreatureCommon.h"
#include "platform/Sys.h"
#include "sim/tuning/SharedTuningData.h"
#include "world/planet/PlanetModel.h"
#include "world/scene/BillboardShape.h"
#include "world/scene/SceneObject.h"
#include "world/scene/SolidShapes.h"

using namespace Ru::Math;

namespace {
constexpr int kPlacementTries = 200;
constexpr int kDryTries = 50;  // after these a camp may stand in water
constexpr float kPileMin = 5.5f, kPileMax = 6.5f;
constexpr float kMemberStartMin = 10.0f, kMemberStartMax = 15.0f;

float Random01() { return (float)Sys_Random() / 32767.0f; }
}  // namespace

// ---- shapes ----

const char* cCityGameTribe::HeartTextureFor(float r) {
  if (r > 7.0f) return ".\\Data\\Textures\\HalfSizeHeartPlusPlus.bmp";
  if (r > 3.0f) return ".\\Data\\Textures\\HalfSizeHeartPlus.bmp";
  if (r < -7.0f) return ".\\Data\\Textures\\HalfSizeHeartMinusMinus.bmp";
  if (r < -3.0f) return ".\\Data\\Textures\\HalfSizeHeartMinus.bmp";
  return ".\\Data\\Textures\\HalfSizeHeart.bmp";  // also a NaN: the plain heart
}

cSceneShapeBillboard* cCityGameTribe::GetHeartShape(float relationship) {
  static std::map<std::string, cSceneShapeBillboard*>* shapes = new std::map<std::string, cSceneShapeBillboard*>;
  const char* file = HeartTextureFor(relationship);
  cSceneShapeBillboard*& shape = (*shapes)[file];
  if (!shape) {
    shape = new cSceneShapeBillboard(file, true);  // world-size, so the heart can be picked
    shape->SetScale(Vector3{3.0f, 3.0f, 3.0f});
  }
  return shape;
}

cSceneShapeCube* cCityGameTribe::GetHutShape() {
  static auto* shape = new cSceneShapeCube;  // the city's own hut: the tribe mode stays out of the city
  return shape;
}

// ---- the tribe ----

cCityGameTribe::cCityGameTribe() {
  const float scale = GetSharedTuningData().GetHutScale();
  GetHutShape()->SetScale(Vector3{scale, scale, scale});
}

void cCityGameTribe::Initialize(cCityGameObject* city) {
  SetOwner(city);
  const cCityGameTuning& tuning = GetCityGameTuning();
  cPlanetModel& planet = GetPlanetModel();
  std::vector<cCityGameTribe*> others;
  GetCityObjectRegistry().CollectObjectsOfClass(others);
  Vector3 pole, candidate;
  planet.ProjectToSurface(pole, Vector3{0.0f, 1.0f, 0.0f});
  for (int tries = 1; tries <= kPlacementTries; ++tries) {
    planet.GetRandomSurfacePointNear(candidate, pole, kMinDistanceFromHall, kMaxDistanceFromHall);
    bool tooClose = false;
    for (cCityGameTribe* other : others)
      if (other != this && planet.GetSurfaceDistance(candidate, other->GetPosition()) < tuning.minDistanceBetweenTribes)
        tooClose = true;
    if (!tooClose && (!planet.IsUnderWater(candidate) || tries > kDryTries)) break;
  }
  SetRelationship(city, Random01() * 8.0f - 4.0f);
  mColour.x = Random01() * 0.8f + 0.2f;
  mColour.y = Random01() * 0.8f + 0.2f;
  mColour.z = Random01() * 0.8f + 0.2f;
  SetPosition(candidate, Vector3{});
  MakeMarker();
  for (int n = GetMemberCount(); n < tuning.initialTribeCreatures; ++n) BearMember();
  if (auto* store = CreateHeldCityObject<cCityGameBundleContainer>(mFoodContainer)) {
    store->Setup(city, this, 0, kPileMin, kPileMax, kCityFood);
    store->SetPosition(mPosition, Vector3{});
    store->AddAmount(store->GetAmountPerBundle() * (float)tuning.tribeInitialFood);
  }
  mIdleExtra = Random01() * 9000.0f + 1000.0f;
  StartRest();
}

void cCityGameTribe::BearMember() {
  // Registered before it joins: the tribe keeps members by registry id.
  if (auto* member = CreateRegisteredCityObject<cCityGameTribeCreature>()) member->JoinTribe(mOwner.object, this);
}

void cCityGameTribe::MakeMarker() {
  RemoveMarker();
  mMarker = new cSceneObject(this, GetHutShape());
  mMarker->SetColour(mColour);
  GetSceneManager().AddObject(mMarker);
  SetPosition(mPosition, Vector3{});
  if (mConquered) mMarker->SetPosition(Vector3Scale(CityUpAt(mPosition), Vector3Length(mPosition) - 0.5f));
}

void cCityGameTribe::RemoveMarker() { RemoveFromCityScene(mMarker); }

void cCityGameTribe::EndUsersInteractions() {
  cCityGameWorldObject::EndUsersInteractions();
  RemoveFromCityScene(mHeart);
  RemoveMarker();
  mMembers.clear();
  RemoveHeldStore(mFoodContainer);
}

void cCityGameTribe::ResolveLinks() {
  cCityGameWorldObject::ResolveLinks();
  mFoodContainer.object = GetCityObjectRegistry().Find(mFoodContainer.id);
}

void cCityGameTribe::OnModeEnter() { MakeMarker(); }

void cCityGameTribe::OnModeLeave() {
  if (mMarker) GetSceneManager().RemoveObject(mMarker);
  RemoveFromCityScene(mHeart);  // made again by the next update
}

void cCityGameTribe::SetState(int state) {
  mState = state;
  if (state == kTrade) {
    mTradeTimer.Restart();
    mPilgrimageTimer = cGameStopwatch();
  } else if (state == kPilgrimage) {
    mPilgrimageTimer.Restart();
    mTradeTimer = cGameStopwatch();
  }
}

float cCityGameTribe::GetRelationship(cCityGameObject* city) const {
  auto found = mRelationships.find(city ? city->GetId() : kNoCityId);
  return found == mRelationships.end() ? 0.0f : found->second;
}

void cCityGameTribe::SetRelationship(cCityGameObject* city, float value) {
  if (value != value) value = 0.0f;  // a NaN from a formula or tuning file would stick
  if (value > kRelationshipLimit) value = kRelationshipLimit;
  if (value < -kRelationshipLimit) value = -kRelationshipLimit;
  mRelationships[city ? city->GetId() : kNoCityId] = value;
}

cCityGameBundleContainer* cCityGameTribe::GetFoodContainer() const {
  return dynamic_cast<cCityGameBundleContainer*>(GetCityObjectRegistry().Find(mFoodContainer.id));
}

void cCityGameTribe::AddMember(cCityGameCreature* member) {
  if (member) mMembers.push_back(member->GetId());
}

void cCityGameTribe::RemoveMember(cCityGameCreature* member) {
  if (!member) return;
  for (auto it = mMembers.begin(); it != mMembers.end(); ++it)
    if (*it == member->GetId()) {
      mMembers.erase(it);
      return;
    }
}

cCityGameTribeCreature* cCityGameTribe::FindMember(uint32_t id) const {
  auto* member = dynamic_cast<cCityGameTribeCreature*>(GetCityObjectRegistry().Find(id));
  return member && !GetCityObjectRegistry().IsQueued(member) ? member : nullptr;
}

cCityGameTribeCreature* cCityGameTribe::FirstIdleMember() const {
  for (uint32_t id : mMembers)
    if (cCityGameTribeCreature* member = FindMember(id))
      if (!member->HasInteraction()) return member;
  return nullptr;
}

std::vector<cCityGameTribeCreature*> cCityGameTribe::TakeIdleMembers(int n) {
  std::vector<cCityGameTribeCreature*> idle;
  for (uint32_t id : mMembers) {
    if ((int)idle.size() >= n) break;
    cCityGameTribeCreature* member = FindMember(id);
    if (member && !member->HasInteraction()) idle.push_back(member);
  }
  return idle;
}

void cCityGameTribe::StartRecruitedMembers(int n) {
  const std::vector<uint32_t> members = mMembers;  // a start may end another errand that touches the list
  for (uint32_t id : members) {
    if (n-- <= 0) break;
    if (cCityGameTribeCreature* member = FindMember(id))
      Interact(member, GetCityBehavior<cCityRecruitedTribeMemberInteraction>(), nullptr, 0);
  }
}

void cCityGameTribe::EndRecruiting() {
  mRecruiting = false;
  StartRest();
}

void cCityGameTribe::EndRaid() {
  mRaiding = false;
  StartRest();
}

bool cCityGameTribe::IsResting() {
  if (mIdleTimer.IsRunning() && (float)mIdleTimer.GetElapsed() <= GetCityGameTuning().tribeIdleDuration + mIdleExtra)
    return true;
  mIdleExtra = 0.0f;
  mIdleTimer = cGameStopwatch();
  return false;
}

void cCityGameTribe::Conquer() {
  if (mConquered) return;
  if (auto* city = dynamic_cast<cCityGameCity*>(mOwner.object)) city->AddMoney(GetCityGameTuning().warReward);
  mColour = Vector3{0.0f, 0.0f, 0.0f};
  mState = kNone;
  mConquered = true;
  if (!mMarker) return;
  mMarker->SetColour(mColour);
  mMarker->SetPosition(Vector3Scale(CityUpAt(mPosition), Vector3Length(mPosition) - 0.5f));
}

void cCityGameTribe::Update(uint32_t ms) {
  UpdateHeart();
  UpdateBirthsAndDeaths();
  UpdateVisits();
  UpdateSending(ms);
}

void cCityGameTribe::UpdateHeart() {
  cSceneShapeBillboard* shape = GetHeartShape(GetRelationship(mOwner.object));
  if (mHeart && mHeart->GetShape() != (cISceneShape*)shape) RemoveFromCityScene(mHeart);
  if (!mHeart) {
    mHeart = new cSceneObject(this, (cISceneShape*)shape);
    mHeart->SetColour(Vector3{1.0f, 1.0f, 1.0f});
    GetSceneManager().AddObject(mHeart);
  }
  mHeart->SetPosition(Vector3Add(mPosition, Vector3Scale(CityUpAt(mPosition), kHeartHeight)));
}

void cCityGameTribe::UpdateBirthsAndDeaths() {
  const cCityGameTuning& tuning = GetCityGameTuning();
  cCityGameBundleContainer* store = GetFoodContainer();
  const float food = store ? store->GetTotalAmount() : 0.0f;
  const float maxPopulation = tuning.maxTribePopulation > 0 ? (float)tuning.maxTribePopulation : 1.0f;
  const float s = (float)GetMemberCount() / maxPopulation;
  if (!mCycleTimer.IsRunning()) {
    const float span = tuning.maxTribePopulationFoodRequirement - tuning.minTribePopulationFoodRequirement;
    const float lower = std::trunc(span * s + tuning.minTribePopulationFoodRequirement);
    const float upper =
        std::trunc(span * (float)(GetMemberCount() + 1) / maxPopulation + tuning.minTribePopulationFoodRequirement);
    if (food > upper) {
      mGrowing = true;
      mCycleTimer.Restart();
    } else if (food < lower) {
      mGrowing = false;
      mCycleTimer.Restart();
    }
    return;
  }
  const float period =
      tuning.minTribeBirthAndDeathRate + (tuning.maxTribeBirthAndDeathRate - tuning.minTribeBirthAndDeathRate) * s;
  if (!((float)mCycleTimer.GetElapsed() > period)) return;
  if (mGrowing && GetMemberCount() < tuning.maxTribePopulation) {
    BearMember();
  } else {
    cCityGameTribeCreature* dying = FirstIdleMember();
    if (!dying) return;  // every member is busy: the death waits
    RemoveMember(dying);
    GetCityObjectRegistry().QueueRemoval(dying);
  }
  mCycleTimer = cGameStopwatch();
}

void cCityGameTribe::UpdateVisits() {
  const cCityGameTuning& tuning = GetCityGameTuning();
  auto visit = [this](cGameStopwatch& timer, float period, float chance, cIInteraction* behaviour) {
    if (!((float)timer.GetElapsed() >= period)) return;
    if (Random01() <= chance)
      if (cCityGameTribeCreature* member = FirstIdleMember()) Interact(member, behaviour, nullptr, 0);
    timer.Restart();
  };
  if (mState == kWar) {
    cCityGameBundleContainer* store = GetFoodContainer();
    if (GetMemberCount() == 0 && (!store || store->GetTotalAmount() <= 0.0f) && mConquered) mState = kNone;
  } else if (mState == kTrade) {
    visit(mTradeTimer, tuning.tribeTradeCheckFrequency, tuning.tribeTradeChance,
          GetCityBehavior<cCityGameBehaviorNPCTrade>());
  } else if (mState == kPilgrimage) {
    visit(mPilgrimageTimer, tuning.tribePilgrimageCheckFrequency, tuning.tribePilgrimageChance,
          GetCityBehavior<cCityGameBehaviorNPCPilgrimage>());
  }
}

namespace {
// A formula's answer as a party size: never negative, never more than the
// tribe has (a NaN or a huge answer sends what is idle, not a wrapped count).
int PartySize(float answer, int members) {
  if (!(answer >= 1.0f)) return 0;
  return answer >= (float)members ? members : (int)answer;
}
}  // namespace

void cCityGameTribe::UpdateSending(uint32_t ms) {
  if (GetMemberCount() == 0 || IsResting()) return;
  const float r = GetRelationship(mOwner.object);
  cCityGameBundleContainer* store = GetFoodContainer();
  const float food = store ? store->GetTotalAmount() : 0.0f;
  int raiders = 0;
  if (!mRaiding)
    raiders = PartySize(nCityGameFormulas::TribeChanceToRaid().Evaluate(GetMemberCount(), r, (int)GetCityFood(),
                                                                          (int)food, (int)ms),
                        GetMemberCount());
  if (!mRecruiting) {
    const int recruiters = PartySize(
        nCityGameFormulas::TribeChanceToRecruit().Evaluate(r, GetMemberCount(), (float)ms), GetMemberCount());
    if (recruiters != 0) {
      SendRecruiters(recruiters);
      return;
    }
  }
  if (raiders != 0) {
    SendRaiders(raiders);
    return;
  }
  StartRest();
}

bool cCityGameTribe::SendRaiders(int n) {
  const std::vector<cCityGameTribeCreature*> party = TakeIdleMembers(n);
  auto* city = dynamic_cast<cCityGameCity*>(mOwner.object);
  if (party.empty() || !city) {
    StartRest();  // nobody to send: rest instead of asking the script every frame
    return false;
  }
  mRaiding = true;
  auto* raid = CreateRegisteredCityObject<cCityGameRaidDisaster>();
  if (!raid) return false;
  raid->Start(city, this);
  raid->SetPosition(city->GetPosition(), Vector3{});
  for (cCityGameTribeCreature* member : party) raid->Interact(member, nullptr, nullptr, 0);
  return true;
}

bool cCityGameTribe::SendRecruiters(int n) {
  const std::vector<cCityGameTribeCreature*> party = TakeIdleMembers(n);
  auto* city = dynamic_cast<cCityGameCity*>(mOwner.object);
  if (party.empty() || !city) {
    StartRest();
    return false;
  }
  mRecruiting = true;
  // Somewhere on the line to the city, from 5 outside the walls to 5 short of the hall.
  cCityGameCityWalls* walls = city->GetWalls();
  const float w = (walls ? walls->SignedDistance(mPosition.x, mPosition.y, mPosition.z) : 0.0f) - 5.0f;
  const Vector3 toCity = Vector3Sub(city->GetPosition(), mPosition);
  const float length = Vector3Length(toCity);
  const float d = w + Random01() * (length - w - 5.0f);
  Vector3 point;
  GetPlanetModel().ProjectToSurface(point, Vector3Add(mPosition, Vector3Scale(CityUpAt(toCity), d)));
  auto* drive = CreateRegisteredCityObject<cCityGameRecruitDisaster>();
  if (!drive) return false;
  drive->Start(city, this);
  drive->SetPosition(point, Vector3{});
  drive->SetRecruitCount((int)party.size());
  for (cCityGameTribeCreature* member : party) drive->Interact(member, nullptr, nullptr, 0);
  return true;
}

void cCityGameTribe::DrawLabel(bool show, int x, int y) {
  if (!show) return;
  cCityGameBundleContainer* store = GetFoodContainer();
  char food[64], relation[64];
  std::snprintf(food, sizeof food, "Food: %.2f", store ? (double)store->GetTotalAmount() : 0.0);
  std::snprintf(relation, sizeof relation, "Relationship: %.2f", (double)GetRelationship(mOwner.object));
  Begin2D();
  SetColour2D(1.0f, 1.0f, 1.0f);
  // The overlay's text takes no line breaks: each line is drawn on its own, one line apart.
  std::vector<sTextLine2D> lines = {{0, -2, GetName()}, {0, 10, food}, {5, 22, relation}};
  if (mCycleTimer.IsRunning()) lines.push_back({0, -14, mGrowing ? "Growing" : "Shrinking"});
  DrawTextLines2D(x, y, GLUT_BITMAP_HELVETICA_12, lines);
  End2D();
}

// ---- a member ----

cCityGameTribeCreature::cCityGameTribeCreature() { mDefenseCheckTimer.Restart(); }

void cCityGameTribeCreature::JoinTribe(cCityGameObject* city, cCityGameTribe* tribe) {
  mTribe.object = tribe;
  mTribe.id = tribe ? tribe->GetId() : kNoCityId;
  cCityGameCreature::Initialize(city);
  if (!tribe) return;
  Vector3 start;
  GetPlanetModel().GetRandomSurfacePointNear(start, tribe->GetPosition(), kMemberStartMin, kMemberStartMax);
  SetPosition(start, Vector3{});
  if (mCommon) mCommon->SetPosition(start);
  tribe->AddMember(this);
}

cCityGamePlayerCreature* cCityGameTribeCreature::BecomeCitizenOf(cCityGameObject* city) {
  const Vector3 where = mPosition;
  GetCityObjectRegistry().QueueRemoval(this);
  auto* citizen = CreateRegisteredCityObject<cCityGamePlayerCreature>();
  if (!citizen) return nullptr;
  citizen->Initialize(city);
  citizen->SetPosition(where, Vector3{});
  if (citizen->GetCommon()) citizen->GetCommon()->SetPosition(where);
  return citizen;
}

cCityGameTribe* cCityGameTribeCreature::GetTribe() const {
  return dynamic_cast<cCityGameTribe*>(GetCityObjectRegistry().Find(mTribe.id));
}

void cCityGameTribeCreature::EndUsersInteractions() {
  if (cCityGameTribe* tribe = GetTribe()) tribe->RemoveMember(this);
  cCityGameCreature::EndUsersInteractions();
}

void cCityGameTribeCreature::ResolveLinks() {
  cCityGameCreature::ResolveLinks();
  mTribe.object = GetTribe();
}

Vector3 cCityGameTribeCreature::GetColour() {
  cCityGameTribe* tribe = GetTribe();
  return tribe ? tribe->GetColour() : Vector3{0.0f, 0.0f, 0.0f};
}

void cCityGameTribeCreature::Update(uint32_t ms) {
  if ((float)mDefenseCheckTimer.GetElapsed() > std::trunc(GetCityGameTuning().tribeRaidDefenseCheckFrequency)) {
    mDefenseCheckTimer.Restart();
    TryStartRaidDefense(this);  // out against citizens attacking the village
  }
  if (HasInteraction()) return;
  cCityGameTribe* tribe = GetTribe();
  if (!tribe || !mCommon) return;
  if (mCommon->GetDistanceToTarget() < 1.0f) {
    Vector3 goal;
    GetPlanetModel().GetRandomSurfacePointNear(goal, tribe->GetPosition(), kWanderMin, kWanderMax);
    mCommon->SetPosition(goal);
  }
  MoveTowardGoal(ms, kWanderSpeed);
}
