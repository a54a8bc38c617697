// Shared by the tribe record and save tests: a clean data manager with the
// creature records and the five tribe types registered, a tribe world built
// by hand (tribes with huts, members with bodies, tools, herds) and taken
// apart again without help from the object controller.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "app/AppGlobals.h"
#include "math/Math.h"
#include "modes/creature/CommonCreatureManager.h"
#include "modes/tribe/Tribe.h"
#include "modes/tribe/TribeCreature.h"
#include "modes/tribe/TribeHerd.h"
#include "modes/tribe/TribeHut.h"
#include "modes/tribe/TribeObjectController.h"
#include "modes/tribe/TribeSerializationController.h"
#include "modes/tribe/TribeTool.h"
#include "modes/tribe/cTribeGameMode.h"
#include "sim/behavior/BehaviorController.h"
#include "sim/gamedata/DataManager.h"
#include "tests/world/planet/PlanetTestSupport.h"
#include "world/scene/SceneManager.h"
#include "world/scene/CreatureShape.h"
#include "world/scene/SceneObject.h"
#include "world/scene/SolidShapes.h"

// Every tribe object's scene objects hold references on it: they go first,
// then the data manager and the creature records forget everything.
inline void TakeTribeWorldApart() {
  cDataManager* data = GetDataManager();
  data->CommitPending();  // pending objects are not listed
  // Tribes first: they remove their huts and tools, which must not be freed under them.
  for (Ko::cIGameData* object : data->GetObjectsOfType(cTribe::kTypeId)) static_cast<cTribe*>(object)->ReleaseObjects();
  for (Ko::cIGameData* object : data->GetAllObjects()) {
    if (auto* creature = dynamic_cast<cTribeCreature*>(object)) {
      GetBehaviorController().RemoveAgent(creature);
      creature->DropSceneObjects();
    }
    if (auto* hut = dynamic_cast<cTribeHut*>(object)) hut->ReleaseSceneObject();
    if (auto* tool = dynamic_cast<cTribeTool*>(object)) tool->ReleaseSceneObject();
    if (auto* herd = dynamic_cast<cTribeHerd*>(object)) herd->ReleaseSceneObjects();
  }
  GetBehaviorController().Clear();
  GetBehaviorController().Update(0);
  GetBehaviorController().Update(0);
  data->ResetForTest();
  cCommonCreatureManager::Get()->ResetForTest();
  GetSceneManager().Clear();
}

// The ground under `direction`.
inline Ru::Math::Vector3 TribeGroundUnder(const Ru::Math::Vector3& direction) {
  Ru::Math::Vector3 ground;
  GetPlanetModel().ProjectToSurface(ground, direction);
  return ground;
}

// Land everywhere (20 units above the base radius), so every point is dry.
inline float TribeTestLand(const Ru::Math::Vector3&) { return 20.0f; }

// A tribe mode whose object controller receives what the serializer loads.
// The mode is the application's tribe mode while the fixture lives.
class cTribeRecordWorld {
 public:
  cTribeRecordWorld() {
    TakeTribeWorldApart();
    GetPlanetModel().SetHeightMap(MakeHeightMap(TribeTestLand, 16));
    mMode = std::make_unique<cTribeGameMode>();
    mPreviousMode = gTribeGameMode;
    gTribeGameMode = mMode.get();
    mSerializer = mMode->GetSerializationController();
    // As at start-up: the modes hear of a load before the creature records do.
    GetDataManager()->AddClient(mMode.get());
    cCommonCreatureManager::Register();
  }
  ~cTribeRecordWorld() {
    World()->Clear();       // the object controller's own clearing, on a whole world
    TakeTribeWorldApart();  // what no controller list held; the data manager forgets the mode
    mMode.reset();
    gTribeGameMode = mPreviousMode;
  }

  cTribeObjectController* World() { return mMode->GetObjectController(); }
  cTribeSerializationController* Serializer() { return mSerializer; }

  // A tribe whose hut stands on the ground under `direction`, with `members`
  // members standing around it.
  cTribe* MakeTribe(const Ru::Math::Vector3& direction, int members) {
    auto* tribe = dynamic_cast<cTribe*>(GetDataManager()->CreateObject(cTribe::kTypeId));
    cTribeHut* hut = tribe->GetHut();
    auto* object = new cSceneObject(hut, World()->GetHutShape());
    hut->SetSceneObject(object);
    const Ru::Math::Vector3 ground = TribeGroundUnder(direction);
    hut->SetPosition(ground);
    GetSceneManager().AddObject(object);
    for (int i = 0; i < members; ++i) AddMember(tribe, Ru::Math::Vector3Add(ground, Ru::Math::Vector3{3.0f * (i + 1), 0.0f, 2.0f}));
    World()->AppendTribe(tribe);
    if (!World()->GetPlayerTribe()) World()->SetPlayerTribe(tribe);
    return tribe;
  }

  cTribeCreature* AddMember(cTribe* tribe, const Ru::Math::Vector3& near) {
    cCreatureCommon* common = cCommonCreatureManager::Get()->CreateCommon();
    auto* body = new cSceneObject(nullptr, cCreatureCommon::GetBodyShape());
    common->SetSceneObject(body);
    GetSceneManager().AddObject(body);
    body->SetPosition(TribeGroundUnder(near));
    auto* creature = dynamic_cast<cTribeCreature*>(GetDataManager()->CreateObject(cTribeCreature::kTypeId));
    creature->SetCommon(common);
    creature->RefreshRoleModel();
    tribe->AddMember(creature);
    World()->AppendCreature(creature);
    return creature;
  }

  cTribeHerd* MakeHerd(uint32_t type, uint32_t size, const Ru::Math::Vector3& direction) {
    auto* herd = dynamic_cast<cTribeHerd*>(GetDataManager()->CreateObject(cTribeHerd::kTypeId));
    const Ru::Math::Vector3 ground = TribeGroundUnder(direction);
    herd->SetType(type);
    herd->SetSize(size);
    herd->SetPosition(ground);
    herd->SetHome(ground, 7.5f);
    herd->SetTarget(ground);
    World()->AppendHerd(herd);
    return herd;
  }

 private:
  std::unique_ptr<cTribeGameMode> mMode;
  cTribeGameMode* mPreviousMode = nullptr;
  cTribeSerializationController* mSerializer = nullptr;
};
