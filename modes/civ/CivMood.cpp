#include "modes/civ/CivMood.h"

int cCivMood::GetCategory() const {
  if (mValue >= 7.0f) return kCivVeryHappy;
  if (mValue >= 3.0f) return kCivHappy;
  if (mValue >= -3.0f) return kCivNeutral;
  if (mValue >= -7.0f) return kCivUnhappy;
  return kCivVeryUnhappy;
}

float cCivMood::GetRevenueBonus() const { return mTuning->RevenueBonus[GetCategory()]; }

void cCivMood::Set(const float& value) {
  float m = value > mTuning->MoodMax ? mTuning->MoodMax : value;
  if (mTuning->MoodMin > m) m = mTuning->MoodMin;
  mValue = m;
}

void cCivMood::AddPartyEffect() {
  float m = mValue + (float)mTuning->EffectOfPartyOnCityHappiness;
  mValue = m > mTuning->MoodMax ? mTuning->MoodMax : m;
}

void cCivMood::AddBuildingDestroyedEffect() { Set(mValue + mTuning->EffectBuildingDestroyed); }
