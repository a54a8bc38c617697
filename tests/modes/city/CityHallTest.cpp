// The city hall and its walls: founding at the pole, the HUD, income with
// its carry-over and the rising text, happiness sampling with nobody to ask,
// the warning icons, upgrades, the walls' growth and signed distance, and a
// seeded run that plays alike twice.
#include <gtest/gtest.h>

#include "modes/city/economy/CityBundleContainers.h"
#include "modes/city/groups/CityGroups.h"
#include "tests/modes/city/CityTestSupport.h"

namespace {

using Ru::Math::Vector3;

class CityHallTest : public cCityWorldTest {};

TEST_F(CityHallTest, TheCityIsFoundedAtThePoleWithItsWallsStoresAndHud) {
  cCityGameCity* city = City();
  ASSERT_NE(city, nullptr);
  const Vector3 pole{0.0f, 500.0f + kLandHeight, 0.0f};
  EXPECT_TRUE(Ru::Math::Vector3Equal(city->GetPosition(), pole));
  EXPECT_EQ(city->GetOwner(), city);
  ASSERT_NE(city->GetCommon(), nullptr);
  EXPECT_TRUE(city->GetCommon()->IsPlayerCity());
  EXPECT_FLOAT_EQ(city->GetMoney(), 100.0f);
  EXPECT_EQ(city->GetSampleCount(), 15);
  ASSERT_NE(city->GetSceneObject(), nullptr);
  EXPECT_TRUE(Ru::Math::Vector3Equal(city->GetSceneObject()->GetColour(), Vector3{0.0f, 0.0f, 1.0f}));
  EXPECT_EQ(city->GetRecord()->GetSceneObject(), city->GetSceneObject());
  EXPECT_NE(city->GetWalls(), nullptr);
  EXPECT_NE(city->GetProtestGroup(), nullptr);
  EXPECT_NE(city->GetContainer(1), nullptr);
  EXPECT_NE(GetGlobalCityContainer(1), nullptr);
  EXPECT_NE(GetGlobalCityContainer(2), nullptr);
  EXPECT_NEAR(Ru::Math::Vector3Length(Ru::Math::Vector3Sub(city->GetSleepingSpot(), pole)), 5.0f, 0.1f);
  mode->RefreshHud();
  cGLFBarPanel& hud = mode->GetHud();
  EXPECT_FLOAT_EQ(hud.GetValue("Money:"), 100.0f);
  EXPECT_FLOAT_EQ(hud.GetValue("Happiness:"), 0.0f);  // 50 - 50 until the first sample
  EXPECT_EQ(hud.GetTitleBar().GetLabel(), "Population Goal:");
}

TEST_F(CityHallTest, IncomeCarriesItsOvershootAndRisesOverTheHall) {
  GetCityGameTuning().cityHallMoney = 0.01f;  // the default, whatever the shipped file pays
  Pump(99);  // 4950 ms
  EXPECT_FLOAT_EQ(City()->GetMoney(), 100.0f);
  EXPECT_TRUE(City()->GetMoneyTexts().empty());
  Pump(1, 70);  // 5020 ms: paid, 20 ms already on the next period
  EXPECT_FLOAT_EQ(City()->GetMoney(), 100.01f);
  EXPECT_EQ(City()->GetMoneyTimer().GetElapsed(), 20u);
  Pump(1, 4980);
  EXPECT_FLOAT_EQ(City()->GetMoney(), 100.02f);
  overlay.calls.clear();
  City()->Draw();
  const cDrawCall* rising = overlay.FindText("+0.01 money");
  ASSERT_NE(rising, nullptr);
  EXPECT_NEAR(rising->colour[3], 0.6f, 1e-4f);  // at the start of a period: fully there
  const std::vector<cDrawCall> texts = overlay.Of(cDrawCall::kText);
  ASSERT_FALSE(texts.empty());
  EXPECT_EQ(texts[0].text.rfind("Frame Rate: ", 0), 0u);
  EXPECT_EQ(texts[0].y0, overlay.height - 82);
  GetCityGameTuning().cityHallMoney = 0.0f;  // a period that pays nothing shows no rising text
  Pump(1, 5000);
  EXPECT_TRUE(City()->GetMoneyTexts().empty());
}

// Fault mended: a city with no citizens sampled 0 / 0, and the NaN reached
// the HUD, the ring and the population formula for good.
TEST_F(CityHallTest, WithNobodyToAskTheLastSampleIsKept) {
  std::vector<cCityGamePlayerCreature*> citizens;
  Registry().CollectObjectsOfClass(citizens);
  for (cCityGamePlayerCreature* citizen : citizens) Registry().RemoveNow(citizen);
  Pump(41);  // past the first 2-second sample
  EXPECT_FLOAT_EQ(City()->GetHappiness(), 50.0f);
  EXPECT_EQ(City()->GetPopulation(), 0);
}

TEST_F(CityHallTest, TheSampleRingStaysBetweenOneAndItsCap) {
  struct sCase {
    float total, unit;
    int samples;
  } cases[] = {{30.0f, 2.0f, 15}, {1.0f, 2.0f, 1}, {3000.0f, 0.001f, cCityGameCity::kMaxHappinessSamples}};
  for (const sCase& c : cases) {
    SetTuningFloat(GetCityGameTuning(), "Happiness Total Calculation Time", c.total);
    SetTuningFloat(GetCityGameTuning(), "Happiness Unit Calculation Time", c.unit);
    mode->BeforeLoad();  // a new city is founded with the new times
    Enter();
    EXPECT_EQ(City()->GetSampleCount(), c.samples) << c.total << " / " << c.unit;
  }
}

TEST_F(CityHallTest, TheWarningIconFollowsFoodAndMoneyThresholds) {
  using eIcon = cCityGameCity::eIcon;
  struct sCase {
    uint32_t t;
    float food, money;
    eIcon icon;
  } cases[] = {
      {0, 5.01f, 0.0f, cCityGameCity::kNoIcon},     {0, 5.0f, 0.0f, cCityGameCity::kFoodYellow},
      {1000, 0.21f, 0.0f, cCityGameCity::kFoodYellow}, {500, 0.2f, 100.0f, cCityGameCity::kFoodRed},
      {1001, 0.0f, 5.01f, cCityGameCity::kNoIcon},   {1500, 0.0f, 5.0f, cCityGameCity::kMoneyYellow},
      {1999, 0.0f, 0.5f, cCityGameCity::kMoneyRed},  {2000, 100.0f, 0.0f, cCityGameCity::kNoIcon},
      {3001, 100.0f, 0.51f, cCityGameCity::kMoneyYellow},
  };
  for (const sCase& c : cases)
    EXPECT_EQ(cCityGameCity::ChooseStatusIcon(c.t, c.food, c.money), c.icon) << c.t << " " << c.food << " " << c.money;
  // An empty store: the red drumstick floats 10 units over the hall.
  City()->GetContainer(kCityFood)->RemoveAmount(500.0f);
  Pump(1);
  ASSERT_NE(City()->GetStatusIcon(), nullptr);
  EXPECT_EQ(City()->GetStatusIconKind(), cCityGameCity::kFoodRed);
  EXPECT_EQ(City()->GetStatusIcon()->GetShape(), (cISceneShape*)cCityGameCity::GetIconShape(cCityGameCity::kFoodRed));
  EXPECT_NEAR(City()->GetStatusIcon()->GetPosition().y, 520.0f, 1e-3f);
}

TEST_F(CityHallTest, UpgradesNeedTheLevelAndTheMoney) {
  cCityGameCity* city = City();
  city->UpgradeCityHall();  // 100 money: the first costs 50
  EXPECT_EQ(city->GetUpgradeLevel(), 1);
  EXPECT_FLOAT_EQ(city->GetMoney(), 50.0f);
  city->UpgradeCityHall();  // the second costs 150
  EXPECT_EQ(city->GetUpgradeLevel(), 1);
  city->AddMoneySilently(100.0f);
  city->UpgradeCityHall();
  city->UpgradeCityHall();  // the top level is 2
  EXPECT_EQ(city->GetUpgradeLevel(), 2);
  EXPECT_FLOAT_EQ(city->GetMoney(), 0.0f);
  city->AddMoneySilently(1000.0f);
  city->UpgradeCityHall();  // at the top level no price is enough
  EXPECT_EQ(city->GetUpgradeLevel(), 2);
  EXPECT_FLOAT_EQ(city->GetMoney(), 1000.0f);
  city->AddFeature(cCityGameCity::kMilitaryFeature);
  city->AddFeature(cCityGameCity::kMilitaryFeature);
  EXPECT_TRUE(city->HasFeature(cCityGameCity::kMilitaryFeature));
  EXPECT_FALSE(IsAtWar(city));  // no tribe at war
}

TEST_F(CityHallTest, TheWallsGrowToAChordOfAbout0Point0795AndTellInsideFromOutside) {
  cCityGameCityWalls* walls = City()->GetWalls();
  ASSERT_NE(walls, nullptr);
  ASSERT_EQ(walls->GetRing().size(), 150u);
  for (const Vector3& v : walls->GetRing())
    EXPECT_NEAR(Ru::Math::Vector3Length(Ru::Math::Vector3Sub(v, walls->GetCentre())), 0.0795f, 0.003f);
  const Vector3 pole = City()->GetPosition();
  EXPECT_LE(walls->SignedDistance(pole.x, pole.y, pole.z), 0.0f);
  EXPECT_LT(walls->SignedDistance(20.0f, 509.0f, 0.0f), -15.0f);
  EXPECT_GT(walls->SignedDistance(0.0f, 500.0f, 80.0f), 30.0f);
  // A trial pass shows where the wall would go; the committed ring stays.
  const std::vector<Vector3> before = walls->GetRing();
  const Vector3 trial{0.0f, 505.0f, 45.0f};
  walls->GrowRing(&trial, 1.0f);
  EXPECT_EQ(walls->GetRing().size(), before.size());
  EXPECT_TRUE(Ru::Math::Vector3Equal(walls->GetRing()[0], before[0]));
  float farthest = 0.0f;
  for (const Vector3& v : walls->GetWorkingRing())
    farthest = std::max(farthest, Ru::Math::Vector3Length(Ru::Math::Vector3Sub(v, walls->GetCentre())));
  EXPECT_GT(farthest, 0.1f);
  City()->AddWallPoint(trial, 1.0f);
  EXPECT_EQ(walls->GetPoints().size(), 1u);
  EXPECT_LT(walls->SignedDistance(0.0f, 505.0f, 45.0f), 0.0f);  // now inside
}

TEST_F(CityHallTest, ASeededRunPlaysAlikeTwice) {
  UseScript("CityGame_CreaturePopulation.txt", "Add_Creatures = RAND * 0.1\n");
  auto run = [this] {
    GetCityObjectRegistry().Clear();
    mode->BeforeLoad();
    Sys_SeedRandom(77);
    nCityGameFormulas::CreaturePop().accumulator = 0.0f;
    Enter();
    sRunDigest digest;
    for (int frame = 0; frame < 600; ++frame) {
      Pump(1, 16 + (uint32_t)(frame % 7));
      digest.Mix(City()->GetMoney());
      digest.Mix(City()->GetHappiness());
      digest.Mix((uint32_t)GetCityObjectRegistry().GetNextId());
      digest.Mix((uint32_t)City()->GetStatusIconKind());
    }
    return digest.value;
  };
  const uint64_t first = run();
  EXPECT_EQ(run(), first);
  EXPECT_GT(GetCityObjectRegistry().GetNextId(), 20u);  // citizens were born on the way
}

}  // namespace
