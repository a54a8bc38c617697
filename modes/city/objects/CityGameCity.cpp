#include "modes/city/objects/CityGameCity.h"

#include <GL/freeglut.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "glf/Overlay2D.h"
#include "glf/TextPlacement.h"
#include "glf/Sound.h"
#include "math/Math.h"
#include "modes/city/behaviours/CityBehaviors.h"
#include "modes/city/citizens/CityCreatures.h"
#include "modes/city/cursors/CityInputView.h"
#include "modes/city/cursors/CityMenuCursors.h"
#include "modes/city/data/CityFormulas.h"
#include "modes/city/data/CityTuning.h"
#include "modes/city/economy/CityBuildingKinds.h"
#include "modes/city/economy/CityBundleContainers.h"
#include "modes/city/groups/CityGroups.h"
#include "modes/city/objects/CityCreation.h"
#include "modes/city/objects/CityGameCityWalls.h"
#include "modes/civ/CivRecords.h"
#include "world/planet/PlanetModel.h"
#include "world/scene/BillboardShape.h"
#include "world/scene/SceneObject.h"

using namespace Ru::Math;

namespace {
constexpr float kPlantClearRadius = 35.0f;
constexpr int kHallStoreCapacity = 0;  // every whole bundle of the hall lies in its pile
constexpr float kContainerInner = 6.5f, kContainerOuter = 7.5f;

cSoundHandle& CoinSound() {
  static auto* sound = new cSoundHandle;
  return *sound;
}
cSoundHandle& CashRegisterSound() {
  static auto* sound = new cSoundHandle;
  return *sound;
}
void LoadHallSoundsOnce() {
  static bool loaded = false;
  if (loaded) return;
  loaded = true;  // a missing file is not tried again at every founding
  CoinSound().Load(".\\Data\\Sounds\\coin.wav");
  CashRegisterSound().Load(".\\Data\\Sounds\\cashregister6.wav");
}

Vector3 UnitUp(const Vector3& position) {
  Vector3 up{0.0f, 1.0f, 0.0f};
  Vector3NormalizeSafe(position, up);
  return up;
}
}  // namespace

cSceneShapeBillboard* cCityGameCity::GetIconShape(eIcon icon) {
  static const char* const kFiles[kIconCount] = {
      ".\\Data\\Textures\\sleep_red.bmp",     ".\\Data\\Textures\\sleep_yellow.bmp",
      ".\\Data\\Textures\\drumstick_red.bmp", ".\\Data\\Textures\\drumstick_yellow.bmp",
      ".\\Data\\Textures\\money_red.bmp",     ".\\Data\\Textures\\money_yellow.bmp"};
  static cSceneShapeBillboard* shapes[kIconCount] = {};
  if (icon < 0 || icon >= kIconCount) return nullptr;
  if (!shapes[icon]) {
    // World-size: the icon keeps its size in the world and can be picked.
    shapes[icon] = new cSceneShapeBillboard(kFiles[icon], true);
    shapes[icon]->SetScale(Vector3{kIconScale, kIconScale, kIconScale});
  }
  return shapes[icon];
}

Vector3 cCityGameCity::PointAroundHall(float degrees) const {
  const float a = degrees * 3.14159265f / 180.0f;
  const float r = GetCityGameTuning().radiusFromCityHall;
  const Vector3 around = Vector3Add(mPosition, Vector3{r * std::cos(a), 0.0f, r * std::sin(a)});
  Vector3 ground;
  GetPlanetModel().ProjectToSurface(ground, UnitUp(around));
  return ground;
}

void cCityGameCity::Setup() {
  const cCityGameTuning& tuning = GetCityGameTuning();
  cPlanetModel& planet = GetPlanetModel();
  mCommon = GetDataManager()->CreateObject<cCityCommon>();
  mCommonId = mCommon ? mCommon->GetId() : kNoCityId;
  Initialize(this);  // the hall is its own owner
  const Vector3 pole{0.0f, planet.GetSurfaceRadius(Vector3{0.0f, 1.0f, 0.0f}), 0.0f};
  SetPosition(pole, Vector3{});
  planet.HidePlantsInRadius(pole.x, pole.y, pole.z, kPlantClearRadius);
  if (mCommon) {
    mCommon->SetMoney((float)tuning.initialWealth);
    mCommon->SetPlayerCity(true);
    mCommon->SetPosition(pole);
    Quaternion upright;
    cPlanetModel::AlignOrientationToSurface(upright, pole, QuatIdentity());
    mCommon->SetOrientation(upright);
  }
  if (auto* walls = CreateHeldCityObject<cCityGameCityWalls>(mWalls)) walls->Initialize(pole);
  mProtestGroup = CreateRegisteredCityObject<cCityGameProtestGroup>();
  if (mProtestGroup) {
    mProtestGroup->Initialize(this);
    mProtestGroup->SetPosition(PointAroundHall(tuning.angleForProtestGroup), Vector3{});
  }
  mSleepingSpot = PointAroundHall(tuning.angleForSleepingGroup);
  LoadHallSoundsOnce();
  mIconClock.Restart();
  if (auto* store = CreateHeldCityObject<cCityGameBundleContainer>(mContainer)) {
    store->Initialize(this);
    store->Setup(this, this, kHallStoreCapacity, kContainerInner, kContainerOuter, cCityGameBundleContainer::kFood);
    store->SetPosition(pole, Vector3{});
    store->AddAmount((float)tuning.initialFood * tuning.foodBundleAmount);
  }
  for (uint32_t kind : {cCityGameBundleContainer::kFood, cCityGameBundleContainer::kGoods}) {
    if (GetGlobalCityContainer(kind)) continue;
    if (auto* global = CreateRegisteredCityObject<cCityGameCityBundleContainer>()) global->SetCityAndKind(this, kind);
  }
  for (int icon = 0; icon < kIconCount; ++icon)
    GetIconShape(eIcon(icon))->SetScale(Vector3{kIconScale, kIconScale, kIconScale});
  mMoneyTimer.Restart();
  mHappiness = 50.0f;
  const float samples = tuning.happinessTotalCalculationTime / tuning.happinessUnitCalculationTime;
  // A unit time longer than the total, or a tiny one, would leave no ring or a huge one.
  mSampleCount = !(samples >= 1.0f) ? 1 : samples > (float)kMaxHappinessSamples ? kMaxHappinessSamples : (int)samples;
  mHappinessSamples.assign(size_t(mSampleCount), 50.0f);
  mHappinessTimer.Restart();
}

void cCityGameCity::RemoveStatusIcon() {
  if (!mStatusIcon) return;
  cSceneObject* icon = mStatusIcon;
  mStatusIcon = nullptr;
  mStatusIconKind = kNoIcon;
  GetSceneManager().RemoveObject(icon);
  delete icon;  // it holds a reference on the hall
}

void cCityGameCity::EndUsersInteractions() {
  AddRef();
  cCityGameBuilding::EndUsersInteractions();
  RemoveStatusIcon();
  RemoveHeldStore(mContainer);
  Release();
}

void cCityGameCity::ResolveLinks() {
  cCityGameBuilding::ResolveLinks();
  mContainer.object = GetCityObjectRegistry().Find(mContainer.id);
  for (Ko::cIGameData* object : GetDataManager()->GetObjectsOfType(cCityCommon::kTypeId)) {
    auto* record = static_cast<cCityCommon*>(object);
    if (record->GetId() == mCommonId) mCommon = record;
  }
}

void cCityGameCity::OnModeEnter() {
  cCityGameBuilding::OnModeEnter();
  const cCityGameTuning& tuning = GetCityGameTuning();
  cCityGameObjectRegistry& registry = GetCityObjectRegistry();
  while (registry.CountObjectsOfClass<cCityGamePlayerCreature>() < tuning.initialCreatures) {
    cCityGamePlayerCreature* citizen = CreateRegisteredCityObject<cCityGamePlayerCreature>();
    if (!citizen) break;
    citizen->Initialize(this);
  }
  for (int before = registry.CountObjectsOfClass<cCityGameTribe>(); before < tuning.initialTribes; ++before) {
    cCityGameTribe* tribe = CreateRegisteredCityObject<cCityGameTribe>();
    if (!tribe) break;
    tribe->Initialize(this);
    tribe->SetRelationship(10.0f - 5.0f * (float)before);  // 10, 5, 0, -5, then -10 for every later one
  }
  // Counted now, not first at the next happiness sample: a city entered while
  // paused (a fresh one after a load or a sniff test) shows its people at once.
  CountPeopleAndRooms((int)GetOwnCitizens().size());
}

void cCityGameCity::AddMoneySilently(float amount) {
  if (mCommon) mCommon->SetMoney(mCommon->GetMoney() + amount);
}

void cCityGameCity::AddMoney(float amount) {
  AddMoneySilently(amount);
  if (amount > 0.0f) CoinSound().Play();
  if (amount < 0.0f) CashRegisterSound().Play();
}

cIInteraction* cCityGameCity::GetDefaultInteraction() { return GetCityBehavior<cCityGameBehaviorEatFromCityHall>(); }

float cCityGameCity::GetMoney() const { return mCommon ? mCommon->GetMoney() : 0.0f; }

void cCityGameCity::UpgradeCityHall() {
  const cCityGameTuning& tuning = GetCityGameTuning();
  if (mUpgradeLevel >= tuning.maxCityUpgradeLevel) return;
  const float cost = tuning.GetUpgradeCost(mUpgradeLevel + 1);
  if (GetMoney() < cost) return;
  AddMoney(-cost);
  ++mUpgradeLevel;
}

void cCityGameCity::AddFeature(int kind) {
  if (!HasFeature(kind)) mFeatures.push_back(kind);
}

bool cCityGameCity::HasFeature(int kind) const {
  for (int feature : mFeatures)
    if (feature == kind) return true;
  return false;
}

cCityGameCityWalls* cCityGameCity::GetWalls() const {
  return dynamic_cast<cCityGameCityWalls*>(GetCityObjectRegistry().Find(mWalls.id));
}

cCityGameBundleContainer* cCityGameCity::GetContainer(uint32_t) {
  return dynamic_cast<cCityGameBundleContainer*>(GetCityObjectRegistry().Find(mContainer.id));
}

void cCityGameCity::GrowWallsForTrial(const Vector3& point, float weight) {
  if (cCityGameCityWalls* walls = GetWalls()) walls->GrowRing(&point, weight);
}

void cCityGameCity::AddWallPoint(const Vector3& point, float weight) {
  if (cCityGameCityWalls* walls = GetWalls()) walls->AddPoint(point.x, point.y, point.z, weight);
}

void cCityGameCity::Update(uint32_t ms) {
  const cCityGameTuning& tuning = GetCityGameTuning();
  cCityGameBuilding::Update(ms);
  if ((float)mPartyTimer.GetElapsed() > tuning.partyBonusDuration) mPartyTimer = cGameStopwatch();
  SeparateCityCreatures();
  mFrameRate = (mFrameRate * 1000.0f + 1000.0f) / ((float)ms + 1000.0f);
  if (mHappinessTimer.IsRunning() && (float)mHappinessTimer.GetElapsed() >= tuning.happinessUnitCalculationTime) {
    UpdateHappiness();
    mHappinessTimer.Restart();
  }
  if (mMoneyTimer.IsRunning()) {
    const float elapsed = (float)mMoneyTimer.GetElapsed();
    if (elapsed >= tuning.cityHallMoneyTime) {
      mMoneyTimer.Restart();
      mMoneyTimer.accumulated = (uint32_t)(elapsed - tuning.cityHallMoneyTime);  // the overshoot carries over
      AddMoneySilently(tuning.cityHallMoney);
      mMoneyTexts.clear();
      if (tuning.cityHallMoney > 0.0f) mMoneyTexts.push_back(tuning.cityHallMoney);
    }
  }
  UpdateStatusIcon();
  if (nCityGameFormulas::CreaturePop().Evaluate(mHappiness, (float)ms, (float)mPopulation) == 1) {
    if (cCityGamePlayerCreature* citizen = CreateRegisteredCityObject<cCityGamePlayerCreature>())
      citizen->Initialize(this);
  }
  if (IsAtWar(this)) StartWar();
}

std::vector<cCityGamePlayerCreature*> cCityGameCity::GetOwnCitizens() const {
  std::vector<cCityGamePlayerCreature*> citizens;
  GetCityObjectRegistry().CollectObjectsOfClass(citizens);
  citizens.erase(std::remove_if(citizens.begin(), citizens.end(),
                                [this](cCityGamePlayerCreature* c) { return c->GetOwner() != this; }),
                 citizens.end());
  return citizens;
}

void cCityGameCity::CountPeopleAndRooms(int population) {
  mPopulation = population;
  // Counted wide and held to the int range: no number of houses overflows the sum of their rooms.
  const int64_t rooms = (int64_t)GetCityObjectRegistry().CountObjectsOfClass<cCityGameBuildingHouse>() *
                        GetCityGameBuildingTuning().roomsPerHouse;
  mHousingCapacity = (int)std::min<int64_t>(rooms, INT32_MAX);
}

void cCityGameCity::UpdateHappiness() {
  const cCityGameTuning& tuning = GetCityGameTuning();
  const std::vector<cCityGamePlayerCreature*> citizens = GetOwnCitizens();
  float sum = 0.0f;
  for (cCityGamePlayerCreature* citizen : citizens) sum += citizen->GetHappiness();
  const int n = (int)citizens.size();
  // With nobody to ask the city keeps its last sample rather than 0 / 0.
  const float last = mHappinessSamples.empty() ? 50.0f : mHappinessSamples.front();
  const float sample = n > 0 ? sum / (float)n : last;
  if (!mHappinessSamples.empty()) mHappinessSamples.pop_back();
  mHappinessSamples.push_front(std::isfinite(sample) ? sample : last);
  float total = 0.0f;
  const int count = mSampleCount < (int)mHappinessSamples.size() ? mSampleCount : (int)mHappinessSamples.size();
  for (int i = 0; i < count; ++i) total += mHappinessSamples[size_t(i)];
  const float mean = count > 0 ? total / (float)count : last;
  mPartyBonus = 0.0f;
  if (mPartyTimer.IsRunning()) {
    const float duration = tuning.partyBonusDuration;
    mPartyBonus = (duration - (float)mPartyTimer.GetElapsed()) / duration * tuning.partyBonusHappiness;
  }
  mHappiness = mean + mPartyBonus;
  CountPeopleAndRooms(n);
}

cCityGameCity::eIcon cCityGameCity::ChooseStatusIcon(uint32_t t, float food, float money) {
  if (t % kIconPeriodMs <= kIconPeriodMs / 2) {
    if (food > kIconShowsAtOrBelow) return kNoIcon;
    return food <= kFoodRedAtOrBelow ? kFoodRed : kFoodYellow;
  }
  if (money > kIconShowsAtOrBelow) return kNoIcon;
  return money <= kMoneyRedAtOrBelow ? kMoneyRed : kMoneyYellow;
}

void cCityGameCity::UpdateStatusIcon() {
  RemoveStatusIcon();
  const eIcon icon = ChooseStatusIcon(mIconClock.GetElapsed(), GetCityFood(), GetMoney());
  if (icon == kNoIcon) return;
  mStatusIcon = new cSceneObject(this, GetIconShape(icon));
  mStatusIcon->SetPosition(Vector3Add(mPosition, Vector3Scale(UnitUp(mPosition), kIconHeight)));
  mStatusIconKind = icon;
  GetSceneManager().AddObject(mStatusIcon);
}

void cCityGameCity::StartWar() {
  std::vector<cCityGamePlayerCreature*> citizens, mustered;
  GetCityObjectRegistry().CollectObjectsOfClass(citizens);
  for (cCityGamePlayerCreature* citizen : citizens)
    if (citizen->IsMustered()) mustered.push_back(citizen);
  std::vector<cCityGameTribe*> tribes;
  GetCityObjectRegistry().CollectObjectsOfClass(tribes);
  cCityGameTribe* enemy = nullptr;
  for (cCityGameTribe* tribe : tribes)
    if (tribe->GetState() == cCityGameTribe::kWar && !enemy) enemy = tribe;
  if ((int)mustered.size() < kWarPartySize || !enemy) return;
  // Started as the citizens' own choice (extra 0): the next update drops the
  // muster flag, so an attacker is not restarted every frame and carries its loot home.
  for (cCityGamePlayerCreature* citizen : mustered)
    enemy->Interact(citizen, GetCityBehavior<cCityGameBehaviorAttackTribe>(), nullptr, 0);
}

float cCityGameCity::GetUseScore(cCityGameWorldObject* user) {
  const float low = GetCityGameMotiveTuning().lowMotive;
  auto* creature = dynamic_cast<cCityGameCreature*>(user);
  if (!creature || !IsPickable(user)) return -1.0f;
  const float hunger = creature->GetMotive(0);
  if (!(hunger < low)) return -1.0f;
  const float distance = GetPlanetModel().GetSurfaceDistance(creature->GetPosition(), mPosition);
  if (!(distance > 0.0f)) return -1.0f;
  return ((low - hunger) / (0.5f * low)) / distance;
}

bool cCityGameCity::IsPickable(cCityGameWorldObject*) {
  cCityGameBundleContainer* store = GetContainer(cCityGameBundleContainer::kFood);
  return store && store->HasAmount(1.0f);
}

cICityGameCursor* cCityGameCity::GetCursor(int x, int y, cSceneObject*) {
  cCityGameCityCursor& cursor = GetCityCityCursor();
  cursor.Open(this, x, y);
  return &cursor;
}

cICityGameCursor* cCityGameCity::StartDrag(int x, int y, cSceneObject* picked) {
  if (!picked || picked != GetRoadAnchor()) return nullptr;  // the hall itself never moves
  return cCityGameBuilding::StartDrag(x, y, picked);
}

void cCityGameCity::Draw() {
  cCityGameBuilding::Draw();
  const cCityGameTuning& tuning = GetCityGameTuning();
  // The rising text's place is taken with the scene's matrices, before the overlay replaces them.
  const float f = tuning.cityHallMoneyTime > 0.0f ? (float)mMoneyTimer.GetElapsed() / tuning.cityHallMoneyTime : 0.0f;
  const Vector3 rising = Vector3Add(mPosition, Vector3Scale(UnitUp(mPosition), 10.0f * f));
  int x = 0, y = 0;
  const bool risingShown = !mMoneyTexts.empty() && GetCityInputView().ProjectToWindow(rising, x, y);
  int width = 0, height = 0;
  char text[64];
  Begin2D();
  GetWindowSize2D(&width, &height);
  SetColour2D(1.0f, 1.0f, 1.0f);
  std::snprintf(text, sizeof text, "Frame Rate: %.2f", mFrameRate);
  DrawText2D(0, height - 82, GLUT_BITMAP_HELVETICA_12, text);
  if (risingShown) {
    std::snprintf(text, sizeof text, "+%g money", (double)mMoneyTexts.back());
    SetBlending2D(true);
    SetColour2D(1.0f, 1.0f, 1.0f, 0.6f - 0.6f * f);
    DrawText2D(x, y, GLUT_BITMAP_HELVETICA_12, text);
    SetBlending2D(false);
  }
  End2D();
}

void cCityGameCity::DrawLabel(bool show, int x, int y) {
  if (!show) return;
  char money[48];
  std::snprintf(money, sizeof money, "Money: %5.2f", GetMoney());
  Begin2D();
  SetColour2D(1.0f, 1.0f, 1.0f);
  DrawTextLines2D(x, y, GLUT_BITMAP_HELVETICA_12, {{0, -5, "City Hall"}, {0, 7, money}});
  End2D();
}

float GetCityFood() {
  std::vector<cCityGameBundleContainer*> stores;
  GetCityObjectRegistry().CollectObjectsOfClass(stores);
  float food = 0.0f;
  for (cCityGameBundleContainer* store : stores)
    if (!dynamic_cast<cCityGameTribe*>(store->GetHolder()) && store->GetKind() == kCityFood)
      food += store->GetTotalAmount();
  return food;
}

bool IsAtWar(cCityGameCity* city) {
  if (!city || !city->HasFeature(cCityGameCity::kMilitaryFeature)) return false;
  std::vector<cCityGameTribe*> tribes;
  GetCityObjectRegistry().CollectObjectsOfClass(tribes);
  for (cCityGameTribe* tribe : tribes)
    if (tribe->GetState() == cCityGameTribe::kWar) return true;
  return false;
}

cCityGameCityBundleContainer* GetGlobalCityContainer(uint32_t kind) {
  // While the city is cleared the stores have already let their bundles go:
  // one handed in now (a raider's loot as it ends) would never be freed.
  if (GetCityObjectRegistry().IsClearing()) return nullptr;
  std::vector<cCityGameCityBundleContainer*> globals;
  GetCityObjectRegistry().CollectObjectsOfClass(globals);
  for (cCityGameCityBundleContainer* global : globals)
    if (global->GetBundleType() == kind) return global;
  return nullptr;
}
