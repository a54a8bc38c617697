#include "modes/civ/CivRoad.h"


#include "app/AppGlobals.h"
#include "modes/civ/CivAccess.h"
#include "modes/civ/CivCity.h"
#include "modes/civ/CivInfluence.h"
#include "modes/civ/CivPlayers.h"
#include "modes/civ/CivShapes.h"
#include "world/scene/SceneManager.h"
#include "world/scene/SceneObject.h"
#include "world/scene/SolidShapes.h"

using namespace Ru::Math;

namespace {

// Trade routes share one sphere, built on first use and kept until exit.
cSceneShapeSphere* TradeRouteShape() {
  static cSceneShapeSphere* shape = [] {
    auto* sphere = new cSceneShapeSphere();
    sphere->SetDrawnInOneBatch(true);  // hundreds of them a frame
    CivCullBehindPlanet(sphere);
    return sphere;
  }();
  return shape;
}
}  // namespace

cCivModeRoad::cCivModeRoad() : mShape(new cSceneShapeCube()) {
  mShape->SetScale(Vector3{5.0f, 5.0f, 5.0f});
  CivCullBehindPlanet(mShape);
  CivBatchCubes(mShape);
  TradeRouteShape()->SetScale(Vector3{5.0f, 5.0f, 5.0f});
}

// A plain road through a city its owner does not hold projects nothing.
bool cCivModeRoad::ProjectsInfluence() const {
  return mKind == kCivTradeRoute || (mStart && mOwner == mStart->GetOwner());
}

cCivModeRoad::~cCivModeRoad() {
  cCivInfluence* influence = GetCivInfluence();
  for (cSceneObject* segment : mSegments) {
    if (mInfluenceRegistered && influence) influence->RemoveSource(segment->GetPosition());
    GetSceneManager().RemoveObject(segment);
    delete segment;
  }
  CivForgetShape(mShape);
  delete mShape;
}

void cCivModeRoad::BuildSegments(const std::vector<Vector3>& path) {
  if (mKind != kCivPlainRoad && mKind != kCivTradeRoute) return;
  cCivInfluence* influence = GetCivInfluence();
  mInfluenceRegistered = ProjectsInfluence() && influence;
  Vector3 colour = CivPlayerColour(mStart ? mStart->GetOwner() : -1);
  for (const Vector3& p : path) {
    cISceneShape* shape = mKind == kCivPlainRoad ? static_cast<cISceneShape*>(mShape) : TradeRouteShape();
    auto* segment = new cSceneObject(nullptr, shape);
    segment->SetColour(colour);
    segment->SetPosition(p);
    Quaternion upright;
    cPlanetModel::AlignOrientationToSurface(upright, p, Quaternion{});
    segment->SetOrientation(upright);
    GetSceneManager().AddObject(segment);
    mSegments.push_back(segment);
    if (mInfluenceRegistered) influence->AddSource(mOwner, p, kInfluenceStrength, kInfluenceRadius);
  }
}

const Vector3& cCivModeRoad::GetSegmentPosition(size_t i) const { return mSegments[i]->GetPosition(); }

void cCivModeRoad::ShowSegments(bool shown) {
  for (cSceneObject* segment : mSegments) {
    if (shown) GetSceneManager().AddObject(segment);
    else GetSceneManager().RemoveObject(segment);
  }
}

void cCivModeRoad::SplitPath(const std::list<Vector3>& path, int kind, std::vector<Vector3>& outbound,
                             std::vector<Vector3>& back) {
  outbound.clear();
  back.clear();
  std::vector<Vector3> kept;
  int n = 0;
  for (const Vector3& p : path)
    if (++n % 2 == 0) kept.push_back(p);  // the 2nd, 4th, ... points
  if (kind == kCivPlainRoad) {
    outbound = back = kept;
    return;
  }
  for (size_t i = 0; i < kept.size(); ++i) (((i + 1) % 3 == 0) ? back : outbound).push_back(kept[i]);
}
