#include "modes/civ/CivWorld.h"

#include <algorithm>
#include <cmath>

#include "app/AppGlobals.h"
#include "app/GameClock.h"
#include "camera/Camera.h"
#include "camera/CameraControl.h"
#include "modes/civ/CivAccess.h"
#include "modes/civ/CivAgent.h"
#include "modes/civ/CivBullets.h"
#include "modes/civ/CivBuilding.h"
#include "modes/civ/CivCity.h"
#include "modes/civ/CivInfluence.h"
#include "modes/civ/CivInputController.h"
#include "modes/civ/CivLists.h"
#include "glf/DebugWindow.h"
#include "modes/civ/CivDebugFlags.h"
#include "modes/civ/CivPlayers.h"
#include "modes/civ/CivRecords.h"
#include "modes/civ/CivRoad.h"
#include "modes/civ/CivSounds.h"
#include "modes/civ/CivStartPlaces.h"
#include "modes/civ/CivShapes.h"
#include "modes/civ/CivTurret.h"
#include "modes/civ/CivVehicle.h"
#include "modes/civ/CivTuning.h"
#include "platform/Sys.h"
#include "sim/gamedata/DataManager.h"
#include "world/planet/PlanetModel.h"
#include "world/scene/SceneManager.h"

namespace {
int gCivHumanPlayer = -1;
cCivWorld* gCivWorld = nullptr;  // the live world (the mode's, or a test's)
cGameStopwatch gCivMoodDecay;  // started by the first world, then restarted at every decay
sCivInputHooks& CivInputHooks() {
  static sCivInputHooks* hooks = new sCivInputHooks();
  return *hooks;
}

float RandomFraction() { return (float)Sys_Random() * (1.0f / 32767.0f); }
}  // namespace

std::vector<cCivModeDecoratedCity*>& GetCivCities() {
  static std::vector<cCivModeDecoratedCity*>* cities = new std::vector<cCivModeDecoratedCity*>();
  return *cities;
}

int GetCivHumanPlayer() { return gCivHumanPlayer; }
cCivWorld* GetCivWorld() { return gCivWorld; }
cCivInfluence* GetCivInfluence() { return gCivWorld ? gCivWorld->GetInfluence() : nullptr; }
void SetCivInputHooks(sCivInputHooks hooks) { CivInputHooks() = std::move(hooks); }
Ru::Math::Vector3 GetCivPickPoint() {
  return CivInputHooks().pickPoint ? CivInputHooks().pickPoint() : Ru::Math::Vector3{0, 0, 0};
}
void CivAddToSelection(cCivModeVehicle* vehicle) {
  if (CivInputHooks().addToSelection) CivInputHooks().addToSelection(vehicle);
}

void RegisterCivTypes() {
  RegisterCivRecordTypes();
  // Prototypes live for the whole run, built on first use.
  static Ko::cIGameData* const prototypes[] = {
      new cCivModeDecoratedBuilding(), new cCivModeHappinessBuilding(), new cCivModeMilitaryBaseBuilding(),
      new cCivModeTempleBuilding(),    new cCivModeConsulateBuilding(), new cCivModeEmbassyBuilding(),
      new cCivModeDecoratedCity(),     new cCivModeVehicle(),           new cCivModeRoad(),
      new cCivModeTurret(),
  };
  for (Ko::cIGameData* prototype : prototypes) GetDataManager()->RegisterType(prototype, CivNoSaveSerializer());
}

struct cCivWorld::cPendingRoad {
  cCivModeRoad* road = nullptr;     // null once removed
  cCivModeRoad* reverse = nullptr;  // null once removed
  int kind = kCivPlainRoad;
  cCivModeRoad::cCivRoadOtc cost;
  std::unique_ptr<cPlanetModel::cPathSearch> search;
};

cCivWorld::cCivWorld() {
  RegisterCivTypes();
  if (!gCivMoodDecay.IsRunning()) gCivMoodDecay.Restart();
  gCivHumanPlayer = ChooseCivHumanPlayer(*cCivTuning::GetGeneral());
  mInfluence = new cCivInfluence();
  mInfluence->SetThreshold(0.1f);
  mInfluence->SetNumPlayers(cCivTuning::GetGeneral()->NumPlayers);
  mBullets = new cCivBulletList();
  mAgent = new cCivPlayerAgent();
  gCivWorld = this;
}

cCivWorld::~cCivWorld() {
  if (gCivWorld == this) gCivWorld = nullptr;
  mFocusCycle.clear();
  mBullets->Clear();
  delete mBullets;
  delete mAgent;
  for (cCivModeVehicle* vehicle : mVehicles) vehicle->Release();
  delete mInfluence;
}

Ru::Math::Vector3 cCivWorld::StartPosition(int index, bool testCamera) {
  if (testCamera && index >= 1) ++index;  // the test camera has no place for the second row
  if (index < 0 || index >= kCivStartPlaceCount) return {0, 0, 0};
  const float* place = kCivStartPlaces[index];
  return {place[0], place[1], place[2]};
}

int cCivWorld::StartOwner(int k, int cities, int players) {
  float ratio = (float)cities / (float)players;
  float inverse = 1.0f / ratio;
  return (int)std::floor((double)k * (double)inverse);
}

void cCivWorld::RestartMoodDecayForTest() { gCivMoodDecay.Restart(); }

void cCivWorld::Enter() {
  gCivWorld = this;
  LoadCivSounds();
  cPlanetModel& planet = GetPlanetModel();
  planet.RemovePlantsInRadius({0.0f, 500.0f, 0.0f}, 350.0f);
  planet.RemovePlantsInRadius({0.0f, -500.0f, 0.0f}, 350.0f);
  for (cCivModeDecoratedCity* city : GetCivCities()) city->Reenter(city->GetOwner());
  for (cCivModeVehicle* vehicle : mVehicles) GetSceneManager().AddObject(vehicle->GetSceneObject());
  if ((int)GetCivCities().size() == cCivTuning::GetGeneral()->NumCities) return;
  CreateStartCities();
  DrawInitialMoods();
}

void cCivWorld::CreateStartCities() {
  const cCivTuningGeneral& general = *cCivTuning::GetGeneral();
  std::vector<cCivModeDecoratedCity*>& cities = GetCivCities();
  for (int k = (int)cities.size(); k < general.NumCities; ++k) {
    cCivModeDecoratedCity* city = CreateCity();
    if (!city) return;
    city->Setup(StartOwner(k, general.NumCities, general.NumPlayers), StartPosition(k, gUseCivTestCamera != 0));
    cities.push_back(city);
  }
}

// NPC cities take moods from five bands with quotas, so every game starts
// with a spread of happy and unhappy rivals.
void cCivWorld::DrawInitialMoods() {
  const cCivTuningHappiness& happiness = *cCivTuning::GetHappiness();
  std::vector<cCivModeDecoratedCity*>& cities = GetCivCities();
  int numCities = cCivTuning::GetGeneral()->NumCities;
  int quota[kCivMoodCount] = {1, 2, numCities == 10 ? 2 : 1, 2, 2};
  cCivMood bands(&happiness);  // only its categories are used
  auto draw = [&] { return RandomFraction() * (happiness.MoodMax - happiness.MoodMin) + happiness.MoodMin; };
  auto bandOf = [&](float m) {
    bands.Set(m);
    return bands.GetCategory();
  };
  for (int i = 0; i < numCities && i < (int)cities.size(); ++i) {
    if (!cities[i]->IsNPC()) continue;
    float m = draw();
    int draws = 0;
    while (quota[bandOf(m)] == 0 && draws < 1000) {
      m = draw();
      ++draws;
    }
    if (quota[bandOf(m)] == 0) continue;  // every band full: the mood stays
    cities[i]->GetMood()->Set(m);
    --quota[bandOf(m)];
  }
}

void cCivWorld::Update(uint32_t dtMs, bool standingStill) {
  AdvancePendingRoads();  // those bought in earlier ticks
  mInTick = true;
  mStandingStill = standingStill;
  mReplansThisTick = 0;
  mSearchRoundsLeft = kSearchRoundsPerTick;
  std::vector<cCivModeDecoratedCity*>& cities = GetCivCities();
  for (cCivModeDecoratedCity* city : cities) city->Update(dtMs);
  if (!standingStill) mAgent->Update(cities);
  // The decay runs on the game clock, not on the (speed-scaled) tick; standing
  // still, a period passed waits for the world to move again.
  if (!standingStill && (float)gCivMoodDecay.GetElapsed() > cCivTuning::GetHappiness()->DecayPeriodMs) {
    gCivMoodDecay.Restart();
    for (cCivModeDecoratedCity* city : cities) city->GetMood()->Set(city->GetMood()->GetValue() - 1.0f);
  }
  for (cCivModeVehicle* vehicle : mVehicles) vehicle->Update(dtMs);
  RemoveFromGame(mVehicles, [](cCivModeVehicle* vehicle) { return vehicle->GetState() == kCivVehicleDead; });
  if (!standingStill) mBullets->Update(dtMs);  // one at its target would arrive
  mInTick = false;
  mStandingStill = false;
}

void cCivWorld::Render() {
  if (CivCubesBatched()) cCivModeTurret::BeginGuns();
  for (cCivModeDecoratedCity* city : GetCivCities()) city->Render();
  cCivModeTurret::EndGuns();
  for (cCivModeVehicle* vehicle : mVehicles) vehicle->DrawDebugText();
}

void cCivWorld::Leave() {
  for (cCivModeDecoratedCity* city : GetCivCities()) city->Leave();
  for (cCivModeVehicle* vehicle : mVehicles) GetSceneManager().RemoveObject(vehicle->GetSceneObject());
  mBullets->Clear();  // no bullet is drawn by the next mode
}

void cCivWorld::ClearFocusCycle() {
  mFocusCycle.clear();
  mCycleStart = nullptr;
}

void cCivWorld::PrepareSniffTest() {
  gCivUseNPCAI = 1;
  for (cCivModeDecoratedCity* city : GetCivCities()) city->SetNPC(true);
  for (cCivModeVehicle* vehicle : mVehicles) vehicle->SetNPC(true);
}

cCivModeDecoratedCity* cCivWorld::NextPlayerCity() {
  auto visited = [&](cCivModeDecoratedCity* city) {
    return std::find(mFocusCycle.begin(), mFocusCycle.end(), city) != mFocusCycle.end();
  };
  const float* anchorFloats = GetCameraAnchor();
  Ru::Math::Vector3 anchor{anchorFloats[0], anchorFloats[1], anchorFloats[2]};
  cPlanetModel& planet = GetPlanetModel();
  cCivModeDecoratedCity* candidate = nullptr;
  float nearest = 0.0f;
  for (cCivModeDecoratedCity* city : GetCivCities()) {
    if (city->IsNPC() || visited(city)) continue;
    float distance = planet.GetSurfaceDistance(city->GetPosition(), anchor);
    if (!candidate || distance < nearest) {
      candidate = city;
      nearest = distance;
    }
  }
  if (candidate) {
    if (mFocusCycle.empty()) mCycleStart = candidate;
    return candidate;
  }
  if (mFocusCycle.empty()) return nullptr;
  mFocusCycle.clear();  // every human city was visited: start over
  return mCycleStart;
}

void cCivWorld::FocusNextPlayerCity(bool continueCycle) {
  if (!continueCycle) mFocusCycle.clear();
  cCivModeDecoratedCity* city = NextPlayerCity();
  if (!city) return;
  mFocusCycle.push_back(city);
  Ru::Math::Vector3 position = city->GetPosition();
  if (gUseCivTestCamera)
    CameraFocusOnPoint(position.x, position.y, position.z);
  else
    CenterCameraOn(&position.x);
}

cCivModeDecoratedCity* cCivWorld::CreateCity() { return GetDataManager()->CreateObject<cCivModeDecoratedCity>(); }
cCivModeRoad* cCivWorld::CreateRoad() { return GetDataManager()->CreateObject<cCivModeRoad>(); }

void cCivWorld::ExpelEmbassies(int a, int b) {
  cCivPlayers* players = GetCivPlayers();
  if (!players || players->GetRelationships()->Get(a, b) >= 0.0f) return;
  for (cCivModeDecoratedCity* city : GetCivCities()) {
    if (!city->IsNPC()) continue;
    if (city->GetOwner() == a) city->ConsiderExpellingEmbassy(b);
    else if (city->GetOwner() == b) city->ConsiderExpellingEmbassy(a);
  }
}

// ---- vehicles ----

cCivModeVehicle* cCivWorld::CreateVehicle(cCivModeDecoratedCity* city, int kind) {
  if (!city) return nullptr;
  auto* vehicle = GetDataManager()->CreateObject<cCivModeVehicle>();
  if (!vehicle) return nullptr;
  vehicle->AddRef();
  vehicle->Init(city, kind);
  mVehicles.push_back(vehicle);
  // The human's new vehicle is marked and joins the selection.
  if (!vehicle->IsNPC()) {
    vehicle->SetHighlighted(true);
    CivAddToSelection(vehicle);
  }
  return vehicle;
}

void cCivWorld::AdoptVehicle(cCivModeVehicle* vehicle) {
  if (!vehicle || std::find(mVehicles.begin(), mVehicles.end(), vehicle) != mVehicles.end()) return;
  vehicle->AddRef();
  mVehicles.push_back(vehicle);
}

namespace {
bool IsLive(const cCivModeVehicle* v) { return v->GetState() != kCivVehicleDying && v->GetState() != kCivVehicleDead; }
}  // namespace

cCivModeVehicle* cCivWorld::FindVehicleTarget(cCivModeVehicle* vehicle) const {
  cCivPlayers* players = GetCivPlayers();
  if (!vehicle || !players) return nullptr;
  const cPlanetModel::sSurfacePoint& at = vehicle->GetSurfacePoint();
  auto find = [&](float range) -> cCivModeVehicle* {
    for (cCivModeVehicle* other : mVehicles) {
      if (other->GetOwner() == vehicle->GetOwner() || !IsLive(other)) continue;
      if (players->GetRelationships()->Get(vehicle->GetOwner(), other->GetOwner()) >= 0.0f) continue;
      if (cPlanetModel::IsSurfaceDistanceBelow(other->GetSurfacePoint(), at, range)) return other;
    }
    return nullptr;
  };
  cCivModeVehicle* near = find(60.0f);
  if (!near && vehicle->GetState() == kCivVehicleGuard) near = find(120.0f);
  return near;
}

cCivModeVehicle* cCivWorld::FindVehicleNearCity(cCivModeDecoratedCity* city) const {
  if (!city) return nullptr;
  const cPlanetModel::sSurfacePoint at = GetPlanetModel().GetSurfacePoint(city->GetPosition());
  for (cCivModeVehicle* vehicle : mVehicles)
    if (vehicle->GetOwner() != city->GetOwner() && IsLive(vehicle) &&
        cPlanetModel::IsSurfaceDistanceBelow(vehicle->GetSurfacePoint(), at, 150.0f))
      return vehicle;
  return nullptr;
}

bool cCivWorld::TakeReplanTurn() {
  if (!mInTick) return true;
  if (mReplansThisTick >= kReplansPerTick || mSearchRoundsLeft <= 0) return false;
  ++mReplansThisTick;
  return true;
}

int cCivWorld::GetSearchRoundsLeft() const { return mInTick ? std::max(mSearchRoundsLeft, 0) : 10000; }

void cCivWorld::SpendSearchRounds(int rounds) {
  if (mInTick) mSearchRoundsLeft -= rounds;
}

cCivModeVehicle* cCivWorld::FindLiveVehicle(uint32_t id) const {
  if (id == 0) return nullptr;
  for (cCivModeVehicle* vehicle : mVehicles)
    if (vehicle->GetId() == id && IsLive(vehicle)) return vehicle;
  return nullptr;
}

cCivModeDecoratedCity* cCivWorld::FindCityOfTurret(cCivModeTurret* turret) const {
  for (cCivModeDecoratedCity* city : GetCivCities()) {
    const std::vector<cCivModeTurret*>& turrets = city->GetTurrets();
    if (std::find(turrets.begin(), turrets.end(), turret) != turrets.end()) return city;
  }
  return nullptr;
}

void cCivWorld::KillVehiclesOfCity(cCivModeDecoratedCity* city) {
  for (cCivModeVehicle* vehicle : mVehicles)
    if (vehicle->GetHomeCity() == city) vehicle->SetState(kCivVehicleDying, {0, 0, 0}, nullptr, nullptr, kCivMissionPillage);
}

void cCivWorld::NotifyTurretLost(cCivModeTurret* turret) {
  for (cCivModeVehicle* vehicle : mVehicles) vehicle->OnTurretLost(turret);
}

void cCivWorld::ForgetObject(Ko::cIGameData* object) {
  if (!object) return;
  if (object->GetTypeId() == cCivModeVehicle::kTypeId) {
    for (cCivModeVehicle* vehicle : mVehicles) vehicle->ForgetObject(object);
    for (cCivModeDecoratedCity* city : GetCivCities()) city->ForgetObject(object);
  }
  if (object->GetTypeId() == cCivModeTurret::kTypeId) NotifyTurretLost(static_cast<cCivModeTurret*>(object));
  if (object->GetTypeId() == cCivModeRoad::kTypeId)
    for (std::unique_ptr<cPendingRoad>& pending : mPendingRoads) {
      if (object == static_cast<Ko::cIGameData*>(pending->road)) pending->road = nullptr;
      if (object == static_cast<Ko::cIGameData*>(pending->reverse)) pending->reverse = nullptr;
    }
  // Every removal, cities too: a bullet must never arrive at a freed city.
  mBullets->OnObjectRemoved(object);
}

void cCivWorld::ClearForLoad() {
  mPendingRoads.clear();
  mBullets->Clear();
  RemoveAllFromGame(mVehicles);
}

void cCivWorld::DumpCityPositions() const {
  std::vector<cCivModeDecoratedCity*>& cities = GetCivCities();
  for (size_t i = 0; i < cities.size(); ++i) {
    Ru::Math::Vector3 p = cities[i]->GetPosition();
    DebugPrintf("City %zu", i);
    DebugPrintf("   %g %g %g ", p.x, p.y, p.z);
  }
}

cCivModeDecoratedBuilding* cCivWorld::FindBuildingByRecord(cBuildingCommon* record) const {
  for (cCivModeDecoratedCity* city : GetCivCities())
    for (cCivModeDecoratedBuilding* building : city->GetBuildings())
      if (record && building->GetRecord() == record) return building;
  return nullptr;
}

cCivModeDecoratedCity* cCivWorld::FindCityOfBuildingRecord(cBuildingCommon* record) const {
  if (!record || !record->GetCityRecord()) return nullptr;
  for (cCivModeDecoratedCity* city : GetCivCities())
    if (city->GetRecord() == record->GetCityRecord()) return city;
  return nullptr;
}

void cCivWorld::PlaceRoad(cCivModeRoad* road) {
  if (!road || !road->GetStart() || !road->GetEnd()) return;
  cCivModeDecoratedCity* start = road->GetStart();
  cCivModeDecoratedCity* end = road->GetEnd();
  int player = start->GetOwner();
  auto pending = std::make_unique<cPendingRoad>();
  pending->road = road;
  pending->kind = road->GetKind();
  pending->search = std::make_unique<cPlanetModel::cPathSearch>(start->GetPosition(), end->GetPosition(), &pending->cost);
  CivCountPathSearch();
  road->SetOwner(player);
  start->AddRoad(road);
  cCivModeRoad* reverse = CreateRoad();
  if (reverse) {
    reverse->SetKind(road->GetKind());
    reverse->SetStart(end);
    reverse->SetEnd(start);
    reverse->SetOwner(player);
    end->AddRoad(reverse);
  }
  pending->reverse = reverse;
  if (road->GetKind() != kCivPlainRoad)
    if (cCivPlayers* players = GetCivPlayers()) players->GetRelationships()->EstablishTradeRoute(player, end->GetOwner());
  if (mInTick) {
    mPendingRoads.push_back(std::move(pending));
    return;
  }
  pending->search->Advance(GetPlanetModel(), 10000);
  LayPendingRoad(*pending);
}

void cCivWorld::LayPendingRoad(cPendingRoad& pending) {
  std::vector<Ru::Math::Vector3> outbound, back;
  cCivModeRoad::SplitPath(pending.search->Result(), pending.kind, outbound, back);
  if (pending.road) pending.road->BuildSegments(outbound);
  if (pending.reverse) pending.reverse->BuildSegments(back);
}

void cCivWorld::AdvancePendingRoads() {
  int budget = kRoadRoundsPerTick;
  while (!mPendingRoads.empty() && budget > 0) {
    cPendingRoad& pending = *mPendingRoads.front();
    const int before = pending.search->GetRounds();
    const bool finished = pending.search->Advance(GetPlanetModel(), budget);
    budget -= pending.search->GetRounds() - before;
    if (!finished) return;
    LayPendingRoad(pending);
    mPendingRoads.erase(mPendingRoads.begin());
  }
}
