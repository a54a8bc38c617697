// How a unit is built (body, a marker under the ground, two wings), the follow
// camera of the single-creature experiments, the ambient school of fish, the
// floating specks around the camera and the light rays under the water shell.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "camera/Camera.h"
#include "math/Math.h"
#include "modes/dev/flyswim/FlySwimGeometry.h"
#include "modes/dev/flyswim/FlySwimUnits.h"
#include "platform/Sys.h"
#include "world/planet/PlanetModel.h"
#include "world/scene/CreatureParts.h"
#include "world/scene/SceneManager.h"
#include "world/scene/SolidShapes.h"

using namespace Ru::Math;

namespace nFlySwim {

namespace {
float Uniform() { return (float)Sys_Random() / 32767.0f; }
const Vector3 kWhite{1.0f, 1.0f, 1.0f}, kBlue{0.0f, 0.0f, 1.0f}, kYellow{1.0f, 1.0f, 0.0f}, kOrange{1.0f, 0.5f, 0.0f};
}  // namespace

sUnit* ConstructUnit() {
  sState& s = State();
  auto* unit = new sUnit();
  auto* bodyShape = new cSceneShapePyramid();
  bodyShape->SetScale(Vector3{1.5f, 1.5f, 1.5f});
  unit->ownShapes.push_back(bodyShape);
  cISceneShape* furtherShape = nullptr;
  if (Has(kSwims)) {
    furtherShape = GetPerchModelShape(0);
  } else {
    auto* pyramid = new cSceneShapePyramid();
    unit->ownShapes.push_back(pyramid);
    furtherShape = pyramid;
  }

  const Vector3 start{1.0f, 0.0f, 0.0f};
  if (s.units.empty()) {
    if (Has(kSwims)) {
      const Vector3 g = PointAtHeight(start, 0.0f);
      // Depth below the shell that leaves the creature 1.0 over the floor.
      unit->altitude = WaterShellRadius() - Vector3Length(g) - 1.0f;
      unit->target = SetLength(start, WaterShellRadius() - unit->altitude);
    } else {
      unit->altitude = 0.0f;
      unit->target = PointAtHeight(start, 0.0f);
    }
  } else {
    unit->target = s.units.front()->target;
    unit->altitude = s.units.front()->altitude;
  }

  unit->body = new cSceneObject(nullptr, bodyShape);
  Quaternion q;
  cPlanetModel::MakeSurfaceOrientation(q, unit->target, Vector3{0.0f, 0.0f, 1.0f});
  unit->orientation = unit->displayOrientation = q;
  unit->body->SetOrientation(q);
  unit->body->SetPosition(unit->target);
  unit->body->SetColour(Vector3{1.0f, 0.0f, 0.0f});
  GetSceneManager().AddObject(unit->body);

  unit->second = new cSceneObject(nullptr, furtherShape);
  unit->second->SetColour(Vector3{});
  GetSceneManager().AddObject(unit->second);

  unit->wingShape = new cCreatureWingShape();
  unit->wingShape->SetScale(Vector3{0.25f, 0.25f, 0.25f});
  unit->shadowWingShape = new cCreatureWingShape();
  unit->shadowWingShape->SetScale(unit->wingShape->GetScale());
  unit->ownShapes.push_back(unit->wingShape);
  unit->ownShapes.push_back(unit->shadowWingShape);
  unit->wing = new cSceneObject(nullptr, unit->wingShape);
  unit->wing->SetColour(unit->body->GetColour());
  unit->wingShadow = new cSceneObject(nullptr, unit->shadowWingShape);
  unit->wingShadow->SetColour(Vector3{});
  GetSceneManager().AddObject(unit->wing);
  GetSceneManager().AddObject(unit->wingShadow);
  return unit;
}

// ---- follow camera ----

void StartFollowCamera() {
  sState& s = State();
  if (s.units.size() != 1) return;
  s.followPosition = GetUnitPosition(*s.units.front());
  s.referenceOrientation = s.units.front()->body->GetOrientation();
  s.followVelocity = Vector3{};
}

void UpdateFollowCamera(float dt) {
  sState& s = State();
  if (s.units.empty()) return;
  const sUnit& unit = *s.units.front();
  const Vector3 u = GetUnitPosition(unit);
  Vector3 d = Vector3Sub(s.followPosition, u);
  float L = Vector3Length(d);
  Vector3 pull;
  if (L > 7.5f) pull = Vector3Scale(d, -(L - 7.5f) / L);
  s.followVelocity = Vector3Add(s.followVelocity, Vector3Scale(Vector3Sub(pull, s.followVelocity), dt));
  s.followPosition = Vector3Add(s.followPosition, Vector3Scale(s.followVelocity, dt));
  d = Vector3Sub(s.followPosition, u);
  L = Vector3Length(d);
  if (L > 11.25f) {
    d = Vector3Scale(d, 11.25f / L);
    s.followPosition = Vector3Add(u, d);
  }
  // A camera without a frame yet hands over a zero quaternion: turning from it
  // would stay zero for ever, so the creature's frame is taken at once.
  const Quaternion& r = s.referenceOrientation;
  if (r.x == 0.0f && r.y == 0.0f && r.z == 0.0f && r.w == 0.0f) s.referenceOrientation = unit.displayOrientation;
  else if (L != 0.0f) s.referenceOrientation = QuatSlerp(r, unit.displayOrientation, std::min(dt, 1.0f));
  if (!s.followStarted) {
    s.followOffsetDirection = Vector3{};
    s.followStarted = true;
  }
  const float b = UnitLag(unit);
  s.followOffsetLength += (2.0f * b - s.followOffsetLength) * 0.1f;
  const Vector3 ahead = QuatRotateVector(unit.displayOrientation, Vector3{0.0f, 0.0f, -1.0f});
  s.followOffsetDirection = Vector3Lerp(s.followOffsetDirection, ahead, 0.1f);
  const Vector3 p = Vector3Add(s.followPosition, Vector3Scale(s.followOffsetDirection, s.followOffsetLength));
  SetCameraPositionOrientation(&p.x, &s.referenceOrientation.x);
  SetCameraAnchorFrame(&p.x, &s.referenceOrientation.x);
}

// ---- the school ----

void InitSchoolFish(sSchoolFish& fish) {
  fish.speed = 0.7f;
  fish.size = 1.0f;
  fish.direction = RandomUnitDirection();
  if (!State().units.empty()) {
    const Vector3 offset = RandomUnitDirection();
    fish.position = Vector3Add(GetUnitPosition(*State().units.front()), Vector3Scale(offset, Uniform() * 180.0f + 20.0f));
  }
  if (Sys_Random() % 2 == 0) fish.colour = Vector3Lerp(kYellow, kOrange, Uniform() * 0.3f + 0.7f);
  else fish.colour = Vector3Lerp(kWhite, kBlue, Uniform() * 0.3f + 0.4f);
}

void CreateSchool() {
  sState& s = State();
  s.school = new sSchoolFish[kSchoolSize];
  for (int i = 0; i < kSchoolSize; ++i) {
    InitSchoolFish(s.school[i]);
    s.school[i].neighbour = (i + 1) % kSchoolSize;
  }
}

void StepSchool() {
  sState& s = State();
  const float R = WaterShellRadius();
  for (int i = 0; i < kSchoolSize; ++i) {
    sSchoolFish& fish = s.school[i];
    fish.position = Vector3Add(fish.position, Vector3Scale(fish.direction, fish.speed));
    Vector3 steer;
    const int k = Sys_Random() % 3;
    const float length = Vector3Length(fish.position);
    if (k == 0 && length > 0.0f) {
      const Vector3 up = Vector3Scale(fish.position, 1.0f / length);
      if (length > R - 8.0f) steer = Vector3Scale(up, -4.0f);
      else if (length < GetPlanetModel().GetSurfaceRadius(fish.position) + 8.0f) steer = Vector3Scale(up, 4.0f);
    } else if (k == 1 && !s.units.empty()) {
      const Vector3 t = Vector3Sub(GetUnitPosition(*s.units.front()), fish.position);
      const float tl = Vector3Length(t);
      if (tl > 60.0f) steer = Vector3Scale(t, 4.0f);
      else if (tl < 2.0f) steer = Vector3Scale(t, -12.0f);
    }
    int candidate = Sys_Random() % kSchoolSize;
    if (candidate == i) candidate = (candidate + 1) % kSchoolSize;
    const sSchoolFish& n = s.school[fish.neighbour];
    const Vector3 e = Vector3Sub(n.position, fish.position);
    const float el = Vector3Length(e);
    if (el >= 1.0f && el < 100.0f) steer = Vector3Add(steer, Vector3Add(Vector3Scale(e, 1.0f / el), n.direction));
    else if (el < 1.0f && el > 0.0f) steer = Vector3Sub(steer, Vector3Scale(e, 1.0f / el));
    if (Distance(s.school[candidate].position, fish.position) < el) fish.neighbour = candidate;
    const Vector3 turned = Vector3Lerp(fish.direction, Vector3Add(fish.direction, steer), 0.1f);
    Vector3 unit;
    if (Vector3NormalizeSafe(turned, unit) > 0.0f) fish.direction = unit;  // a cancelled turn keeps the heading
  }
}

// ---- specks ----

void SetSpeckAnchor(sSpeck* specks, int index) {
  sSpeck& speck = specks[index];
  const Vector3 p = speck.position;
  const float W = WaterShellRadius(), R = GetPlanetModel().GetSurfaceRadius(p), length = Vector3Length(p);
  if (length >= W) {
    speck.side = 1;
    speck.anchor = SetLength(p, W);
  } else if (length >= R) {
    speck.side = 0;
    speck.anchor = p;
  } else {
    speck.side = -1;
    speck.anchor = SetLength(p, R);
  }
}

void CreateSpecks(const Vector3& centre) {
  sState& s = State();
  s.specks = new sSpeck[kSpeckCount];
  for (int i = 0; i < kSpeckCount; ++i) {
    Vector3 offset;
    for (int a = 0; a < 3; ++a) offset[a] = (Uniform() - 0.5f) * 75.0f;
    s.specks[i].position = Vector3Add(centre, offset);
    s.specks[i].fade = 0.0f;
    SetSpeckAnchor(s.specks, i);
  }
}

void StepSpecks(const Vector3& centre) {
  sSpeck* specks = State().specks;
  for (int i = 0; i < kSpeckCount; ++i) {
    Vector3 offset = Vector3Sub(specks[i].position, centre);
    bool wrapped = false;
    for (int a = 0; a < 3; ++a) {
      if (offset[a] > 37.5f) {
        offset[a] -= 75.0f;
        wrapped = true;
      } else if (offset[a] < -37.5f) {
        offset[a] += 75.0f;
        wrapped = true;
      }
    }
    specks[i].position = Vector3Add(centre, offset);
    if (wrapped) {
      specks[i].fade = 0.0f;
      SetSpeckAnchor(specks, i);
    } else {
      specks[i].fade += (1.0f - specks[i].fade) * 0.1f;
    }
  }
}

// ---- light rays ----

namespace {
Vector3 gClusterCentre;
int gRespawnCounter = 0;
}  // namespace

void ResetLightRays(sLightRay* rays) {
  gRespawnCounter = 0;  // a fresh set starts a fresh cluster
  for (int i = 0; i < kLightRayCount; ++i) {
    rays[i].intensity = 0.0f;
    rays[i].target = Uniform();
  }
}

void RespawnLightRay(sLightRay& ray) {
  if (gRespawnCounter < 1) {
    gRespawnCounter = 2 + Sys_Random() % 4;
    const float* camera = GetCameraPosition();
    gClusterCentre = Vector3Add(Vector3{camera[0], camera[1], camera[2]}, Vector3Scale(RandomUnitDirection(), 45.0f));
  } else {
    gRespawnCounter -= 1;
  }
  ray.direction = Normalize(Vector3Add(gClusterCentre, Vector3Scale(RandomUnitDirection(), 2.5f)));
  ray.intensity = 0.0f;
  ray.target = Uniform();
  ray.length = 7.0f + Uniform() * 7.0f;
}

void UpdateLightRays(sLightRay* rays) {
  for (int i = 0; i < kLightRayCount; ++i) {
    sLightRay& ray = rays[i];
    ray.intensity += (ray.target - ray.intensity) * 0.1f;
    if (std::fabs(ray.target - ray.intensity) < 0.05f) {
      if (ray.target == 0.0f) RespawnLightRay(ray);
      else ray.target = 0.0f;
    }
  }
}

}  // namespace nFlySwim
