// The constants all modes share, from "tuning.xml": random seed, window size,
// HUD bar size, model scales, pick radii, plant placement and growth. Each
// key's type, default and range stand in one table (Fields, in the .cpp).
#pragma once

#include <vector>

#include "sim/tuning/TuningData.h"
#include "sim/tuning/TuningKeys.h"

class cSharedTuningData : public cTuningData {
 public:
  explicit cSharedTuningData(const std::string& dataFolder = kTuningDataFolder);
  void ApplyConstants() override;
  static std::vector<sTuningKey> Keys();  // the file's keys with their ranges
  double Held(const std::string& name) const;  // what it holds for a key, in the file's unit (NaN: none)

  int GetRandomNumberSeed() const { return mRandomNumberSeed; }  // 0: seed from the clock
  float GetDefaultUIBarHeight() const { return mDefaultUIBarHeight; }
  float GetDefaultUIBarWidth() const { return mDefaultUIBarWidth; }
  float GetWindowStartHeight() const { return mWindowStartHeight; }
  float GetWindowStartWidth() const { return mWindowStartWidth; }
  float GetBuildingScale() const { return mBuildingScale; }
  float GetBuildingCivScale() const { return mBuildingCivScale; }
  float GetCreatureScale(int kind) const;  // 1 posse, 2 prey, 3 predator, anything else the default
  float GetHutScale() const { return mHutScale; }
  float GetHutVisibility() const { return mHutVisibility; }
  float GetTribeSelectionRadius() const { return mTribeSelectionRadius; }
  float GetTribeRadiusIncrement() const { return mTribeRadiusIncrement; }
  float GetCitySelectionRadius() const { return mCitySelectionRadius; }
  float GetCityRadiusIncrement() const { return mCityRadiusIncrement; }
  float GetCivSelectionRadius() const { return mCivSelectionRadius; }
  float GetCivRadiusIncrement() const { return mCivRadiusIncrement; }
  int GetNumberOfPlants() const { return mNumberOfPlants; }
  int GetPlantClumpSize() const { return mPlantClumpSize; }
  float GetPlantClumpRadius() const { return mPlantClumpRadius; }
  float GetPlantScale() const { return mPlantScale; }
  float GetPlantGrowthRate() const { return mPlantGrowthRate; }

  // Fill any x, y, z vector (Ru::Math::Vector3) and return it; a template so
  // this header needs no math header.
  template <class tVector3>
  tVector3* GetCivBuildingRubbleScale(tVector3* out) const {
    return CopyScale(mCivRubbleScale, out);
  }
  template <class tVector3>
  tVector3* GetCityBuildingRubbleScale(tVector3* out) const {
    return CopyScale(mCityRubbleScale, out);
  }

 private:
  static const std::vector<tTuningField<cSharedTuningData>>& Fields();

  template <class tVector3>
  static tVector3* CopyScale(const float (&scale)[3], tVector3* out) {
    out->x = scale[0];
    out->y = scale[1];
    out->z = scale[2];
    return out;
  }

  int mRandomNumberSeed = 0;
  float mDefaultUIBarHeight = 8.0f;
  float mDefaultUIBarWidth = 120.0f;
  float mWindowStartHeight = 480.0f;
  float mWindowStartWidth = 640.0f;
  float mPlantScale = 1.0f;
  float mCreatureScaleDefault = 1.0f;
  float mCreatureScalePosse = 1.0f;
  float mCreatureScalePrey = 1.0f;
  float mCreatureScalePredator = 1.0f;
  float mHutScale = 3.0f;
  float mBuildingScale = 5.0f;
  float mBuildingCivScale = 8.0f;
  float mHutVisibility = 28.0f;
  float mTribeSelectionRadius = 3.0f;
  float mTribeRadiusIncrement = 0.0f;
  float mCitySelectionRadius = 3.0f;
  float mCityRadiusIncrement = 1.0f;
  float mCivSelectionRadius = 12.0f;
  float mCivRadiusIncrement = 0.0f;
  int mNumberOfPlants = 1200;
  int mPlantClumpSize = 10;
  float mPlantClumpRadius = 40.0f;
  float mPlantGrowthRate = 10.0f;
  float mCivRubbleScale[3] = {1.0f, 1.0f, 1.0f};
  float mCityRubbleScale[3] = {1.0f, 1.0f, 1.0f};
};

// The one shared set, read from "./data/tuning.xml" before main runs and safe
// to call from any static initialiser.
cSharedTuningData& GetSharedTuningData();
