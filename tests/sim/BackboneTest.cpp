#include <gtest/gtest.h>

#include "GameDataTestTypes.h"
#include "SaveFileBytes.h"
#include "sim/gamedata/Backbone.h"
#include "tests/support/TestSupport.h"

namespace {

std::string BackboneRecord(std::vector<uint32_t> words) {
  std::string body;
  for (uint32_t word : words) PutWord(body, word);
  return Record(cBackboneData::kTypeId, body);
}

struct BackboneTest : ::testing::Test {
  cDataManager* manager = GetDataManager();
  cBackboneManager* backbone = GetBackboneManager();
  cScratchDir dir;
  cMessageCapture messages;

  void SetUp() override {
    manager->ResetForTest();
    backboneObject = nullptr;
    *backbone = cBackboneManager();
    backbone->Initialize();
    manager->CommitPending();
  }
  void TearDown() override {
    manager->ResetForTest();
    backboneObject = nullptr;
  }
  size_t LiveBackbones() { return manager->GetObjectsOfType(cBackboneData::kTypeId).size(); }
};

TEST_F(BackboneTest, SavingRightAfterStartUpWritesOneRecordOfSixteenZeroBytes) {
  ASSERT_TRUE(manager->Save(dir.File("start")));
  EXPECT_EQ(FileContents(dir.File("start")), CheckedSave(BackboneRecord({0, 0, 0, 0})));
}

TEST_F(BackboneTest, LoadingARecordSetsTheValuesAndLeavesExactlyOneLiveObject) {
  dir.Write("save", kEmptySave + BackboneRecord({25, 2, 3, 4}));
  ASSERT_TRUE(manager->Load(dir.File("save")));
  EXPECT_EQ(backbone->GetSocialPoints(), 25);
  EXPECT_EQ(backbone->value4, 4u);
  EXPECT_EQ(LiveBackbones(), 1u);
  EXPECT_EQ(manager->GetObjectsOfType(cBackboneData::kTypeId)[0], backboneObject);

  ASSERT_TRUE(manager->Save(dir.File("again")));  // the values go back out unchanged
  EXPECT_EQ(FileContents(dir.File("again")), CheckedSave(BackboneRecord({25, 2, 3, 4})));
}

TEST_F(BackboneTest, AFileWithoutARecordKeepsTheValuesAndGetsAFreshObject) {
  backbone->SetSocialPoints(11);
  dir.Write("none", CheckedSave(""));
  ASSERT_TRUE(manager->Load(dir.File("none")));
  manager->CommitPending();
  EXPECT_EQ(backbone->GetSocialPoints(), 11);
  EXPECT_EQ(LiveBackbones(), 1u);
  EXPECT_FALSE(backboneObject->IsDead());
}

TEST_F(BackboneTest, TheSerializerWritesNothingForOtherTypes) {
  cThing thing;
  cMemoryStream stream;
  backbone->Save(&thing, stream, 8);
  EXPECT_EQ(stream.GetSize(), 0u);
}

// Fault mended: two records of the one-per-game backbone left two live objects.
TEST_F(BackboneTest, TwoRecordsInOneFileLeaveOneLiveObjectWithTheLaterValues) {
  dir.Write("two", kEmptySave + BackboneRecord({1, 0, 0, 0}) + BackboneRecord({2, 0, 0, 0}));
  ASSERT_TRUE(manager->Load(dir.File("two")));
  EXPECT_EQ(LiveBackbones(), 1u);
  EXPECT_EQ(backbone->GetSocialPoints(), 2);
}

TEST_F(BackboneTest, AShortRecordChangesNoValueAndIsReported) {
  backbone->SetSocialPoints(7);
  dir.Write("short", kEmptySave + BackboneRecord({99, 99}));
  ASSERT_TRUE(manager->Load(dir.File("short")));
  manager->CommitPending();
  EXPECT_EQ(backbone->GetSocialPoints(), 7);
  EXPECT_EQ(backbone->value2, 0u);
  EXPECT_EQ(LiveBackbones(), 1u);
  EXPECT_EQ(messages.Count("Load Error"), 1);
}

}  // namespace
