// Shared by the civ rule tests: tuning loaded from ini text of the test's
// own, and a reader that remembers every (section, key) it was asked for.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/GameClock.h"
#include "modes/civ/CivAccess.h"
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
  // A world over `cities` cities of `players` players, the human fixed.
  void Build(int cities, int players, int human) {
    cCivTuningGeneral& g = *cCivTuning::GetGeneral();
    g.NumCities = cities;
    g.NumPlayers = players;
    g.HumanPlayerId = human;
    world = std::make_unique<cCivWorld>();
  }
  static std::vector<cCivModeDecoratedCity*>& Cities() { return GetCivCities(); }
};

