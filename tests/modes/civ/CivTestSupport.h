// Shared by the civ rule tests: tuning loaded from ini text of the test's
// own, and a reader that remembers every (section, key) it was asked for.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/GameClock.h"
#include "math/Math.h"
#include "modes/civ/CivAccess.h"
#include "modes/civ/CivBuilding.h"
#include "modes/civ/CivBullets.h"
#include "modes/civ/CivRoad.h"
#include "modes/civ/CivTurret.h"
#include "modes/civ/CivCity.h"
#include "modes/civ/CivPlayers.h"
#include "modes/civ/CivVehicle.h"
#include "modes/civ/CivSerializationController.h"
#include "modes/civ/CivTuning.h"
#include "modes/civ/CivWorld.h"
#include "platform/Sys.h"
#include "sim/gamedata/DataManager.h"
#include "tests/support/TestSupport.h"
#include "tests/world/planet/PlanetTestSupport.h"

struct cRecordingIniReader {
  tCivIniReader inner;
  std::vector<std::pair<std::string, std::string>> asked;
  tCivIniReader Reader() {
    return [this](const char* section, const char* key) {
      asked.emplace_back(section, key);
      return inner(section, key);
    };
  }
};

struct CivRulesTest : ::testing::Test {
  cScratchDir dir;

  // A tuning read from `iniText` (bounds not applied).
  cCivTuning Load(const std::string& iniText) {
    dir.Write("CivGameMode.ini", iniText);
    cCivTuning tuning;
    tuning.Load(CivIniFileReader(dir.File("CivGameMode.ini")));
    return tuning;
  }
};

// A clean data manager, a flat planet, the game clock in the test's hand and
// the program's tuning restored afterwards; Build makes the world.
struct CivWorldFixture : ::testing::Test {
  cFakeClock clock;
  cCivTuning saved = cCivTuning::Get();
  cCivSerializationController bridge;
  std::unique_ptr<cCivWorld> world;
  // Hears the data manager as the civ mode does (the manager forgets it in TearDown).
  struct cBridgeClient : Ko::cIGameDataClient {
    explicit cBridgeClient(cCivSerializationController* b) : bridge(b) {}
    cCivSerializationController* bridge;
    void ObjectAdded(Ko::cIGameData* object) override { bridge->ObjectAdded(object); }
    void BeforeLoad() override { bridge->BeforeLoad(); }
    void ObjectRemoved(Ko::cIGameData* object) override {
      if (GetCivWorld()) GetCivWorld()->ForgetObject(object);
    }
  } bridgeClient{&bridge};

  void SetUp() override {
    GetDataManager()->ResetForTest();
    GetPlanetModel().SetHeightMap(MakeHeightMap([](const Ru::Math::Vector3&) { return 10.0f; }));
    StartGameClock();
  }
  void TearDown() override {
    bridge.BeforeLoad();
    GetDataManager()->ResetForTest();
    cCivTuning::Get() = saved;
  }
  // A world over `cities` cities of `players` players, the human fixed (and,
  // when given, every city starting with `buildings` buildings).
  void Build(int cities, int players, int human, int buildings = -1) {
    cCivTuningGeneral& g = *cCivTuning::GetGeneral();
    if (buildings >= 0) g.InitNumBuildingsPlayerMin = g.InitNumBuildingsPlayerMax = g.InitNumBuildingsNPCMin = g.InitNumBuildingsNPCMax = buildings;
    g.NumCities = cities;
    g.NumPlayers = players;
    g.HumanPlayerId = human;
    world = std::make_unique<cCivWorld>();
  }
  static std::vector<cCivModeDecoratedCity*>& Cities() { return GetCivCities(); }
  // The ground `angle` radians from `centre`.
  static Ru::Math::Vector3 GroundAway(const Ru::Math::Vector3& centre, float angle) {
    using namespace Ru::Math;
    Vector3 up = Vector3Normalized(centre);
    Vector3 side = Vector3Normalized(Vector3Cross(up, Vector3{0.0f, 1.0f, 0.0f}));
    Vector3 ground;
    GetPlanetModel().ProjectToSurface(ground, Vector3Add(Vector3Scale(up, std::cos(angle)), Vector3Scale(side, std::sin(angle))));
    return ground;
  }
  // `v` standing at `at`; or a land vehicle of `owner`, made for `city`, standing there.
  static cCivModeVehicle* Stand(cCivModeVehicle* v, const Ru::Math::Vector3& at) {
    v->SetPosition(at);
    v->SetDestination(at);
    return v;
  }
  static cCivModeVehicle* Stand(cCivWorld* in, cCivModeDecoratedCity* city, int owner, const Ru::Math::Vector3& at) {
    cCivModeVehicle* v = in->CreateVehicle(city, kCivLandVehicle);
    v->SetOwner(owner);
    return Stand(v, at);
  }
  // A ground point at surface distance exactly `d` from `centre` (distances
  // come in coarse steps, so headings are tried until one lands on it).
  static Ru::Math::Vector3 GroundAtExactly(const Ru::Math::Vector3& centre, float d) {
    using namespace Ru::Math;
    cPlanetModel& planet = GetPlanetModel();
    Vector3 up = Vector3Normalized(centre), east = Vector3Normalized(Vector3Cross(up, Vector3{0.0f, 1.0f, 0.0f}));
    Vector3 north = Vector3Cross(east, up), best = centre;
    for (int heading = 0; heading < 3600; ++heading) {
      const float h = (float)heading * 0.001f;
      const Vector3 side = Vector3Add(Vector3Scale(east, std::cos(h)), Vector3Scale(north, std::sin(h)));
      auto at = [&](double a) {
        Vector3 ground;
        planet.ProjectToSurface(ground, Vector3Add(Vector3Scale(up, (float)std::cos(a)), Vector3Scale(side, (float)std::sin(a))));
        return ground;
      };
      double lo = 0.0, hi = 2.0 * d / planet.GetSurfaceRadius(centre);
      for (int i = 0; i < 60; ++i) {
        const double mid = (lo + hi) / 2;
        const float got = planet.GetSurfaceDistance(centre, at(mid));
        if (got == d) return at(mid);
        (got < d ? lo : hi) = mid;
      }
      best = at(hi);
    }
    return best;
  }
};


// Two players (the human is 0) on terms `relation`, a city of `buildings`
// for `owner`, removals heard as the mode hears them, and bare vehicles.
struct CivCombatFixture : CivWorldFixture {
  std::unique_ptr<cCivPlayers> players;
  cCivModeDecoratedCity* home = nullptr;

  void StartCombat(int owner, int buildings, float relation) {
    Build(0, 2, 0, buildings);
    GetDataManager()->AddClient(&bridgeClient);
    players = std::make_unique<cCivPlayers>(2, 0, cCivTuning::GetRelationships());
    SetCivPlayers(players.get());
    players->GetRelationships()->Set(0, 1, relation);
    home = world->CreateCity();
    home->Setup(owner, cCivWorld::StartPosition(0, false));
    Cities().push_back(home);
  }
  void TearDown() override {
    SetCivPlayers(nullptr);
    CivWorldFixture::TearDown();
  }
  // Of `owner`, made by the world for the home city, standing at `at`.
  cCivModeVehicle* Vehicle(int owner, int kind, const Ru::Math::Vector3& at) {
    cCivModeVehicle* v = world->CreateVehicle(home, kind);
    v->SetOwner(owner);
    v->SetPosition(at);
    v->SetDestination(at);
    GetDataManager()->CommitPending();
    return v;
  }
  // The hit chance whose roll, rand() < chance x 32767, meets the next draw
  // exactly (`past`: the least chance beyond it); the generator is seeded
  // again so that draw comes next.
  static float HitChanceAtNextDraw(bool past) {
    Sys_SeedRandom(7);
    const float draw = (float)Sys_Random();
    Sys_SeedRandom(7);
    float chance = draw / 32767.0f;
    while (chance * 32767.0f < draw) chance = std::nextafter(chance, 2.0f);
    while (chance * 32767.0f > draw) chance = std::nextafter(chance, 0.0f);
    EXPECT_EQ(chance * 32767.0f, draw);
    while (past && chance * 32767.0f <= draw) chance = std::nextafter(chance, 2.0f);
    return chance;
  }
};

// ---- the human's input ----

#include <array>
#include <map>

#include "modes/civ/CivBuilding.h"
#include "modes/civ/CivDebugFlags.h"
#include "modes/civ/CivInputController.h"
#include "modes/civ/CivPieMenus.h"
#include "modes/civ/CivRoad.h"
#include "platform/Sys.h"
#include "world/scene/SceneManager.h"

// Window pixels with fixed answers: what lies under each one, and the ground
// there (a point of the test's choosing; elsewhere near the first city).
class cFakeCivView : public cCivInputView {
 public:
  std::map<std::pair<int, int>, cSceneObject*> objects;
  std::map<std::pair<int, int>, Ru::Math::Vector3> grounds;
  Ru::Math::Vector3 defaultGround{0, 0, 0};
  float distance = 1000.0f;
  int cursorX = 0, cursorY = 0, moves = 0, focuses = 0, drags = 0;

  void Pick(cScenePickResult& result, int x, int y, cIScenePickTest* filter) override {
    result = cScenePickResult();
    auto found = objects.find({x, y});
    if (found != objects.end() && (!filter || filter->Accept(found->second))) result.object = found->second;
    result.point = GroundPoint(x, y);
    result.terrain = !result.object;
  }
  Ru::Math::Vector3 GroundPoint(int x, int y) override {
    auto found = grounds.find({x, y});
    return found != grounds.end() ? found->second : defaultGround;
  }
  void MarkBand(cMultiSelector*, int, int) override {}
  void ClearMouseMovement() override {}
  void DragCamera() override { ++drags; }
  void MoveCameraTo(int, int) override { ++moves; }
  void FocusOn(const Ru::Math::Vector3&) override { ++focuses; }
  float CameraDistance() override { return distance; }
  Ru::Math::Vector3 CameraAnchor() override { return defaultGround; }
  Ru::Math::Quaternion CameraBaseOrientation() override { return Ru::Math::Quaternion{0, 0, 0, 1}; }
  void CommitCameraYaw() override {}
  void CursorClientPos(int& x, int& y) override { x = cursorX, y = cursorY; }
  int WindowWidth() override { return 800; }
};

// Four cities on a flat planet: 0 and 1 the human's (player 0), 2 and 3 the
// NPC player's, four buildings each; the controller hears removals as the
// mode's does, and its window is the fake view.
struct CivInputFixture : CivWorldFixture {
  std::unique_ptr<cCivPlayers> players;
  cFakeCivView view;
  std::unique_ptr<cCivInputController> input;
  std::array<int32_t, 6> savedFlags{};
  struct cInputClient : Ko::cIGameDataClient {
    cCivInputController* input = nullptr;
    void ObjectRemoved(Ko::cIGameData* object) override {
      if (input) input->OnObjectRemoved(object);
      if (GetCivWorld()) GetCivWorld()->ForgetObject(object);
    }
    void BeforeLoad() override {
      if (input) input->ResetBeforeLoad();
    }
  } inputClient;

  void SetUp() override {
    CivWorldFixture::SetUp();
    Sys_ClearKeyStates();
    Build(4, 2, 0, 4);
    players = std::make_unique<cCivPlayers>(2, 0, cCivTuning::GetRelationships());
    SetCivPlayers(players.get());
    cCivTuningCosts& costs = *cCivTuning::GetCosts();
    for (float& cost : costs.BuildingCost) cost = 150.0f;
    for (float& cost : costs.VehicleCost) cost = 100.0f;
    for (float& cost : costs.TurretCost) cost = 80.0f;
    costs.CostMultiplierForAmphibiousVehicles = costs.CostMultiplierForAirVehicles = 2.0f;
    costs.RoadCost = 100.0f;
    costs.TradeRouteCost = 50.0f;
    costs.CostExpelEmbassy = 30.0f;
    costs.CostOfPartyPerBuilding = 3.125f;
    costs.CostGiftAmountPerBuildingInNation = 10.0f;
    cCivTuning::GetGeneral()->MaxNumBuildings = 15;
    world->Enter();
    savedFlags = {gCivShowVehiclePaths, gCivShowCityPatrolPaths, gCivUseNPCAI, gCivPlayerCanSelectNPCObjects,
                  gCivBulletsAlwaysHit, gCivShowDebugText};
    input = std::make_unique<cCivInputController>(nullptr);  // which reads the shipped debug switches
    inputClient.input = input.get();
    GetDataManager()->AddClient(&inputClient);
    cCivInputController::SetViewForTest(&view);
    gCivPlayerCanSelectNPCObjects = 0;
    view.defaultGround = GroundAway(City(0)->GetPosition(), 0.1f);
    for (int i = 0; i < 4; ++i) City(i)->SetMoney(0.0f);
    GetDataManager()->CommitPending();
  }
  void TearDown() override {
    cCivInputController::SetViewForTest(nullptr);
    inputClient.input = nullptr;
    input.reset();
    gCivShowVehiclePaths = savedFlags[0], gCivShowCityPatrolPaths = savedFlags[1], gCivUseNPCAI = savedFlags[2];
    gCivPlayerCanSelectNPCObjects = savedFlags[3], gCivBulletsAlwaysHit = savedFlags[4], gCivShowDebugText = savedFlags[5];
    SetCivPlayers(nullptr);
    Sys_ClearKeyStates();
    CivWorldFixture::TearDown();
  }
  static cCivModeDecoratedCity* City(int i) { return Cities()[i]; }
  // A vehicle of city `i` (the human's start selected) standing at pixel (x, y).
  cCivModeVehicle* VehicleAt(int i, int x, int y) {
    cCivModeVehicle* v = world->CreateVehicle(City(i), kCivLandVehicle);
    view.objects[{x, y}] = v->GetSceneObject();
    view.grounds[{x, y}] = v->GetPosition();
    GetDataManager()->CommitPending();
    return v;
  }
  // City i's building b lies under pixel (x, y).
  cCivModeDecoratedBuilding* BuildingAt(int i, int b, int x, int y) {
    cCivModeDecoratedBuilding* building = City(i)->GetBuildings()[b];
    view.objects[{x, y}] = building->GetSceneObject();
    return building;
  }
  void Click(int x, int y) {
    input->OnLeftButtonDown(x, y);
    input->OnLeftButtonUp(x, y);
  }
  // The ids of the open menu's items, in order.
  std::vector<int> OpenItems() {
    std::vector<int> ids;
    if (cGLFPieMenu* menu = input->GetPieMenus().GetVisibleMenu())
      for (int i = 0; i < menu->GetControlCount(); ++i) ids.push_back(menu->GetControl(i)->GetId());
    return ids;
  }
  std::string Label(int id) {
    cGLFPieMenu* menu = input->GetPieMenus().GetVisibleMenu();
    for (int i = 0; menu && i < menu->GetControlCount(); ++i)
      if (menu->GetControl(i)->GetId() == id) return menu->GetControl(i)->GetLabel();
    return "";
  }
  // Chooses item `id` of the open menu at once, as the menu's release would.
  void Choose(int id) {
    if (cGLFPieMenu* menu = input->GetPieMenus().GetVisibleMenu()) menu->Hide();
    input->OnPieMenuSelection(id);
  }
  float Wealth(int i) { return City(i)->GetAvailableWealth(); }
};

// What the NPC world keeps true after every frame; the first broken rule, or "".
inline std::string FirstBrokenRule(cCivWorld& world) {
  auto dead = [](Ko::cGameData* object) { return !object || object->IsDead(); };
  auto finite = [](const Ru::Math::Vector3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); };
  const std::vector<cCivModeVehicle*>& vehicles = world.GetVehicles();
  auto listed = [&](cCivModeVehicle* v) { return std::find(vehicles.begin(), vehicles.end(), v) != vehicles.end(); };
  cCivPlayers& players = *GetCivPlayers();
  cCivRelationshipMatrix& relations = *players.GetRelationships();
  for (int a = 0; a < relations.GetPlayerCount(); ++a)
    for (int b = 0; b < relations.GetPlayerCount(); ++b)
      if (std::fabs(relations.Get(a, b)) > 10.0f || relations.Get(a, b) != relations.Get(b, a)) return "relationship";
  for (float pool : players.GetCivPools())
    if (!std::isfinite(pool)) return "civ pool";
  for (cCivModeVehicle* v : vehicles) {
    if (dead(v)) return "dead vehicle listed";
    if (v->GetState() < kCivVehicleDying || v->GetState() > kCivVehicleGuard) return "vehicle state";
    if (!finite(v->GetPosition())) return "vehicle position";
    if (v->GetTargetVehicle() && !listed(v->GetTargetVehicle())) return "vehicle target";
  }
  const std::vector<cCivModeDecoratedCity*>& cities = GetCivCities();
  for (cCivModeDecoratedCity* city : cities) {
    if (dead(city) || !finite(city->GetPosition()) || !std::isfinite(city->GetMoney())) return "city";
    if (std::fabs(city->GetMood()->GetValue()) > 10.0f) return "mood";
    if (city->GetTurrets().size() > 8u) return "turret count";
    for (cCivModeDecoratedBuilding* building : city->GetBuildings())
      if (dead(building)) return "dead building listed";
    for (cCivModeTurret* turret : city->GetTurrets())
      if (dead(turret) || (turret->GetTarget() && !listed(turret->GetTarget()))) return "turret";
    for (cCivModeRoad* road : city->GetRoads())
      if (dead(road) || std::find(cities.begin(), cities.end(), road->GetEnd()) == cities.end()) return "road";
  }
  for (cCivModeBullet* bullet : world.GetBullets()->GetBullets()) {
    if (!bullet) continue;
    auto* envoy = dynamic_cast<cCivDiplomaticBullet*>(bullet);
    auto* target = dynamic_cast<Ko::cGameData*>(bullet->GetTarget());
    if (!finite(bullet->GetPosition()) || (envoy && envoy->GetVehicle() && !listed(envoy->GetVehicle())) ||
        (target && target->IsDead()))
      return "bullet";
  }
  return "";
}
