// A headless city for the city tests: a flat planet of dry land, a fresh data
// manager with the city's types registered, an empty scene, registry and
// behaviour controller, a hand-driven clock, message boxes captured, the 2D
// overlay recorded and a window view with fixed answers (cFakeCityView). The
// mode is entered on SetUp unless a fixture clears enterOnSetUp; frames are
// pumped at a fixed step. Nothing here touches X or GL.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "app/AppGlobals.h"
#include "app/GameClock.h"
#include "glf/PieMenu.h"
#include "math/Math.h"
#include "modes/city/CityWorld.h"
#include "modes/city/cCityGameMode.h"
#include "modes/city/citizens/CityCreatures.h"
#include "modes/city/cursors/CityBuildCursor.h"
#include "modes/city/cursors/CityCreatureCursor.h"
#include "modes/city/cursors/CityCursorController.h"
#include "modes/city/cursors/CityDragCursor.h"
#include "modes/city/cursors/CityInputView.h"
#include "modes/city/cursors/CityRoadCursor.h"
#include "modes/city/cursors/CityTribeCursor.h"
#include "modes/city/data/CityFormulas.h"
#include "modes/city/data/CityTuning.h"
#include "modes/city/economy/CityBundleContainers.h"
#include "modes/city/economy/CityGameRoad.h"
#include "modes/city/objects/CityCreation.h"
#include "modes/city/objects/CityGameCity.h"
#include "modes/city/objects/CityGameCityWalls.h"
#include "modes/city/objects/CityObjectRegistry.h"
#include "modes/civ/CivRecords.h"
#include "modes/creature/CommonCreatureManager.h"
#include "platform/Sys.h"
#include "sim/behavior/BehaviorController.h"
#include "sim/gamedata/DataManager.h"
#include "tests/glf/OverlayRecorder.h"
#include "tests/support/RunDigest.h"
#include "tests/support/TestSupport.h"
#include "tests/world/planet/PlanetTestSupport.h"
#include "world/planet/PlanetModel.h"
#include "world/scene/SceneManager.h"
#include "world/scene/SceneObject.h"

// Picks answer from spots the test places in the window; everywhere else the
// ground is hit, at a point that moves 0.1 units per pixel from the pole.
class cFakeCityView : public cCityInputView {
 public:
  struct sSpot {
    int x, y, reach;
    cSceneObject* object;
  };
  void Pick(cScenePickResult& result, int x, int y, cIScenePickTest* filter) override {
    result = cScenePickResult();
    for (const sSpot& spot : spots)
      if (std::abs(spot.x - x) <= spot.reach && std::abs(spot.y - y) <= spot.reach &&
          (!filter || filter->Accept(spot.object))) {
        result.object = spot.object;
        result.point = spot.object->GetPosition();
        return;
      }
    result.terrain = true;
    result.point = Ground(x, y);
  }
  static Ru::Math::Vector3 Ground(int x, int y) {
    Ru::Math::Vector3 ground;
    GetPlanetModel().ProjectToSurface(ground, Ru::Math::Vector3{(x - 500) * 0.1f, 500.0f, (y - 500) * 0.1f});
    return ground;
  }
  Ru::Math::Vector3 GroundPoint(int x, int y) override { return Ground(x, y); }
  bool ProjectToWindow(const Ru::Math::Vector3&, int& x, int& y) override {
    x = 320, y = 200;
    return true;
  }
  bool IsCtrlHeld() override { return ctrl; }
  void ClearMouseMovement() override { dx = dy = 0; }
  void GetMouseMovement(int& outX, int& outY) override { outX = dx, outY = dy; }
  void MoveCameraTo(int x, int y) override { cameraJumps.push_back({x, y}); }

  std::vector<sSpot> spots;
  bool ctrl = false;
  int dx = 0, dy = 0;
  std::vector<std::pair<int, int>> cameraJumps;
};

class cCityWorldTest : public ::testing::Test {
 public:
  static constexpr uint32_t kFrameMs = 50;
  static float Distance(const Ru::Math::Vector3& a, const Ru::Math::Vector3& b) { return Ru::Math::Vector3Length(Ru::Math::Vector3Sub(a, b)); }
  static constexpr float kLandHeight = 10.0f;

 protected:
  void SetUp() override {
    Sys_SeedRandom(20261);
    ResetGameClockForTest();
    StartGameClock();
    GetDataManager()->ResetForTest();
    cCommonCreatureManager::Get()->ResetForTest();
    cCommonCreatureManager::Register();
    GetPlanetModel().SetHeightMap(MakeHeightMap([](const Ru::Math::Vector3&) { return kLandHeight; }, 32));
    GetPlanetModel().ClearPlantsForTest();
    GetPlanetModel().BuildPlantPatches();
    GetSceneManager().Clear();
    GetBehaviorController().Clear();
    GetCityObjectRegistry().Clear();
    GetCityCursorController().ResetForTest();
    GetCityDragCursor().ResetForTest();
    GetCityBuildCursor().ResetForTest();
    SetCityInputViewForTest(&view);
    SetCityScriptOverrideForTest(scripts.Path().c_str());
    mode = new cCityGameMode();
    gCityGameMode = mode;
    GetDataManager()->AddClient(mode);
    if (enterOnSetUp) Enter();
  }

  void TearDown() override {
    GetCityRoadCursor().ResetForTest();
    GetCityTribeCursor().ResetForTest();
    GetCityCreatureCursor().ResetForTest();
    GetCityObjectRegistry().Clear();
    GetCityCursorController().ResetForTest();
    GetCityDragCursor().ResetForTest();
    GetCityBuildCursor().ResetForTest();
    GetDataManager()->ResetForTest();
    cCommonCreatureManager::Get()->ResetForTest();
    GetSceneManager().Clear();
    delete mode;
    gCityGameMode = nullptr;
    SetCityInputViewForTest(nullptr);
    SetCityScriptOverrideForTest(nullptr);
    LoadCityFormulas();  // the game's own scripts again for the next test
    nCityGameFormulas::CreaturePop().accumulator = 0.0f;
    for (cTuningData* set : std::initializer_list<cTuningData*>{&GetCityGameTuning(), &GetCityGameMotiveTuning(),
                                                                 &GetCityGameBuildingTuning()}) {
      set->ReloadIfChanged();  // a case that edited a file elsewhere left its time watched: the next update would reload
      set->Reload();
    }
  }

  void Enter() {
    mode->Enter();
    GetDataManager()->CommitPending();
  }
  void Pump(int frames, uint32_t ms = kFrameMs) {
    for (int i = 0; i < frames; ++i) {
      clock.Advance(ms);
      mode->Update(ms);
      GetDataManager()->CommitPending();
    }
  }
  // A script of the test's own in place of the game's; loaded at once.
  void UseScript(const char* file, const std::string& text) {
    scripts.Write(file, text);
    LoadCityFormulas();
  }
  static void SetTuningInt(cTuningData& set, const char* name, int value) {
    if (uTuningValue* stored = set.FindConstant(name, kTuningInt)) stored->asInt = value;
    set.ApplyConstants();
  }
  static void SetTuningFloat(cTuningData& set, const char* name, float value) {
    if (uTuningValue* stored = set.FindConstant(name, kTuningFloat)) stored->asFloat = value;
    set.ApplyConstants();
  }

  // A building of the city standing at the point (committed with the next frame).
  template <class T>
  T* NewBuildingAt(const Ru::Math::Vector3& at) {
    auto* b = CreateRegisteredCityObject<T>();
    b->Initialize(City());
    b->SetPosition(at, Ru::Math::Vector3{});
    return b;
  }
  // A road from a's disc (its +x side) to b's (its -x side), its points laid.
  cCityGameRoad* NewRoad(cCityGameBuilding* a, cCityGameBuilding* b) {
    auto* r = CreateRegisteredCityObject<cCityGameRoad>();
    r->Connect(City(), a, Ru::Math::Vector3{1.0f, 0.0f, 0.0f}, b, Ru::Math::Vector3{-1.0f, 0.0f, 0.0f});
    GetDataManager()->CommitPending();
    Pump(1);
    return r;
  }

  // Presses and releases on a menu's item once it has opened; the cursor's answer.
  int Click(cICityGameCursor& cursor, cGLFPieMenu* menu, int index) {
    clock.Advance(cGLFPieMenu::kOpeningMs);
    float cx = 0.0f, cy = 0.0f;
    menu->GetCentre(&cx, &cy);
    menu->Layout(cx, cy);
    cGLFDialogButton* item = menu->GetItem(index);
    const int x = (int)((item->X0() + item->X1()) / 2), y = (int)((item->Y0() + item->Y1()) / 2);
    cursor.OnLeftButtonDown(x, y);
    return cursor.OnLeftButtonUp(x, y);
  }

  cCityGameCity* City() { return mode->GetCity(); }
  std::vector<cCityGamePlayerCreature*> Citizens() {
    std::vector<cCityGamePlayerCreature*> all;
    Registry().CollectObjectsOfClass(all);
    return all;
  }
  cCityGameObjectRegistry& Registry() { return GetCityObjectRegistry(); }
  template <class T>
  int Count() {
    return Registry().CountObjectsOfClass<T>();
  }

  bool enterOnSetUp = true;
  cScratchDir scripts;
  cFakeClock clock;
  cMessageCapture messages;
  cOverlayRecorder overlay;
  cFakeCityView view;
  cCityGameMode* mode = nullptr;
};

// Tribes, raids and errands: every citizen held from its own choices (the
// tests start the errands), the tribes in registry order, straight-line
// placing off the planet's surface where a distance must come out exact.
class cCityTribeWorldTest : public cCityWorldTest {
 protected:
  void SetUp() override {
    cCityWorldTest::SetUp();
    for (cCityGamePlayerCreature* c : Citizens()) c->SetOwnChoices(false);
    tribes.clear();
    Registry().CollectObjectsOfClass(tribes);
  }
  std::vector<cCityGameTribeCreature*> MembersOf(cCityGameTribe* tribe) {
    std::vector<cCityGameTribeCreature*> members;
    for (uint32_t id : tribe->GetMembers())
      if (auto* m = dynamic_cast<cCityGameTribeCreature*>(Registry().Find(id))) members.push_back(m);
    return members;
  }
  // The object stands there; a creature's goal is there too, so it does not walk off.
  static void PlaceAt(cCityGameWorldObject* object, const Ru::Math::Vector3& at) {
    object->SetPosition(at, Ru::Math::Vector3{});
    if (auto* creature = dynamic_cast<cCityGameCreature*>(object))
      if (creature->GetCommon()) creature->GetCommon()->SetPosition(at);
  }
  // Frames until the creature's behaviour ends; false when it never does.
  bool RunUntilIdle(cCityGameCreature* creature, int frames = 20000) {
    for (int i = 0; i < frames && creature->HasInteraction(); ++i) Pump(1);
    return !creature->HasInteraction();
  }
  // Every creature's id, position and motives, the money and every store's
  // food into a seeded run's digest.
  void MixCity(sRunDigest& run) {
    std::vector<cCityGameCreature*> creatures;
    Registry().CollectObjectsOfClass(creatures);
    for (cCityGameCreature* c : creatures) {
      run.Mix(c->GetId());
      for (float v : {c->GetPosition().x, c->GetPosition().y, c->GetPosition().z, c->GetMotive(0), c->GetMotive(1)}) run.Mix(v);
    }
    std::vector<cCityGameBundleContainer*> stores;
    Registry().CollectObjectsOfClass(stores);
    for (cCityGameBundleContainer* s : stores) run.Mix(s->GetTotalAmount());
    if (City()) run.Mix(City()->GetMoney());
  }
  std::vector<cCityGameTribe*> tribes;
};
