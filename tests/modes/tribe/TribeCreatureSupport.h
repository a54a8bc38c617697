// Shared by the creature and group tests: tribe creatures with a body record
// and a body of their own on a plain planet, cleaned up after each test.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "modes/creature/CreatureCommon.h"
#include "modes/tribe/TribeCreature.h"
#include "platform/Sys.h"
#include "sim/behavior/BehaviorController.h"
#include "sim/gamedata/RefPtr.h"
#include "tests/support/TestSupport.h"
#include "tests/world/planet/PlanetTestSupport.h"
#include "world/planet/PlanetModel.h"
#include "world/scene/SceneObject.h"

struct TribeCreatureFixture : ::testing::Test {
  cMessageCapture messages;
  std::vector<tRefPtr<cTribeCreature>> creatures;

  void SetUp() override {
    GetPlanetModel().SetHeightMap(MakeHeightMap([](const Ru::Math::Vector3&) { return 10.0f; }, 16));
    Sys_SeedRandom(18);
  }
  void TearDown() override {
    GetBehaviorController().Clear();
    GetBehaviorController().Update(0);  // ended interactions go with two flushes
    GetBehaviorController().Update(0);
    for (auto& creature : creatures) creature->DropSceneObjects();
    creatures.clear();
  }

  // A creature standing on the ground under `direction` with the NoRole look.
  cTribeCreature* MakeCreature(const Ru::Math::Vector3& direction = {0.0f, 1.0f, 0.0f}) {
    tRefPtr<cCreatureCommon> common(new cCreatureCommon());
    tRefPtr<cTribeCreature> creature(new cTribeCreature());
    creature->SetCommon(common.Get());
    common->SetSceneObject(new cSceneObject(creature.Get(), cTribeCreature::GetRoleModel(0)));
    Ru::Math::Vector3 ground;
    GetPlanetModel().ProjectToSurface(ground, direction);
    creature->SetPosition(ground);
    creatures.push_back(creature);
    return creature.Get();
  }
};
