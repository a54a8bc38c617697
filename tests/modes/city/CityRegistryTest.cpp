// The city registry and the mode's life cycle: ids in creation order and
// never reused, objects made during the update updated that frame, queued
// removals, the users of a world object, the 23 registered classes, entering
// twice, and a load that discards the city.
#include <gtest/gtest.h>

#include "modes/city/economy/CityBuildingKinds.h"
#include "modes/city/economy/CityBundleContainers.h"
#include "modes/city/economy/CityGameRoad.h"
#include "modes/city/groups/CityGroups.h"
#include "modes/city/behaviours/CityGameInteraction.h"
#include "sim/behavior/InteractionAgent.h"
#include "tests/modes/city/CityTestSupport.h"

namespace {

// Counts its updates and, on its first, makes another object of its kind.
class cBreedingObject : public tCityGameClass<cBreedingObject, cCityGameWorldObject, 0x7E57C001> {
 public:
  void Update(uint32_t) override {
    ++updates;
    if (breed) {
      breed = false;
      child = CreateRegisteredCityObject<cBreedingObject>();
    }
  }
  int updates = 0;
  bool breed = false;
  cBreedingObject* child = nullptr;
};

class cIdleInteraction : public cCityGameInteraction {
 public:
  cIInteraction* Create() override { return new cIdleInteraction; }
  std::string GetName() override { return "Idle"; }
  uint32_t Step() override { return 1; }
};

class cAgent : public Ko::cGameData, public cInteractionAgent {
 public:
  Ko::cIGameData* Create() override { return new cAgent; }
  uint32_t GetTypeId() override { return 0x7E57C002; }
  void* Cast(uint32_t) override { return nullptr; }
  int AddRef() override { return Ko::cGameData::AddRef(); }
  int Release() override { return Ko::cGameData::Release(); }
  tCandidateList* GetCandidates() override { return nullptr; }
};

class CityRegistryTest : public cCityWorldTest {
 protected:
  CityRegistryTest() { enterOnSetUp = false; }
  void SetUp() override {
    cCityWorldTest::SetUp();
    static cBreedingObject* prototype = new cBreedingObject;
    GetDataManager()->RegisterType(prototype, prototype);
  }
};

// The class lists are kept between changes: each addition, removal and clear must show in the next one.
TEST_F(CityRegistryTest, IdsFollowCreationAndAreNeverReusedUntilClear) {
  auto listed = [&] {
    std::vector<cBreedingObject*> objects;
    Registry().CollectObjectsOfClass(objects);
    std::vector<uint32_t> ids;
    for (cBreedingObject* o : objects) ids.push_back(o->GetId());
    EXPECT_EQ(Registry().CountObjectsOfClass<cBreedingObject>(), (int)ids.size());
    return ids;
  };
  auto* a = CreateRegisteredCityObject<cBreedingObject>();
  auto* b = CreateRegisteredCityObject<cBreedingObject>();
  EXPECT_EQ(a->GetId(), 0u);
  EXPECT_EQ(b->GetId(), 1u);
  EXPECT_EQ(listed(), (std::vector<uint32_t>{0, 1}));
  Registry().RemoveNow(b);  // the highest id goes: the next one is still new
  EXPECT_EQ(Registry().Find(1), nullptr);
  EXPECT_EQ(listed(), (std::vector<uint32_t>{0}));
  EXPECT_EQ(CreateRegisteredCityObject<cBreedingObject>()->GetId(), 2u);
  Registry().InsertWithId(7, CreateCityObject<cBreedingObject>());
  EXPECT_EQ(Registry().GetNextId(), 8u);
  EXPECT_EQ(listed(), (std::vector<uint32_t>{0, 2, 7}));
  Registry().Clear();
  EXPECT_EQ(Registry().GetCount(), 0u);
  EXPECT_TRUE(listed().empty());
  auto* fresh = CreateRegisteredCityObject<cBreedingObject>();
  EXPECT_EQ(fresh->GetId(), 0u);
  std::vector<cBreedingObject*> objects;
  Registry().CollectObjectsOfClass(objects);
  EXPECT_EQ(objects, (std::vector<cBreedingObject*>{fresh}));
}

TEST_F(CityRegistryTest, AnObjectMadeDuringTheUpdateIsUpdatedThatFrameAndQueuesRemoveOnce) {
  auto* parent = CreateRegisteredCityObject<cBreedingObject>();
  parent->breed = true;
  Registry().UpdateAll(16);
  ASSERT_NE(parent->child, nullptr);
  EXPECT_EQ(parent->child->updates, 1);
  GetDataManager()->CommitPending();
  cBreedingObject* child = parent->child;
  child->AddRef();  // kept to look at after its removal
  Registry().QueueRemoval(child);
  Registry().QueueRemoval(child);
  EXPECT_TRUE(Registry().IsQueued(child));
  Registry().QueueRemoval(parent);  // taken back out by its removal now: the flush never touches the freed object
  Registry().RemoveNow(parent);
  Registry().UpdateAll(16);
  EXPECT_FALSE(Registry().IsQueued(child));
  EXPECT_EQ(Registry().Find(child->GetId()), nullptr);
  EXPECT_TRUE(child->IsDead());
  EXPECT_EQ(child->updates, 2);  // updated in the frame it was queued, then removed
  EXPECT_EQ(Registry().GetCount(), 0u);
  child->Release();
}

TEST_F(CityRegistryTest, UsersAreTrackedUntilTheirTargetEndsThemAndStayEmptyAfter) {
  auto* target = CreateRegisteredCityObject<cBreedingObject>();
  cIdleInteraction idle;
  tRefPtr<cAgent> first(new cAgent), second(new cAgent);
  EXPECT_FALSE(target->Interact(first.Get(), nullptr, nullptr, 0));  // no default behaviour: nothing starts
  ASSERT_TRUE(target->Interact(first.Get(), &idle, nullptr, 0));
  ASSERT_TRUE(target->Interact(second.Get(), &idle, nullptr, 1));
  EXPECT_EQ(target->GetUserCount(), 2);
  first->EndInteraction();
  EXPECT_EQ(target->GetUserCount(), 1);
  target->SetOwner(target);  // its own owner, as the hall is
  target->ResolveLinks();
  EXPECT_EQ(target->GetOwner(), target);
  target->EndUsersInteractions();
  EXPECT_FALSE(second->HasInteraction());
  EXPECT_EQ(target->GetUserCount(), 0);
  // Fault mended: a behaviour started on an object whose users were ended
  // stayed listed after it was freed, and the next removal ended it again.
  ASSERT_TRUE(target->Interact(second.Get(), &idle, nullptr, 0));
  EXPECT_EQ(target->GetUserCount(), 0);
  second->EndInteraction();
  target->EndUsersInteractions();
  GetBehaviorController().Update(0);
  GetBehaviorController().Update(0);
}

TEST_F(CityRegistryTest, TheModeRegistersTheCityClassesInTableOrderWithTheirIds) {
  const uint32_t ids[23] = {0xEE9B2232, 0x4F176642, 0xAEADD03E, 0x4EF12AEA, 0xAF00F8AE, 0x0ECADE42,
                            0x8F301968, 0x6F174D77, 0xCFBD5627, 0x4EC15858, 0x0ED7FC07, 0xEF287DE7,
                            0x6F303426, 0xAF343AA9, 0xEF6A155C, 0x2F381889, 0x4F396A66, 0xEF3DA0D7,
                            0x4F4C0E21, 0x6F958B42, 0x4F4E8CD7, 0xEF567BB1, 0x0F6258B9};
  for (uint32_t id : ids) {
    SCOPED_TRACE(id);
    EXPECT_TRUE(GetDataManager()->IsTypeRegistered(id));
    Ko::cIGameData* made = GetDataManager()->CreateObject(id);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->GetTypeId(), id);
    EXPECT_NE(dynamic_cast<cCityGameObject*>(made), nullptr);
  }
  EXPECT_EQ(dynamic_cast<cCityGameWorldObject*>(GetDataManager()->CreateObject(0x0ED7FC07)), nullptr);  // the walls
  { cCityGameMode second; }  // a second mode (the tribe tests build one) registers nothing twice
  EXPECT_TRUE(GetDataManager()->IsTypeRegistered(ids[0]));
}

TEST_F(CityRegistryTest, EnteringTwiceKeepsOneCityAndALoadFoundsANewOne) {
  Enter();
  cCityGameCity* first = City();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->GetId(), 0u);
  EXPECT_EQ(Count<cCityGamePlayerCreature>(), 5);
  EXPECT_EQ(Count<cCityGameTribe>(), 8);
  first->AddMoneySilently(-40.0f);
  mode->Leave();
  EXPECT_FALSE(mode->IsRunning());
  Enter();
  EXPECT_EQ(City(), first);
  EXPECT_EQ(Count<cCityGameCity>(), 1);
  EXPECT_EQ(Count<cCityGamePlayerCreature>(), 5);  // topped up, not doubled
  EXPECT_FLOAT_EQ(City()->GetMoney(), 60.0f);

  cScratchDir dir;
  ASSERT_TRUE(GetDataManager()->Save(dir.File("city.sav")));
  mode->Leave();
  ASSERT_TRUE(GetDataManager()->Load(dir.File("city.sav")));
  EXPECT_EQ(City(), nullptr);
  EXPECT_EQ(Registry().GetCount(), 0u);
  Enter();
  ASSERT_NE(City(), nullptr);
  EXPECT_EQ(City()->GetId(), 0u);
  EXPECT_FLOAT_EQ(City()->GetMoney(), 100.0f);
}

TEST_F(CityRegistryTest, RemovingTheCitysOwnRecordTakesTheCityWithIt) {
  Enter();
  GetDataManager()->Remove(City()->GetCommon());
  EXPECT_EQ(City(), nullptr);
  EXPECT_EQ(Registry().Find(0), nullptr);
  EXPECT_EQ(Count<cCityGameCity>(), 0);
  std::vector<cCityGameBundleContainer*> stores;  // the hall's went with it; the tribes' stay
  Registry().CollectObjectsOfClass(stores);
  EXPECT_EQ(stores.size(), 8u);
  for (cCityGameBundleContainer* store : stores) EXPECT_NE(store->GetHolder(), nullptr);
}

}  // namespace
