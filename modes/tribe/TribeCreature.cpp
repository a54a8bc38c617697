#include "modes/tribe/TribeCreature.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <string>

#include "world/planet/SavedValueRepair.h"
#include "math/Vector.h"
#include "modes/creature/CreatureCommon.h"
#include "modes/tribe/HuntInteractions.h"
#include "modes/tribe/MemberInteractions.h"
#include "modes/tribe/TribeStatics.h"
#include "sim/behavior/BehaviorController.h"
#include "sim/gamedata/MemoryStream.h"
#include "sim/tuning/SharedTuningData.h"
#include "sim/tuning/TribeTuningData.h"
#include "world/planet/PlanetModel.h"
#include "world/scene/HealthMeterShape.h"
#include "world/scene/PolyModelShape.h"
#include "world/scene/SceneManager.h"
#include "world/scene/SceneObject.h"

using Ru::Math::Quaternion;
using Ru::Math::Vector3;

namespace {

// Role -> model file; null where a role has no model of its own.
constexpr const char* kRoleModelFiles[cTribeCreature::kRoleCount] = {
    ".\\Data\\models\\TribalGame_NoRole.obj",     // 0
    ".\\Data\\models\\TribalGame_Hunter.obj",     // 1
    nullptr,                                      // 2
    ".\\Data\\models\\TribalGame_Breeder.obj",    // 3
    ".\\Data\\models\\TribalGame_Recruiter.obj",  // 4
    nullptr,                                      // 5
    ".\\Data\\models\\TribalGame_Rester.obj",     // 6
    ".\\Data\\models\\TribalGame_Healer.obj",     // 7
    ".\\Data\\models\\TribalGame_Eater.obj",      // 8
    ".\\Data\\models\\TribalGame_Hunter.obj",     // 9: the hunter's shape again
};

struct sCreatureClassData {
  tCandidateList candidates;
  std::array<cISceneShape*, cTribeCreature::kRoleCount> models{};
  bool built = false;
};

// Made on first use and never destroyed: shapes may still be listed by the
// scene when the program ends.
sCreatureClassData& ClassData() {
  static auto* data = new sCreatureClassData;
  return *data;
}

const Vector3 kOrigin{0.0f, 0.0f, 0.0f};

bool IsOrigin(const Vector3& v) { return v.x == 0.0f && v.y == 0.0f && v.z == 0.0f; }

}  // namespace

cTribeCreature::cTribeCreature() { EnsureClassData(); }

// The first creature of a run builds them, or the first caller that needs a
// role model before any creature exists (the object controller's first body).
void cTribeCreature::EnsureClassData() {
  sCreatureClassData& data = ClassData();
  if (data.built) return;
  data.built = true;
  BuildCandidates();
  LoadRoleModels();
}

cTribeCreature::~cTribeCreature() {
  DeleteMeter(mHealthMeter, mHealthMeterShape);
  DeleteMeter(mStatusMeter, mStatusMeterShape);
  mCommon.Reset();  // the record itself is the creature manager's
  mTribe = nullptr;
}

Ko::cIGameData* cTribeCreature::Create() {
  auto* creature = new cTribeCreature();
  GetBehaviorController().AddAgent(creature);
  return creature;
}

void* cTribeCreature::Cast(uint32_t interfaceId) {
  return interfaceId == kAgentInterfaceId ? static_cast<void*>(this) : nullptr;
}

tCandidateList* cTribeCreature::GetCandidates() {
  EnsureClassData();
  return &ClassData().candidates;
}

// Order matters: the chooser keeps the first of equal scores.
void cTribeCreature::BuildCandidates() {
  tCandidateList& list = ClassData().candidates;
  list.push_back(GetTribePrototype<cMemberIdles>());
  list.push_back(GetTribePrototype<cMemberRests>());
  list.push_back(GetTribePrototype<cMemberHeals>());
  list.push_back(GetTribePrototype<cMemberEats>());
  list.push_back(GetTribePrototype<cMemberHunts>());
}

// Authored Z-up facing -Y; turned once so that they stand up in the world.
void cTribeCreature::LoadRoleModels() {
  const float s = 0.5f * std::sqrt(2.0f);
  const Quaternion upright{0.0f, s, s, 0.0f};
  std::map<std::string, cISceneShape*> loaded;  // roles sharing a file share its shape
  for (uint32_t role = 0; role < kRoleCount; ++role) {
    const char* file = kRoleModelFiles[role];
    if (!file) continue;
    cISceneShape*& shape = loaded[file];
    if (!shape) {
      auto* model = new cSceneShapePolyModel(file, true);
      model->RotateVertices(upright);
      shape = model;
    }
    ClassData().models[role] = shape;
  }
}

cISceneShape* cTribeCreature::GetRoleModel(uint32_t role) {
  EnsureClassData();
  const auto& models = ClassData().models;
  if (role < kRoleCount && models[role]) return models[role];
  return models[0];  // roles 2, 5 and "never set" draw as having no role
}

const char* cTribeCreature::GetRoleModelFile(uint32_t role) {
  if (role < kRoleCount && kRoleModelFiles[role]) return kRoleModelFiles[role];
  return kRoleModelFiles[0];
}

bool cTribeCreature::AreClassDataBuilt() { return ClassData().built; }

void cTribeCreature::SetCommon(cCreatureCommon* common) { mCommon = common; }

void cTribeCreature::SetPosition(const Vector3& position) {
  if (mCommon) mCommon->SetObjectPosition(position);
}

void cTribeCreature::SetOrientation(const Quaternion& orientation) {
  if (mCommon) mCommon->SetObjectOrientation(orientation);
}

const Vector3* cTribeCreature::GetDestination() { return mCommon ? &mCommon->GetPosition() : &kOrigin; }

void cTribeCreature::SetDestinationNear(const Vector3& point, float radius) {
  if (!mCommon) return;
  if (IsOrigin(point)) {
    mCommon->SetPosition(kOrigin);
    return;
  }
  if (radius < 0.0f) radius = 2.0f * GetSharedTuningData().GetTribeSelectionRadius();
  Vector3 destination;
  if (radius > 0.0f)
    GetPlanetModel().GetRandomSurfacePointNear(destination, point, 0.0f, radius);
  else
    GetPlanetModel().ProjectToSurface(destination, point);
  mCommon->SetPosition(destination);
}

bool cTribeCreature::HasArrived(float radius) {
  const Vector3& destination = *GetDestination();
  if (IsOrigin(destination)) return true;
  if (radius < 0.0f) radius = 1.0f;
  Vector3 offset = Vector3Sub(mCommon->GetObjectPosition(), destination);
  return Vector3LengthSquared(offset) < radius * radius;
}

void cTribeCreature::MoveForward(float seconds, float speed) {
  if (!(seconds > 0.0f) || !mCommon) return;
  Vector3 before = mCommon->GetObjectPosition();
  mCommon->MoveForward(seconds * speed);
  mVelocity = Vector3Scale(Vector3Sub(mCommon->GetObjectPosition(), before), 1.0f / seconds);
}

void cTribeCreature::SteerTowards(const Vector3& target, float seconds, float speed, float turnRate) {
  if (mCommon) mCommon->SteerTowards(target, seconds, speed, turnRate);
}

void cTribeCreature::TurnAboutUp(float angle) {
  if (mCommon) mCommon->TurnAboutUp(angle);
}

float cTribeCreature::GetEnergy() const { return mCommon ? mCommon->GetEnergy() : 0.0f; }
float cTribeCreature::GetHealth() const { return mCommon ? mCommon->GetHealth() : 0.0f; }
float cTribeCreature::GetHunger() const { return mCommon ? mCommon->GetHunger() : 0.0f; }

void cTribeCreature::SetEnergy(float energy) {
  if (mCommon) mCommon->SetEnergy(energy < 0.0f ? 0.0f : energy);
}
void cTribeCreature::SetHealth(float health) {
  if (mCommon) mCommon->SetHealth(health < 0.0f ? 0.0f : health);
}
void cTribeCreature::SetHunger(float hunger) {
  if (mCommon) mCommon->SetHunger(hunger < 0.0f ? 0.0f : hunger);
}

float cTribeCreature::GetSpeed() const { return GetTribeTuningData().GetCreatureSpeed() * mSpeedFactor; }

// The food buys hunger points at eatfood / 100 a point, up to a full 100.
// Taking the whole cost regardless of what is carried would leave negative
// food, and adding food units to hunger would mix the two scales.
void cTribeCreature::EatCarriedFood() {
  if (!(mCarriedFood > 0.0f)) return;
  const float hunger = GetHunger();
  const float need = std::max(0.0f, 100.0f - hunger);
  const int eatFood = GetTribeTuningData().GetEatFood();
  if (eatFood <= 0) {  // food costs nothing: eat one's fill, keep the food
    SetHunger(hunger + need);
    return;
  }
  const float pointsPerFood = 100.0f / float(eatFood);
  const float points = std::min(mCarriedFood * pointsPerFood, need);
  mCarriedFood = std::max(0.0f, mCarriedFood - points / pointsPerFood);
  SetHunger(hunger + points);
}

void cTribeCreature::ShowHealthMeter(bool show) {
  if (show && !mHealthMeter) {
    mHealthMeterShape = new cSceneShapeHealthMeter(1);
    mHealthMeterShape->SetValue(0.0f);
    mHealthMeter = new cSceneObject(nullptr, mHealthMeterShape);
    GetSceneManager().AddObject(mHealthMeter);
  } else if (!show && mHealthMeter) {
    DeleteMeter(mHealthMeter, mHealthMeterShape);
  }
}

void cTribeCreature::SetHealthMeterValue(float value) {
  if (mHealthMeter && mHealthMeterShape) mHealthMeterShape->SetValue(value);
}

void cTribeCreature::ShowStatusMeter(bool show) {
  if (show && !mStatusMeter) {
    mStatusMeterShape = new cSceneShapeHealthMeter(0);
    mStatusMeterShape->SetBarCount(3);
    mStatusMeterShape->SetBarLabels({"H", "E", "F"});
    mStatusMeter = new cSceneObject(nullptr, mStatusMeterShape);
    UpdateStatusMeter();
    GetSceneManager().AddObject(mStatusMeter);
  } else if (!show && mStatusMeter) {
    DeleteMeter(mStatusMeter, mStatusMeterShape);
  }
}

void cTribeCreature::UpdateStatusMeter() {
  if (!mStatusMeter) return;
  mStatusMeterShape->SetBarValues({GetHealth() * 0.01f, GetEnergy() * 0.01f, GetHunger() * 0.01f});
  Vector3 position = mCommon ? mCommon->GetObjectPosition() : kOrigin;
  const float length = Vector3Length(position);
  if (length > 0.0f) position = Vector3Add(position, Vector3Scale(position, 2.0f / length));  // two units up
  mStatusMeter->SetPosition(position);
}

void cTribeCreature::DeleteMeter(cSceneObject*& object, cSceneShapeHealthMeter*& shape) {
  delete object;  // which also takes it out of the scene
  delete shape;
  object = nullptr;
  shape = nullptr;
}

void cTribeCreature::SetRole(uint32_t role) {
  if (role == mRole) return;
  mRole = role;
  RefreshRoleModel();
}

void cTribeCreature::SetColour(const Vector3& colour) {
  if (mCommon && mCommon->GetSceneObject()) mCommon->GetSceneObject()->SetColour(colour);
}

// The new body keeps the old one's colour, so a selected (white) creature or
// a rival tribe's member does not turn the player's blue when its role changes.
void cTribeCreature::RefreshRoleModel() {
  if (!mCommon || !mCommon->GetSceneObject()) return;
  cISceneShape* shape = GetRoleModel(mRole);
  cSceneObject* old = mCommon->GetSceneObject();
  const Vector3 position = old->GetPosition();
  const Quaternion orientation = old->GetOrientation();
  const Vector3 colour = old->GetColour();
  GetSceneManager().RemoveObject(old);
  // The new body takes its reference on this creature before the old one
  // lets go of its own, so the creature never passes through a count of 0.
  auto* body = new cSceneObject(this, shape);
  const bool recordOwnedOld = mCommon->OwnsSceneObject();
  mCommon->SetSceneObject(body);  // deletes the old body when the record owned it
  if (!recordOwnedOld) delete old;
  body->SetPosition(position);
  body->SetOrientation(orientation);
  body->SetColour(colour);
  GetSceneManager().AddObject(body);
}

void cTribeCreature::DropSceneObjects() {
  tRefPtr<cTribeCreature> keepAlive(this);  // the body may hold the last other reference
  DeleteMeter(mHealthMeter, mHealthMeterShape);
  DeleteMeter(mStatusMeter, mStatusMeterShape);
  if (!mCommon) return;
  cSceneObject* body = mCommon->GetSceneObject();
  if (!body) return;
  GetSceneManager().RemoveObject(body);
  const bool recordOwned = mCommon->OwnsSceneObject();
  mCommon->SetSceneObject(nullptr);
  if (!recordOwned) delete body;
}

const float* cTribeCreature::GetPosition() {
  if (mCommon && mCommon->GetSceneObject()) return mCommon->GetSceneObject()->GetPosition().Ptr();
  mPositionCache = kOrigin;
  return mPositionCache.Ptr();
}

const Quaternion* cTribeCreature::GetOrientation() {
  if (mCommon && mCommon->GetSceneObject()) return &mCommon->GetSceneObject()->GetOrientation();
  mOrientationCache = Quaternion{};
  return &mOrientationCache;
}

void cTribeCreature::Write(cMemoryStream& stream, uint32_t) {
  stream.WriteUInt32Value(mRole);
  stream.WriteFloatValue(mCarriedFood);
}

void cTribeCreature::Read(cMemoryStream& stream, uint32_t version) {
  if (version < 2) return;
  uint32_t role = stream.ReadUInt32Value();
  float carriedFood = stream.ReadFloatValue();
  if (stream.HasFailed()) return;
  if (role >= kRoleCount && role != kNoRole) {
    role = kNoRole;
    GetDataManager()->CountLoadRepair("unknown member role");
  }
  mRole = role;
  mCarriedFood = RepairedAmount(carriedFood, "carried food");
}
