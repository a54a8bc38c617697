// The space mode: one saucer per stay in the mode, none left behind, nothing in
// saves, and its one line of text.
#include <gtest/gtest.h>

#include "modes/dev/space/cSpaceGameMode.h"
#include "modes/dev/space/cUFO.h"
#include "sim/gamedata/DataManager.h"
#include "tests/glf/OverlayRecorder.h"
#include "tests/support/TestSupport.h"

namespace {

struct cForeignObject : Ko::cGameData, Ko::cIGameDataSerializer {
  Ko::cIGameData* Create() override { return new cForeignObject; }
  uint32_t GetTypeId() override { return cUFO::kTypeId; }
  void Load(Ko::cIGameData*, cMemoryStream&, uint32_t) override {}
  void Save(Ko::cIGameData*, cMemoryStream&, uint32_t) override {}
};

size_t ObjectsUnderSaucerId() {
  cDataManager* data = GetDataManager();
  data->CommitPending();
  return data->GetObjectsOfType(cUFO::kTypeId).size();
}

struct SpaceModeTest : ::testing::Test {
  cMessageCapture boxes;
  void SetUp() override { GetDataManager()->ResetForTest(); }
  void TearDown() override { GetDataManager()->ResetForTest(); }
};

}  // namespace

TEST_F(SpaceModeTest, EachStayMakesOneSaucerAndLeavingRemovesIt) {
  cSpaceGameMode space;
  space.Leave();  // before any Enter: nothing to remove
  EXPECT_EQ(ObjectsUnderSaucerId(), 0u);
  for (int stay = 0; stay < 3; ++stay) {
    space.Enter();
    ASSERT_NE(space.GetSaucer(), nullptr);
    EXPECT_EQ(ObjectsUnderSaucerId(), 1u);
    EXPECT_FALSE(space.GetSaucer()->IsDead());
    space.Leave();
    EXPECT_EQ(space.GetSaucer(), nullptr);
    EXPECT_EQ(ObjectsUnderSaucerId(), 0u);
  }
}

TEST_F(SpaceModeTest, AnIdTakenByAnotherClassGivesNoSaucerAndLeavesNothing) {
  static cForeignObject foreign;
  GetDataManager()->RegisterType(&foreign, &foreign);  // first registration wins
  cSpaceGameMode space;
  space.Enter();
  EXPECT_EQ(space.GetSaucer(), nullptr);
  EXPECT_EQ(ObjectsUnderSaucerId(), 0u);
  space.Leave();
  EXPECT_EQ(ObjectsUnderSaucerId(), 0u);
}

TEST_F(SpaceModeTest, TheSaucerWritesNoRecordToASave) {
  cScratchDir dir;
  cSpaceGameMode space;
  space.Enter();
  const std::string file = dir.File("space.sav");
  ASSERT_TRUE(GetDataManager()->Save(file));
  space.Leave();
  ASSERT_TRUE(GetDataManager()->Load(file));
  EXPECT_EQ(ObjectsUnderSaucerId(), 0u);
}

TEST_F(SpaceModeTest, DrawsOnlyItsLineOfTextAt100By100) {
  cOverlayRecorder recorder;
  cSpaceGameMode space;
  space.OnRender();
  ASSERT_EQ(recorder.calls.size(), 1u);
  const cDrawCall* text = recorder.FindText("Hi, I'm in cSpaceGameMode::OnRender()");
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->x0, 100);
  EXPECT_EQ(text->y0, 100);
  EXPECT_EQ(recorder.enters, 1);
  EXPECT_EQ(recorder.leaves, 1);
}
