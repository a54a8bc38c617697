// City creatures: the citizens the hall starts with, needs kept in range and
// the icon they show, pushing crowded creatures apart, carrying and dropping
// a bundle, one walking step, and a removed creature that stops acting.
#include <gtest/gtest.h>

#include "modes/city/economy/CityBuildingKinds.h"
#include "modes/city/economy/CityBundleContainers.h"
#include "modes/creature/CommonCreatureManager.h"
#include "modes/city/behaviours/CityGameInteraction.h"
#include "tests/modes/city/CityTestSupport.h"

namespace {

using Ru::Math::Vector3;

class cForever : public cCityGameInteraction {
 public:
  cIInteraction* Create() override { return new cForever; }
  std::string GetName() override { return "Forever"; }
  uint32_t Step() override {
    ++steps;
    return 1;
  }
  static int steps;
};
int cForever::steps = 0;

class CityCreatureTest : public cCityWorldTest {
 protected:
  void SetUp() override {
    cCityWorldTest::SetUp();
    Registry().CollectObjectsOfClass(citizens);
  }
  std::vector<cCityGamePlayerCreature*> citizens;
};

TEST_F(CityCreatureTest, TheHallStartsWithFiveBlueCitizensAroundIt) {
  ASSERT_EQ(citizens.size(), 5u);
  for (cCityGamePlayerCreature* citizen : citizens) {
    ASSERT_NE(citizen->GetSceneObject(), nullptr);
    EXPECT_TRUE(Ru::Math::Vector3Equal(citizen->GetSceneObject()->GetColour(), Vector3{0.25f, 0.25f, 1.0f}));
    const float d = Distance(citizen->GetPosition(), City()->GetPosition());
    EXPECT_GE(d, 4.9f);
    EXPECT_LE(d, 15.1f);
    EXPECT_GE(citizen->GetMotive(0), 40.0f);
    EXPECT_FALSE(citizen->GetCommon()->IsKeptInSaves());
    EXPECT_TRUE(GetBehaviorController().ContainsAgent(citizen));
  }
  citizens[0]->SetSelected(true);
  EXPECT_TRUE(Ru::Math::Vector3Equal(citizens[0]->GetSceneObject()->GetColour(), Vector3{1.0f, 1.0f, 1.0f}));
  // Counted on entry; a house built since counts from the first sample on.
  EXPECT_EQ(City()->GetPopulation(), 5);
  const int rooms = City()->GetHousingCapacity();
  NewBuildingAt<cCityGameBuildingHouse>(City()->GetPosition());
  Pump(39);
  EXPECT_EQ(City()->GetHousingCapacity(), rooms);  // not counted before the first sample
  Pump(1);  // 2000 ms: the first sample is due at exactly "Happiness Unit Calculation Time"
  EXPECT_GT(City()->GetHousingCapacity(), rooms);
  EXPECT_EQ(City()->GetPopulation(), 5);
}

TEST_F(CityCreatureTest, NeedsStayInRangeAndShowTheirIcon) {
  cCityGamePlayerCreature* c = citizens[0];
  c->SetMotive(0, 120.0f);
  c->SetMotive(1, -5.0f);
  EXPECT_FLOAT_EQ(c->GetMotive(0), 100.0f);
  EXPECT_FLOAT_EQ(c->GetCommon()->GetEnergy(), 0.0f);
  struct sCase {
    float hunger, energy;
    int lowest;
    cSceneShapeBillboard* icon;
  } cases[] = {
      {30.0f, 30.0f, 0, cCityGameCreature::GetMotiveIconShape(0, false)},
      {10.0f, 50.0f, 0, cCityGameCreature::GetMotiveIconShape(0, true)},
      {60.0f, 25.0f, 1, cCityGameCreature::GetMotiveIconShape(1, false)},
      {40.0f, 45.0f, 0, nullptr},
      {10.01f, 50.0f, 0, cCityGameCreature::GetMotiveIconShape(0, false)},  // just above "Lowest Motive"
      {39.9f, 45.0f, 0, cCityGameCreature::GetMotiveIconShape(0, false)},   // just below "Low Motive"
  };
  c->SetOwnChoices(false);  // its icon, not its choice: a tired citizen would lie down and show the sleep icon
  for (const sCase& k : cases) {
    c->SetMotive(0, k.hunger);
    c->SetMotive(1, k.energy);
    c->SetRate(0, 0.0f);
    c->SetRate(1, 0.0f);
    c->Update(0);
    EXPECT_EQ(c->LowestMotiveIndex(), k.lowest) << k.hunger << "/" << k.energy;
    cISceneShape* shown = c->GetMotiveIcon() ? c->GetMotiveIcon()->GetShape() : nullptr;
    EXPECT_EQ(shown, (cISceneShape*)k.icon) << k.hunger << "/" << k.energy;
  }
  c->SetMotive(1, 40.0f);
  EXPECT_TRUE(c->IsAnyMotiveLow());  // at "Low Motive" exactly
  c->SetMotive(0, 5.0f);
  c->Update(0);
  c->SetHidden(true);
  EXPECT_EQ(c->GetMotiveIcon(), nullptr);
}

TEST_F(CityCreatureTest, CrowdedCreaturesArePushedApart) {
  const Vector3 base = City()->GetPosition();
  auto place = [&](cCityGameCreature* c, float x, float z) { c->SetPosition(Vector3{base.x + x, base.y, base.z + z}, Vector3{}); };
  struct sCase {
    float x0, z0, x1, z1, after;
  } cases[] = {
      {0.0f, 30.0f, 1.0f, 30.0f, 1.4f}, {0.0f, 30.0f, 1.55f, 30.0f, 1.55f}, {0.0f, 30.0f, 0.0f, 30.0f, 0.0f},
      // Wherever the pair stands: one behind the other, either side of x = 0, and aslant across it.
      {2.0f, 30.0f, 2.0f, 31.0f, 1.4f}, {-0.5f, 30.0f, 0.5f, 30.0f, 1.4f}, {-0.3f, 30.8f, 0.3f, 30.0f, 1.4f},
      {-3.2f, 30.0f, -2.8f, 30.9f, 1.4f}};  // the surface bends the gaps a little
  for (const sCase& k : cases) {
    for (size_t i = 0; i < citizens.size(); ++i) place(citizens[i], 10.0f * (float)i, 30.0f);  // the rest far apart
    place(citizens[0], k.x0, k.z0);
    place(citizens[1], k.x1, k.z1);
    SeparateCityCreatures();
    EXPECT_NEAR(Distance(citizens[0]->GetPosition(), citizens[1]->GetPosition()), k.after, 0.02f) << k.x0 << "," << k.z0;
  }
}

// Drops what its creature carries as it ends, as a raider's errand does.
class cDropOnEnd : public cCityGameInteraction {
 public:
  cIInteraction* Create() override { return new cDropOnEnd; }
  std::string GetName() override { return "drop on end"; }
  uint32_t Step() override { return 1; }
  void End() override {
    if (auto* c = dynamic_cast<cCityGameCreature*>(GetAgent())) c->DropCarried();
  }
};

// Fault mended: a city cleared (a load) while a creature carried loot let the
// creature hand it to a store that had already let its bundles go; the bundle
// and the store then kept each other alive for ever.
TEST_F(CityCreatureTest, LootDroppedWhileTheCityIsClearedGoesToNoStore) {
  auto* goods = new cCityGameBundle;
  goods->Initialize(City(), kCityGoods, 5.0f);
  ASSERT_TRUE(citizens[0]->AttachCarried(goods));
  cDropOnEnd dropping;
  citizens[0]->StartInteraction(&dropping, 0);
  tRefPtr<cCityGameCityBundleContainer> store = GetGlobalCityContainer(kCityGoods);
  Registry().Clear();
  EXPECT_EQ(store->GetBundleCount(), 0);
}

TEST_F(CityCreatureTest, ABundleIsCarriedAboveTheHeadAndDroppedIntoItsKindsStore) {
  cCityGamePlayerCreature* c = citizens[0];
  auto* goods = new cCityGameBundle;
  goods->Initialize(City(), kCityGoods, 5.0f);
  ASSERT_TRUE(c->AttachCarried(goods));
  auto* food = new cCityGameBundle;
  food->Initialize(City(), kCityFood, 5.0f);
  EXPECT_FALSE(c->AttachCarried(food));  // one at a time
  EXPECT_EQ(c->GetCarried(), goods);
  EXPECT_NEAR(Distance(goods->GetSceneObject()->GetPosition(), c->GetPosition()), std::sqrt(1.49f), 1e-3f);
  c->DropCarried();
  EXPECT_EQ(c->GetCarried(), nullptr);
  EXPECT_EQ(GetGlobalCityContainer(kCityGoods)->GetBundleCount(), 1);
  EXPECT_EQ(GetGlobalCityContainer(kCityFood)->GetBundleCount(), 0);
  delete food;
}

TEST_F(CityCreatureTest, AStepWalksAtTheTunedSpeedTowardsTheGoal) {
  cCityGamePlayerCreature* c = citizens[0];
  const Vector3 start = c->GetPosition();
  const Vector3 goal = cFakeCityView::Ground(900, 500);
  c->GetCommon()->SetPosition(goal);
  for (int i = 0; i < 200; ++i) c->MoveTowardGoal(50, 1.0f);  // 10 s at 0.008 a ms: 80 units at most
  EXPECT_LT(Distance(c->GetPosition(), goal), Distance(start, goal) - 20.0f);
  EXPECT_LE(Distance(c->GetPosition(), start), 80.5f);
  const Vector3 heading = QuatRotateVector(c->GetSceneObject()->GetOrientation(), Vector3{0.0f, 0.0f, -1.0f});
  c->GetCommon()->SetPosition(Ru::Math::Vector3Add(c->GetPosition(), Ru::Math::Vector3Scale(heading, 30.0f)));  // ahead
  Vector3 before = c->GetPosition();
  c->MoveTowardGoal(50, 0.0f);  // a factor of nothing stands still
  EXPECT_LT(Distance(c->GetPosition(), before), 1e-3f);
  c->SlowDown();
  before = c->GetPosition();
  c->MoveTowardGoal(50, 1.0f);
  EXPECT_LE(Distance(c->GetPosition(), before), 0.75f * 0.4f + 1e-3f);
  before = c->GetPosition();
  c->MoveTowardGoal(50, 0.0f);  // slowed, even a factor of nothing walks at 0.75
  EXPECT_GT(Distance(c->GetPosition(), before), 0.1f);
  clock.Advance(1000);
  c->Update(0);
  EXPECT_TRUE(c->IsSlowed());  // slowed for 1000 ms, and released after
  clock.Advance(1);
  c->Update(0);
  EXPECT_FALSE(c->IsSlowed());
}

// Fault mended: removing a creature ended only the behaviours aimed at it; its
// own went on running (and kept it alive) in the behaviour controller.
TEST_F(CityCreatureTest, ARemovedCreatureStopsActingAtOnce) {
  cForever forever;
  cCityGamePlayerCreature* c = citizens[0];
  ASSERT_TRUE(City()->Interact(c, &forever, nullptr, 0));
  Pump(1);
  const int steps = cForever::steps;
  cCreatureCommon* record = c->GetCommon();
  record->AddRef();
  Registry().QueueRemoval(c);
  Pump(1);  // removed at the end of this frame's update
  EXPECT_FALSE(GetBehaviorController().ContainsAgent(c));
  Pump(3);
  EXPECT_EQ(cForever::steps, steps + 1);
  EXPECT_TRUE(record->IsDead());  // the record left with it
  EXPECT_EQ(City()->GetUserCount(), 0);
  record->Release();
}

// Fault mended: entering the mode again put back the body of a citizen inside
// a building, so it was listed twice once it came out (and a deleted body
// stayed drawn after its removal).
TEST_F(CityCreatureTest, ReenteringTheModeKeepsBodiesInsideBuildingsOutAndListsTheOthersOnce) {
  cCityGamePlayerCreature* inside = citizens[0];
  cCityGamePlayerCreature* outside = citizens[1];
  inside->SetHidden(true);
  GetSceneManager().RemoveObject(inside->GetSceneObject());  // as entering a building does
  for (int i = 0; i < 2; ++i) {
    mode->Leave();
    Enter();
  }
  EXPECT_EQ(inside->GetSceneObject()->GetSceneRefCount(), 0);
  EXPECT_EQ(outside->GetSceneObject()->GetSceneRefCount(), 1);
}

}  // namespace
