// The space mode: one saucer per stay, none left behind.
#include <gtest/gtest.h>

#include "modes/dev/space/cSpaceGameMode.h"
#include "modes/dev/space/cUFO.h"
#include "sim/gamedata/DataManager.h"
#include "tests/support/TestSupport.h"

namespace {
struct cForeignObject : Ko::cGameData, Ko::cIGameDataSerializer {
  Ko::cIGameData* Create() override { return new cForeignObject; }
  uint32_t GetTypeId() override { return cUFO::kTypeId; }
  void Load(Ko::cIGameData*, cMemoryStream&, uint32_t) override {}
  void Save(Ko::cIGameData*, cMemoryStream&, uint32_t) override {}
};

size_t ObjectsUnderSaucerId() {
  GetDataManager()->CommitPending();
  return GetDataManager()->GetObjectsOfType(cUFO::kTypeId).size();
}
}  // namespace

TEST(SpaceMode, EachStayHasOneSaucerAndAnIdOfAnotherClassLeavesNothing) {
  cMessageCapture boxes;
  static cForeignObject other;
  for (bool foreign : {false, true}) {
    GetDataManager()->ResetForTest();
    if (foreign) GetDataManager()->RegisterType(&other, &other);  // the first registration wins
    cSpaceGameMode space;
    space.Leave();  // before any Enter: nothing to remove
    for (int stay = 0; stay < 2; ++stay) {
      space.Enter();
      EXPECT_EQ(ObjectsUnderSaucerId(), foreign ? 0u : 1u);
      space.Leave();
      EXPECT_EQ(ObjectsUnderSaucerId(), 0u);
    }
  }
  GetDataManager()->ResetForTest();
}
