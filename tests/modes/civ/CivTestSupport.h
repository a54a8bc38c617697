// Shared by the civ rule tests: tuning loaded from ini text of the test's
// own, and a reader that remembers every (section, key) it was asked for.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/GameClock.h"
#include "math/Math.h"
#include "modes/civ/CivAccess.h"
#include "modes/civ/CivCity.h"
#include "modes/civ/CivPlayers.h"
#include "modes/civ/CivVehicle.h"
#include "modes/civ/CivSerializationController.h"
#include "modes/civ/CivTuning.h"
#include "modes/civ/CivWorld.h"
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
  // The ground `angle` radians from `centre`.
  static Ru::Math::Vector3 GroundAway(const Ru::Math::Vector3& centre, float angle) {
    using namespace Ru::Math;
    Vector3 up = Vector3Normalized(centre);
    Vector3 side = Vector3Normalized(Vector3Cross(up, Vector3{0.0f, 1.0f, 0.0f}));
    Vector3 ground;
    GetPlanetModel().ProjectToSurface(ground, Vector3Add(Vector3Scale(up, std::cos(angle)), Vector3Scale(side, std::sin(angle))));
    return ground;
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
};
