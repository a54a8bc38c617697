#include "modes/tribe/TribeDisplayController.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "math/Math.h"
#include "modes/tribe/FoodPile.h"
#include "modes/tribe/Tribe.h"
#include "modes/tribe/TribeCreature.h"
#include "modes/tribe/TribeHut.h"
#include "modes/tribe/TribeObjectController.h"
#include "modes/tribe/cTribeGameMode.h"
#include "sim/tuning/TribeTuningData.h"
#include "world/planet/PlanetModel.h"
#include "world/scene/BillboardShape.h"
#include "world/scene/SceneManager.h"
#include "world/scene/SceneObject.h"
#include "world/scene/SolidShapes.h"

using Ru::Math::Vector3;

static const char* const kConditionTextures[cTribeDisplayController::kConditionKinds] = {
    ".\\Data\\Textures\\health_red.bmp",    ".\\Data\\Textures\\drumstick_red.bmp",
    ".\\Data\\Textures\\sleep_red.bmp",     ".\\Data\\Textures\\health_yellow.bmp",
    ".\\Data\\Textures\\drumstick_yellow.bmp", ".\\Data\\Textures\\sleep_yellow.bmp",
};

// Radially above a point: a label or meter stands straight up from the ground
// wherever on the planet its member is.
static Vector3 LiftedAbove(const float* p, float height) {
  const Vector3 v{p[0], p[1], p[2]};
  const float length = Ru::Math::Vector3Length(v);
  if (length == 0.0f) return v;
  return Ru::Math::Vector3Scale(v, (length + height) / length);
}

cTribeDisplayController::cTribeDisplayController(cTribeGameMode* mode) : mMode(mode) {
  for (int kind = 0; kind < kConditionKinds; ++kind)
    mConditionShapes[kind] = new cSceneShapeBillboard(kConditionTextures[kind], true);
  mPopulationOverflowShape = new cSceneShapeBillboard(".\\Data\\Textures\\tribe_+.bmp", true);
  mFoodPileShape = new cSceneShapeCube();
  for (int n = 1; n < kPopulationShapes; ++n) {
    char file[64];
    std::snprintf(file, sizeof file, ".\\Data\\Textures\\tribe_%02d.bmp", n);
    mPopulationShapes[n] = new cSceneShapeBillboard(file, false);
  }
}

cTribeDisplayController::~cTribeDisplayController() {
  Leave();  // nothing is left in the scene when the mode left first
  for (cSceneShapeBillboard* shape : mConditionShapes) delete shape;
  delete mFoodPileShape;
  for (cSceneShapeBillboard* shape : mPopulationShapes) delete shape;
  delete mPopulationOverflowShape;
}

cTribe* cTribeDisplayController::PlayerTribe() {
  cTribeObjectController* world = mMode ? mMode->GetObjectController() : nullptr;
  return world ? world->GetPlayerTribe() : nullptr;
}

void cTribeDisplayController::RemoveFromScene(cSceneObject*& object) {
  delete object;  // which also takes it out of the scene
  object = nullptr;
}

void cTribeDisplayController::Enter() {
  cTribe* player = PlayerTribe();
  if (player && player->GetHut() && !mFoodPileObject) {
    // Owned by a food pile, not the tribe: hovering it shows the player's
    // food and a press on it opens the food menu. Never saved.
    mFoodPileObject = new cSceneObject(new cFoodPile(), mFoodPileShape);
    mFoodPileObject->SetPosition(*player->GetHut()->GetFoodSite());
    mFoodPileObject->SetColour(Vector3{0.0f, 1.0f, 0.0f});
    GetSceneManager().AddObject(mFoodPileObject);
  }
  // Sized now, not at the first update: a game loaded while paused shows its
  // own food, not the size the pile had before.
  FitFoodPile(player);
  if (cTribeObjectController* world = mMode ? mMode->GetObjectController() : nullptr)
    for (cTribe* tribe : world->GetTribes())
      if (tribe != player) UpdatePopulationIcon(tribe);

  mPanel.AddBar("Population:", kGLFBarStyleNumber, 0.0f, 0);
  mPanel.AddBar("Food:", kGLFBarStyleNumber, 0.0f, 0);
  mPanel.SetValue("Population:", 0.0f);
  mPanel.SetValue("Food:", 0.0f);
  mPanel.GetTitleBar().Init("Population Goal:", (float)GetTribeTuningData().GetTribePopulationGoal());
  mPanel.GetTitleBar().SetValue(0.0f);
}

void cTribeDisplayController::Leave() {
  for (auto& [creature, label] : mConditionLabels) RemoveFromScene(label);
  mConditionLabels.clear();
  RemoveFromScene(mFoodPileObject);
  for (auto& [tribe, icon] : mPopulationIcons) RemoveFromScene(icon);
  mPopulationIcons.clear();
}

void cTribeDisplayController::Update(uint32_t) {
  for (auto& [creature, label] : mConditionLabels) label->SetPosition(LiftedAbove(creature->GetPosition(), kLabelHeight));

  cTribeObjectController* world = mMode ? mMode->GetObjectController() : nullptr;
  if (world) {
    for (cTribeCreature* creature : world->GetCreatures()) {
      if (cSceneObject* meter = creature->GetHealthMeter())
        meter->SetPosition(LiftedAbove(creature->GetPosition(), kHealthMeterHeight));
      creature->UpdateStatusMeter();
    }
    // A tribe that left the world takes its icon with it.
    const tTribeList& tribes = world->GetTribes();
    for (auto it = mPopulationIcons.begin(); it != mPopulationIcons.end();) {
      if (std::find(tribes.begin(), tribes.end(), it->first) == tribes.end()) {
        RemoveFromScene(it->second);
        it = mPopulationIcons.erase(it);
      } else {
        ++it;
      }
    }
  }
  for (size_t i = 0; i < mPopulationIcons.size(); ++i) UpdatePopulationIcon(mPopulationIcons[i].first);

  FitFoodPile(PlayerTribe());
}

void cTribeDisplayController::FitFoodPile(cTribe* player) {
  if (!mFoodPileObject || !player || !player->GetHut()) return;
  const float size = FoodPileSize(player->GetFood());
  mFoodPileShape->SetScale(Vector3{size, size, size});
  Vector3 ground;
  GetPlanetModel().ProjectToSurface(ground, *player->GetHut()->GetFoodSite());
  mFoodPileObject->SetPosition(ground);
}

float cTribeDisplayController::FoodPileSize(float food) {
  if (!(food > 0.0f)) return 0.0f;  // a store spent below zero shows nothing, not NaN
  return std::min(0.15f * std::pow(food, 0.333333f), kFoodPileLargest);
}

void cTribeDisplayController::RefreshPanel() {
  cTribe* player = PlayerTribe();
  const float population = player ? (float)player->GetPopulation() : 0.0f;
  mPanel.SetValue("Population:", population);
  mPanel.SetValue("Food:", player ? player->GetFood() : 0.0f);
  mPanel.GetTitleBar().SetValue(population);
}

void cTribeDisplayController::Render() {
  RefreshPanel();
  mPanel.Draw(kGLFHudPanelX, kGLFHudPanelY);
}

const char* cTribeDisplayController::ConditionTexture(int kind) {
  return kind >= 0 && kind < kConditionKinds ? kConditionTextures[kind] : "";
}

Vector3 cTribeDisplayController::ConditionColour(int kind) {
  return kind < 3 ? Vector3{1.0f, 0.0f, 0.0f} : Vector3{1.0f, 1.0f, 0.0f};  // critical red, low yellow
}

bool cTribeDisplayController::SetConditionLabel(cTribeCreature* creature, int kind) {
  if (!creature || kind < 0 || kind >= kConditionKinds) return false;
  cSceneShapeBillboard* shape = mConditionShapes[kind];
  if (cSceneObject* current = GetConditionLabel(creature)) {
    if (current->GetShape() == shape) return true;
    RemoveConditionLabel(creature);
  }
  auto* label = new cSceneObject(creature, shape);
  label->SetPosition(LiftedAbove(creature->GetPosition(), kLabelHeight));
  label->SetColour(ConditionColour(kind));
  GetSceneManager().AddObject(label);
  mConditionLabels.emplace_back(creature, label);
  return true;
}

void cTribeDisplayController::RemoveConditionLabel(cTribeCreature* creature) {
  for (auto it = mConditionLabels.begin(); it != mConditionLabels.end(); ++it) {
    if (it->first != creature) continue;
    RemoveFromScene(it->second);
    mConditionLabels.erase(it);
    return;
  }
}

cSceneShapeBillboard* cTribeDisplayController::GetPopulationIconShape(uint32_t population) {
  if (population >= (uint32_t)kPopulationShapes) return mPopulationOverflowShape;
  return mPopulationShapes[population];  // null at 0
}

bool cTribeDisplayController::UpdatePopulationIcon(cTribe* tribe) {
  if (!tribe) return false;
  auto entry = std::find_if(mPopulationIcons.begin(), mPopulationIcons.end(),
                            [tribe](const auto& e) { return e.first == tribe; });
  if (entry == mPopulationIcons.end()) entry = mPopulationIcons.insert(entry, {tribe, nullptr});
  cSceneShapeBillboard* shape = GetPopulationIconShape(tribe->GetPopulation());
  cSceneObject*& icon = entry->second;
  if (icon && icon->GetShape() == shape) return true;
  RemoveFromScene(icon);
  // No members: no icon (there is no picture of nobody), but the tribe stays
  // listed so that it shows one again when it grows.
  if (!shape) return true;
  icon = new cSceneObject(tribe, shape);
  if (cTribeHut* hut = tribe->GetHut()) icon->SetPosition(LiftedAbove(hut->GetPosition(), kLabelHeight));
  GetSceneManager().AddObject(icon);
  return true;
}

cSceneObject* cTribeDisplayController::GetConditionLabel(cTribeCreature* creature) const {
  for (const auto& [owner, label] : mConditionLabels)
    if (owner == creature) return label;
  return nullptr;
}

cSceneObject* cTribeDisplayController::GetPopulationIcon(cTribe* tribe) const {
  for (const auto& [owner, icon] : mPopulationIcons)
    if (owner == tribe) return icon;
  return nullptr;
}

cSceneShapeBillboard* cTribeDisplayController::GetConditionShape(int kind) const {
  return kind >= 0 && kind < kConditionKinds ? mConditionShapes[kind] : nullptr;
}
