// The planet's plants: 32 fixed patches over the sphere, clumped seeding on
// land, growth on the game clock, and patches shown in the scene while the
// camera anchor is near them.
#include <cmath>
#include <limits>

#include "camera/Camera.h"
#include "math/Quaternion.h"
#include "math/Vector.h"
#include "glf/DebugWindow.h"
#include "sim/tuning/BoundedCount.h"
#include "platform/Sys.h"
#include "sim/tuning/SharedTuningData.h"
#include "world/planet/PlanetModel.h"
#include "world/scene/SceneManager.h"
#include "world/scene/SceneObject.h"

using namespace Ru::Math;

namespace {
constexpr float kDegrees = 3.14159265358979f / 180.0f;
constexpr int kPlantLandAttempts = 16;

Vector3 Turn(const Vector3& v, const Vector3& axis, float degrees) {
  return QuatRotateVector(QuatFromAngleAxis(axis, degrees * kDegrees), v);
}

struct cPassAllPlants : cPlanetModel::cINearestPlantFilter {
  bool Accept(cGamePlant*) override { return true; }
};

// Swaps the last entry into the place of the first occurrence of the plant.
bool EraseFirst(std::vector<tRefPtr<cGamePlant>>& plants, cGamePlant* plant) {
  for (size_t i = 0; i < plants.size(); ++i) {
    if (plants[i].Get() != plant) continue;
    if (i + 1 != plants.size()) plants[i] = std::move(plants.back());
    plants.pop_back();
    return true;
  }
  return false;
}
}  // namespace

void cPlanetModel::BuildPlantPatches() {
  const Vector3 xAxis{1.0f, 0.0f, 0.0f}, yAxis{0.0f, 1.0f, 0.0f};
  std::vector<Vector3> centres;
  centres.push_back(yAxis);
  for (float pole : {1.0f, -1.0f}) {
    Vector3 ring = Turn(Vector3{0.0f, pole, 0.0f}, xAxis, 60.0f);
    for (int i = 0; i < 5; ++i) {
      ring = Turn(ring, yAxis, 72.0f);
      centres.push_back(ring);
    }
  }
  centres.push_back(Vector3{0.0f, -1.0f, 0.0f});
  for (int i = 1; i <= 5; ++i) {
    const int j = (i % 5) + 1;
    centres.push_back(Vector3Normalized(Vector3Add(Vector3Add(centres[0], centres[i]), centres[j])));
    centres.push_back(Vector3Normalized(Vector3Add(Vector3Add(centres[i + 5], centres[11]), centres[j + 5])));
  }
  Vector3 equator = xAxis;
  for (int i = 0; i < 10; ++i) {
    equator = Turn(equator, yAxis, 36.0f);
    centres.push_back(equator);
  }
  mPatches.clear();
  mPatches.resize(centres.size());
  for (size_t i = 0; i < centres.size(); ++i) ProjectToSurface(mPatches[i].centre, centres[i]);
}

void cPlanetModel::SeedPlants() {
  BuildPlantPatches();
  const cSharedTuningData& tuning = GetSharedTuningData();
  // Far above any planet a designer plays; a million would never finish starting.
  const int count = BoundedCount("NumberOfPlants", (float)tuning.GetNumberOfPlants(), 0, (int)kMostPlants);
  const int clumpSize =
      CutTuningValue("PlantClumpSize", tuning.GetPlantClumpSize(), 1, std::numeric_limits<int>::max());
  const float clumpRadius = tuning.GetPlantClumpRadius();
  mPlantViewDistance = 0.0f;
  Vector3 clump;
  // A planet without land gets no plants rather than plants under the sea.
  bool haveLand = GetRandomSurfacePointBetween(clump, kLandBandLow, kLandBandHigh);
  for (int i = 0; i < count && haveLand; ++i) {
    // A clump on a shore would put some of its plants under the sea, where no
    // creature reaches them: draw again, a few times, for a point on land.
    Vector3 p;
    for (int attempt = 0; attempt < kPlantLandAttempts; ++attempt) {
      GetRandomSurfacePointNear(p, clump, 0.0f, clumpRadius);
      if (!IsUnderWater(p)) break;
    }
    if (IsUnderWater(p)) p = clump;  // the clump centre itself is on land
    if (cPlantPatch* patch = FindNearestPatch(p)) {
      const float reach = GetSurfaceDistance(p, patch->centre);
      if (reach > mPlantViewDistance) mPlantViewDistance = reach;
    }
    CreatePlant(p);
    if (Sys_Random() % clumpSize == 0) haveLand = GetRandomSurfacePointBetween(clump, kLandBandLow, kLandBandHigh);
  }
  if (!haveLand && count > 0) DebugPrintf("Plants: no land between radius %g and %g\n", kLandBandLow, kLandBandHigh);
  mPlantViewDistance += kPlantViewMargin;
}

cGamePlant* cPlanetModel::MakePlantWithSceneObject() {
  auto* plant = new cGamePlant();
  plant->SetFoodValue(cGamePlant::kFullFood);
  plant->SetSceneObject(new cSceneObject(plant, &GetPlantShape()));
  return plant;
}

cGamePlant* cPlanetModel::CreatePlant(const Vector3& p) {
  cGamePlant* plant = MakePlantWithSceneObject();
  plant->SetPosition(p);
  Quaternion upright;
  AlignOrientationToSurface(upright, p, QuatIdentity());
  plant->SetOrientation(upright);
  mPlants.emplace_back(plant);
  AddPlantToNearestPatch(plant);
  return plant;
}

void cPlanetModel::ShowPlant(cGamePlant* plant, bool shown) {
  cSceneObject* object = plant->GetSceneObject();
  if (!object) return;
  // Listed at most once whatever came before: a second listing would be drawn
  // twice and outlive the patch's hiding.
  if (shown && object->GetSceneRefCount() == 0) GetSceneManager().AddObject(object);
  if (!shown)
    while (object->GetSceneRefCount() > 0 && GetSceneManager().RemoveObject(object)) {
    }
}

void cPlanetModel::RemoveFromPatches(cGamePlant* plant) {
  for (cPlantPatch& patch : mPatches) EraseFirst(patch.plants, plant);
}

void cPlanetModel::AddPlantToNearestPatch(cGamePlant* plant) {
  if (!plant) return;
  tRefPtr<cGamePlant> keep(plant);
  for (cPlantPatch& patch : mPatches)
    if (EraseFirst(patch.plants, plant)) break;
  cPlantPatch* patch = FindNearestPatch(plant->GetPosition());
  if (patch) patch->plants.emplace_back(plant);
  // The scene follows the new patch: a plant moved out of a shown patch into a
  // hidden one leaves the scene, so showing the new patch later cannot list it twice.
  ShowPlant(plant, patch && patch->shown && !plant->IsHidden());
}

void cPlanetModel::DropPlant(size_t index) {
  tRefPtr<cGamePlant> plant = std::move(mPlants[index]);
  if (index + 1 != mPlants.size()) mPlants[index] = std::move(mPlants.back());
  mPlants.pop_back();
  plant->DestroySceneObject();  // breaks the owner-reference loop so the plant can die
}

bool cPlanetModel::RemovePlant(cGamePlant* plant) {
  if (!plant) return false;
  tRefPtr<cGamePlant> keep(plant);  // nothing is destroyed halfway through
  cSceneObject* object = plant->GetSceneObject();
  const bool wasListed = object && object->GetSceneRefCount() > 0;
  RemoveFromPatches(plant);
  for (size_t i = 0; i < mPlants.size(); ++i)
    if (mPlants[i].Get() == plant) {
      DropPlant(i);
      return wasListed;
    }
  ShowPlant(plant, false);
  return wasListed;
}

void cPlanetModel::RemovePlantsInRadius(const Vector3& p, float radius) {
  const float limit = radius * radius;
  for (size_t i = 0; i < mPlants.size();) {
    cGamePlant* plant = mPlants[i].Get();
    if (Vector3LengthSquared(Vector3Sub(plant->GetPosition(), p)) < limit) {
      RemoveFromPatches(plant);
      DropPlant(i);  // the last entry now stands at i and is tested next
    } else {
      ++i;
    }
  }
}

void cPlanetModel::HidePlantsInRadius(float x, float y, float z, float radius) {
  const Vector3 centre{x, y, z};
  for (tRefPtr<cGamePlant>& plant : mPlants) {
    if (plant->IsHidden() || !(GetSurfaceDistance(plant->GetPosition(), centre) < radius)) continue;
    plant->SetHidden(true);
    ShowPlant(plant.Get(), false);
  }
}

void cPlanetModel::GrowPlants(float seconds) {
  const float growth = GetSharedTuningData().GetPlantGrowthRate() * seconds;
  for (tRefPtr<cGamePlant>& plant : mPlants) plant->SetFoodValue(plant->GetFoodValue() + growth);
}

void cPlanetModel::UpdatePlantVisibility(const Vector3& anchor) {
  for (cPlantPatch& patch : mPatches) {
    const bool near = GetSurfaceDistance(anchor, patch.centre) < mPlantViewDistance;
    if (near == patch.shown) continue;
    patch.shown = near;
    for (tRefPtr<cGamePlant>& plant : patch.plants)
      if (!plant->IsHidden()) ShowPlant(plant.Get(), near);
  }
}

void cPlanetModel::UpdatePlants() {
  const uint32_t elapsed = mPlantStopwatch.GetElapsed();
  mPlantStopwatch.Restart();
  GrowPlants(static_cast<float>(elapsed) * 0.001f);
  const float* anchor = GetCameraAnchor();
  UpdatePlantVisibility(Vector3{anchor[0], anchor[1], anchor[2]});
}

cPlantPatch* cPlanetModel::FindNearestPatch(const Vector3& p) {
  cPlantPatch* best = nullptr;
  float bestDistance = 0.0f;
  for (cPlantPatch& patch : mPatches) {
    const float d = Vector3LengthSquared(Vector3Sub(patch.centre, p));
    if (!best || d < bestDistance) {
      best = &patch;
      bestDistance = d;
    }
  }
  return best;
}

cGamePlant* cPlanetModel::GetRandomPlantNear(const Vector3& p) {
  cPlantPatch* patch = FindNearestPatch(p);
  if (!patch || patch->plants.empty()) return nullptr;
  return patch->plants[Sys_Random() % patch->plants.size()].Get();
}

cGamePlant* cPlanetModel::FindNearestPlant(const Vector3& p, cINearestPlantFilter* filter) {
  static cPassAllPlants passAll;
  if (!filter) filter = &passAll;
  cPlantPatch* patch = FindNearestPatch(p);
  if (!patch) return nullptr;
  cGamePlant* best = nullptr;
  float bestDistance = 1e8f;
  for (tRefPtr<cGamePlant>& plant : patch->plants) {
    if (!filter->Accept(plant.Get())) continue;
    const float* at = static_cast<cILocation*>(plant.Get())->GetPosition();
    const float d = Vector3LengthSquared(Vector3Sub(Vector3{at[0], at[1], at[2]}, p));
    if (d < bestDistance) {
      best = plant.Get();
      bestDistance = d;
    }
  }
  return best;
}

cGamePlant* cPlanetModel::FindNearestFruitPlant(const Vector3& p) {
  cNearestFruitFilter fruit;
  return FindNearestPlant(p, &fruit);
}

uint32_t cPlanetModel::CountShownPlants() const {
  uint32_t count = 0;
  for (const cPlantPatch& patch : mPatches)
    if (patch.shown)
      for (const tRefPtr<cGamePlant>& plant : patch.plants) count += plant->IsHidden() ? 0 : 1;
  return count;
}

void cPlanetModel::ClearPlantsForTest() {
  for (cPlantPatch& patch : mPatches) patch.plants.clear();
  mPatches.clear();
  while (!mPlants.empty()) DropPlant(mPlants.size() - 1);
  mPlantViewDistance = 0.0f;
}
