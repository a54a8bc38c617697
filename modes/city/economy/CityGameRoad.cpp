#include "modes/city/economy/CityGameRoad.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "math/Math.h"
#include "modes/city/behaviours/CityBehaviors.h"
#include "modes/city/cursors/CityRoadCursor.h"
#include "modes/city/data/CityTuning.h"
#include "modes/city/economy/CityGameBuilding.h"
#include "modes/city/objects/CityObjectRegistry.h"
#include "world/planet/PlanetModel.h"
#include "world/scene/SceneObject.h"
#include "world/scene/SolidShapes.h"

using namespace Ru::Math;

namespace {
// The roads' own shapes, scaled for roads only (the shared pyramid serves trees).
cSceneShapePyramid& PipShape() {
  static auto* shape = new cSceneShapePyramid;
  return *shape;
}
cSceneShapeCube& MarkerShape() {
  static auto* shape = new cSceneShapeCube;
  return *shape;
}

// The point a fraction t of the way along the great circle between two unit directions.
Vector3 SlerpDirections(const Vector3& a, const Vector3& b, float t) {
  const float cosine = std::clamp(Vector3Dot(a, b), -1.0f, 1.0f);
  const float angle = std::acos(cosine);
  const float sine = std::sin(angle);
  if (sine < 1e-6f) return Vector3Add(Vector3Scale(a, 1.0f - t), Vector3Scale(b, t));
  return Vector3Add(Vector3Scale(a, std::sin((1.0f - t) * angle) / sine), Vector3Scale(b, std::sin(t * angle) / sine));
}

cCityGameBuilding* BuildingOf(const cCityObjectHandle& end) { return dynamic_cast<cCityGameBuilding*>(end.object); }

void SetLink(cCityObjectHandle& link, cCityGameBuilding* building) {
  link.object = building;
  link.id = building ? building->GetId() : kNoCityId;
}
}  // namespace

cCityGameRoad::cCityGameRoad() {
  PipShape().SetScale(Vector3{2.0f, 0.5f, 4.0f});
  MarkerShape().SetScale(Vector3{2.0f, 2.0f, 2.0f});
}

cCityGameRoad::~cCityGameRoad() {
  for (int end = 0; end < 2; ++end) {
    HideMarker(end);
    delete mMarker[end];
  }
  for (sPip& pip : mPips) {
    if (pip.inScene) GetSceneManager().RemoveObject(pip.object);
    delete pip.object;
  }
}

void cCityGameRoad::EndUsersInteractions() {
  cCityGameWorldObject::EndUsersInteractions();
  for (sPip& pip : mPips)
    if (pip.inScene) GetSceneManager().RemoveObject(pip.object), pip.inScene = false;
  SetLink(mEnd[0], nullptr);
  SetLink(mEnd[1], nullptr);
  // The markers hold owner references on this road: they go here, or the road never would.
  AddRef();
  for (int end = 0; end < 2; ++end) {
    HideMarker(end);
    delete mMarker[end];
    mMarker[end] = nullptr;
  }
  Release();
}

void cCityGameRoad::ResolveLinks() {
  cCityGameWorldObject::ResolveLinks();
  for (cCityObjectHandle& end : mEnd) end.object = GetCityObjectRegistry().Find(end.id);
}

void cCityGameRoad::OnModeLeave() {
  for (sPip& pip : mPips)
    if (pip.inScene) GetSceneManager().RemoveObject(pip.object), pip.inScene = false;
}

float cCityGameRoad::GetCost() { return (float)GetCityGameTuning().roadCost; }

cIInteraction* cCityGameRoad::GetDefaultInteraction() { return GetCityBehavior<cCityGameBehaviorFollowRoad>(); }

void cCityGameRoad::Connect(cCityGameObject* owner, cCityGameBuilding* a, const Vector3& pointA, cCityGameBuilding* b,
                            const Vector3& pointB) {
  SetLink(mEnd[0], a);
  SetLink(mEnd[1], b);
  mPoint[0] = pointA;
  mPoint[1] = pointB;
  SetOwner(owner);
  for (cSceneObject*& marker : mMarker)
    if (!marker) marker = CreateEndMarker();
  if (a && b) Rebuild();
}

bool cCityGameRoad::HasEnd(cCityGameBuilding* building) const {
  return building && (BuildingOf(mEnd[0]) == building || BuildingOf(mEnd[1]) == building);
}

cCityGameBuilding* cCityGameRoad::GetOtherEnd(cCityGameBuilding* building) const {
  if (!building) return nullptr;
  if (BuildingOf(mEnd[0]) == building) return BuildingOf(mEnd[1]);
  if (BuildingOf(mEnd[1]) == building) return BuildingOf(mEnd[0]);
  return nullptr;
}

cICityGameCursor* cCityGameRoad::StartDrag(int /*x*/, int /*y*/, cSceneObject* picked) {
  cCityGameRoadCursor& roads = GetCityRoadCursor();
  if (picked && picked == mMarker[0])
    roads.BeginRelay(BuildingOf(mEnd[1]), mPoint[1], 0, this);
  else
    roads.BeginRelay(BuildingOf(mEnd[0]), mPoint[0], 1, this);
  return &roads;
}

void cCityGameRoad::SetEnd(int end, cCityGameBuilding* building) { SetLink(mEnd[end & 1], building); }

cCityGameBuilding* cCityGameRoad::GetEnd(int end) const { return BuildingOf(mEnd[end & 1]); }

void cCityGameRoad::GetEndFrame(cCityGameBuilding* building, const Vector3& local, Vector3& position, Vector3& tangent) {
  cSceneObject* anchor = building ? building->GetRoadAnchor() : nullptr;
  if (!anchor) {
    position = building ? building->GetPosition() : Vector3{};
    tangent = Vector3{};
    return;
  }
  const Vector3 v = QuatRotateVector(anchor->GetOrientation(), local);
  position = Vector3Add(anchor->GetPosition(), v);
  tangent = Vector3Scale(v, kAnchorTangentFactor);
}

void cCityGameRoad::Rebuild() {
  cCityGameBuilding* a = BuildingOf(mEnd[0]);
  cCityGameBuilding* b = BuildingOf(mEnd[1]);
  if (!a || !b) return;
  Vector3 pA, tA, pB, tB;
  GetEndFrame(a, mPoint[0], pA, tA);
  GetEndFrame(b, mPoint[1], pB, tB);
  BuildCurve(pA, tA, pB, tB);
}

void cCityGameRoad::ShowMarker(int end, const Vector3& at) {
  cSceneObject* marker = mMarker[end];
  cCityGameBuilding* building = BuildingOf(mEnd[end]);
  if (!marker || !building) return;
  marker->SetPosition(at);
  if (cSceneObject* anchor = building->GetRoadAnchor()) marker->SetOrientation(anchor->GetOrientation());
  if (!mMarkerShown[end]) GetSceneManager().AddObject(marker);
  mMarkerShown[end] = true;
}

void cCityGameRoad::HideMarker(int end) {
  if (mMarkerShown[end] && mMarker[end]) GetSceneManager().RemoveObject(mMarker[end]);
  mMarkerShown[end] = false;
}

void cCityGameRoad::BuildCurve(const Vector3& pA, const Vector3& tA, const Vector3& pB, const Vector3& tB) {
  const Vector3 ends[2] = {pA, pB};
  for (int end = 0; end < 2; ++end) {
    if (BuildingOf(mEnd[end]))
      ShowMarker(end, ends[end]);
    else
      HideMarker(end);
  }
  mPoints.clear();
  const float k = std::min(1.0f, Vector3Length(Vector3Sub(pA, pB)) / kTangentDistanceScale);
  SampleHermite(pA, Vector3Scale(tA, k), pB, Vector3Scale(tB, k), kCurvePoints, mPoints);

  // The tuning read cuts a spacing of 0 or less, so the count stays finite.
  const float spacing = GetCityGameTuning().roadPipDistance;
  const int needed = (int)(GetPathLength(mPoints) / spacing + (float)kSparePips);
  while ((int)mPips.size() <= needed) AddPip();

  // Pips at arc positions d/2, 3d/2, 5d/2 ... along the curve.
  size_t used = 0;
  float along = spacing * 0.5f;
  const cPlanetModel& planet = GetPlanetModel();
  for (size_t i = 0; i + 1 < mPoints.size() && used < mPips.size();) {
    const float segment = Vector3Length(Vector3Sub(mPoints[i], mPoints[i + 1]));
    if (along > segment) {
      along -= segment;
      ++i;
      continue;
    }
    const Vector3 u = SlerpDirections(mPoints[i], mPoints[i + 1], segment > 0.0f ? along / segment : 0.0f);
    sPip& pip = mPips[used++];
    pip.object->SetPosition(Vector3Scale(u, planet.GetSurfaceRadius(u)));
    Quaternion facing;
    cPlanetModel::MakeSurfaceOrientation(facing, u, Vector3Scale(mPoints[i + 1], -1.0f));
    pip.object->SetOrientation(facing);
    if (!pip.inScene) GetSceneManager().AddObject(pip.object), pip.inScene = true;
    along += spacing;
  }
  for (size_t p = used; p < mPips.size(); ++p)
    if (mPips[p].inScene) GetSceneManager().RemoveObject(mPips[p].object), mPips[p].inScene = false;
}

void cCityGameRoad::SampleHermite(const Vector3& p0, const Vector3& m0, const Vector3& p1, const Vector3& m1, int n,
                                  std::vector<Vector3>& out) {
  for (int i = 0; i < n; ++i) {
    const float t = n > 1 ? (float)i / (float)(n - 1) : 0.0f;
    const float t2 = t * t, t3 = t2 * t;
    // The end tangent points out of end B, so the curve enters B against it.
    Vector3 c = Vector3Scale(p0, 2.0f * t3 - 3.0f * t2 + 1.0f);
    c = Vector3Add(c, Vector3Scale(m0, t3 - 2.0f * t2 + t));
    c = Vector3Add(c, Vector3Scale(p1, -2.0f * t3 + 3.0f * t2));
    c = Vector3Add(c, Vector3Scale(m1, t2 - t3));
    Vector3 unit{0.0f, 1.0f, 0.0f};
    Vector3NormalizeSafe(c, unit);
    out.push_back(unit);
  }
}

float cCityGameRoad::GetPathLength(const std::vector<Vector3>& points) {
  float length = 0.0f;
  for (size_t i = 0; i + 1 < points.size(); ++i) length += Vector3Length(Vector3Sub(points[i], points[i + 1]));
  return length;
}

void cCityGameRoad::DrawPath(std::vector<Vector3> points) {
  const cPlanetModel& planet = GetPlanetModel();
  glColor3f(1.0f, 1.0f, 1.0f);
  glBegin(GL_QUAD_STRIP);
  for (const Vector3& u : points) {
    const float r = planet.GetSurfaceRadius(u);
    glVertex3f(u.x * r, u.y * r, u.z * r);
    glVertex3f(u.x * (r + kRibbonHeight), u.y * (r + kRibbonHeight), u.z * (r + kRibbonHeight));
  }
  glEnd();
}

void cCityGameRoad::Update(uint32_t /*ms*/) {
  if (IsCursorObject()) return;  // the road cursor is laying it
  // A removed building leaves the registry: the road looks its ends up again
  // rather than trust pointers to buildings that may be gone.
  for (cCityObjectHandle& end : mEnd)
    if (end.object && GetCityObjectRegistry().Find(end.id) != end.object) SetLink(end, nullptr);
  if (BuildingOf(mEnd[0]) && BuildingOf(mEnd[1]))
    Rebuild();
  else
    GetCityObjectRegistry().QueueRemoval(this);
}

cSceneObject* cCityGameRoad::CreateEndMarker() {
  auto* marker = new cSceneObject(this, &MarkerShape());
  marker->SetColour(Vector3{0.2f, 0.2f, 0.2f});
  return marker;
}

cSceneObject* cCityGameRoad::AddPip() {
  auto* pip = new cSceneObject(nullptr, &PipShape());
  pip->SetColour(Vector3{0.7f, 0.7f, 0.7f});
  mPips.push_back(sPip{pip, false});
  return pip;
}

int cCityGameRoad::GetPipsInScene() const {
  return (int)std::count_if(mPips.begin(), mPips.end(), [](const sPip& p) { return p.inScene; });
}
