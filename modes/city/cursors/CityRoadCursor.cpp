#include "modes/city/cursors/CityRoadCursor.h"

#include <GL/freeglut.h>

#include <cstdio>

#include "glf/Overlay2D.h"
#include "math/Math.h"
#include "modes/city/cursors/CityInputView.h"
#include "modes/city/data/CityTuning.h"
#include "modes/city/economy/CityGameBuilding.h"
#include "modes/city/economy/CityGameRoad.h"
#include "modes/city/objects/CityCreation.h"
#include "modes/city/objects/CityGameCity.h"
#include "world/planet/PlanetModel.h"
#include "world/scene/SceneObject.h"

using namespace Ru::Math;

namespace {
const Vector3 kZero{0.0f, 0.0f, 0.0f};

// The city that pays for the road: the anchor's owner, or the hall itself.
cCityGameCity* PayingCity(cCityGameObject* owner, cCityGameBuilding* anchor) {
  if (auto* city = dynamic_cast<cCityGameCity*>(owner)) return city;
  return dynamic_cast<cCityGameCity*>(anchor);
}
}  // namespace

bool cCityGameRoadCursor::Accept(cSceneObject* object) {
  return object && dynamic_cast<cCityGameBuilding*>(object->GetOwner()) != nullptr;
}

bool cCityGameRoadCursor::IsCursorObject(cCityGameWorldObject* object) {
  return object && object == static_cast<cCityGameWorldObject*>(mRoad.Get());
}

cCityGameBuilding* cCityGameRoadCursor::GetRoadTarget(const cScenePickResult& pick) {
  auto* building = pick.object ? dynamic_cast<cCityGameBuilding*>(pick.object->GetOwner()) : nullptr;
  return building && building->IsRoadAnchor(pick.object) ? building : nullptr;
}

Vector3 cCityGameRoadCursor::ClampToAnchor(cSceneObject* anchor, const Vector3& point) {
  if (!anchor) return kZero;
  Vector3 v = QuatRotateVector(QuatInverse(anchor->GetOrientation()), Vector3Sub(point, anchor->GetPosition()));
  v.y = 0.0f;
  const float radius = anchor->GetScale().z;
  const float length = Vector3Length(v);
  if (length > radius && length > 0.0f) v = Vector3Scale(v, radius / length);
  return v;
}

void cCityGameRoadCursor::SetAnchor(cCityGameBuilding* building, int freeEnd) {
  mFreeEnd = freeEnd;
  mAnchor = building;
  mOwner = building ? building->GetOwner() : nullptr;
  if (!mRoad) return;
  if (freeEnd == 1)
    mRoad->Connect(mOwner, building, kZero, nullptr, kZero);
  else
    mRoad->Connect(mOwner, nullptr, kZero, building, kZero);
}

void cCityGameRoadCursor::BeginNewRoad(cCityGameBuilding* building, const cScenePickResult& pick, int freeEnd) {
  mRoad = CreateRegisteredCityObject<cCityGameRoad>();
  mAnchorPoint = ClampToAnchor(building ? building->GetRoadAnchor() : nullptr, pick.point);
  SetAnchor(building, freeEnd);
  mRelaying = false;
}

void cCityGameRoadCursor::BeginRelay(cCityGameBuilding* building, const Vector3& anchorPoint, int freeEnd,
                                     cCityGameRoad* road) {
  mRoad = road;
  SetAnchor(building, freeEnd);
  mAnchorPoint = anchorPoint;
  mRelaying = true;
}

void cCityGameRoadCursor::Snap(cCityGameBuilding* target) {
  if (target == mSnapped.Get()) return;
  Unsnap();
  mSnapped = target;
  // The target sinks into the ground as the highlight.
  if (cSceneObject* body = target->GetSceneObject()) {
    const Vector3 at = target->GetPosition();
    Vector3 up{0.0f, 1.0f, 0.0f};
    Vector3NormalizeSafe(at, up);
    body->SetPosition(Vector3Scale(up, GetPlanetModel().GetSurfaceRadius(at) - 0.2f * body->GetScale().x));
  }
  // Linked while snapped, the free end shows its marker there.
  if (mRoad) mRoad->SetEnd(mFreeEnd == 1 ? 1 : 0, target);
}

void cCityGameRoadCursor::Unsnap() {
  if (!mSnapped) return;
  mSnapped->SetPosition(mSnapped->GetPosition(), kZero);  // its scene objects go back
  mSnapped.Reset();
  if (mRoad) mRoad->SetEnd(mFreeEnd == 1 ? 1 : 0, nullptr);
}

int cCityGameRoadCursor::Update(unsigned int /*ms*/, int x, int y) {
  if (!mRoad || !mAnchor) return kStay;
  cScenePickResult pick;
  GetCityInputView().Pick(pick, x, y, this);
  cCityGameBuilding* target = GetRoadTarget(pick);
  Vector3 freePosition, freeTangent;
  if (target && target != mAnchor.Get()) {
    cCityGameRoad::GetEndFrame(target, ClampToAnchor(target->GetRoadAnchor(), pick.point), freePosition, freeTangent);
    Snap(target);
  } else {
    Unsnap();
    if (Vector3Equal(pick.point, kZero)) return kStay;  // off the planet: the curve keeps its shape
    freePosition = pick.point;
    freeTangent = kZero;
  }
  Vector3 fixedPosition, fixedTangent;
  cCityGameRoad::GetEndFrame(mAnchor.Get(), mAnchorPoint, fixedPosition, fixedTangent);
  if (mFreeEnd == 1)
    mRoad->BuildCurve(fixedPosition, fixedTangent, freePosition, freeTangent);
  else
    mRoad->BuildCurve(freePosition, freeTangent, fixedPosition, fixedTangent);
  return kStay;
}

int cCityGameRoadCursor::Draw(int x, int y) {
  if (mRelaying || !mRoad) return kStay;
  char cost[32];
  std::snprintf(cost, sizeof cost, "Cost: %5.2f", mRoad->GetCost());
  Begin2D();
  SetColour2D(1.0f, 1.0f, 1.0f);
  DrawText2D(x, y - 5, GLUT_BITMAP_HELVETICA_12, "NewRoad");
  DrawText2D(x, y + 7, GLUT_BITMAP_HELVETICA_12, cost);
  End2D();
  return kStay;
}

int cCityGameRoadCursor::OnLeftButtonUp(int x, int y) {
  if (!mRoad || !mAnchor) {
    ResetForTest();
    return kDone;
  }
  cScenePickResult pick;
  GetCityInputView().Pick(pick, x, y, this);
  cCityGameBuilding* target = GetRoadTarget(pick);
  cCityGameCity* city = PayingCity(mOwner, mAnchor.Get());
  bool connect = target && target != mAnchor.Get();
  if (connect && !mRelaying) {
    // A city with exactly the road's cost can build it.
    const float cost = mRoad->GetCost();
    connect = city && cost <= city->GetMoney();
    if (connect) city->AddMoney(-cost);
  }
  Unsnap();  // before connecting: letting go of the snapped target unlinks the free end
  if (connect) {
    const Vector3 local = ClampToAnchor(target->GetRoadAnchor(), pick.point);
    if (mFreeEnd == 1)
      mRoad->Connect(mOwner, mAnchor.Get(), mAnchorPoint, target, local);
    else
      mRoad->Connect(mOwner, target, local, mAnchor.Get(), mAnchorPoint);
  } else {
    if (mRelaying && city) city->AddMoney(mRoad->GetCost() * GetCityGameTuning().roadRefundFraction);
    DeleteRoad();
  }
  mRoad.Reset();
  mAnchor.Reset();
  return kDone;
}

void cCityGameRoadCursor::DeleteRoad() {
  if (mRoad) GetCityObjectRegistry().RemoveNow(mRoad.Get());
  mRoad.Reset();
}

void cCityGameRoadCursor::LetGo() {
  if (mRoad && !mRoad->IsDead()) {
    cCityGameCity* city = PayingCity(mOwner, mAnchor.Get());
    if (mRelaying && city) city->AddMoney(mRoad->GetCost() * GetCityGameTuning().roadRefundFraction);
    DeleteRoad();
  }
  ResetForTest();
}

void cCityGameRoadCursor::ResetForTest() {
  Unsnap();
  mRoad.Reset();
  mAnchor.Reset();
  mOwner = nullptr;
  mRelaying = false;
}

cCityGameRoadCursor& GetCityRoadCursor() {
  static auto* cursor = new cCityGameRoadCursor;  // built on first use
  return *cursor;
}
