// A civ city's mood: one value between the happiness block's minimum and
// maximum that sinks on a timer, rises with parties and falls when buildings
// are destroyed; its category scales income and decides surrender.
#pragma once

#include "modes/civ/CivTuning.h"

enum eCivMoodCategory { kCivVeryHappy = 0, kCivHappy, kCivNeutral, kCivUnhappy, kCivVeryUnhappy };

class cCivMood {
 public:
  explicit cCivMood(const cCivTuningHappiness* tuning = cCivTuning::GetHappiness()) : mTuning(tuning) {}

  float GetValue() const { return mValue; }
  int GetCategory() const;
  float GetRevenueBonus() const;  // the category's fraction
  void Set(const float& value);   // clamped into [MoodMin, MoodMax]
  // A party may leave the mood below the minimum: only the top is enforced here.
  void AddPartyEffect();
  void AddBuildingDestroyedEffect();

 private:
  const cCivTuningHappiness* mTuning;
  float mValue = 0.0f;
};
