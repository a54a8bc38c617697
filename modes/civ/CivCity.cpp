#include "modes/civ/CivCity.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "glf/Overlay2D.h"
#include "math/Math.h"
#include "modes/civ/CivAccess.h"
#include "modes/civ/CivWorld.h"
#include "modes/civ/CivAgent.h"
#include "modes/civ/CivBuilding.h"
#include "modes/civ/CivDebugFlags.h"
#include "modes/civ/CivLists.h"
#include "modes/civ/CivPlayers.h"
#include "modes/civ/CivRecords.h"
#include "modes/civ/CivRoad.h"
#include "modes/civ/CivShapes.h"
#include "modes/civ/CivSounds.h"
#include "modes/civ/CivTuning.h"
#include "modes/civ/CivTurret.h"
#include "modes/civ/CivWall.h"
#include "platform/Sys.h"
#include "sim/gamedata/DataManager.h"
#include "sim/tuning/SharedTuningData.h"
#include "world/planet/PlanetModel.h"
#include "world/scene/SceneManager.h"
#include "world/scene/SceneObject.h"
#include "world/scene/SolidShapes.h"

using namespace Ru::Math;

namespace {

Quaternion UprightAt(const Vector3& position) {
  Quaternion upright;
  cPlanetModel::AlignOrientationToSurface(upright, position, Quaternion{});
  return upright;
}

cCivModeDecoratedBuilding* CreateBuildingOfKind(int kind) {
  cDataManager* data = GetDataManager();
  switch (kind) {
    case 1: return data->CreateObject<cCivModeHappinessBuilding>();
    case 2: return data->CreateObject<cCivModeMilitaryBaseBuilding>();
    case 3: return data->CreateObject<cCivModeTempleBuilding>();
    case 4: return data->CreateObject<cCivModeConsulateBuilding>();
    case 5: return data->CreateObject<cCivModeEmbassyBuilding>();
    default: return nullptr;
  }
}
}  // namespace

cCivModeDecoratedCity::cCivModeDecoratedCity() : mAgent(new cCivCityAgent(this)), mLastHitTime(Sys_Milliseconds()) {}

cCivModeDecoratedCity::~cCivModeDecoratedCity() {
  for (cCivModeRoad* road : mRoads) road->Release();
  for (cCivModeTurret* turret : mTurrets) turret->Release();
  delete mAgent;
  DropWall();
  DropPatrolMarkers();
  delete mMarker;
}

void cCivModeDecoratedCity::SetMarker(cSceneObject* marker) {
  if (marker == mMarker) return;
  delete mMarker;
  mMarker = marker;
}

// ---- set-up and visits ----

void cCivModeDecoratedCity::Setup(int owner, const Vector3& position) {
  mRecord = GetDataManager()->CreateObject<cCityCommon>();
  if (!mMarker) mMarker = new cSceneObject(nullptr, nullptr);
  Quaternion upright = UprightAt(position);
  mMarker->SetPosition(position);
  mMarker->SetOrientation(upright);
  if (mRecord) {
    mRecord->SetPosition(position);
    mRecord->SetOrientation(upright);
  }
  MakeWall();
  SetOwner(owner);
  const cCivTuningGeneral& general = *cCivTuning::GetGeneral();
  // The bounds on the tuning keep max >= min, so the divisor is at least 1.
  int least = mIsNPC ? general.InitNumBuildingsNPCMin : general.InitNumBuildingsPlayerMin;
  int most = mIsNPC ? general.InitNumBuildingsNPCMax : general.InitNumBuildingsPlayerMax;
  int count = least + Sys_Random() % std::max(most - least + 1, 1);
  for (int i = 0; i < count; ++i) AddNewBuilding(GetDataManager()->CreateObject<cCivModeHappinessBuilding>());
  SetMoney((float)cCivTuning::GetWealthGeneration()->InitWealthPerBuilding * (float)mBuildings.size());
  RefreshLayout();
}

void cCivModeDecoratedCity::AddNewBuilding(cCivModeDecoratedBuilding* building) {
  if (!building) return;
  auto* record = GetDataManager()->CreateObject<cBuildingCommon>();
  if (record) record->SetCityRecord(mRecord);
  building->SetRecord(record);
  mBuildings.push_back(building);
  building->MakeSceneObject();
  Vector3 position = PlaceOnRing(building, (int)mBuildings.size() == kWideningBuilding);
  if (mWall) mWall->AddPoint(position);
  building->SetOwner(mOwner, this);
}

Vector3 cCivModeDecoratedCity::PlaceOnRing(cCivModeDecoratedBuilding* building, bool isNinth) {
  Vector3 centre = GetPosition();
  building->SetPosition(centre);
  float a = (float)mRingAngle * (float)M_PI / 180.0f;
  Vector3 axis = Vector3Normalized(centre);
  Quaternion turn{axis.x * std::sin(a / 2.0f), axis.y * std::sin(a / 2.0f), axis.z * std::sin(a / 2.0f),
                  std::cos(a / 2.0f)};
  if (isNinth) {  // a wider ring with twice the places
    mRingStep /= 2;
    mRingRadius *= 2;
  }
  mRingAngle = (mRingAngle + mRingStep) % 360;
  Quaternion orientation;
  cPlanetModel::AlignOrientationToSurface(orientation, centre, turn);
  building->SetOrientation(orientation);
  Matrix3 m = QuatToMatrix3(orientation);
  float civScale = GetSharedTuningData().GetBuildingCivScale();
  Vector3 out{m.At(2, 0), m.At(2, 1), m.At(2, 2)};
  Vector3 p = Vector3Add(centre, Vector3Scale(out, civScale + (float)mRingRadius));
  Vector3 position = Vector3Scale(Vector3Normalized(p), GetPlanetModel().GetSurfaceRadius(p) + 0.5f * civScale);
  building->SetPosition(position);
  return position;
}

cCivModeDecoratedBuilding* cCivModeDecoratedCity::AddBuilding(int kind) {
  cCivModeDecoratedBuilding* building = CreateBuildingOfKind(kind);
  // The wider ring moves the patrol path: the turrets go and as many are built again on it.
  int rebuilt = building && (int)mBuildings.size() + 1 == kWideningBuilding ? RemoveTurrets() : 0;
  AddNewBuilding(building);
  if ((int)mBuildings.size() == kWideningBuilding) RefreshLayout();
  for (int i = 0; i < rebuilt; ++i) AddTurret();
  return building;
}

void cCivModeDecoratedCity::Reenter(int owner) {
  mRingAngle = 0;
  mRingStep = kFirstRingStep;
  mRingRadius = kFirstRingRadius;
  // The same bookkeeping as placing them, so buildings added later continue the ring.
  for (size_t i = 0; i < mBuildings.size(); ++i) {
    if ((int)i + 1 == kWideningBuilding) {
      mRingStep /= 2;
      mRingRadius *= 2;
    }
    mRingAngle = (mRingAngle + mRingStep) % 360;
  }
  if (!mMarker) mMarker = new cSceneObject(nullptr, nullptr);
  Vector3 position = GetPosition();
  mMarker->SetPosition(position);
  mMarker->SetOrientation(UprightAt(position));
  for (cCivModeDecoratedBuilding* building : mBuildings)
    if (building->GetSceneObject()) GetSceneManager().AddObject(building->GetSceneObject());
  for (cCivModeRoad* road : mRoads) road->ShowSegments(true);
  SetOwner(owner);
  MakeWall();
  RefreshLayout();
  for (cCivModeTurret* turret : mTurrets) turret->Enter();
}

void cCivModeDecoratedCity::Relocate(float x, float y, float z) {
  if (mRecord) mRecord->SetPosition(Vector3{x, y, z});
  mRingAngle = 0;
  mRingStep = kFirstRingStep;
  mRingRadius = kFirstRingRadius;
  for (size_t i = 0; i < mBuildings.size(); ++i) {
    Vector3 position = PlaceOnRing(mBuildings[i], (int)i + 1 == kWideningBuilding);
    mBuildings[i]->SetPositionOnSurface(position);
  }
  RefreshLayout();
}

void cCivModeDecoratedCity::Leave() {
  for (cCivModeDecoratedBuilding* building : mBuildings)
    if (building->GetSceneObject()) GetSceneManager().RemoveObject(building->GetSceneObject());
  for (cSceneObject* marker : mPatrolMarkers) GetSceneManager().RemoveObject(marker);  // no markers in other modes
  for (cCivModeRoad* road : mRoads) road->ShowSegments(false);
  for (cCivModeTurret* turret : mTurrets) turret->Leave();
  DropWall();
}

// ---- wall and patrol path ----

// The wall is the city's alone (never in the data manager): one reference, dropped with it.
void cCivModeDecoratedCity::MakeWall() {
  DropWall();
  mWall = new cCivModeWall();
  mWall->AddRef();
  Vector3 centre = GetPosition();
  mWall->Init(centre.x, centre.y, centre.z, this);
}

void cCivModeDecoratedCity::DropWall() {
  if (mWall) mWall->Release();
  mWall = nullptr;
}

void cCivModeDecoratedCity::DropPatrolMarkers() {
  for (cSceneObject* marker : mPatrolMarkers) {
    GetSceneManager().RemoveObject(marker);
    delete marker;
  }
  mPatrolMarkers.clear();
}

void cCivModeDecoratedCity::RefreshLayout() {
  if (!mWall) return;
  Vector3 centre = GetPosition();
  std::vector<Vector3> enclosed;
  for (cCivModeDecoratedBuilding* building : mBuildings)
    if (const Vector3* position = building->GetPosition()) enclosed.push_back(*position);
  for (cCivModeTurret* turret : mTurrets) enclosed.push_back(*turret->GetVictimPosition());
  mWall->Enclose(centre, enclosed);
  // The patrol path runs a fixed margin outside the wall, on the ground.
  cPlanetModel& planet = GetPlanetModel();
  mPatrolPath.clear();
  for (const Vector3& p : mWall->Outline()) {
    Vector3 ground = Vector3Scale(p, planet.GetSurfaceRadius(p));
    Vector3 d = Vector3Sub(ground, centre);
    Vector3 out = Vector3Add(centre, Vector3Scale(Vector3Normalized(d), Vector3Length(d) + kPatrolMargin));
    Vector3 u = Vector3Normalized(out);
    mPatrolPath.push_back(Vector3Scale(u, planet.GetSurfaceRadius(u)));
  }
  DropPatrolMarkers();  // freed, not only forgotten
  for (const Vector3& point : mPatrolPath) {
    auto* marker = new cSceneObject(nullptr, CivMarkerCube());
    marker->SetColour(Vector3{1.0f, 1.0f, 1.0f});
    marker->SetPosition(point);
    marker->SetOrientation(UprightAt(point));
    mPatrolMarkers.push_back(marker);
  }
  UpdatePatrolMarkers();
}

void cCivModeDecoratedCity::UpdatePatrolMarkers() {
  for (cSceneObject* marker : mPatrolMarkers) {
    if (gCivShowCityPatrolPaths) GetSceneManager().AddObject(marker);
    else GetSceneManager().RemoveObject(marker);
  }
}

std::vector<std::string> cCivModeDecoratedCity::GetInfoLines() {
  cCivPlayers* players = GetCivPlayers();
  float pool = 0.0f;
  if (players && mOwner >= 0 && mOwner < (int)players->GetCivPools().size()) pool = players->GetCivPools()[mOwner];
  int intact = CountIntactBuildings();
  const cCivTuningCosts& costs = *cCivTuning::GetCosts();
  auto whole = [](float v) { return std::to_string((long long)std::floor(v)); };
  auto number = [](float v) {
    char text[32];
    snprintf(text, sizeof text, "%g", v);
    return std::string(text);
  };
  float relation = players ? players->GetRelationships()->Get(mOwner, GetCivHumanPlayer()) : 0.0f;
  std::vector<std::string> lines = {
      "City Owner = " + std::to_string(mOwner),
      "Wealth Local to City = " + whole(GetMoney()),
      "Wealth in Network = " + whole(GetAvailableWealth() - pool),
      "Wealth in Civ Pool = " + whole(pool),
      "Cost of Next Building = " + number(costs.GetBuildingCost(intact)),
      "Cost of Next Land Vehicle = " + number(costs.GetVehicleCost(intact, 0)),
      "Relationship to Human Player = " + std::to_string((long)std::lround(relation)),
      "Upgrade = " + std::to_string(players ? players->GetUpgradeLevels()->Get(mOwner) : 0),
      "Happiness Level = " + number(mMood.GetValue()),
  };
  if (mIsNPC && mAgent) lines.push_back(std::string("Production Goal = ") + CivGoalName(mAgent->GetGoal()));
  if (mIsNPC && players)
    lines.push_back(std::string("Agent Strategy = ") +
                    (players->GetStrategies()->Get(mOwner) == kCivCultural ? "Cultural" : "Military"));
  return lines;
}

void cCivModeDecoratedCity::Render() {
  if (mHighlighted && gCivShowDebugText) {
    std::vector<std::string> lines = GetInfoLines();
    int width = 0, height = 0;
    Begin2D();
    GetWindowSize2D(&width, &height);
    SetColour2D(1.0f, 1.0f, 1.0f);
    for (size_t i = 0; i < lines.size(); ++i) DrawText2D(width - 300, 155 + 15 * (int)i, GLFFixedFont(), lines[i].c_str());
    End2D();
  }
  if (mWall) mWall->Draw();
  if (mTurrets.empty()) return;
  const Vector3 eye = EyeOfLoadedView();
  for (cCivModeTurret* turret : mTurrets) turret->DrawGun(eye);
}

// ---- buildings ----

void cCivModeDecoratedCity::RemoveBuilding(cCivModeDecoratedBuilding* building) {
  auto at = std::find(mBuildings.begin(), mBuildings.end(), building);
  if (at == mBuildings.end()) return;
  mBuildings.erase(at);
  cBuildingCommon* record = building->GetRecord();
  building->DropSceneObject();
  cDataManager* data = GetDataManager();
  if (record) data->Remove(record);
  data->Remove(building);
}

void cCivModeDecoratedCity::AdoptBuilding(cCivModeDecoratedBuilding* building) {
  if (!building) return;
  building->SetOwner(mOwner, this);
  mBuildings.push_back(building);
}

int cCivModeDecoratedCity::CountIntactBuildings() const {
  return (int)std::count_if(mBuildings.begin(), mBuildings.end(), [&](cCivModeDecoratedBuilding* b) {
    return b->GetOwner() == mOwner && b->GetState() == kCivIntact;
  });
}

bool cCivModeDecoratedCity::HasDamagedBuilding() const {
  return std::any_of(mBuildings.begin(), mBuildings.end(), [](cCivModeDecoratedBuilding* b) { return b->GetState() == kCivRubble; });
}

void cCivModeDecoratedCity::DestroyBuilding() {
  for (cCivModeDecoratedBuilding* building : mBuildings) {
    if (building->GetState() != kCivIntact) continue;
    building->SetState(kCivRubble);
    mMood.AddBuildingDestroyedEffect();
    if (!mIsNPC) PlayCivSound(eCivSound::BuildingDestroyed);
    return;
  }
}

void cCivModeDecoratedCity::RepairBuilding() {
  for (cCivModeDecoratedBuilding* building : mBuildings) {
    if (building->GetState() != kCivRubble) continue;
    building->SetState(kCivIntact);
    return;
  }
}

void cCivModeDecoratedCity::ThrowParty() {
  mMood.AddPartyEffect();
  PlayCivSound(eCivSound::Party);
}

void cCivModeDecoratedCity::SetHighlighted(bool on) {
  mHighlighted = on;
  for (cCivModeDecoratedBuilding* building : mBuildings) building->SetHighlighted(on);
  for (cCivModeTurret* turret : mTurrets) turret->SetSelected(on);
}

// ---- economy ----

float cCivModeDecoratedCity::GetBaseWealthRate() const {
  return cCivTuning::GetWealthGeneration()->GetWealthPerSecond(CountIntactBuildings());
}

float cCivModeDecoratedCity::GetWealthRate(uint32_t dtMs) {
  const cCivTuningWealth& wealth = *cCivTuning::GetWealthGeneration();
  float base = GetBaseWealthRate();
  std::vector<cCivModeEmbassyBuilding*> embassies;
  for (cCivModeDecoratedBuilding* building : mBuildings)
    if (auto* embassy = building->AsEmbassy()) embassies.push_back(embassy);
  float embassyTerm = base * (float)embassies.size() * wealth.EmbassyWealthIncrease;
  float subtotal = mMood.GetRevenueBonus() * base + embassyTerm + base;
  // Each embassy passes the whole term to the pool of the player it speaks for.
  if (cCivPlayers* players = GetCivPlayers()) {
    std::vector<float>& pools = players->GetCivPools();
    for (cCivModeEmbassyBuilding* embassy : embassies) {
      int owner = embassy->GetEmbassyOwner();
      if (owner >= 0 && owner < (int)pools.size()) pools[owner] += (float)dtMs * 0.001f * embassyTerm;
    }
  }
  // Trade routes raise it more where the far city holds an embassy of this city's owner.
  float tradeBonus = 0.0f;
  for (cCivModeRoad* road : mRoads) {
    if (road->GetKind() != kCivTradeRoute || !road->GetEnd()) continue;
    tradeBonus += road->GetEnd()->FindEmbassy(mOwner) ? wealth.WealthIncreaseTradeRouteAndEmbassy
                                                      : wealth.WealthIncreaseTradeRouteNoEmbassy;
  }
  return subtotal * tradeBonus + subtotal;
}

void cCivModeDecoratedCity::Update(uint32_t dtMs) {
  float rate = GetWealthRate(dtMs);
  if (mIsNPC) rate *= cCivTuning::GetWealthGeneration()->NPCWealthHandicap;
  SetMoney(GetMoney() + (float)dtMs * rate * 0.001f);
  std::vector<cCivModeDecoratedBuilding*> removed;
  for (cCivModeDecoratedBuilding* building : mBuildings)
    if (building->GetState() == kCivRemoved) removed.push_back(building);
  for (cCivModeDecoratedBuilding* building : removed) RemoveBuilding(building);
  for (size_t i = 0; i < mTurrets.size(); ++i) mTurrets[i]->Update();
  int lostTurrets = RemoveFromGame(mTurrets, [](cCivModeTurret* turret) { return turret->GetState() == kCivTurretDead; });
  // A lost turret leaves the wall as a lost building does: the patrol path and
  // the places of new turrets and vehicles follow the layout laid again.
  if (!removed.empty() || lostTurrets > 0) RefreshLayout();
  cCivWorld* world = GetCivWorld();
  if (mIsNPC && gCivUseNPCAI && !(world && world->IsStandingStill())) mAgent->Update(dtMs);
}

// ---- roads and the money network ----

void cCivModeDecoratedCity::RemoveRoadsAndTurrets() {
  RemoveAllFromGame(mRoads);
  RemoveTurrets();
}

void cCivModeDecoratedCity::AddRoad(cCivModeRoad* road) {
  if (!road) return;
  road->AddRef();
  mRoads.push_back(road);
}

cCivModeRoad* cCivModeDecoratedCity::FindRoad(cCivModeDecoratedCity* far, int kind) const {
  for (cCivModeRoad* road : mRoads)
    if (road->GetKind() == kind && (road->GetStart() == far || road->GetEnd() == far)) return road;
  return nullptr;
}

cCivModeEmbassyBuilding* cCivModeDecoratedCity::FindEmbassy(int player) const {
  for (cCivModeDecoratedBuilding* building : mBuildings) {
    auto* embassy = building->AsEmbassy();
    if (!embassy || embassy->GetState() == kCivRemoved) continue;
    if (player == -1 || embassy->GetEmbassyOwner() == player) return embassy;
  }
  return nullptr;
}

cCivModeDecoratedBuilding* cCivModeDecoratedCity::FindBuildingBySceneObject(cSceneObject* object) const {
  for (cCivModeDecoratedBuilding* building : mBuildings)
    if (object && building->GetSceneObject() == object) return building;
  return nullptr;
}

void cCivModeDecoratedCity::SetBuildingStyle(int style) {
  for (cCivModeDecoratedBuilding* building : mBuildings) building->SetStyle(style);
}

int cCivModeDecoratedCity::CountHumanBuildings() {
  int count = 0;
  for (cCivModeDecoratedCity* city : GetCivCities())
    if (city->GetOwner() == GetCivHumanPlayer()) count += city->CountIntactBuildings();
  return count;
}

// Every city once, however many road paths reach it: counting a city once per
// path let purchases pass with money the payment could not find, and took
// time exponential in the roads.
std::vector<cCivModeDecoratedCity*> cCivModeDecoratedCity::GetNetworkCities() {
  std::vector<cCivModeDecoratedCity*> network;
  std::vector<cCivModeDecoratedCity*> stack{this};
  while (!stack.empty()) {  // depth first; a city's roads are taken in list order
    cCivModeDecoratedCity* city = stack.back();
    stack.pop_back();
    if (std::find(network.begin(), network.end(), city) != network.end()) continue;
    network.push_back(city);
    for (auto road = city->mRoads.rbegin(); road != city->mRoads.rend(); ++road)
      if ((*road)->GetKind() == kCivPlainRoad && (*road)->GetEnd()) stack.push_back((*road)->GetEnd());
  }
  return network;
}

float cCivModeDecoratedCity::GetNetworkWealth() {
  float sum = 0.0f;
  for (cCivModeDecoratedCity* city : GetNetworkCities()) sum += city->GetMoney();
  return sum;
}

float cCivModeDecoratedCity::GetAvailableWealth() {
  cCivPlayers* players = GetCivPlayers();
  float pool = 0.0f;
  if (players && mOwner >= 0 && mOwner < (int)players->GetCivPools().size()) pool = players->GetCivPools()[mOwner];
  return pool + GetNetworkWealth();
}

void cCivModeDecoratedCity::Pay(float cost) {
  float remaining = cost;
  for (cCivModeDecoratedCity* city : GetNetworkCities()) {
    if (remaining <= 0.0f) break;
    float take = std::clamp(city->GetMoney(), 0.0f, remaining);
    city->SetMoney(city->GetMoney() - take);
    remaining -= take;
  }
  cCivPlayers* players = GetCivPlayers();
  if (remaining > 0.0f && players && mOwner >= 0 && mOwner < (int)players->GetCivPools().size())
    players->GetCivPools()[mOwner] -= remaining;
}

void cCivModeDecoratedCity::GiveGift(cCivModeDecoratedCity* to, float amount) {
  if (!to) return;
  Pay(amount);
  to->SetMoney(to->GetMoney() + amount * cCivTuning::GetCosts()->CostGiftPercentageGivenToNPCCity * 0.01f);
  PlayCivSound(eCivSound::Coin);
  if (cCivPlayers* players = GetCivPlayers()) players->GetRelationships()->SuccessfulGiftGiven(mOwner, to->GetOwner());
}

// ---- owner and record ----

void cCivModeDecoratedCity::SetOwner(int owner) {
  mOwner = owner;
  mIsNPC = owner != GetCivHumanPlayer();
}

Vector3 cCivModeDecoratedCity::GetPosition() const { return mRecord ? mRecord->GetPosition() : Vector3{}; }

float cCivModeDecoratedCity::GetMoney() const { return mRecord ? mRecord->GetMoney() : 0.0f; }

void cCivModeDecoratedCity::SetMoney(float money) {
  if (mRecord) mRecord->SetMoney(money);
}
