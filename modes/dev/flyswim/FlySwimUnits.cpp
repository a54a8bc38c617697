// The unit list, how many units each experiment has and where they go when it
// changes, how they keep apart and how the mouse selects them; the perches and
// sea creatures that follow the camera around, and the underwater models.
#include <algorithm>
#include <cmath>

#include "camera/CameraView.h"
#include "math/Math.h"
#include "modes/dev/flyswim/FlySwimGeometry.h"
#include "modes/dev/flyswim/FlySwimUnits.h"
#include "platform/Sys.h"
#include "world/planet/PlanetModel.h"
#include "world/scene/SceneManager.h"
#include "world/scene/SolidShapes.h"

using namespace Ru::Math;

namespace nFlySwim {

namespace {

float Uniform() { return (float)Sys_Random() / 32767.0f; }

struct sModelEntry {
  float scale;
  const char* file;
  cSceneShapePolyModel* shape;
};
sModelEntry* ModelTable() {
  static sModelEntry table[kUnderwaterModelCount] = {
      {1.0f, ".\\Data\\models\\Underwater\\swimmingtripod.obj", nullptr},
      {0.5f, ".\\Data\\models\\Underwater\\underwater_flora.obj", nullptr},
      {1.2f, ".\\Data\\models\\Underwater\\underwater_rock.obj", nullptr},
      {1.0f, ".\\Data\\models\\Underwater\\underwater_rock_small.obj", nullptr},
      {1.0f, ".\\Data\\models\\Underwater\\whale.obj", nullptr},
      {0.5f, ".\\Data\\models\\Underwater\\jellyfish.obj", nullptr},
      {1.0f, ".\\Data\\models\\Underwater\\rare_fish.obj", nullptr}};
  return table;
}

// Takes the objects out of the scene first, then frees them, then the shapes
// only they drew with: nothing the scene still lists is ever freed.
void FreeObjects(std::initializer_list<cSceneObject*> objects, std::vector<cISceneShape*>& shapes) {
  for (cSceneObject* object : objects)
    if (object) GetSceneManager().RemoveObject(object);
  for (cSceneObject* object : objects) delete object;
  for (cISceneShape* shape : shapes) {
    GetSceneManager().ForgetShape(shape);
    delete shape;
  }
  shapes.clear();
}

}  // namespace

// ---- underwater models ----

cSceneShapePolyModel* GetPerchModelShape(int index) {
  sModelEntry& entry = ModelTable()[index];
  if (!entry.shape) {
    entry.shape = new cSceneShapePolyModel(entry.file, false);
    // The files are z-up: one half turn about (0, 1, 1) swaps y and z for the planet's frames.
    const float h = std::sqrt(2.0f) / 2.0f;
    entry.shape->RotateVertices(Quaternion{0.0f, h, h, 0.0f});
    entry.shape->SetScale(Vector3{entry.scale, entry.scale, entry.scale});
  }
  return entry.shape;
}

// ---- units ----

void DestroyUnit(sUnit* unit) {
  if (!unit) return;
  FreeObjects({unit->body, unit->second, unit->wing, unit->wingShadow}, unit->ownShapes);
  delete unit;
}

void AddUnits(int n) {
  for (int i = 0; i < n; ++i) State().units.push_back(ConstructUnit());
}

void RemoveUnits(int n) {
  std::vector<sUnit*>& units = State().units;
  if (n < 0 || n > (int)units.size()) n = (int)units.size();
  for (int i = 0; i < n; ++i) {
    DestroyUnit(units.back());
    units.pop_back();
  }
}

void SetUnitCount() {
  RemoveUnits(-1);
  if (Has(kGroup)) AddUnits(20);
  else if (Has(kSingle)) AddUnits(1);
}

void ReseatUnits() {
  for (sUnit* unit : State().units) {
    if (Has(kFlies)) {
      unit->target = PointAtHeight(unit->target, 0.0f);
      unit->targetLock = false;
      unit->speedMultiplier = 1.0f;
      AddUnitFlapImpulse(*unit);
    }
    if (Has(kSwims)) {
      const Vector3 q = PointAtHeight(unit->target, 4.0f);
      if (!IsBelowTerrain(q, 0.0f) && IsUnderWater(q, 0.0f)) {
        unit->target = q;
        unit->targetLock = false;
        unit->speedMultiplier = 1.0f;
        AddUnitFlapImpulse(*unit);
      }
    }
  }
}

void SeparateUnits() {
  std::vector<sUnit*>& units = State().units;
  for (size_t i = 0; i < units.size(); ++i)
    for (size_t j = i + 1; j < units.size(); ++j) {
      const Vector3 a = GetUnitPosition(*units[i]), b = GetUnitPosition(*units[j]);
      const float d = Distance(a, b);
      if (d >= 2.0f) continue;
      const Vector3 difference = Vector3Sub(a, b);
      const Vector3 direction = IsZeroVector(difference) ? RandomUnitDirection() : Normalize(difference);
      const Vector3 push = Vector3Scale(direction, (2.0f - d) * 0.25f);
      units[i]->velocity = Vector3Add(units[i]->velocity, push);
      units[j]->velocity = Vector3Sub(units[j]->velocity, push);
    }
}

int CountSelectedUnits() {
  int n = 0;
  for (sUnit* unit : State().units) n += unit->selected;
  return n;
}

void SetAllSelected(bool selected) {
  for (sUnit* unit : State().units) unit->selected = selected;
}

sUnit* UnitUnderCursor(int x, int y, bool loose) {
  const Vector3 eye = GetViewEyePosition();
  const Ray ray = CameraScreenPointToRay(x, y);
  for (sUnit* unit : State().units) {
    const Vector3 p = GetUnitPosition(*unit);
    Vector3 onPlane;
    const bool near = RayPlane(ray.origin, ray.direction, p, Vector3Sub(eye, p), &onPlane, nullptr) &&
                      Distance(onPlane, p) < 1.05f;
    if (unit->selected && loose) {
      if (near) return unit;
      continue;
    }
    Vector3 hit;
    if (near && unit->body && unit->body->IntersectRay(ray, hit)) return unit;
  }
  return nullptr;
}

float SelectionCircleRadius() { return std::min((float)CountSelectedUnits() * 1.5f, 48.0f) + 16.0f; }

void SelectUnitsInCircle(int x, int y, float radius, bool value) {
  if (sUnit* under = UnitUnderCursor(x, y, false)) under->selected = value;
  for (sUnit* unit : State().units) {
    const float dx = unit->screenX - (float)x, dy = unit->screenY - (float)y;
    if (std::sqrt(dx * dx + dy * dy) < unit->screenRadius + radius) unit->selected = value;
  }
}

void UpdateUnitFootprint(sUnit& unit) {
  const Vector3 body = GetUnitPosition(unit);
  const Vector3 top = SetLength(body, Vector3Length(body) + 0.5f);
  CameraProjectToWindow(top, unit.screenX, unit.screenY);
  CameraProjectToWindow(body, unit.bodyScreenX, unit.bodyScreenY);
  const Vector3 v = Normalize(Vector3Sub(GetViewEyePosition(), body));
  const Vector3 n = Normalize(Vector3Add(body, PointAtHeight(Vector3Add(body, Vector3{100.0f, 100.0f, 100.0f}), 0.0f)));
  float sx = 0.0f, sy = 0.0f;
  CameraProjectToWindow(Vector3Add(body, CrossProduct(v, n)), sx, sy);
  unit.screenRadius = 0.5f * std::sqrt((sx - unit.screenX) * (sx - unit.screenX) + (sy - unit.screenY) * (sy - unit.screenY));
}

// ---- perches ----

void ReseatPerch(sPerch& perch) {
  const Vector3 p = perch.body->GetPosition();
  Vector3 top, floor;
  if (Has(kSwims)) {
    top = SetLength(p, WaterShellRadius());
    floor = PointAtHeight(p, 1.0f);
  } else {
    top = PointAtHeight(p, 15.0f);
    floor = PointAtHeight(p, 0.0f);
  }
  const Vector3 seat = Vector3Lerp(floor, top, perch.heightFraction);
  perch.body->SetPosition(seat);
  perch.shadow->SetPosition(PointAtHeight(seat, -0.75f));
  Quaternion q;
  cPlanetModel::MakeSurfaceOrientation(q, PointAtHeight(seat, 0.0f), RandomUnitDirection());
  perch.body->SetOrientation(q);
}

void AddPerches(int n) {
  const Vector3 green{0.0f, 1.0f, 0.0f}, magenta{1.0f, 0.0f, 1.0f}, white{1.0f, 1.0f, 1.0f};
  for (int i = 0; i < n; ++i) {
    const float t = Uniform();
    const Vector3 p = PointAtHeight(RandomUnitDirection(), 0.0f);
    const Vector3 colour = Vector3Lerp(Vector3Lerp(green, magenta, 1.0f - t), white, 0.6f);
    auto* perch = new sPerch();
    cISceneShape* shape = nullptr;
    if (t >= 0.6f) {
      auto* cube = new cSceneShapeCube();
      perch->ownShapes.push_back(cube);
      shape = cube;
      perch->heightFraction = Uniform();
      perch->perchable = true;
    } else if (t >= 0.3f) {
      shape = GetPerchModelShape(4 + Sys_Random() % 3);
      perch->heightFraction = Uniform() * 0.5f + 0.25f;
      perch->modelPerch = true;
    } else {
      perch->heightFraction = Sys_Random() % 6 < 3 ? -0.05f : 0.0f;
      shape = GetPerchModelShape(1 + Sys_Random() % 3);
      perch->modelPerch = true;
    }
    auto* shadowShape = new cSceneShapeCube();
    shadowShape->SetScale(shape->GetScale());
    perch->ownShapes.push_back(shadowShape);
    perch->body = new cSceneObject(nullptr, shape);
    perch->shadow = new cSceneObject(nullptr, shadowShape);
    perch->body->SetPosition(p);
    ReseatPerch(*perch);
    perch->body->SetColour(colour);
    perch->shadow->SetOrientation(perch->body->GetOrientation());
    perch->shadow->SetColour(Vector3{});
    GetSceneManager().AddObject(perch->body);
    GetSceneManager().AddObject(perch->shadow);
    ReseatPerch(*perch);
    State().perches.push_back(perch);
  }
  RecyclePerches(true);
}

void RemoveAllPerches() {
  for (sPerch* perch : State().perches) {
    FreeObjects({perch->body, perch->shadow}, perch->ownShapes);
    delete perch;
  }
  State().perches.clear();
}

void RecyclePerches(bool anywhere) {
  const Vector3 e = GetViewEyePosition();
  for (sPerch* perch : State().perches) {
    if (Distance(perch->body->GetPosition(), e) <= 55.0f) continue;
    const float d0 = anywhere ? 0.0f : 40.0f;
    const float distance = d0 + (44.0f - d0) * Uniform();
    perch->body->SetPosition(Vector3Add(e, Vector3Scale(RandomUnitDirection(), distance)));
    ReseatPerch(*perch);
  }
}

void ReseatAllPerches() {
  for (sPerch* perch : State().perches) ReseatPerch(*perch);
}

void SetPerchPosition(sPerch& perch, const Vector3& point) {
  perch.body->SetPosition(point);
  ReseatPerch(perch);
}

}  // namespace nFlySwim
