#include "sim/tuning/SharedTuningData.h"

#include <iostream>  // the stream objects must exist before the set below reports a bad file

cSharedTuningData::cSharedTuningData(const std::string& dataFolder) : cTuningData(dataFolder) {
  AddFile("tuning.xml");
  Reload();
}

namespace {
constexpr sTuningKey Scale(const char* name, double defaultValue) { return TuningFloat(name, defaultValue, 0.01, 100.0); }
constexpr sTuningKey Growth(const char* name, double defaultValue) { return TuningFloat(name, defaultValue, 0.0, 100.0); }
constexpr sTuningKey kRubbleKeys[6] = {
    Scale("scale-rubble-civ-building-x", 1.0),  Scale("scale-rubble-civ-building-y", 1.0),
    Scale("scale-rubble-civ-building-z", 1.0),  Scale("scale-rubble-city-building-x", 1.0),
    Scale("scale-rubble-city-building-y", 1.0), Scale("scale-rubble-city-building-z", 1.0)};
}  // namespace

const std::vector<tTuningField<cSharedTuningData>>& cSharedTuningData::Fields() {
  using T = cSharedTuningData;
  static const std::vector<tTuningField<T>> fields = {
      {TuningInt("RandomNumberSeed", 0, -2147483648.0, 2147483647.0), &T::mRandomNumberSeed},  // 0: from the clock
      {TuningFloat("defaultuibarheight", 8.0, 0.0, 1000.0), &T::mDefaultUIBarHeight},
      {TuningFloat("defaultuibarwidth", 120.0, 0.0, 4000.0), &T::mDefaultUIBarWidth},
      // The HUD divides by them; start-up also keeps them within the screen.
      {TuningFloat("windowstartheight", 480.0, 1.0, 16384.0), &T::mWindowStartHeight},
      {TuningFloat("windowstartwidth", 640.0, 1.0, 16384.0), &T::mWindowStartWidth},
      {Scale("plantscale", 1.0), &T::mPlantScale},
      {Scale("creaturescaledefault", 1.0), &T::mCreatureScaleDefault},
      {Scale("creaturescaleposse", 1.0), &T::mCreatureScalePosse},
      {Scale("creaturescaleprey", 1.0), &T::mCreatureScalePrey},
      {Scale("creaturescalepredator", 1.0), &T::mCreatureScalePredator},
      {Scale("hutscale", 3.0), &T::mHutScale},
      {Scale("buildingscale", 5.0), &T::mBuildingScale},
      {Scale("buildingcivscale", 8.0), &T::mBuildingCivScale},
      {TuningFloat("hutvisibility", 28.0, 0.0, 10000.0), &T::mHutVisibility},
      {TuningDistance("tribeselectionradius", 3.0), &T::mTribeSelectionRadius},
      {Growth("triberadiusincrement", 0.0), &T::mTribeRadiusIncrement},
      {TuningDistance("cityselectionradius", 3.0), &T::mCitySelectionRadius},
      {Growth("cityradiusincrement", 1.0), &T::mCityRadiusIncrement},
      {TuningDistance("civselectionradius", 12.0), &T::mCivSelectionRadius},
      {Growth("civradiusincrement", 0.0), &T::mCivRadiusIncrement},
      // Every plant is seeded at start-up and kept in every save.
      {TuningInt("NumberOfPlants", 1200, 0.0, 20000.0), &T::mNumberOfPlants},
      {TuningInt("PlantClumpSize", 10, 1.0, 20000.0), &T::mPlantClumpSize},
      {TuningDistance("PlantClumpRadius", 40.0), &T::mPlantClumpRadius},
      {TuningFloat("PlantGrowthRate", 10.0, 0.0, 10000.0), &T::mPlantGrowthRate},
  };
  return fields;
}

std::vector<sTuningKey> cSharedTuningData::Keys() {
  std::vector<sTuningKey> keys = TuningKeysOf(Fields());
  keys.insert(keys.end(), std::begin(kRubbleKeys), std::end(kRubbleKeys));
  return keys;
}

double cSharedTuningData::Held(const std::string& name) const {
  for (int axis = 0; axis < 3; ++axis) {
    if (name == kRubbleKeys[axis].name) return mCivRubbleScale[axis];
    if (name == kRubbleKeys[3 + axis].name) return mCityRubbleScale[axis];
  }
  return HeldTuningField(*this, Fields(), name);
}

void cSharedTuningData::ApplyConstants() {
  ReadTuningFields(*this, Fields());
  for (int axis = 0; axis < 3; ++axis) {
    mCivRubbleScale[axis] = (float)Read(kRubbleKeys[axis]);
    mCityRubbleScale[axis] = (float)Read(kRubbleKeys[3 + axis]);
  }
}

float cSharedTuningData::GetCreatureScale(int kind) const {
  switch (kind) {
    case 1: return mCreatureScalePosse;
    case 2: return mCreatureScalePrey;
    case 3: return mCreatureScalePredator;
    default: return mCreatureScaleDefault;
  }
}

// Built on first use, so a static initialiser elsewhere may ask for it safely.
cSharedTuningData& GetSharedTuningData() {
  static cSharedTuningData set;
  return set;
}

// ...and built before main even when nobody asks early, so the file is read at start-up.
static cSharedTuningData& gSharedTuningDataAtStartup = GetSharedTuningData();
