#include "modes/tribe/TribeObjectController.h"

#include <cmath>

#include "sim/tuning/SharedTuningData.h"
#include "world/scene/PolyModelShape.h"
#include "world/scene/SolidShapes.h"

using Ru::Math::Quaternion;
using Ru::Math::Vector3;

const Vector3 cTribeObjectController::kPlayerColour{0.0f, 0.0f, 1.0f};
const Vector3 cTribeObjectController::kNpcColour{0.7f, 0.0f, 1.0f};

cTribeObjectController::cTribeObjectController(cTribeGameMode* mode) : mMode(mode) {
  const float hut = GetSharedTuningData().GetHutScale();
  mHutShape = new cSceneShapeCube();
  mHutShape->SetScale(Vector3{hut, hut, hut});
  // Authored Z-up facing -Y; this turn makes file +Z the planet's up and file -Y forward.
  const float s = 0.5f * std::sqrt(2.0f);
  mMemberShape = new cSceneShapePolyModel(".\\Data\\models\\TribalGame_NoRole.obj", true);
  mMemberShape->RotateVertices(Quaternion{0.0f, s, s, 0.0f});
}

cTribeObjectController::~cTribeObjectController() {
  Clear();
  delete mHutShape;
  delete mMemberShape;
}

void cTribeObjectController::Init() {}
void cTribeObjectController::Clear() {}
void cTribeObjectController::Update(uint32_t) {}
cTribeCreature* cTribeObjectController::AddNewMember(cTribe*, bool) { return nullptr; }
bool cTribeObjectController::KillCreature(cTribeCreature*) { return true; }
void cTribeObjectController::SelectCreature(cTribeCreature*) {}
bool cTribeObjectController::IsSelected(cTribeCreature*) { return false; }
void cTribeObjectController::ClearSelection() {}
cTribeHerd* cTribeObjectController::FindNearestHerdOfType(int) { return nullptr; }
cTribeHerd* cTribeObjectController::FindNearestHerd(const Vector3&) { return nullptr; }
cTribeHut* cTribeObjectController::FindNearestRivalHut(const Vector3&) { return nullptr; }
bool cTribeObjectController::IsDying(cTribeCreature*) { return false; }
cTribe* cTribeObjectController::CreateNpcTribe(const Vector3&) { return nullptr; }
cTribeCreature* cTribeObjectController::CreateTribeCreature(cCreatureCommon*, cTribe*) { return nullptr; }
float cTribeObjectController::GetSlopeSpeed(const Vector3&, const Quaternion&) { return 1.0f; }
void cTribeObjectController::RestoreTribeColour(cTribeCreature*) {}
void cTribeObjectController::AppendTribe(cTribe* tribe) { mTribes.push_back(tribe); }
void cTribeObjectController::AppendCreature(cTribeCreature* creature) { mCreatures.push_back(creature); }
void cTribeObjectController::AppendHerd(cTribeHerd* herd) { mHerds.push_back(herd); }
