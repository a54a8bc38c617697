// A party bought at the hall: a magenta pile of cake where guests dance and
// are fed one cake each supply period, as many as have arrived.
#include <GL/freeglut.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "glf/Overlay2D.h"
#include "glf/TextPlacement.h"
#include "math/Math.h"
#include "modes/city/citizens/CityCreatures.h"
#include "modes/city/data/CityTuning.h"
#include "modes/city/groups/CityGroupFamily.h"
#include "modes/city/objects/CityGameCity.h"
#include "modes/city/objects/CityObjectRegistry.h"
#include "platform/Sys.h"
#include "world/planet/PlanetModel.h"
#include "world/scene/SceneManager.h"
#include "world/scene/SceneObject.h"
#include "world/scene/SolidShapes.h"

using namespace Ru::Math;

namespace {
constexpr float kPlacedNear = 20.0f, kPlacedFar = 40.0f;  // from the pole, until the player drags it
constexpr float kFullPileScale = 3.0f;
constexpr float kSwayRate = 0.0013333333f, kHopRate = 0.004f;
}  // namespace

void cCityGameParty::Initialize(cCityGameObject* owner) {
  mSupplyStopwatch.Restart();
  mCubeShape = new cSceneShapeCube;
  mCubeShape->SetScale(Vector3{kFullPileScale, kFullPileScale, kFullPileScale});
  mSceneObject = new cSceneObject(this, mCubeShape);
  mSceneObject->SetColour(Vector3{1.0f, 0.0f, 1.0f});
  cPlanetModel& planet = GetPlanetModel();
  Vector3 pole, at;
  planet.ProjectToSurface(pole, Vector3{0.0f, 1.0f, 0.0f});
  planet.GetRandomSurfacePointNear(at, pole, kPlacedNear, kPlacedFar);
  SetPosition(at, Vector3{});
  GetSceneManager().AddObject(mSceneObject);
  SetOwner(owner);
}

float cCityGameParty::GetAttractionRadius() { return GetCityGameTuning().smallPartyAttractionRadius; }
float cCityGameParty::GetCost() { return (float)GetCityGameTuning().smallPartyCost; }
int cCityGameParty::GetCapacity() { return GetCityGameTuning().smallPartyCapacity; }

// At most capacity members before this one: a full party still lets one more in.
bool cCityGameParty::CanAccept(cCityGameCreature*) {
  return mMemberCount <= GetCapacity() && !IsCursorObject() && mCakes > 0;
}

bool cCityGameParty::AddMember(cCityGameCreature* creature) {
  return mMemberCount <= GetCapacity() && cCityGameGroup::AddMember(creature);
}

bool cCityGameParty::TryAttract(cCityGameCreature* creature) {
  if (creature->IsHidden() || mConsideredCreatures.Has(creature) || !CanAccept(creature)) return false;
  mConsideredCreatures.Add(creature);
  return RollGroupChance() < GetCityGameTuning().smallPartyAttractedChance;
}

bool cCityGameParty::StepMember(cCityGameCreature* creature, uint32_t, cGameStopwatch& memberWatch) {
  const cCityGameTuning& tuning = GetCityGameTuning();
  mArrivedCount = std::min(mArrivedCount, mMemberCount);
  if (mCakes <= 0) return false;
  if ((float)mSupplyStopwatch.GetElapsed() > tuning.partySupplyTime) {
    if (mSuppliedThisRound < mArrivedCount) {
      ++mSuppliedThisRound;
      --mCakes;
      creature->SetMotive(0, creature->GetMotive(0) + tuning.smallPartyHungerInSupply);
      creature->SetMotive(1, creature->GetMotive(1) + tuning.smallPartyEnergyInSupply);
    } else {
      mSupplyStopwatch.Restart();  // everyone present had one: the next round starts
      mSuppliedThisRound = 0;
    }
  }
  // The pile shrinks in whole steps as the cake goes ("Small Party Supplies" is at least 1).
  const float s = (float)(2 * mCakes / std::max(1, tuning.smallPartySupplies)) + 1.0f;
  if (mCubeShape) mCubeShape->SetScale(Vector3{s, s, s});
  const float e = (float)memberWatch.GetElapsed();
  creature->SetPosition(creature->GetPosition(),
                        Vector3{std::sin(e * kSwayRate), 2.0f * std::fabs(std::cos(e * kHopRate)), 0.0f});
  return true;
}

float cCityGameParty::GetUseScore(cCityGameWorldObject* user) {
  auto* creature = dynamic_cast<cCityGameCreature*>(user);
  if (!creature || !CanAccept(creature)) return -1.0f;
  const float distance = GetPlanetModel().GetSurfaceDistance(mPosition, creature->GetPosition());
  return 2.0f / std::max(distance, 0.001f);  // a guest standing on the cake scores high, not infinite
}

void cCityGameParty::OnDropped() {
  if (mBonusStarted) return;
  mBonusStarted = true;
  if (auto* city = dynamic_cast<cCityGameCity*>(GetOwner())) city->StartPartyBonus();
}

void cCityGameParty::Update(uint32_t) {
  if (mCakes < 1) GetCityObjectRegistry().QueueRemoval(this);
}

void cCityGameParty::OnModeEnter() {
  if (!mSceneObject) return;
  GetSceneManager().RemoveObject(mSceneObject);  // listed once, however often the mode is entered
  GetSceneManager().AddObject(mSceneObject);
}

void cCityGameParty::OnModeLeave() {
  if (mSceneObject) GetSceneManager().RemoveObject(mSceneObject);
}

void cCityGameParty::EndUsersInteractions() {
  AddRef();  // the scene object holds a reference on the party: it must outlive the deletion
  if (mSceneObject) {
    while (GetSceneManager().RemoveObject(mSceneObject)) {
    }
    delete mSceneObject;
    mSceneObject = nullptr;
  }
  if (mCubeShape) GetSceneManager().ForgetShape(mCubeShape);  // the scene must not keep a freed shape
  delete mCubeShape;
  mCubeShape = nullptr;
  cCityGameGroup::EndUsersInteractions();
  Release();
}

void cCityGameParty::DrawLabel(bool show, int x, int y) {
  if (!show) return;
  char cake[32];
  std::snprintf(cake, sizeof cake, "Cake: %d", mCakes);
  Begin2D();
  SetColour2D(1.0f, 1.0f, 1.0f);
  DrawTextLines2D(x, y, GLUT_BITMAP_HELVETICA_12, {{0, 0, "Party!!"}, {0, 12, cake}});
  End2D();
}
