#include "modes/tribe/TribeTool.h"

#include "world/planet/SavedValueRepair.h"
#include "modes/tribe/TribeRecordFields.h"
#include "modes/tribe/TribeSceneObjects.h"
#include "world/planet/PlanetModel.h"
#include "world/scene/SceneManager.h"
#include "world/scene/SceneObject.h"
#include "world/scene/SolidShapes.h"

using Ru::Math::Quaternion;
using Ru::Math::Vector3;

uint32_t gTribeToolIdCounter = 0;

cTribeTool::cTribeTool() : mId(++gTribeToolIdCounter) {}

cTribeTool::~cTribeTool() { ReleaseSceneObject(); }

Ko::cIGameData* cTribeTool::Create() {
  cTribeTool* tool = new cTribeTool();
  tool->CreateSceneObject();
  return tool;
}

void cTribeTool::SetId(uint32_t id) {
  mId = id;
  if (id > gTribeToolIdCounter) gTribeToolIdCounter = id;
}

const char* cTribeTool::KindName(uint32_t kind) {
  static const char* const kNames[kTribeToolKindCount] = {"Weapon",     "Food Storage Tool", "Recruit Tool", "Defense Tool",
                                                          "Heal Tool", "Rest Tool",         "Gather Tool"};
  return kind < kTribeToolKindCount ? kNames[kind] : "";
}

const char* cTribeTool::LevelName(uint32_t level) {
  static const char* const kNames[kMaxLevel] = {"Level 1", "Level 2", "Level 3"};
  return level >= 1 && level <= kMaxLevel ? kNames[level - 1] : "";
}

const Vector3& cTribeTool::GetPosition() const { return mSceneObject ? mSceneObject->GetPosition() : mPosition; }

const Quaternion& cTribeTool::GetOrientation() const {
  return mSceneObject ? mSceneObject->GetOrientation() : mOrientation;
}

void cTribeTool::SetPosition(const Vector3& position) {
  mPosition = position;
  if (mSceneObject) mSceneObject->SetPosition(position);
}

void cTribeTool::SetOrientation(const Quaternion& orientation) {
  mOrientation = orientation;
  if (mSceneObject) mSceneObject->SetOrientation(orientation);
}

void cTribeTool::CreateSceneObject() {
  if (mSceneObject) return;
  mShape = new cSceneShapeCube();
  mShape->SetScale(Vector3{kCubeScale, kCubeScale, kCubeScale});
  mSceneObject = new cSceneObject(this, mShape);
  mSceneObject->SetColour(Vector3{1.0f, 1.0f, 1.0f});
  mSceneObject->SetPosition(mPosition);
  // Made before the buyer places the tool, so this is the upright frame at
  // the tool's first position; placing it keeps that heading.
  cPlanetModel::MakeSurfaceOrientation(mOrientation, mPosition, Vector3{0.0f, 1.0f, 0.0f});
  mSceneObject->SetOrientation(mOrientation);
  GetSceneManager().AddObject(mSceneObject);
}

void cTribeTool::ReleaseSceneObject() {
  cSceneShapeCube* shape = mShape;
  mShape = nullptr;
  DeleteOwnedSceneObject(mSceneObject, mPosition, mOrientation);
  delete shape;
}

void cTribeTool::Write(cMemoryStream& stream, uint32_t) {
  Vector3 position = GetPosition();
  Quaternion orientation = GetOrientation();
  stream.WriteUInt32(&mKind);
  stream.WriteUInt32(&mLevel);
  stream.WriteVector3(&position);
  stream.WriteQuaternion(&orientation);
}

void cTribeTool::Read(cMemoryStream& stream, uint32_t) {
  uint32_t kind = stream.ReadUInt32Value();
  uint32_t level = stream.ReadUInt32Value();
  Vector3 position;
  Quaternion orientation;
  stream.ReadVector3(&position);
  stream.ReadQuaternion(&orientation);
  // A kind or level no shop sells is damage: menus and prices index by them.
  if (!AcceptRecord(stream, kind < kTribeToolKindCount, "unknown tool kind")) return;
  if (!AcceptRecord(stream, level >= 1 && level <= kMaxLevel, "unknown tool level")) return;
  if (!AcceptRecord(stream, Ru::Math::IsValidVector3(position) && IsFiniteQuaternion(orientation))) return;
  RepairSavedPoint(position, "tool position");
  RepairSavedFacing(orientation, "tool facing");
  mKind = kind;
  mLevel = level;
  SetPosition(position);
  SetOrientation(orientation);
}
