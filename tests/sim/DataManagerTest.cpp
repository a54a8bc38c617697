#include <gtest/gtest.h>

#include "GameDataTestTypes.h"
#include "tests/support/TestSupport.h"

namespace {

struct DataManagerTest : ::testing::Test {
  cDataManager manager;
  cThing thingPrototype;
  cOtherThing otherPrototype;
  cThingSerializer serializer;
  std::vector<std::string> log;
  cRecordingClient first{"A", &log}, second{"B", &log};

  void SetUp() override {
    manager.RegisterType(&thingPrototype, &serializer);
    manager.RegisterType(&otherPrototype, &serializer);
    manager.AddClient(&first);
    manager.AddClient(&second);
  }
  void TearDown() override { manager.ResetForTest(); }
  cThing* Make(uint32_t value, uint32_t typeId = cThing::kTypeId) { return MakeThing(manager, value, typeId); }
};

TEST_F(DataManagerTest, NewObjectsAreCountedAtOnceButListedAndAnnouncedOnlyAfterCommit) {
  cThing* a = Make(1);
  cThing* b = Make(2, cOtherThing::kTypeId);
  EXPECT_EQ(manager.GetObjectCount(), 2u);
  EXPECT_TRUE(manager.GetAllObjects().empty());
  EXPECT_TRUE(manager.GetObjectsOfType(cThing::kTypeId).empty());
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(a->GetRefCount(), 1);

  manager.CommitPending();
  std::vector<std::string> expected = {"A added 11110001 #1", "B added 11110001 #1", "A added 11110002 #2",
                                       "B added 11110002 #2"};
  EXPECT_EQ(log, expected);
  EXPECT_EQ(manager.GetAllObjects(), (std::vector<Ko::cIGameData*>{a, b}));
  EXPECT_EQ(manager.GetObjectsOfType(cOtherThing::kTypeId), (std::vector<Ko::cIGameData*>{b}));
  manager.CommitPending();  // nothing new: nobody hears anything
  EXPECT_EQ(log.size(), 4u);
}

TEST_F(DataManagerTest, ObjectsCreatedInsideObjectAddedAreCommittedInTheSamePass) {
  first.onAdded = [&](Ko::cIGameData* object) {
    if (static_cast<cThing*>(object)->value == 1) Make(2);
  };
  Make(1);
  manager.CommitPending();
  EXPECT_EQ(manager.GetAllObjects().size(), 2u);
  EXPECT_EQ(log.back(), "B added 11110001 #2");
}

TEST_F(DataManagerTest, RemovingAPendingObjectReleasesItSilently) {
  int before = cThing::sDestroyed;
  cThing* a = Make(1);
  manager.Remove(a);
  EXPECT_EQ(cThing::sDestroyed, before + 1);
  EXPECT_EQ(manager.GetObjectCount(), 0u);
  EXPECT_TRUE(log.empty());
}

TEST_F(DataManagerTest, RemovingALiveObjectTellsClientsFirstAndASecondRemoveDoesNothing) {
  int before = cThing::sDestroyed;
  cThing* a = Make(1);
  manager.CommitPending();
  log.clear();
  a->AddRef();  // another holder keeps it alive
  manager.Remove(a);
  std::vector<std::string> expected = {"A removed 11110001 #1 alive", "B removed 11110001 #1 alive"};
  EXPECT_EQ(log, expected);
  EXPECT_TRUE(a->IsDead());
  EXPECT_EQ(a->GetRefCount(), 1);
  EXPECT_EQ(manager.GetObjectCount(), 0u);
  manager.Remove(a);
  EXPECT_EQ(log.size(), 2u);
  EXPECT_EQ(cThing::sDestroyed, before);
  a->Release();
  EXPECT_EQ(cThing::sDestroyed, before + 1);

  // Fault mended: a client removing the object again while hearing of its
  // removal started the notifications over, without end.
  cThing* b = Make(2);
  manager.CommitPending();
  log.clear();
  first.onRemoved = [&](Ko::cIGameData* object) { manager.Remove(object); };
  manager.Remove(b);
  EXPECT_EQ(log.size(), 2u);
  EXPECT_EQ(cThing::sDestroyed, before + 2);
}

// Removal no longer searches and shrinks the list per object (quadratic before
// a load); the gaps it leaves must never show in the order or the count.
TEST_F(DataManagerTest, RemovalsKeepTheOrderOfWhatRemainsAndOfWhatComesAfter) {
  std::vector<cThing*> things;
  for (uint32_t i = 1; i <= 5; ++i) things.push_back(Make(i));
  manager.CommitPending();
  manager.Remove(things[1]);
  manager.Remove(things[3]);
  EXPECT_EQ(manager.GetObjectCount(), 3u);
  EXPECT_EQ(manager.GetAllObjects(), (std::vector<Ko::cIGameData*>{things[0], things[2], things[4]}));
  cThing* sixth = Make(6);
  manager.Remove(things[0]);
  manager.CommitPending();
  EXPECT_EQ(manager.GetObjectsOfType(cThing::kTypeId), (std::vector<Ko::cIGameData*>{things[2], things[4], sixth}));
  manager.Remove(things[4]);
  EXPECT_EQ(manager.GetAllObjects(), (std::vector<Ko::cIGameData*>{things[2], sixth}));
  EXPECT_EQ(manager.GetObjectCount(), 2u);
}

TEST_F(DataManagerTest, FirstRegistrationStandsAndUnknownTypesMakeNothing) {
  struct cImpostor : cThing {
    Ko::cIGameData* Create() override { return nullptr; }
  } impostor;
  cThingSerializer otherSerializer;
  manager.RegisterType(&impostor, &otherSerializer);
  EXPECT_NE(manager.CreateObject(cThing::kTypeId), nullptr);
  EXPECT_EQ(manager.CreateObject(0xDEADBEEF), nullptr);
  EXPECT_NE(manager.CreateObject<cOtherThing>(), nullptr);
  cScratchDir dir;
  ASSERT_TRUE(manager.Save(dir.File("save")));
  EXPECT_EQ(serializer.versionsSeen, (std::vector<uint32_t>{cDataManager::kSaveVersion, cDataManager::kSaveVersion}));
  EXPECT_TRUE(otherSerializer.versionsSeen.empty());
}

// Fault mended: a client that removed the object being committed made the
// commit append a freed pointer to the live list.
TEST_F(DataManagerTest, CommitSurvivesClientsThatRemoveObjectsWhileHearingOfThem) {
  int before = cThing::sDestroyed;
  cThing* doomed = Make(1);
  cThing* victim = Make(2);
  cThing* keeper = Make(3);
  first.onAdded = [&](Ko::cIGameData* object) {
    if (object == doomed) {
      manager.Remove(doomed);  // itself, mid-notification
      manager.Remove(victim);  // another pending object
    }
  };
  manager.CommitPending();
  EXPECT_EQ(manager.GetAllObjects(), (std::vector<Ko::cIGameData*>{keeper}));
  EXPECT_EQ(manager.GetObjectCount(), 1u);
  EXPECT_EQ(cThing::sDestroyed, before + 2);
  // B never heard of the object that A removed; A's removal was announced.
  std::vector<std::string> expected = {"A added 11110001 #1", "A removed 11110001 #1 alive",
                                       "B removed 11110001 #1 alive", "A added 11110001 #3",
                                       "B added 11110001 #3"};
  EXPECT_EQ(log, expected);
}

}  // namespace
