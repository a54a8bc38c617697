#include "modes/city/citizens/CityCreatures.h"

#include <GL/freeglut.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "glf/Overlay2D.h"
#include "glf/TextPlacement.h"
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
  // The record's speed already carries the factor: it is applied once. A
  // step never passes the goal, however fast the tuning or long the frame.
  const Vector3& goal = mCommon->GetPosition();
  float step = mCommon->GetSpeed() * (float)ms;
  if (goal.x != 0.0f || goal.y != 0.0f || goal.z != 0.0f) step = std::min(step, mCommon->GetDistanceToTarget());
  mCommon->MoveForward(step);
  SetPosition(mCommon->GetObjectPosition(), mOffset);
}

void cCityGameCreature::DrawLabel(bool show, int x, int y) {
  if (!show) return RemoveMotiveMeter();
  const std::string name = HasInteraction() ? GetInteraction()->GetName() : std::string("No Active Interaction");
  Begin2D();
  SetColour2D(1.0f, 1.0f, 1.0f);
  DrawTextLines2D(x, y, GLUT_BITMAP_HELVETICA_12, {{0, 0, name}});
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

// Close pairs are looked for only among neighbours on the ground (x in
// strips twice the reach wide, z within the reach, both walked in z order),
// not among all pairs, then listed in the order of the plain pairwise walk
// (by the first one's id, then the second's), so the pushes come out as
// before: at the tuning's bounds, tens of thousands of creatures, the
// pairwise walk took seconds a frame.
void SeparateCityCreatures() {
  std::vector<cCityGameCreature*> all;
  GetCityObjectRegistry().CollectObjectsOfClass(all);
  const float below = cCityGameCreature::kPushApartBelow, reach = below * below, width = 2.0f * below;
  struct sSpot {
    float strip;
    Vector3 at;
    uint32_t index;  // in id order among those that take part
  };
  std::vector<cCityGameCreature*> creatures;  // in id order; the hidden and those nowhere are pushed by nobody
  std::vector<sSpot> spots;
  for (cCityGameCreature* creature : all) {
    const Vector3 at = creature->GetPosition();
    if (creature->IsHidden() || !std::isfinite(at.x) || !std::isfinite(at.y) || !std::isfinite(at.z)) continue;
    spots.push_back({std::floor(at.x / width), at, (uint32_t)creatures.size()});
    creatures.push_back(creature);
  }
  std::sort(spots.begin(), spots.end(), [](const sSpot& a, const sSpot& b) {
    return a.strip != b.strip ? a.strip < b.strip : a.at.z != b.at.z ? a.at.z < b.at.z : a.index < b.index;
  });
  std::vector<std::pair<uint32_t, uint32_t>> pairs;  // (earlier, later) in the walk's order
  auto consider = [&](const sSpot& a, const sSpot& b) {
    if (Vector3LengthSquared(Vector3Sub(a.at, b.at)) < reach)
      pairs.push_back({std::min(a.index, b.index), std::max(a.index, b.index)});
  };
  for (size_t begin = 0, end = 0; begin < spots.size(); begin = end) {
    const float strip = spots[begin].strip;
    while (end < spots.size() && spots[end].strip == strip) ++end;
    size_t after = end;  // the next strip's run, when it borders this one
    while (after < spots.size() && spots[after].strip == spots[end].strip) ++after;
    const bool bordering = end < spots.size() && spots[end].strip == strip + 1.0f;
    size_t lowest = end;  // the first of the next strip not too far below in z; only rises
    for (size_t i = begin; i < end; ++i) {
      const sSpot& from = spots[i];
      for (size_t j = i + 1; j < end && spots[j].at.z - from.at.z < below; ++j) consider(from, spots[j]);
      if (!bordering) continue;
      while (lowest < after && from.at.z - spots[lowest].at.z >= below) ++lowest;
      for (size_t k = lowest; k < after && spots[k].at.z - from.at.z < below; ++k) consider(from, spots[k]);
    }
  }
  // Into the walk's order: bucketed by the earlier one, each bucket sorted.
  std::vector<uint32_t> start(creatures.size() + 1, 0), later(pairs.size());
  for (const auto& pair : pairs) ++start[pair.first + 1];
  for (size_t i = 1; i < start.size(); ++i) start[i] += start[i - 1];
  std::vector<uint32_t> filled(start.begin(), start.end() - 1);
  for (const auto& pair : pairs) later[filled[pair.first]++] = pair.second;
  for (size_t i = 0; i + 1 < start.size(); ++i) std::sort(later.begin() + start[i], later.begin() + start[i + 1]);
  for (uint32_t first = 0; first < creatures.size(); ++first) {
    cCityGameCreature* a = creatures[first];
    for (uint32_t k = start[first]; k < start[first + 1]; ++k) {
      cCityGameCreature* b = creatures[later[k]];
      const Vector3 d = Vector3Sub(a->GetPosition(), b->GetPosition());  // earlier pairs may have moved them
      if (!(Vector3LengthSquared(d) > 1e-5f)) continue;
      const Vector3 push = Vector3Scale(Vector3Normalized(d), cCityGameCreature::kPushStep);
      a->SetPosition(Vector3Add(a->GetPosition(), push), a->GetOffset());
      b->SetPosition(Vector3Sub(b->GetPosition(), push), b->GetOffset());
    }
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
