// The hover texts: one line beside the mouse about the tribe object under it
// (a member's food and doing, a herd's size and mood, a plant's fruit, a
// tool, a tribe's food). A text stays while the mouse is on its object and
// fades out a tuned time after the mouse leaves it.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "glf/Overlay2D.h"
#include "glf/TextPlacement.h"
#include "modes/tribe/FoodPile.h"
#include "modes/tribe/Tribe.h"
#include "modes/tribe/TribeCreature.h"
#include "modes/tribe/TribeCreatureGroup.h"
#include "modes/tribe/TribeHerd.h"
#include "modes/tribe/TribeInputController.h"
#include "modes/tribe/TribeObjectController.h"
#include "modes/tribe/TribeTool.h"
#include "modes/tribe/cTribeGameMode.h"
#include "sim/behavior/Interaction.h"
#include "sim/tuning/TribeTuningData.h"
#include "world/planet/GamePlant.h"
#include "world/scene/SceneManager.h"

namespace {
constexpr int kCreatureTextDrop = 15;  // a member's text sits this far below the point, clear of the cursor
constexpr size_t kTextSize = 1024;

// A fraction as a whole percentage, cut toward zero; a value with no sensible
// figure (not a number, or beyond any count) shows as 0 or the nearest bound.
int TruncatedPercent(float fraction) {
  const double percent = (double)fraction * 100.0;
  if (std::isnan(percent)) return 0;
  if (percent >= 1e9) return 1000000000;
  if (percent <= -1e9) return -1000000000;
  return (int)percent;
}

// A hover text stays inside the window and off the open menu's items, which
// it would otherwise hide (the menu opens where the mouse rests on a member).
void DrawLine(int x, int y, const std::string& text, const sRect2D& menu) {
  if (text.empty()) return;
  int windowWidth = 0, windowHeight = 0;
  GetWindowSize2D(&windowWidth, &windowHeight);
  PlaceTextLine2D(MeasureTextWidth(GLFDefaultFont(), text.c_str()), windowWidth, windowHeight, menu, &x, &y);
  DrawText2D(x, y, GLFDefaultFont(), text.c_str());
}

sRect2D ItemBounds(const cGLFPieMenu* menu) {
  sRect2D bounds;
  if (!menu) return bounds;
  for (int i = 0; i < menu->GetControlCount(); ++i) {
    const cGLFDialogControl* item = menu->GetControl(i);
    if (i == 0) bounds = {(int)item->X0(), (int)item->Y0(), (int)item->X1(), (int)item->Y1()};
    bounds.x0 = std::min(bounds.x0, (int)item->X0());
    bounds.y0 = std::min(bounds.y0, (int)item->Y0());
    bounds.x1 = std::max(bounds.x1, (int)item->X1() + 1);
    bounds.y1 = std::max(bounds.y1, (int)item->Y1() + 1);
  }
  return bounds;
}
}  // namespace

// ---- the texts ----

std::string cTribeInputController::FormatCreatureText(cTribeCreature* creature) {
  char text[kTextSize];
  cIInteraction* doing = creature->GetInteraction();
  if (doing)
    std::snprintf(text, sizeof text, "Food: %.0f  Interaction: %s", creature->GetCarriedFood(), doing->GetName().c_str());
  else
    std::snprintf(text, sizeof text, "Food: %.0f  Not interacting", creature->GetCarriedFood());
  return text;
}

std::string cTribeInputController::FormatToolText(cTribeTool* tool) {
  char text[kTextSize];
  std::snprintf(text, sizeof text, "%s %s", tool->GetKindName(), tool->GetLevelName());
  return text;
}

std::string cTribeInputController::FormatHerdText(cTribeHerd* herd) {
  const int n = herd->GetCount();
  if (n <= 0) return std::string();
  const int anxiety = TruncatedPercent(*herd->GetAttribute("anxiety"));
  // A herd that never sprints has no fatigue to speak of (and no division by zero).
  const float sprint = *herd->GetAttribute("sprintDuration");
  const int fatigue = sprint == 0.0f ? 0 : TruncatedPercent(*herd->GetAttribute("fatigue") / sprint);
  const char* state = herd->IsHunted()                             ? "fighting, "
                      : herd->GetThreat()                          ? "fleeing, "
                      : *herd->GetAttribute("grazingTime") != 0.0f ? "grazing, "
                                                                   : "";
  const char* plural = n > 1 ? "s" : "";
  char text[kTextSize];
  switch (herd->GetType()) {
    case kTribeHerdBigGame:
      std::snprintf(text, sizeof text, "Herd of %d Big Game (%sanxiety %d, fatigue %d)", n, state, anxiety, fatigue);
      break;
    case kTribeHerdRunts:
      std::snprintf(text, sizeof text, "Herd of %d Runt%s (%sanxiety %d, fatigue %d)", n, plural, state, anxiety,
                    fatigue);
      break;
    case kTribeHerdPredators:
      std::snprintf(text, sizeof text, "Herd of %d Predator%s (awareness %d, fatigue %d)", n, plural, anxiety, fatigue);
      break;
    default:
      return std::string();
  }
  return text;
}

std::string cTribeInputController::FormatPlantText(cGamePlant* plant) {
  const int fruit = plant->GetFruitCount();
  char text[kTextSize];
  std::snprintf(text, sizeof text, "Fruit: %d", fruit);
  std::string line = text;
  if (HasSelection() && fruit >= 1 && mGatherMenu && mGatherMenu->GetSingleControlId() != -1)
    line += " (Click to gather)";
  return line;
}

static std::string FormatFood(float food) {
  char text[kTextSize];
  std::snprintf(text, sizeof text, "Food: %.0f", food);
  return text;
}

// ---- taking and dropping targets ----

void cTribeInputController::ResetHoverFade() {
  mHoverFadeTimer.Restart();
  mHoverFadeTimer.Stop();
}

void cTribeInputController::DropHoveredCreature() {
  if (mHoveredCreature) mHoveredCreature->ShowStatusMeter(false);
  mHoveredCreature = nullptr;
}

void cTribeInputController::DropHoverTargets() {
  DropHoveredCreature();
  ClearHoverTargets();
}

void cTribeInputController::ClearHoverTargets() {
  mHoveredCreature = nullptr;
  mHoveredTribe = nullptr;
  mHoveredTool = nullptr;
  mHoveredHerd = nullptr;
  mHoveredPlant = nullptr;
  mHoveredFoodPile = nullptr;
}

void cTribeInputController::TakeHoverTarget(const cScenePickResult& pick, int x, int y) {
  Ko::cGameData* owner = pick.object ? pick.object->GetOwner() : nullptr;
  const uint32_t type = owner ? owner->GetTypeId() : 0;
  bool onPlant = false, taken = true;
  switch (type) {
    case cTribeCreature::kTypeId: {
      auto* creature = static_cast<cTribeCreature*>(owner);
      if (creature->GetTribe() != PlayerTribe()) {
        taken = false;  // another tribe's member: the current text stays
        break;
      }
      if (creature != mHoveredCreature) DropHoveredCreature();
      ClearHoverTargets();
      mHoveredCreature = creature;
      break;
    }
    case cTribeTool::kTypeId:
      DropHoverTargets();
      mHoveredTool = static_cast<cTribeTool*>(owner);
      break;
    case cTribe::kTypeId:
      DropHoverTargets();
      mHoveredTribe = static_cast<cTribe*>(owner);
      break;
    case cTribeHerd::kTypeId:
      DropHoverTargets();
      mHoveredHerd = static_cast<cTribeHerd*>(owner);
      break;
    case cFoodPile::kTypeId:
      DropHoverTargets();
      mHoveredFoodPile = static_cast<cFoodPile*>(owner);
      break;
    case cGamePlant::kTypeId:
      DropHoverTargets();
      mHoveredPlant = static_cast<cGamePlant*>(owner);
      onPlant = true;
      break;
    default:
      // Off every target: the text starts to fade.
      taken = false;
      if ((mHoveredCreature || mHoveredTribe || mHoveredTool || mHoveredHerd || mHoveredFoodPile) &&
          !mHoverFadeTimer.IsRunning())
        mHoverFadeTimer.Start();
      break;
  }
  if (taken) {
    mHoverTextX = x;
    mHoverTextY = y;
    ResetHoverFade();
  }
  if (!onPlant) mHoveredPlant = nullptr;
}

bool cTribeInputController::HoverExpired() const {
  return mHoverFadeTimer.GetElapsed() > (uint32_t)GetTribeTuningData().GetTribeCreatureTooltipDuration();
}

void cTribeInputController::UpdateHover() {
  if (!mHoveredCreature) return;
  if (Objects()->IsDying(mHoveredCreature)) {
    mHoverFadeTimer.Stop();
    DropHoveredCreature();
    return;
  }
  mHoveredCreature->ShowStatusMeter(true);
}

// ---- drawing ----

// Each text is drawn before its expiry is checked, so it shows on the frame it expires.
void cTribeInputController::DrawHoverTexts() {
  Begin2D();
  SetColour2D(1.0f, 1.0f, 1.0f);
  const int x = mHoverTextX, y = mHoverTextY;
  const sRect2D menu = ItemBounds(GetOpenPieMenu());
  // After its text, a target goes when it has faded (or, for `gone`, ended).
  auto dropWhenDone = [this](auto*& target, bool gone) {
    if (!gone && !HoverExpired()) return;
    target = nullptr;
    mHoverFadeTimer.Stop();
  };
  if (mHoveredCreature) {
    DrawLine(x, y + kCreatureTextDrop, FormatCreatureText(mHoveredCreature), menu);
    if (HoverExpired()) mHoveredCreature->ShowStatusMeter(false);
    dropWhenDone(mHoveredCreature, false);
  }
  if (mHoveredTribe) {
    DrawLine(x, y, FormatFood(mHoveredTribe->GetFood()), menu);
    dropWhenDone(mHoveredTribe, false);
  }
  if (mHoveredTool) {
    DrawLine(x, y, FormatToolText(mHoveredTool), menu);
    dropWhenDone(mHoveredTool, false);
  }
  if (mHoveredHerd) {
    DrawLine(x, y, FormatHerdText(mHoveredHerd), menu);
    dropWhenDone(mHoveredHerd, mHoveredHerd->GetCount() <= 0);
  }
  if (mHoveredFoodPile) {
    if (PlayerTribe()) DrawLine(x, y, FormatFood(PlayerTribe()->GetFood()), menu);
    dropWhenDone(mHoveredFoodPile, false);
  }
  if (mHoveredPlant) DrawLine(x, y, FormatPlantText(mHoveredPlant), menu);
  End2D();
}
