// The city and building records the city and civ modes share: their own id
// counters, the factory's defaults, the building's scene object, and that a
// save file never keeps them.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "modes/civ/CivRecords.h"
#include "sim/gamedata/DataManager.h"
#include "tests/sim/SaveFileBytes.h"
#include "tests/support/TestSupport.h"
#include "world/scene/SceneObject.h"

namespace {

struct CivRecordsTest : ::testing::Test {
  void SetUp() override {
    GetDataManager()->ResetForTest();
    RegisterCivRecordTypes();
    cCityCommon::ResetIdCounterForTest();  // as after start-up: the prototypes took id 0
    cBuildingCommon::ResetIdCounterForTest();
  }
  void TearDown() override { GetDataManager()->ResetForTest(); }
};

TEST_F(CivRecordsTest, IdsStartAtOneAndEachClassCountsOnItsOwn) {
  cDataManager* data = GetDataManager();
  auto* city = data->CreateObject<cCityCommon>();
  auto* building = data->CreateObject<cBuildingCommon>();
  auto* second = data->CreateObject<cCityCommon>();
  ASSERT_TRUE(city && building && second);
  EXPECT_EQ(city->GetId(), 1u);
  EXPECT_EQ(building->GetId(), 1u);
  EXPECT_EQ(second->GetId(), 2u);
  // The factory's record: no money, not the city mode's city.
  EXPECT_EQ(city->GetMoney(), 0.0f);
  EXPECT_FALSE(city->IsPlayerCity());
}

TEST_F(CivRecordsTest, BuildingPlacesItsSceneObjectAndIsSafeWithoutOne) {
  auto* building = GetDataManager()->CreateObject<cBuildingCommon>();
  Ru::Math::Quaternion turned{0.0f, 0.6f, 0.0f, 0.8f};
  EXPECT_EQ(building->GetPosition(), nullptr);
  EXPECT_EQ(building->SetOrientation(turned), nullptr);
  building->SetPosition({1.0f, 2.0f, 3.0f});  // nothing to move: no crash

  cSceneObject body(nullptr, nullptr);
  building->SetSceneObject(&body);
  building->SetPosition({1.0f, 2.0f, 3.0f});
  EXPECT_EQ(body.GetPosition().y, 2.0f);
  EXPECT_EQ(building->SetOrientation(turned), &body.GetOrientation());
  EXPECT_EQ(building->GetOrientation()->y, 0.6f);
  building->SetSceneObject(nullptr);
}

TEST_F(CivRecordsTest, SaveFileKeepsNoCityOrBuildingRecord) {
  cScratchDir dir;
  cDataManager* data = GetDataManager();
  data->CreateObject<cCityCommon>()->SetMoney(50.0f);
  data->CreateObject<cBuildingCommon>();
  data->CommitPending();
  ASSERT_TRUE(data->Save(dir.File("civ.sav")));
  std::ifstream in(dir.File("civ.sav"), std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(bytes, CheckedSave(""));
}

}  // namespace
