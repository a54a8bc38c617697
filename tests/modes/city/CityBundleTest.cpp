// Bundles and their stores: the hall's pile of initial food, counting in and
// out (stored, loose, piled), which bundle is taken, the pile moving with its
// store, the global store's choices, and a load's removal of the stores.
#include <gtest/gtest.h>

#include "modes/city/economy/CityBundleContainers.h"
#include "tests/modes/city/CityTestSupport.h"

namespace {

using Ru::Math::Vector3;

class CityBundleTest : public cCityWorldTest {
 protected:
  // A silo's store: room for `capacity` bundles inside, a pile 8.5 to 9 out.
  cCityGameBundleContainer* Store(int capacity) {
    auto* store = CreateRegisteredCityObject<cCityGameBundleContainer>();
    store->Setup(City(), City(), capacity, 8.5f, 9.0f, kCityFood);
    store->SetPosition(cFakeCityView::Ground(700, 500), Vector3{});
    return store;
  }
};

TEST_F(CityBundleTest, TheHallPilesItsInitialFoodAroundItself) {
  cCityGameBundleContainer* store = City()->GetContainer(kCityFood);
  ASSERT_NE(store, nullptr);
  EXPECT_EQ(store->GetPileCount(), 100);
  EXPECT_EQ(store->GetStoredCount(), 0);
  EXPECT_FLOAT_EQ(store->GetLoose(), 0.0f);
  EXPECT_FLOAT_EQ(GetCityFood(), 500.0f);
  for (const cCityGameBundleContainer::sPileEntry& entry : store->GetPile()) {
    const float d = Distance(entry.bundle->GetSceneObject()->GetPosition(), City()->GetPosition());
    EXPECT_GE(d, 6.4f);
    EXPECT_LE(d, 7.6f);
    EXPECT_TRUE(Ru::Math::Vector3Equal(entry.bundle->GetSceneObject()->GetColour(), Vector3{0.2f, 0.9f, 0.2f}));
  }
  Pump(1);
  EXPECT_EQ(City()->GetStatusIcon(), nullptr);  // food and money are plenty
  mode->RefreshHud();
  EXPECT_FLOAT_EQ(mode->GetHud().GetValue("Food:"), 500.0f);
}

TEST_F(CityBundleTest, CountingInAndOut) {
  struct sStep {
    const char* what;
    float add;  // negative: removed
    int stored, piled;
    float loose, total;
  } steps[] = {
      {"7.5 in: one stored, 2.5 loose", 7.5f, 1, 0, 2.5f, 7.5f},
      {"3.5 in: two stored, 1 loose", 3.5f, 2, 0, 1.0f, 11.0f},
      {"3 out: a stored bundle is broken open", -3.0f, 1, 0, 3.0f, 8.0f},
      {"12 in: past the capacity of 2 the rest is piled", 12.0f, 2, 2, 0.0f, 20.0f},
      {"7 out: the oldest piled bundle goes, the next shrinks", -7.0f, 2, 1, 0.0f, 13.0f},
  };
  cCityGameBundleContainer* store = Store(2);
  for (const sStep& step : steps) {
    store->AddAmount(step.add);
    EXPECT_EQ(store->GetStoredCount(), step.stored) << step.what;
    EXPECT_EQ(store->GetPileCount(), step.piled) << step.what;
    EXPECT_FLOAT_EQ(store->GetLoose(), step.loose) << step.what;
    EXPECT_FLOAT_EQ(store->GetTotalAmount(), step.total) << step.what;
  }
  EXPECT_FLOAT_EQ(store->GetPile()[0].bundle->GetAmount(), 3.0f);
  store->AddAmount(-3.0f);  // exactly the oldest piled bundle's amount: it goes whole, not shrunk to nothing
  EXPECT_EQ(store->GetPileCount(), 0);
  EXPECT_FLOAT_EQ(store->GetTotalAmount(), 10.0f);
}

TEST_F(CityBundleTest, TakingAndDepositingBundles) {
  cCityGameBundleContainer* store = Store(1);
  store->AddAmount(15.0f);  // one stored, two piled
  cCityGameBundle* oldest = store->GetPile()[0].bundle;
  cCityGameBundle* newest = store->GetPile()[1].bundle;
  cCityGameBundle* taken = store->TakeBundle(nullptr);
  EXPECT_EQ(taken, newest);  // the pile's newest before anything stored
  EXPECT_EQ(store->TakeBundle(taken), nullptr);  // no longer in the pile
  cCityGameBundle* named = store->TakeBundle(oldest);
  EXPECT_EQ(named, oldest);
  cCityGameBundle* fresh = store->TakeBundle(nullptr);  // from the stored count
  ASSERT_NE(fresh, nullptr);
  EXPECT_FLOAT_EQ(fresh->GetAmount(), 5.0f);
  EXPECT_EQ(store->GetStoredCount(), 0);
  EXPECT_EQ(store->TakeBundle(nullptr), nullptr);
  fresh->SetAmount(2.5f);
  store->DepositBundle(fresh);  // room inside: it counts as a full bundle
  EXPECT_FLOAT_EQ(store->GetTotalAmount(), 5.0f);
  store->DepositBundle(taken);  // no room: piled with its own amount
  EXPECT_EQ(store->GetPileCount(), 1);
  for (cCityGameBundle* bundle : {taken, named, fresh}) delete bundle;
}

TEST_F(CityBundleTest, ThePileMovesAndTurnsWithItsStore) {
  cCityGameBundleContainer* store = Store(0);
  store->AddAmount(10.0f);
  std::vector<float> before;
  for (const auto& entry : store->GetPile())
    before.push_back(Distance(entry.bundle->GetSceneObject()->GetPosition(), store->GetPosition()));
  const Vector3 moved = cFakeCityView::Ground(300, 260);
  store->SetPosition(moved, Vector3{});
  for (size_t i = 0; i < store->GetPile().size(); ++i)
    EXPECT_NEAR(Distance(store->GetPile()[i].bundle->GetSceneObject()->GetPosition(), moved), before[i], 1e-3f);
}

TEST_F(CityBundleTest, TheGlobalStoreKeepsSetDownBundlesAndRefusesTheNeedy) {
  cCityGameCityBundleContainer* global = GetGlobalCityContainer(kCityFood);
  ASSERT_NE(global, nullptr);
  auto* near = new cCityGameBundle;
  auto* far = new cCityGameBundle;
  near->Initialize(City(), kCityFood, 5.0f);
  far->Initialize(City(), kCityFood, 5.0f);
  near->GetSceneObject()->SetPosition(Vector3{0.0f, 510.0f, 3.0f});
  far->GetSceneObject()->SetPosition(Vector3{0.0f, 510.0f, 30.0f});
  global->AddBundle(far);
  global->AddBundle(near);
  EXPECT_EQ(near->GetOwner(), global);
  EXPECT_EQ(global->FindNearestBundle(0.0f, 510.0f, 0.0f), near);
  auto* tie = new cCityGameBundle;  // as near, but later in the list: the earlier one wins
  tie->Initialize(City(), kCityFood, 5.0f);
  tie->GetSceneObject()->SetPosition(Vector3{0.0f, 510.0f, -3.0f});
  global->AddBundle(tie);
  EXPECT_EQ(global->FindNearestBundle(0.0f, 510.0f, 0.0f), near);
  delete global->RemoveBundle(tie);
  // Creatures with a motive at "Low Motive" are refused, and no more go for the store than it holds bundles.
  std::vector<cCityGamePlayerCreature*> citizens = Citizens();
  const float low = GetCityGameMotiveTuning().lowMotive;
  struct sCase {
    float hunger, energy;
    int users;
    bool takes;
  } cases[] = {{low, 100.0f, 0, false}, {100.0f, low, 0, false}, {low + 0.1f, low + 0.1f, 0, true},
               {100.0f, 100.0f, 1, true}, {100.0f, 100.0f, 2, false}};
  for (const sCase& c : cases) {
    citizens[0]->SetMotive(0, c.hunger);
    citizens[0]->SetMotive(1, c.energy);
    for (int i = 1; i <= c.users; ++i) ASSERT_TRUE(global->Interact(citizens[size_t(i)], nullptr, nullptr, 0));
    EXPECT_EQ(global->IsPickable(citizens[0]), c.takes) << c.hunger << " " << c.energy << " " << c.users;
    if (c.users == 0) {
      EXPECT_EQ(global->AcceptsUser(citizens[0]), c.takes) << c.hunger << " " << c.energy;
    }
    for (int i = 1; i <= c.users; ++i) citizens[size_t(i)]->EndInteraction();
  }
  EXPECT_EQ(global->FindBundleBySceneObject(far->GetSceneObject()), far);
  EXPECT_FLOAT_EQ(global->GetSellValue(), 2.0f);
  EXPECT_EQ(global->RemoveBundle(near), near);
  EXPECT_EQ(global->GetBundleCount(), 1);
  delete near;
  // Fault mended: a load removed the stores but left their bundles' cubes
  // behind and the global stores' pointers dangling. Every store goes with
  // its bundles, and the next founding makes new global ones.
  mode->BeforeLoad();
  EXPECT_EQ(GetGlobalCityContainer(kCityFood), nullptr);
  EXPECT_EQ(GetSceneManager().GetObjectCount((cISceneShape*)GetBundleShape()), 0u);
  Enter();
  EXPECT_NE(GetGlobalCityContainer(kCityFood), nullptr);
  EXPECT_EQ(GetGlobalCityContainer(kCityFood)->GetBundleCount(), 0);
}

}  // namespace
