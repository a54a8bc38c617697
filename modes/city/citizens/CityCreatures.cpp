#include "modes/city/citizens/CityCreatures.h"

#include <GL/freeglut.h>

#include <vector>

#include "glf/Overlay2D.h"
#include "math/Math.h"
#include "modes/city/behaviours/CityBehaviors.h"
#include "modes/city/cursors/CityCreatureCursor.h"
#include "modes/city/data/CityTuning.h"
#include "modes/city/economy/CityBundleContainers.h"
#include "modes/city/objects/CityGameCity.h"
#include "modes/city/objects/CityObjectRegistry.h"
#include "modes/city/objects/CityScene.h"
#include "modes/creature/CommonCreatureManager.h"
#include "platform/Sys.h"
#include "sim/behavior/BehaviorController.h"
#include "sim/behavior/Interaction.h"
#include "sim/gamedata/DataManager.h"
#include "world/planet/PlanetModel.h"
#include "world/scene/CreatureShape.h"
#include "world/scene/HealthMeterShape.h"
#include "world/scene/SceneManager.h"
#include "world/scene/SceneObject.h"

using namespace Ru::Math;

namespace {
constexpr float kStartMinDistance = 5.0f, kStartMaxDistance = 15.0f;
}  // namespace

cSceneShapeBillboard* cCityGameCreature::GetMotiveIconShape(int index, bool critical) {
  static const cCityGameCity::eIcon kLow[3] = {cCityGameCity::kFoodYellow, cCityGameCity::kSleepYellow,
                                               cCityGameCity::kMoneyYellow};
  static const cCityGameCity::eIcon kCritical[3] = {cCityGameCity::kFoodRed, cCityGameCity::kSleepRed,
                                                    cCityGameCity::kMoneyRed};
  if (index < 0 || index > 2) return nullptr;
  return cCityGameCity::GetIconShape(critical ? kCritical[index] : kLow[index]);
}

cCityGameCreature::~cCityGameCreature() { delete mPendingInteraction; }

void cCityGameCreature::SetPendingInteraction(cIInteraction* interaction) {
  if (interaction == mPendingInteraction) return;
  delete mPendingInteraction;
  mPendingInteraction = interaction;
}

tCandidateList* cCityGameCreature::GetCandidates() {
  static auto* none = new tCandidateList;
  return none;
}

void cCityGameCreature::Initialize(cCityGameObject* owner) {
  GetBehaviorController().AddAgent(this);
  mCommon = cCommonCreatureManager::Get()->CreateCommon();
  if (mCommon) {
    mCommon->SetKeptInSaves(false);  // city creatures never reach a save file
    mCommonId = mCommon->GetId();
  }
  SetOwner(owner);
  cPlanetModel& planet = GetPlanetModel();
  Vector3 home, start;
  planet.ProjectToSurface(home, owner ? dynamic_cast<cCityGameWorldObject*>(owner)->GetPosition() : Vector3{0, 1, 0});
  planet.GetRandomSurfacePointNear(start, home, kStartMinDistance, kStartMaxDistance);
  SetPosition(start, Vector3{});
  if (mCommon) {
    auto* body = new cSceneObject(this, cCreatureCommon::GetBodyShape());
    body->SetColour(GetColour());
    body->SetPosition(mPosition);
    Quaternion upright;
    cPlanetModel::AlignOrientationToSurface(upright, mPosition, QuatIdentity());
    body->SetOrientation(upright);
    mCommon->SetSceneObject(body);
    GetSceneManager().AddObject(body);
    mCommon->SetSpecies(0);
    mCommon->SetSpeed(GetCityGameTuning().creatureSpeed);
  }
}

cSceneObject* cCityGameCreature::GetSceneObject() { return mCommon ? mCommon->GetSceneObject() : nullptr; }

void cCityGameCreature::DestroyBody() {
  RemoveMotiveIcon();
  RemoveMotiveMeter();
  if (!mCommon) return;
  cSceneObject* body = mCommon->GetSceneObject();
  mCommon->SetSceneObject(nullptr);
  RemoveFromCityScene(body);
}

void cCityGameCreature::EndUsersInteractions() {
  AddRef();  // the body and icons hold references on this creature
  cCityGameWorldObject::EndUsersInteractions();
  // A removed creature must not go on acting: its own behaviour ends and it
  // leaves the behaviour controller, and its record leaves the data manager.
  EndInteraction();
  GetBehaviorController().RemoveAgent(this);
  delete mCarried;
  mCarried = nullptr;
  DestroyBody();
  if (mCommon) cCommonCreatureManager::Get()->ReleaseCommon(mCommon);
  mCommon = nullptr;
  Release();
}

void cCityGameCreature::ResolveLinks() {
  cCityGameWorldObject::ResolveLinks();
  for (Ko::cIGameData* object : GetDataManager()->GetObjectsOfType(cCreatureCommon::kTypeId))
    if (static_cast<cCreatureCommon*>(object)->GetId() == mCommonId) mCommon = static_cast<cCreatureCommon*>(object);
}

void cCityGameCreature::OnModeEnter() {
  // A creature inside a building keeps its body out of the scene; any other
  // body is listed once (the scene manager would list it twice).
  cSceneObject* body = GetSceneObject();
  if (body && !mHidden && body->GetSceneRefCount() == 0) GetSceneManager().AddObject(body);
  if (mCommon) mCommon->SetSpeed(GetCityGameTuning().creatureSpeed);
}

void cCityGameCreature::OnModeLeave() {
  if (cSceneObject* body = GetSceneObject()) GetSceneManager().RemoveObject(body);
  RemoveMotiveIcon();
}

void cCityGameCreature::SetPosition(const Vector3& position, const Vector3& offset) {
  Vector3 ground;
  GetPlanetModel().ProjectToSurface(ground, position);
  cCityGameWorldObject::SetPosition(ground, offset);
  if (mMotiveIcon) mMotiveIcon->SetPosition(Vector3Add(ground, Vector3Scale(CityUpAt(position), kIconHeight)));
  if (mCarried && mCarried->GetSceneObject()) {
    cSceneObject* body = GetSceneObject();
    const Quaternion turn = body ? body->GetOrientation() : QuatIdentity();
    mCarried->GetSceneObject()->SetPosition(Vector3Add(mPosition, QuatRotateVector(turn, Vector3{0.0f, 1.0f, 0.7f})));
  }
}

int cCityGameCreature::LowestMotiveIndex() {
  float best = 999.9f;
  int index = 0;
  for (int i = 0; i < 2; ++i)
    if (mMotive[i] < best) {
      best = mMotive[i];
      index = i;
    }
  return index;
}

float cCityGameCreature::GetMotive(int index) { return index >= 0 && index <= 2 ? mMotive[index] : 0.0f; }

void cCityGameCreature::SetMotive(int index, float value) {
  if (index < 0 || index > 2) return;
  const cCityGameMotiveTuning& tuning = GetCityGameMotiveTuning();
  if (value > tuning.maxMotive) value = tuning.maxMotive;
  else if (!(value >= tuning.minMotive)) value = tuning.minMotive;  // NaN too
  mMotive[index] = value;
  if (!mCommon) return;
  if (index == 0) mCommon->SetHunger(value);
  if (index == 1) mCommon->SetEnergy(value);
}

void cCityGameCreature::ResetRates() {
  const cCityGameMotiveTuning& tuning = GetCityGameMotiveTuning();
  mMotiveRate[0] = tuning.worldHungerDelta;
  mMotiveRate[1] = tuning.worldEnergyDelta;
}

void cCityGameCreature::UpdateMotives(uint32_t ms) {
  for (int i = 0; i < 2; ++i) SetMotive(i, mMotive[i] + mMotiveRate[i] * (float)ms);
  SetMotive(2, (mMotive[0] + mMotive[1]) * 0.5f);
}

bool cCityGameCreature::IsAnyMotiveAtOrBelow(float value) { return mMotive[0] <= value || mMotive[1] <= value; }
bool cCityGameCreature::IsAnyMotiveLow() { return IsAnyMotiveAtOrBelow(GetCityGameMotiveTuning().lowMotive); }
bool cCityGameCreature::IsAnyMotiveEmpty() { return IsAnyMotiveAtOrBelow(GetCityGameMotiveTuning().minMotive); }

void cCityGameCreature::SetHidden(bool hidden) {
  if (hidden && mMotiveIcon) RemoveMotiveIcon();
  mHidden = hidden;
}

void cCityGameCreature::RemoveMotiveIcon() { RemoveFromCityScene(mMotiveIcon); }

void cCityGameCreature::RemoveMotiveMeter() {
  RemoveFromCityScene(mMotiveMeter);
  delete mMotiveMeterShape;
  mMotiveMeterShape = nullptr;
}

void cCityGameCreature::UpdateMotiveIcon() {
  if (mHidden) return RemoveMotiveIcon();
  const cCityGameMotiveTuning& tuning = GetCityGameMotiveTuning();
  cSceneShapeBillboard* shape = nullptr;
  if (HasInteraction() && GetInteraction()->GetInteractionId() == cCityGameBehaviorSleepOnGround::kInteractionId) {
    shape = GetMotiveIconShape(1, true);  // asleep on the ground
  } else {
    const int i = LowestMotiveIndex();
    if (mMotive[i] >= tuning.lowMotive) return RemoveMotiveIcon();
    shape = GetMotiveIconShape(i, !(mMotive[i] > tuning.lowestMotive));
  }
  if (mMotiveIcon && mMotiveIcon->GetShape() == (cISceneShape*)shape) return;
  RemoveMotiveIcon();
  mMotiveIcon = new cSceneObject(this, (cISceneShape*)shape);
  mMotiveIcon->SetColour(Vector3{1.0f, 1.0f, 1.0f});
  GetSceneManager().AddObject(mMotiveIcon);
  SetPosition(mPosition, mOffset);
}

void cCityGameCreature::Update(uint32_t ms) {
  UpdateMotives(ms);
  UpdateMotiveIcon();
  if (mMotiveMeter) {
    mMotiveMeterShape->SetBarValues({0.0f, mMotive[1] * 0.01f, mMotive[0] * 0.01f});
    mMotiveMeter->SetPosition(Vector3Add(mPosition, Vector3Scale(CityUpAt(mPosition), 2.0f)));
  }
}

bool cCityGameCreature::AttachCarried(cCityGameBundle* bundle) {
  if (mCarried || !bundle) return false;
  mCarried = bundle;
  bundle->SetOwner(this);
  SetPosition(mPosition, Vector3{});
  return true;
}

cCityGameBundle* cCityGameCreature::TakeCarried() {
  cCityGameBundle* carried = mCarried;
  mCarried = nullptr;
  return carried;
}

void cCityGameCreature::DropCarried() {
  cCityGameBundle* bundle = TakeCarried();
  if (!bundle) return;
  if (bundle->GetSceneObject()) bundle->GetSceneObject()->SetPosition(mPosition);
  if (cCityGameCityBundleContainer* store = GetGlobalCityContainer(bundle->GetKind())) store->AddBundle(bundle);
  else delete bundle;  // no city to keep it
}

void cCityGameCreature::MoveTowardGoal(uint32_t ms, float factor) {
  if (!mCommon || !mCommon->GetSceneObject()) return;
  const cCityGameTuning& tuning = GetCityGameTuning();
  mCommon->SetObjectPosition(mPosition);
  mCommon->SteerTowards(mCommon->GetPosition(), (float)ms * 0.01f, tuning.creatureSpeed * factor,
                        tuning.creatureTurnRate);
  // The record's speed already carries the factor: it is applied once.
  mCommon->MoveForward(mCommon->GetSpeed() * (float)ms);
  SetPosition(mCommon->GetObjectPosition(), mOffset);
}

void cCityGameCreature::DrawLabel(bool show, int x, int y) {
  if (!show) return RemoveMotiveMeter();
  const std::string name = HasInteraction() ? GetInteraction()->GetName() : std::string("No Active Interaction");
  Begin2D();
  SetColour2D(1.0f, 1.0f, 1.0f);
  DrawText2D(x, y, GLUT_BITMAP_HELVETICA_12, name.c_str());
  End2D();
  if (mMotiveMeter) return;
  mMotiveMeterShape = new cSceneShapeHealthMeter(0);
  mMotiveMeterShape->SetBarCount(3);
  mMotiveMeterShape->SetBarValues({0.0f, mMotive[1] * 0.01f, mMotive[0] * 0.01f});
  mMotiveMeterShape->SetBarLabels({"!", "E", "F"});
  mMotiveMeter = new cSceneObject(nullptr, mMotiveMeterShape);
  mMotiveMeter->SetPosition(Vector3Add(mPosition, Vector3Scale(CityUpAt(mPosition), 2.0f)));
  GetSceneManager().AddObject(mMotiveMeter);
}

void SeparateCityCreatures() {
  std::vector<cCityGameCreature*> creatures;
  GetCityObjectRegistry().CollectObjectsOfClass(creatures);
  std::vector<std::pair<cCityGameCreature*, cCityGameCreature*>> close;
  const float reach = cCityGameCreature::kPushApartBelow * cCityGameCreature::kPushApartBelow;
  for (size_t a = 0; a < creatures.size(); ++a)
    for (size_t b = a + 1; b < creatures.size(); ++b) {
      if (creatures[a]->IsHidden() || creatures[b]->IsHidden()) continue;
      if (Vector3LengthSquared(Vector3Sub(creatures[a]->GetPosition(), creatures[b]->GetPosition())) < reach)
        close.push_back({creatures[a], creatures[b]});
    }
  for (auto& [a, b] : close) {
    const Vector3 d = Vector3Sub(a->GetPosition(), b->GetPosition());  // earlier pairs may have moved them
    if (!(Vector3LengthSquared(d) > 1e-5f)) continue;
    const Vector3 push = Vector3Scale(Vector3Normalized(d), cCityGameCreature::kPushStep);
    a->SetPosition(Vector3Add(a->GetPosition(), push), a->GetOffset());
    b->SetPosition(Vector3Sub(b->GetPosition(), push), b->GetOffset());
  }
}

// ---- the citizen ----

cCityGamePlayerCreature::cCityGamePlayerCreature() {
  mFightCheckTimer.Restart();
  mSingCheckTimer.Restart();
  mGroupCheckTimer.Restart();
  ResetRates();
  SetMotive(2, 100.0f);
}

// The starting needs are drawn here rather than at construction, so that the
// registered prototype never draws from the game's generator; the draws come
// in the same order as before the start point.
void cCityGamePlayerCreature::Initialize(cCityGameObject* owner) {
  const cCityGameMotiveTuning& tuning = GetCityGameMotiveTuning();
  auto uniform = [](float low, float high) { return low + (high - low) * (float)Sys_Random() / 32767.0f; };
  SetMotive(0, uniform(tuning.startingHungerMin, tuning.startingHungerMax));
  SetMotive(1, uniform(tuning.startingEnergyMin, tuning.startingEnergyMax));
  cCityGameCreature::Initialize(owner);
  if (mCommon) {
    mCommon->SetHunger(mMotive[0]);
    mCommon->SetEnergy(mMotive[1]);
  }
}

Vector3 cCityGamePlayerCreature::GetColour() {
  if (mSelected) return Vector3{1.0f, 1.0f, 1.0f};
  if (mLeaving) return Vector3{1.0f, 0.0f, 0.0f};
  return Vector3{0.25f, 0.25f, 1.0f};
}

void cCityGamePlayerCreature::MoveTowardGoal(uint32_t ms, float factor) {
  if (mSlowed) factor = factor == 0.0f ? 0.75f : factor * 0.75f;
  cCityGameCreature::MoveTowardGoal(ms, factor);
}

void cCityGamePlayerCreature::StartWithMode(cIInteraction* prototype, tTargetWord target, uint32_t extra) {
  mStartMode = extra;
  StartInteraction(prototype, target);
}

void cCityGamePlayerCreature::SetSelected(bool selected) {
  mSelected = selected;
  if (cSceneObject* body = GetSceneObject()) body->SetColour(GetColour());
}

cICityGameCursor* cCityGamePlayerCreature::GetCursor(int, int, cSceneObject*) {
  GetCityCreatureCursor().Begin(false, GetOwner(), this);
  return &GetCityCreatureCursor();
}

cICityGameCursor* cCityGamePlayerCreature::StartDrag(int, int, cSceneObject*) {
  GetCityCreatureCursor().Begin(true, GetOwner(), this);
  return &GetCityCreatureCursor();
}

void cCityGamePlayerCreature::SlowDown() {
  mSlowTimer.Restart();
  mSlowed = true;
}
