// The planet's save record: its plants' positions and orientations (and from
// version 9 their food, hidden flag and counter), written under a placeholder
// object because the data manager saves only objects.
#include <algorithm>
#include <cmath>

#include "glf/DebugWindow.h"
#include "math/Vector.h"
#include "sim/gamedata/DataManager.h"
#include "sim/gamedata/MemoryStream.h"
#include "world/planet/PlanetModel.h"
#include "world/planet/SavedValueRepair.h"
#include "world/scene/SceneObject.h"

using namespace Ru::Math;

namespace {
// The live placeholder; the data manager owns it, so this is no counted reference.
cPlanetSerializerProxy* gPlanetProxy = nullptr;

cPlanetSerializerProxy& ProxyPrototype() {
  static cPlanetSerializerProxy* prototype = new cPlanetSerializerProxy;  // the manager keeps pointing at it
  return *prototype;
}

struct cPlantPlacement {
  Vector3 position;
  Quaternion orientation;
  float food = cGamePlant::kFullFood;
  uint32_t hidden = 0;
  int32_t counter = 0;
};
}  // namespace

cPlanetSerializerProxy* cPlanetModel::GetSerializerProxy() { return gPlanetProxy; }

void cPlanetModel::RegisterWithDataManager() {
  cDataManager* data = GetDataManager();
  data->RegisterType(&ProxyPrototype(), this);
  gPlanetProxy = data->CreateObject<cPlanetSerializerProxy>();
  data->AddClient(this);
}

void cPlanetModel::Save(Ko::cIGameData* /*object*/, cMemoryStream& stream, uint32_t version) {
  stream.WriteUInt32Value(static_cast<uint32_t>(mPlants.size()));
  for (tRefPtr<cGamePlant>& plant : mPlants) {
    const Vector3 p = plant->GetPosition();
    const Quaternion q = plant->GetOrientation();
    for (float value : {p.x, p.y, p.z, q.x, q.y, q.z, q.w}) stream.WriteFloatValue(value);
    if (version < kPlantStateVersion) continue;
    stream.WriteFloatValue(plant->GetFoodValue());
    stream.WriteUInt32Value(plant->IsHidden() ? 1u : 0u);
    stream.WriteUInt32Value(static_cast<uint32_t>(plant->GetCounter()));
  }
}

void cPlanetModel::BeforeLoad() {
  for (cPlantPatch& patch : mPatches) {
    if (patch.shown)
      for (tRefPtr<cGamePlant>& plant : patch.plants) ShowPlant(plant.Get(), false);
    patch.shown = false;
  }
  if (gPlanetProxy) GetDataManager()->Remove(gPlanetProxy);
  gPlanetProxy = nullptr;
}

void cPlanetModel::Load(Ko::cIGameData* object, cMemoryStream& stream, uint32_t version) {
  // Everything is read and checked before any plant changes: a record whose
  // size is not exactly what its count needs (a huge count would otherwise
  // make billions of plants; a later version's plants in an older file would
  // be read out of step) or a non-finite value refuses the record, and the
  // loader reports it.
  const uint32_t count = stream.ReadUInt32Value();
  const bool withState = version >= kPlantStateVersion;
  if (stream.HasFailed() || (uint64_t)count * PlantRecordBytes(version) != stream.GetRemaining()) {
    stream.MarkFailed("the wrong length");
    return;
  }
  // The planet holds no more plants than the tuning may seed: those past that
  // are skipped unread (a million took the game to 19 GB), and reported.
  const uint32_t kept = std::min(count, kMostPlants);
  std::vector<cPlantPlacement> placements(kept);
  for (cPlantPlacement& placement : placements) {
    float v[7];
    for (float& value : v) value = stream.ReadFloatValue();
    for (float value : v)
      if (!std::isfinite(value)) stream.MarkFailed("not a finite number");
    placement.position = Vector3{v[0], v[1], v[2]};
    placement.orientation = Quaternion{v[3], v[4], v[5], v[6]};
    if (!withState) continue;
    placement.food = stream.ReadFloatValue();
    placement.hidden = stream.ReadUInt32Value();
    placement.counter = static_cast<int32_t>(stream.ReadUInt32Value());
    if (!std::isfinite(placement.food)) stream.MarkFailed("not a finite number");
  }
  if (stream.HasFailed()) {
    DebugPrintf("Load: planet record with %u plants refused; the plants stay as they were\n", count);
    return;
  }
  if (kept < count) {
    DebugPrintf("Load: the planet record holds %u plants; the first %u are kept, the rest skipped\n", count, kept);
    GetDataManager()->CountLoadSkipped("Plants", count - kept);
  }
  // Finite but absurd values are mended, each kind counted once for all plants.
  uint32_t placesMended = 0, facingsMended = 0, foodMended = 0;
  for (cPlantPlacement& placement : placements) {
    placesMended += MendSavedPoint(placement.position, *this);
    facingsMended += MendSavedFacing(placement.orientation);
    foodMended += !(placement.food >= 0.0f && placement.food <= cGamePlant::kFullFood);  // clamped when applied
  }
  GetDataManager()->CountLoadRepair("plant position", placesMended);
  GetDataManager()->CountLoadRepair("plant facing", facingsMended);
  GetDataManager()->CountLoadRepair("plant food", foodMended);

  auto* proxy = dynamic_cast<cPlanetSerializerProxy*>(object);
  if (gPlanetProxy && gPlanetProxy != proxy) GetDataManager()->Remove(gPlanetProxy);  // a second record replaces the first
  gPlanetProxy = proxy;

  for (cPlantPatch& patch : mPatches) patch.plants.clear();
  while (mPlants.size() > kept) DropPlant(mPlants.size() - 1);
  while (mPlants.size() < kept) mPlants.emplace_back(MakePlantWithSceneObject());
  for (size_t i = 0; i < kept; ++i) {
    cGamePlant* plant = mPlants[i].Get();
    plant->SetPosition(placements[i].position);
    plant->SetOrientation(placements[i].orientation);
    // Older records keep no plant state: reused plants keep theirs, new ones are full.
    if (withState) {
      plant->SetFoodValue(placements[i].food);  // clamped to the plant's range
      plant->SetHidden(placements[i].hidden != 0);
      plant->SetCounter(placements[i].counter);  // negative becomes 0
    }
    if (cPlantPatch* patch = FindNearestPatch(placements[i].position)) patch->plants.emplace_back(plant);
  }
}

cPlanetModel::eSavedPoint cPlanetModel::CheckSavedPoint(Vector3& point) const {
  const float largest = std::max({std::fabs(point.x), std::fabs(point.y), std::fabs(point.z)});
  if (largest < 1.0f) return eSavedPoint::AtCentre;  // nowhere near any ground, and no direction to it
  if (largest <= kFarSavedRadius) return eSavedPoint::Fine;
  // Scaled down first: the length of a point 3e38 out overflows a float.
  ProjectToSurface(point, Vector3Scale(point, 1.0f / largest));
  return eSavedPoint::BroughtDown;
}

void cPlanetModel::AfterLoad() {
  if (!gPlanetProxy) gPlanetProxy = GetDataManager()->CreateObject<cPlanetSerializerProxy>();
}
