#include "modes/civ/CivVehicle.h"

#include <algorithm>

#include "app/AppGlobals.h"
#include "glf/Overlay2D.h"
#include "math/Math.h"
#include "modes/civ/CivAccess.h"
#include "modes/civ/CivAgent.h"
#include "modes/civ/CivBuilding.h"
#include "modes/civ/CivBullets.h"
#include "modes/civ/CivCity.h"
#include "modes/civ/CivDebugFlags.h"
#include "modes/civ/CivPlayers.h"
#include "modes/civ/CivRecords.h"
#include "modes/civ/CivShapes.h"
#include "modes/civ/CivSounds.h"
#include "modes/civ/CivTuning.h"
#include "modes/civ/CivTurret.h"
#include "modes/civ/CivWorld.h"
#include "platform/Sys.h"
#include "world/scene/SceneManager.h"
#include "world/scene/SceneObject.h"
#include "world/scene/SolidShapes.h"

using namespace Ru::Math;

namespace {
uint32_t gCivVehicleCounter = 0;
// One-shot, program-wide: the first attacker whose path is down to 20 (then
// 10) points lets its city choose its target afresh; any new vehicle re-arms both.
bool gRetargetAt20 = false;
bool gRetargetAt10 = false;

}  // namespace

cCivModeVehicle::cCivModeVehicle()
    : mModel(new cSceneShapePyramid()), mLastRepathTime(Sys_Milliseconds()) {
  mModel->SetScale(Vector3{kModelScale, kModelScale, kModelScale});
  CivCullBehindPlanet(mModel);
  CivBatchVehicles(mModel);
  mSceneObject = new cSceneObject(nullptr, mModel);
  mAgent = new cCivVehicleAgent(this);
}

cCivModeVehicle::~cCivModeVehicle() {
  delete mAgent;
  DropMarkers();
  GetSceneManager().RemoveObject(mSceneObject);
  delete mSceneObject;
  CivForgetShape(mModel);
  delete mModel;
}

const Vector3& cCivModeVehicle::GetPosition() const { return mSceneObject->GetPosition(); }
void cCivModeVehicle::SetPosition(const Vector3& position) { mSceneObject->SetPosition(position); }

const cPlanetModel::sSurfacePoint& cCivModeVehicle::GetSurfacePoint() const {
  const Vector3& at = GetPosition();
  const cPlanetModel& planet = GetPlanetModel();
  if (!mSurfacePointKept || !Vector3Equal(at, mSurfacePointAt) || mSurfacePointHeights != planet.GetHeightsVersion()) {
    mSurfacePoint = planet.GetSurfacePoint(at);
    mSurfacePointAt = at;
    mSurfacePointHeights = planet.GetHeightsVersion();
    mSurfacePointKept = true;
  }
  return mSurfacePoint;
}
const Vector3* cCivModeVehicle::GetVictimPosition() { return &mSceneObject->GetPosition(); }

bool cCivModeVehicle::IsCrowded(const Vector3& at) const {
  cCivWorld* world = GetCivWorld();
  if (!world) return false;
  const cPlanetModel::sSurfacePoint spot = GetPlanetModel().GetSurfacePoint(at);
  for (cCivModeVehicle* other : world->GetVehicles())
    if (other != this && !other->HasWaypoint() &&
        cPlanetModel::IsSurfaceDistanceBelow(other->GetSurfacePoint(), spot, kCrowdedDistance))
      return true;
  return false;
}

void cCivModeVehicle::Init(cCivModeDecoratedCity* home, int kind) {
  mId = ++gCivVehicleCounter;
  gRetargetAt20 = gRetargetAt10 = false;
  mKind = kind;
  mHome = home;
  if (!home) return;
  mOwner = home->GetOwner();
  mSceneObject->SetColour(CivPlayerColour(mOwner));
  // The first patrol point no other vehicle stands near; the last when all are taken.
  std::vector<Vector3> patrol;
  home->GetPatrolPath(patrol);
  Vector3 start = home->GetPosition();
  cCivWorld* world = GetCivWorld();
  for (const Vector3& point : patrol) {
    start = point;
    const cPlanetModel::sSurfacePoint spot = GetPlanetModel().GetSurfacePoint(point);
    bool near = false;
    if (world)
      for (cCivModeVehicle* other : world->GetVehicles())
        near = near || (other != this && cPlanetModel::IsSurfaceDistanceBelow(other->GetSurfacePoint(), spot, 5.0f));
    if (!near) break;
  }
  mSceneObject->SetPosition(start);
  SetDestination(start);
  Quaternion orientation;
  cPlanetModel::AlignOrientationToSurface(orientation, start,
                                          home->GetRecord() ? home->GetRecord()->GetOrientation() : QuatIdentity());
  mSceneObject->SetOrientation(orientation);
  GetSceneManager().AddObject(mSceneObject);
  mIsNPC = home->IsNPC();
}

void cCivModeVehicle::DropMarkers() {
  for (cSceneObject* marker : mMarkers) {
    GetSceneManager().RemoveObject(marker);
    delete marker;
  }
  mMarkers.clear();
}

void cCivModeVehicle::SetDestination(const Vector3& goal) { FollowPath(PlanPath(goal, 10000)); }

std::list<Vector3> cCivModeVehicle::PlanPath(const Vector3& goal, int maxRounds) const {
  cCivLandVehicleOtc land;
  cCivAmphibiousVehicleOtc amphibious;
  cCivAirVehicleOtc air;
  cPlanetModel::cITravelCost* cost = mKind == kCivAirVehicle ? static_cast<cPlanetModel::cITravelCost*>(&air)
                                     : mKind == kCivAmphibiousVehicle ? static_cast<cPlanetModel::cITravelCost*>(&amphibious)
                                                                      : &land;
  return SearchPath(GetPosition(), goal, cost, maxRounds);
}

// A whole search now, its rounds spent from the world's share for the tick.
std::list<Vector3> cCivModeVehicle::SearchPath(const Vector3& from, const Vector3& goal, cPlanetModel::cITravelCost* cost,
                                               int maxRounds) {
  cPlanetModel::cPathSearch search(from, goal, cost, maxRounds);
  CivCountPathSearch();
  search.Advance(GetPlanetModel(), maxRounds);
  if (cCivWorld* world = GetCivWorld()) world->SpendSearchRounds(search.GetRounds());
  return search.Result();
}

bool cCivModeVehicle::TakeReplanTurn() const {
  cCivWorld* world = GetCivWorld();
  return !world || world->TakeReplanTurn();
}

void cCivModeVehicle::FollowPath(std::list<Vector3> path) {
  DropMarkers();
  mReplannedAt = 0;
  mPath = std::move(path);
  if (gCivShowVehiclePaths) {
    for (const Vector3& point : mPath) {
      auto* marker = new cSceneObject(nullptr, CivMarkerCube());
      marker->SetColour(Vector3{1.0f, 1.0f, 1.0f});
      marker->SetPosition(point);
      Quaternion upright;
      cPlanetModel::AlignOrientationToSurface(upright, point, QuatIdentity());
      marker->SetOrientation(upright);
      GetSceneManager().AddObject(marker);
      mMarkers.push_back(marker);
    }
    if (!mMarkers.empty()) {
      GetSceneManager().RemoveObject(mMarkers.front());
      delete mMarkers.front();
      mMarkers.erase(mMarkers.begin());
    }
  }
  mWaypoint = Vector3{0, 0, 0};
  if (!mPath.empty()) {
    mWaypoint = mPath.front();
    mPath.pop_front();
  }
}

bool cCivModeVehicle::HasWaypoint() const { return Vector3Length(mWaypoint) > 1.0f; }

void cCivModeVehicle::FaceTowards(const Vector3& point) {
  const Vector3& position = GetPosition();
  if (Vector3Equal(position, point)) return;
  Quaternion q;
  cPlanetModel::MakeSurfaceOrientation(q, position, Vector3Sub(position, point));
  mSceneObject->SetOrientation(q);
}

void cCivModeVehicle::Advance(uint32_t dtMs, float most) {
  const cCivTuningVehicles& tuning = *cCivTuning::GetVehicles();
  float speed = tuning.LandVehicleSpeed;
  if (mKind == kCivAmphibiousVehicle)
    speed = GetPlanetModel().IsUnderWater(GetPosition()) ? tuning.AmphibiousVehicleWaterSpeed : tuning.AmphibiousVehicleLandSpeed;
  else if (mKind == kCivAirVehicle)
    speed = tuning.AirVehicleSpeed;
  // However fast the tuning or long the frame, a step ends at the waypoint.
  const float length = std::min((float)dtMs * 0.001f * speed, most);
  Vector3 step = QuatRotateVector(mSceneObject->GetOrientation(), Vector3{0.0f, 0.0f, -length});
  Vector3 moved = Vector3Add(GetPosition(), step);
  Vector3 ground;
  GetPlanetModel().ProjectToSurface(ground, moved);
  mSceneObject->SetPosition(ground);
}

void cCivModeVehicle::MoveAlongPath(uint32_t dtMs) {
  float distance = HasWaypoint() ? Vector3Length(Vector3Sub(mWaypoint, GetPosition())) : 0.0f;
  if (distance > 1.0f) {
    FaceTowards(mWaypoint);
    Advance(dtMs, distance);
    return;
  }
  if (mPath.empty()) {
    mWaypoint = Vector3{0, 0, 0};
    DropMarkers();
    // A vehicle that found no way to a free spot stands; searching again on
    // every tick (each failed search runs all its rounds) stalled the world
    // once many stood crowded on ground they cannot leave.
    const uint32_t now = Sys_Milliseconds();
    if (mSpotSearchFailed && now - mSpotSearchFailedAt <= kRepathPeriodMs) return;
    if (!IsCrowded(GetPosition()) || !TakeReplanTurn()) return;
    // Two stopped within 10 of each other: the later one moves on to a free spot.
    Vector3 spot = GetPosition();
    for (int draw = 0; draw < 100; ++draw) {
      GetPlanetModel().GetRandomSurfacePointNear(spot, GetPosition(), 10.0f, 20.0f);
      if (!IsCrowded(spot)) break;
    }
    FollowPath(PlanPath(spot, cCivWorld::kReplanRounds));
    mSpotSearchFailed = !HasWaypoint();
    mSpotSearchFailedAt = now;
    return;
  }
  mWaypoint = mPath.front();
  mPath.pop_front();
  if (!mMarkers.empty()) {
    GetSceneManager().RemoveObject(mMarkers.front());
    delete mMarkers.front();
    mMarkers.erase(mMarkers.begin());
  }
}

// The origin is no pick (the cursor has not met the ground): turning toward
// the planet's centre would tip the model off the surface.
void cCivModeVehicle::TurnTowards(const Vector3& point) {
  const Vector3& position = GetPosition();
  if (Vector3Length(point) <= 1.0f || Vector3Equal(position, point)) return;
  Quaternion q;
  cPlanetModel::MakeSurfaceOrientation(q, position, Vector3Sub(position, point));
  mSceneObject->SetOrientation(QuatSlerp(mSceneObject->GetOrientation(), q, 0.035f));
}

void cCivModeVehicle::DropPathFront(size_t count) {
  for (size_t i = 0; i < count && !mPath.empty(); ++i) {
    mPath.pop_front();
    if (!mMarkers.empty()) {
      GetSceneManager().RemoveObject(mMarkers.front());
      delete mMarkers.front();
      mMarkers.erase(mMarkers.begin());
    }
  }
}

// A long approach is planned afresh at every tenth remaining point above 20,
// once per count (planning on every tick at that count would only repeat the
// search), keeping the count it had. Near the city, at 20 and 10 points, the
// first attacker lets the city choose its target again.
void cCivModeVehicle::ApproachCity() {
  size_t n = mPath.size();
  if (n > 20 && n % 10 == 0 && n != mReplannedAt && TakeReplanTurn()) {
    // A re-plan that finds nothing keeps the path the vehicle has.
    std::list<Vector3> fresh = PlanPath(mPath.back(), cCivWorld::kReplanRounds);
    if (!fresh.empty()) {
      FollowPath(std::move(fresh));
      if (mPath.size() > n) DropPathFront(mPath.size() % 10);
    }
    mReplannedAt = n;
  }
  if (mPath.size() == 20 && !gRetargetAt20) {
    gRetargetAt20 = true;
    AimAtCity();
  } else if (mPath.size() == 10 && !gRetargetAt10) {
    gRetargetAt10 = true;
    AimAtCity();
  }
}

bool cCivModeVehicle::InRange(cCivModeVehicle* target) const {
  return GetPlanetModel().GetSurfaceDistance(target->GetPosition(), GetPosition()) < kFiringRange;
}

void cCivModeVehicle::Update(uint32_t dtMs) {
  // At speed 0 the world stands still: a vehicle neither moves, plans, fires,
  // shrinks away nor heeds its agent, though their periods on the real clock
  // pass (the agent's errand against a city would move relationships).
  cCivWorld* world = GetCivWorld();
  if (world && world->IsStandingStill()) return;
  const uint32_t now = Sys_Milliseconds();
  switch (mState) {
    case kCivVehicleDying:
      if (mScale - 0.1f < 0.0f) {
        mState = kCivVehicleDead;
      } else {
        mScale -= 0.1f;
        mModel->SetScale(Vector3{mScale, mScale, mScale});
      }
      return;
    case kCivVehicleDead:
      return;
    case kCivVehicleGuard: {
      if (mSelected && !HasWaypoint()) TurnTowards(GetCivPickPoint());
      MoveAlongPath(dtMs);
      if ((mIsNPC || !HasWaypoint()) && world) {
        if (cCivModeVehicle* found = world->FindVehicleTarget(this)) {
          mPreviousState = mState;
          mState = kCivVehicleCombat;
          mPreviousTargetCity = mTargetCity;
          mTargetCity = nullptr;
          mTargetVehicle = found;
        }
      }
      break;
    }
    case kCivVehicleCombat:
      if (mTargetVehicle) {
        if (!InRange(mTargetVehicle)) {
          // Pursuit plans with the land rule, whatever the kind.
          if (now - mLastRepathTime > kRepathPeriodMs && TakeReplanTurn()) {
            mLastRepathTime = now;
            cCivLandVehicleOtc land;
            mPath = SearchPath(GetPosition(), mTargetVehicle->GetPosition(), &land, cCivWorld::kReplanRounds);
          }
          MoveAlongPath(dtMs);
        } else if (mTargetVehicle->GetState() == kCivVehicleDying) {
          mTargetVehicle = nullptr;
          ResumePreviousState();
        } else if (now - mLastFireTime > mFirePeriod) {
          Fire();
        }
      } else if (mTargetCity) {
        if (mTargetTurret && mTargetTurret->GetState() == kCivTurretDead) {
          mTargetTurret = nullptr;
          AimWhenTurn();
          return;
        }
        // The path it has leads elsewhere: it waits for its search.
        if (mAimSearch) {
          if (TakeReplanTurn()) ContinueAim();
          return;
        }
        if (mAimPending) {
          if (TakeReplanTurn()) AimAtCity();
          return;
        }
        if (mTargetCity->GetOwner() == mOwner) {
          HoldPosition();
          return;
        }
        if (mMission == kCivMissionEmbassy && mTargetCity->FindEmbassy(mOwner)) {
          HoldPosition();
          return;
        }
        if (!HasWaypoint()) {
          if (now - mLastFireTime > mFirePeriod) Fire();
        } else {
          MoveAlongPath(dtMs);
          ApproachCity();
        }
      }
      break;
    default:
      break;
  }
  if (mIsNPC && gCivUseNPCAI && mState != kCivVehicleDying && mState != kCivVehicleDead) mAgent->Update(dtMs);
}

void cCivModeVehicle::Fire() {
  cCivWorld* world = GetCivWorld();
  mLastFireTime = Sys_Milliseconds();
  mFirePeriod = DrawCivFirePeriodMs();
  if (!world) return;
  cCivBulletList* bullets = world->GetBullets();
  if (mTargetVehicle) {
    bullets->Spawn(GetPosition(), mTargetVehicle, mHome, kCivPillageBullet, nullptr);
  } else if (mTargetCity && mMission != kCivMissionPillage) {
    bullets->Spawn(GetPosition(), mTargetCity, mHome, kCivDiplomaticBullet, this);
    if ((float)Sys_Random() / 32767.0f < cCivTuning::GetVehicles()->ChanceDieAfterShootingDiplomaticBullet)
      SetState(kCivVehicleDying, Vector3{0, 0, 0}, nullptr, nullptr, kCivMissionPillage);
  } else if (mTargetTurret) {
    bullets->Spawn(GetPosition(), mTargetTurret, mHome, kCivPillageBullet, nullptr);
  } else if (mTargetCity) {
    bullets->Spawn(GetPosition(), mTargetCity, mHome, kCivPillageBullet, nullptr);
  }
}

void cCivModeVehicle::HoldPosition() {
  if (mState == kCivVehicleDying || mState == kCivVehicleDead) return;
  DropAimSearch();
  mPreviousState = mState;
  mPreviousTargetCity = mTargetCity;
  mTargetVehicle = nullptr;
  mTargetCity = nullptr;
  mTargetTurret = nullptr;
  mGuardPoint = GetPosition();
  mState = kCivVehicleGuard;
  SetDestination(mGuardPoint);
}

void cCivModeVehicle::AimAtCity() {
  mAimPending = false;
  if (!mTargetCity) return;
  cICivModeVictim* victim = nullptr;
  Vector3 aim;
  mTargetCity->GetAttackTarget(GetPosition(), aim, victim);
  mTargetTurret = victim ? static_cast<cCivModeTurret*>(victim) : nullptr;
  cCivWorld* world = GetCivWorld();
  if (!world || !world->IsInTick()) {
    DropAimSearch();
    SetDestination(aim);
    return;
  }
  if (mKind == kCivAirVehicle) mAimCost = std::make_unique<cCivAirVehicleOtc>();
  else if (mKind == kCivAmphibiousVehicle) mAimCost = std::make_unique<cCivAmphibiousVehicleOtc>();
  else mAimCost = std::make_unique<cCivLandVehicleOtc>();
  mAimSearch = std::make_unique<cPlanetModel::cPathSearch>(GetPosition(), aim, mAimCost.get());
  CivCountPathSearch();
  ContinueAim();
}

void cCivModeVehicle::ContinueAim() {
  cCivWorld* world = GetCivWorld();
  const int before = mAimSearch->GetRounds();
  const int rounds = world ? std::min(world->GetSearchRoundsLeft(), (int)cCivWorld::kReplanRounds) : 10000;
  const bool finished = mAimSearch->Advance(GetPlanetModel(), std::max(rounds, 1));
  if (world) world->SpendSearchRounds(mAimSearch->GetRounds() - before);
  if (!finished) return;
  std::list<Vector3> path = mAimSearch->Result();
  DropAimSearch();
  FollowPath(std::move(path));
}

void cCivModeVehicle::DropAimSearch() {
  mAimSearch.reset();
  mAimCost.reset();
}

void cCivModeVehicle::AimWhenTurn() {
  if (TakeReplanTurn()) AimAtCity();
  else mAimPending = true;
}

void cCivModeVehicle::SetState(int state, const Vector3& point, cCivModeVehicle* vehicle, cCivModeDecoratedCity* city,
                               int mission) {
  if (mState == kCivVehicleDying || mState == kCivVehicleDead) return;
  mAimPending = false;
  DropAimSearch();
  mPreviousState = mState;
  mState = state;
  mPreviousTargetCity = mTargetCity;
  switch (state) {
    case kCivVehicleDying:
    case kCivVehicleDead:
      mTargetVehicle = nullptr;
      mTargetCity = nullptr;
      mTargetTurret = nullptr;
      mWaypoint = Vector3{0, 0, 0};
      if (state == kCivVehicleDying && mOwner == GetCivHumanPlayer() &&
          !(point.x == -1.0f && point.y == -1.0f && point.z == -1.0f))
        PlayCivSound(eCivSound::VehicleLost);
      break;
    case kCivVehicleCombat:
      if (vehicle) {
        mTargetCity = nullptr;
        mTargetVehicle = vehicle;
      } else if (city) {
        if (mOwner == GetCivHumanPlayer()) mTargetVehicle = nullptr;
        mMission = mission;
        if (cCivPlayers* players = GetCivPlayers()) {
          if (mission == kCivMissionPillage) players->GetRelationships()->PillageAttack(mOwner, city->GetOwner());
          else players->GetRelationships()->AttemptEmbassy(mOwner, city->GetOwner());
        }
        mTargetCity = city;
        AimWhenTurn();
      }
      break;
    case kCivVehicleGuard:
      mGuardPoint = point;
      SetDestination(mGuardPoint);
      break;
    default:
      break;
  }
}

void cCivModeVehicle::ResumePreviousState() {
  DropAimSearch();
  mState = mPreviousState;
  mPreviousState = kCivVehicleGuard;
  if (mState == kCivVehicleCombat) {
    if (mTargetCity) AimWhenTurn();
    else if (!mTargetVehicle) HoldPosition();
  } else if (mState == kCivVehicleGuard) {
    mTargetVehicle = nullptr;
    mTargetCity = nullptr;
    mTargetTurret = nullptr;
    SetDestination(mGuardPoint);
  }
}

void cCivModeVehicle::ForgetObject(Ko::cIGameData* object) {
  if (!object || object->GetTypeId() != kTypeId || object != static_cast<Ko::cIGameData*>(mTargetVehicle)) return;
  mTargetVehicle = nullptr;
  ResumePreviousState();
}

// Every attacker of a city re-aims when one of its turrets falls: their
// searches take turns with the world's other deferrable ones.
void cCivModeVehicle::OnTurretLost(cCivModeTurret* turret) {
  if (mTargetTurret == turret) mTargetTurret = nullptr;  // never keep a freed turret
  if (mState == kCivVehicleCombat && turret && mTargetCity == turret->GetCity() && !mTargetTurret) AimWhenTurn();
}

void cCivModeVehicle::OnHit(int attacker) {
  const cCivTuningVehicles& tuning = *cCivTuning::GetVehicles();
  int human = GetCivHumanPlayer();
  float chance = mOwner == human       ? tuning.ChanceNPCBulletHitsPlayerVehicle
                 : attacker == human   ? tuning.ChancePlayerBulletHitsNPCVehicle
                                       : tuning.ChanceNPCBulletHitsNPCVehicle;
  if (gCivBulletsAlwaysHit || (float)Sys_Random() < chance * 32767.0f)
    SetState(kCivVehicleDying, Vector3{0, 0, 0}, nullptr, nullptr, kCivMissionPillage);
}

// Either mark colours the vehicle by its own flag: the selection colours
// while set, the owner's when cleared (the last mark given decides).
void cCivModeVehicle::ShowSelection(bool on) {
  int entry = !on ? mOwner : (mIsNPC ? -3 : -2);
  mSceneObject->SetColour(CivPlayerColour(entry));
}

void cCivModeVehicle::SetSelected(bool on) {
  mSelected = on;
  ShowSelection(on);
}

void cCivModeVehicle::SetHighlighted(bool on) {
  mHighlighted = on;
  ShowSelection(on);
}

std::vector<std::string> cCivModeVehicle::GetDebugLines() const {
  static const char* const kKinds[] = {"Land Vehicle", "Amphibious Vehicle", "Air Vehicle"};
  static const char* const kStates[] = {"Vehicle Is In State Dying.", "Vehicle Is In State Dead.",
                                        "Vehicle Is In State Combat.", "Vehicle Is In State Guard."};
  std::vector<std::string> lines;
  if (mKind >= 0 && mKind < 3) lines.push_back(kKinds[mKind]);
  if (mState >= 0 && mState < 4) lines.push_back(kStates[mState]);
  cCivPlayers* players = GetCivPlayers();
  if (mState == kCivVehicleCombat && mTargetCity && players) {
    char value[32];
    snprintf(value, sizeof(value), "%g", players->GetRelationships()->Get(mOwner, mTargetCity->GetOwner()));
    lines.push_back(std::string("Relationship Between Me and Victim is ") + value);
  }
  return lines;
}

void cCivModeVehicle::DrawDebugText() {
  if (!mHighlighted || !gCivShowDebugText) return;
  std::vector<std::string> lines = GetDebugLines();
  int width = 0, height = 0;
  Begin2D();
  GetWindowSize2D(&width, &height);
  SetColour2D(1.0f, 1.0f, 1.0f);
  int y = height - 15 - 15 * ((int)lines.size() - 1);  // the last line ends 15 above the bottom
  for (const std::string& line : lines) {
    DrawText2D(width / 2, y, GLFFixedFont(), line.c_str());
    y += 15;
  }
  End2D();
}
