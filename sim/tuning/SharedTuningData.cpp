#include "sim/tuning/SharedTuningData.h"

#include <iostream>  // the stream objects must exist before the set below reports a bad file

cSharedTuningData::cSharedTuningData(const std::string& dataFolder) : cTuningData(dataFolder) {
  AddFile("tuning.xml");
  Reload();
}

void cSharedTuningData::ApplyConstants() {
  mRandomNumberSeed = GetInt("RandomNumberSeed", 0, "seed of the random generator; 0 seeds from the clock");
  mDefaultUIBarHeight = GetFloat("defaultuibarheight", 8.0f, "HUD bar height in pixels at the start window size");
  mDefaultUIBarWidth = GetFloat("defaultuibarwidth", 120.0f, "HUD bar width in pixels at the start window size");
  mWindowStartHeight = GetFloat("windowstartheight", 480.0f, "main window height at start-up");
  mWindowStartWidth = GetFloat("windowstartwidth", 640.0f, "main window width at start-up");
  mPlantScale = GetFloat("plantscale", 1.0f, "plant model scale");
  mCreatureScaleDefault = GetFloat("creaturescaledefault", 1.0f, "creature model scale of other kinds");
  mCreatureScalePosse = GetFloat("creaturescaleposse", 1.0f, "posse creature model scale");
  mCreatureScalePrey = GetFloat("creaturescaleprey", 1.0f, "prey creature model scale");
  mCreatureScalePredator = GetFloat("creaturescalepredator", 1.0f, "predator creature model scale");
  mHutScale = GetFloat("hutscale", 3.0f, "hut model scale");
  mBuildingScale = GetFloat("buildingscale", 5.0f, "city look building scale");
  mBuildingCivScale = GetFloat("buildingcivscale", 8.0f, "civ look building scale");
  mHutVisibility = GetFloat("hutvisibility", 28.0f, "distance within which huts are shown");
  mTribeSelectionRadius = GetFloat("tribeselectionradius", 3.0f, "tribe selector and pick radius");
  mTribeRadiusIncrement = GetFloat("triberadiusincrement", 0.0f, "tribe selector growth per selected member");
  mCitySelectionRadius = GetFloat("cityselectionradius", 3.0f, "city selector radius");
  mCityRadiusIncrement = GetFloat("cityradiusincrement", 1.0f, "city selector growth per selected member");
  mCivSelectionRadius = GetFloat("civselectionradius", 12.0f, "civ selector radius");
  mCivRadiusIncrement = GetFloat("civradiusincrement", 0.0f, "civ selector growth per selected member");
  mNumberOfPlants = GetInt("NumberOfPlants", 1200, "plants placed on the planet");
  mPlantClumpSize = GetInt("PlantClumpSize", 10, "plants per clump");
  mPlantClumpRadius = GetFloat("PlantClumpRadius", 40.0f, "spread of a clump");
  mPlantGrowthRate = GetFloat("PlantGrowthRate", 10.0f, "food a plant regrows per second");
  mCivRubbleScale[0] = GetFloat("scale-rubble-civ-building-x", 1.0f, "civ building rubble scale x");
  mCivRubbleScale[1] = GetFloat("scale-rubble-civ-building-y", 1.0f, "civ building rubble scale y");
  mCivRubbleScale[2] = GetFloat("scale-rubble-civ-building-z", 1.0f, "civ building rubble scale z");
  mCityRubbleScale[0] = GetFloat("scale-rubble-city-building-x", 1.0f, "city building rubble scale x");
  mCityRubbleScale[1] = GetFloat("scale-rubble-city-building-y", 1.0f, "city building rubble scale y");
  mCityRubbleScale[2] = GetFloat("scale-rubble-city-building-z", 1.0f, "city building rubble scale z");
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
