// The creature-mode creature with the fly/swim avatar controller, as the test
// bench drives it: placement through the creature, controller swaps, flying
// under MOVE, TURN and CLIMB between the ground and the ceiling, diving and
// swimming over the sea, wing beats, the camera's follow, and the queries
// other subsystems ask the creature; every tuning key at the texts that break play.
#include <gtest/gtest.h>

#include <cmath>

#include "camera/Camera.h"
#include "math/Math.h"
#include "modes/creature/AvatarFlySwimController.h"
#include "modes/creature/CommonCreatureManager.h"
#include "modes/creature/cCreatureGameMode.h"
#include "modes/creature/cCreatureModeCreature.h"
#include "sim/gamedata/DataManager.h"
#include "CreatureTestSupport.h"
#include "tests/sim/tuning/TuningTestSupport.h"
#include "tests/support/TestSupport.h"
#include "tests/world/planet/PlanetTestSupport.h"
#include "world/scene/CreatureParts.h"
#include "world/scene/CreatureShape.h"
#include "world/scene/SceneObject.h"

using namespace Ru::Math;

namespace {

// Land at 20 above the base radius where x > 0, sea 30 deep (floor at 470) where x < 0.
float HalfSea(const Vector3& d) { return d.x > 0.0f ? 20.0f : -30.0f; }

struct cCountingController : cICreatureController {
  int* deactivated;
  int* cameras;
  cCountingController(int* d, int* c) : deactivated(d), cameras(c) {}
  void Update(float) override {}
  void Activate() override {}
  void SetupCamera() override { ++*cameras; }
  void Deactivate() override { ++*deactivated; }
};

struct AvatarControllerTest : ::testing::Test {
  cMessageCapture messages;
  cCreatureCommon* common = nullptr;
  cCreatureModeCreature* creature = nullptr;
  cSceneObject *body = nullptr, *wing1 = nullptr, *wing2 = nullptr;
  cAvatarFlySwimController* controller = nullptr;

  void SetUp() override {
    ResetCreatureRecords(true);
    GetPlanetModel().SetHeightMap(MakeHeightMap(HalfSea, 64));
    // Built as the test bench builds its creature.
    common = cCommonCreatureManager::Get()->CreateCommon();
    creature = new cCreatureModeCreature();
    creature->AddRef();
    creature->SetCommon(common);
    wing1 = new cSceneObject(creature, cCreatureGameMode::GetWingShape(0));
    wing2 = new cSceneObject(creature, cCreatureGameMode::GetWingShape(1));
    controller = new cAvatarFlySwimController(nullptr, creature, wing1, wing2, "CreatureTuning.xml");
    creature->SetController(controller);
    controller->Activate();
    body = new cSceneObject(creature, cCreatureCommon::GetBodyShape());
    common->SetSceneObject(body);
    PlaceAbove({1, 0.2f, 0});
  }
  void TearDown() override {
    delete wing1;
    delete wing2;
    delete body;  // the scene objects' owner references go first
    creature->Release();
    ResetCreatureRecords(false);
  }

  void PlaceAbove(const Vector3& direction) { StandUpright(*creature, direction); }
  void Run(int frames, float move, float turn, float climb) {
    for (int i = 0; i < frames; ++i) {
      if (move) controller->HandleInputEvent("MOVE", move, i + 1);
      if (turn) controller->HandleInputEvent("TURN", turn, i + 1);
      if (climb) controller->HandleInputEvent("CLIMB", climb, i + 1);
      controller->Update(0.05f);
    }
  }
  float Height() { return Vector3Length(creature->GetPosition()); }
};

TEST_F(AvatarControllerTest, TheTuningFileAndTheCreatureAreWiredUp) {
  EXPECT_EQ(controller->GetTuning().flySpeed, 20.0f);  // Data/CreatureTuning.xml
  EXPECT_EQ(controller->GetTuning().Files().size(), 1u);
  EXPECT_EQ(creature->GetSceneObject(), body);
  EXPECT_EQ(GetCameraState().scriptFile, ".\\Data\\Scripts\\creature_camera.txt");
  creature->SetId(77);
  EXPECT_EQ(common->GetId(), 77u);
  EXPECT_GT(cCreatureCommon::PeekNextId(), 77u);
  EXPECT_TRUE(messages.boxes.empty());
}

TEST_F(AvatarControllerTest, FliesForwardTurnsClimbsAndStaysBetweenGroundAndCeiling) {
  const Vector3 start = creature->GetPosition();
  const float ground = Height();
  Run(19, 0, 0, 1.0f);  // climb 0.95 s at 10 per second
  EXPECT_NEAR(Height(), ground + 9.5f, 0.01f);
  EXPECT_GT(controller->GetFlapPhase(), 0.0f);
  Run(200, 0, 0, 1.0f);
  EXPECT_NEAR(Height(), ground + 40.0f, 0.01f);  // the ceiling

  const Vector3 heading = QuatRotateVector(creature->GetOrientation(), Vector3{0, 0, -1});
  const Vector3 right = QuatRotateVector(creature->GetOrientation(), Vector3{1, 0, 0});
  const Vector3 before = creature->GetPosition();
  Run(20, 1.0f, 0, 0);
  EXPECT_GT(Vector3Dot(Vector3Sub(creature->GetPosition(), before), heading), 1.0f);
  EXPECT_LT(Height(), ground + 40.0f);  // glides down without CLIMB
  Run(10, 0, 1.0f, 0);                  // TURN 1 turns left
  EXPECT_LT(Vector3Dot(QuatRotateVector(creature->GetOrientation(), Vector3{0, 0, -1}), right), -0.1f);

  Run(400, 0, 0, -1.0f);  // dives over land only down to the ground
  EXPECT_NEAR(Height(), GetPlanetModel().GetSurfaceRadius(creature->GetPosition()), 0.01f);
  EXPECT_FALSE(controller->IsSwimming());
  // The markers and the camera follow the creature.
  EXPECT_TRUE(Vector3Equal(wing1->GetPosition(), creature->GetPosition()));
  EXPECT_TRUE(Vector3Equal(wing2->GetPosition(), creature->GetPosition()));
  EXPECT_EQ(GetCameraState().targetAnchor[1], creature->GetPosition().y);
  EXPECT_NE(Vector3Length(Vector3Sub(start, creature->GetPosition())), 0.0f);
}

TEST_F(AvatarControllerTest, DivesIntoTheSeaSwimsSlowerAndComesBackUp) {
  PlaceAbove({-1, 0.2f, 0});
  EXPECT_NEAR(Height(), 500.0f - 30.0f, 0.5f);  // placed on the sea floor
  Run(2, 0, 0, 1.0f);
  Run(100, 0, 0, 0);
  EXPECT_NEAR(Height(), 504.0f, 0.01f);  // without CLIMB it rests on the sea surface
  Run(40, 0, 0, -1.0f);                  // dive 2 s at 10 per second
  EXPECT_NEAR(Height(), 484.0f, 0.05f);
  EXPECT_TRUE(controller->IsSwimming());
  const float phase = controller->GetFlapPhase();
  Run(200, 1.0f, 0, 0);
  EXPECT_NEAR(controller->GetSpeed(), 8.0f, 0.01f);  // swimming speed
  EXPECT_EQ(controller->GetFlapPhase(), phase);      // no wing beat under water
  EXPECT_NEAR(Height(), 484.0f, 0.05f);              // it neither sinks nor floats
  Run(100, 0, 0, 1.0f);
  EXPECT_FALSE(controller->IsSwimming());
}

TEST_F(AvatarControllerTest, TheKeysOfTheCreatureKeyFileDriveIt) {
  const float ground = Height();
  Sys_SetKeyState('E', true);  // CLIMB 1
  for (int i = 0; i < 10; ++i) controller->Update(0.05f);
  Sys_SetKeyState('E', false);
  EXPECT_NEAR(Height(), ground + 5.0f, 0.01f);
  const Vector3 heading = QuatRotateVector(creature->GetOrientation(), Vector3{0, 0, -1});
  const Vector3 before = creature->GetPosition();
  Sys_SetKeyState('W', true);  // MOVE 1
  for (int i = 0; i < 10; ++i) controller->Update(0.05f);
  Sys_ClearKeyStates();
  EXPECT_GT(Vector3Dot(Vector3Sub(creature->GetPosition(), before), heading), 0.5f);
  EXPECT_TRUE(messages.boxes.empty());  // the key file read without a complaint
}

TEST_F(AvatarControllerTest, DeactivatedControllersIgnoreKeysAndReplacedOnesAreDeactivated) {
  controller->Deactivate();
  const Vector3 before = creature->GetPosition();
  Run(10, 1.0f, 1.0f, 1.0f);
  EXPECT_TRUE(Vector3Equal(creature->GetPosition(), before));
  int deactivated = 0, cameras = 0;
  creature->SetController(new cCountingController(&deactivated, &cameras));
  EXPECT_EQ(cameras, 1);
  creature->SetController(new cCountingController(&deactivated, &cameras));
  EXPECT_EQ(deactivated, 1);
  EXPECT_EQ(cameras, 2);
}

TEST_F(AvatarControllerTest, TheNearestOtherSpeciesIsFoundAmongTheModesCreaturesAndHeld) {
  cCreatureModeObjectManager manager;
  auto make = [&](int species, const Vector3& at) {
    auto* other = new cCreatureModeCreature();
    cCreatureCommon* record = cCommonCreatureManager::Get()->CreateCommon();
    record->SetSpecies(species);
    other->SetCommon(record);
    auto* shape = new cSceneObject(nullptr, cCreatureCommon::GetBodyShape());
    record->SetSceneObject(shape);
    other->SetPosition(at);
    manager.AddCreature(other);
    return std::make_pair(other, shape);
  };
  manager.SetAvatarCreature(creature);
  EXPECT_EQ(manager.GetAvatarCreature(), creature);
  const Vector3 here = creature->GetPosition();
  auto kin = make(0, Vector3Add(here, {1, 0, 0}));
  auto far = make(2, Vector3Add(here, {9, 0, 0}));
  auto near = make(1, Vector3Add(here, {0, 4, 0}));
  EXPECT_EQ(creature->FindNearestOtherSpecies(), near.first);
  manager.RemoveCreature(near.first);  // the creature still holds its opponent
  EXPECT_EQ(near.first->GetSpecies(), 1);
  EXPECT_EQ(creature->FindNearestOtherSpecies(), far.first);
  creature->SetLoyalty(250.0f);
  EXPECT_EQ(creature->GetLoyalty(), 100.0f);
  EXPECT_FALSE(creature->HasGroup());
  for (auto& made : {kin, far, near}) delete made.second;
  manager.SetAvatarCreature(nullptr);
}

// Fault mended: the file's values were held only above 0, and NaN, nothing or
// words read 0, all without a word. The avatar flies, turns, climbs and dives
// over land and into the sea, the longest frame the loop passes on at the end.
TEST_F(AvatarControllerTest, EveryTuningKeyFliesAndSwimsAtEveryTrialText) {
  cScratchDir dir;
  const std::vector<sTuningLaw> laws = {{"Speed", 0}, {"Rate", 0}, {"acceleration", 0}, {"Height", 0}};
  TryEveryKeyAtEveryText(cAvatarTuningData::Keys(), laws, [] {}, [&](const sTuningKey& key, const std::string& text,
                                                                    const std::string& where) {
    dir.Write("CreatureTuning.xml", TuningFileWriting(key, text));
    controller = new cAvatarFlySwimController(nullptr, creature, wing1, wing2, "CreatureTuning.xml", dir.Path() + "/");
    creature->SetController(controller);
    controller->Activate();
    for (const Vector3& start : {Vector3{1, 0.2f, 0}, Vector3{-1, 0.2f, 0}}) {  // over land, then over the sea
      PlaceAbove(start);
      Run(20, 1.0f, 0.5f, 1.0f);
      Run(20, 1.0f, 0, -1.0f);
      controller->Update(0.5f);
      const float height = Height();
      EXPECT_TRUE(std::isfinite(height) && height >= 469.0f && height <= 520.0f + 1000.0f) << where;
    }
    return controller->GetTuning().Held(key.name);
  });
}

}  // namespace
