// A city's mood: its five categories, the clamp of Set, the party path that
// enforces only the top, and the building-destroyed effect.
#include <gtest/gtest.h>

#include "modes/civ/CivMood.h"

namespace {

cCivTuningHappiness Happiness(int party, float buildingDestroyed) {
  cCivTuningHappiness h;
  h.EffectOfPartyOnCityHappiness = party;
  h.EffectBuildingDestroyed = buildingDestroyed;
  for (int m = 0; m < kCivMoodCount; ++m) h.RevenueBonus[m] = 0.1f * (float)(m + 1);
  return h;
}

TEST(CivMood, CategoryBoundariesAndTheirRevenueBonus) {
  cCivTuningHappiness h = Happiness(0, 0.0f);
  struct Row {
    float value;
    int category;
  } rows[] = {{10.0f, kCivVeryHappy}, {7.0f, kCivVeryHappy}, {6.99f, kCivHappy},   {3.0f, kCivHappy},
              {2.99f, kCivNeutral},   {-3.0f, kCivNeutral},   {-3.01f, kCivUnhappy}, {-7.0f, kCivUnhappy},
              {-7.01f, kCivVeryUnhappy}};
  for (const Row& row : rows) {
    cCivMood mood(&h);
    mood.Set(row.value);
    EXPECT_EQ(mood.GetCategory(), row.category) << row.value;
    EXPECT_FLOAT_EQ(mood.GetRevenueBonus(), h.RevenueBonus[row.category]) << row.value;
  }
}

TEST(CivMood, SetAndEffectsClampAsSpecifiedPerPath) {
  cCivTuningHappiness h = Happiness(4, -2.0f);
  cCivMood mood(&h);
  EXPECT_EQ(mood.GetValue(), 0.0f);
  mood.Set(12.5f);
  EXPECT_EQ(mood.GetValue(), 10.0f);
  mood.Set(-11.0f);
  EXPECT_EQ(mood.GetValue(), -10.0f);
  mood.Set(8.0f);
  mood.AddPartyEffect();
  EXPECT_EQ(mood.GetValue(), 10.0f);
  mood.Set(-9.0f);
  mood.AddBuildingDestroyedEffect();
  EXPECT_EQ(mood.GetValue(), -10.0f);

  cCivTuningHappiness gloomy = Happiness(-15, 0.0f);
  cCivMood partied(&gloomy);
  partied.AddPartyEffect();
  EXPECT_EQ(partied.GetValue(), -15.0f);  // no lower clamp on the party path
}

}  // namespace
