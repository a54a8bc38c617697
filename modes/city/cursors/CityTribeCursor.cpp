#include "modes/city/cursors/CityTribeCursor.h"

#include <algorithm>
#include <cstdio>
#include <tuple>

#include "glf/Overlay2D.h"
#include "math/Math.h"
#include "modes/city/behaviours/CityBehaviors.h"
#include "modes/city/citizens/CityCreatures.h"
#include "modes/city/data/CityTuning.h"
#include "modes/city/groups/CityRecruiting.h"
#include "modes/city/objects/CityCreation.h"
#include "modes/city/objects/CityGameCity.h"
#include "platform/Sys.h"
#include "world/planet/PlanetModel.h"

namespace {
constexpr int kLeftButton = 0, kPressed = 0, kReleased = 1;
constexpr float kGreen[3] = {0.0f, 1.0f, 0.0f}, kBlack[3] = {0.0f, 0.0f, 0.0f};
constexpr float kGrey[3] = {0.4f, 0.4f, 0.4f}, kLit[3] = {0.1f, 0.5f, 0.1f};
enum eOrder { kRecruit = 1, kRaid = 2, kBuyFood = 3, kGiveGift = 4 };

// The player's recruit drive stands between the tribe and the city, 7 to 14 units from the tribe.
cCityGameRecruitManager* StartPlayerRecruitDrive(cCityGameTribe* tribe) {
  using namespace Ru::Math;
  auto* city = dynamic_cast<cCityGameCity*>(tribe->GetOwner());
  auto* drive = city ? CreateRegisteredCityObject<cCityGameRecruitManager>() : nullptr;
  if (!drive) return nullptr;
  drive->Start(city, tribe);
  const float k = 7.0f * (1.0f + (float)Sys_Random() / 32767.0f);
  Vector3 toCity{0.0f, 1.0f, 0.0f}, point;
  Vector3NormalizeSafe(Vector3Sub(city->GetPosition(), tribe->GetPosition()), toCity);
  GetPlanetModel().ProjectToSurface(point, Vector3Add(tribe->GetPosition(), Vector3Scale(toCity, k)));
  drive->SetPosition(point, Vector3{});
  return drive;
}

// The three options: the button, the city feature it needs and the state it sets.
struct sOption {
  int id, feature, state;
  const char* label;
};
constexpr sOption kOptions[3] = {
    {cCityGameDialogSuperPowers::kDeclareWar, cCityGameCity::kMilitaryFeature, cCityGameTribe::kWar, "Declare War"},
    {cCityGameDialogSuperPowers::kProvidePilgrimage, cCityGameCity::kTempleFeature, cCityGameTribe::kPilgrimage,
     "Provide Pilgrimage"},
    {cCityGameDialogSuperPowers::kOpenTrade, cCityGameCity::kMarketFeature, cCityGameTribe::kTrade, "Open Trade"},
};

// Only a tribe and a city both still in the game are asked: a tribe held
// across a removal may name a city that is already freed.
bool OwnerHas(cCityGameTribe* tribe, int feature) {
  if (!tribe || HasLeftTheGame(tribe)) return false;
  const cCityObjectHandle& owner = tribe->GetOwnerHandle();
  cCityGameObject* found = GetCityObjectRegistry().Find(owner.id);
  auto* city = found == owner.object ? dynamic_cast<cCityGameCity*>(found) : nullptr;
  return city && city->HasFeature(feature);
}
}  // namespace

// ---- the dialog ----

cGLFDialogButton* cCityGameDialogSuperPowers::Add(int id, float x0, float y0, float x1, float y1, const char* label,
                                                  bool clickable) {
  auto button = std::make_unique<cGLFDialogButton>();
  button->SetId(id);
  button->SetRect(x0, y0, x1, y1);
  button->SetLabel(label);
  button->SetColours(kBlack, kBlack, kBlack, kBlack, kBlack);
  cGLFDialogButton* kept = button.get();
  AddControl(std::move(button));
  if (clickable) mClickable.push_back(kept);
  return kept;
}

void cCityGameDialogSuperPowers::Build(cCityGameTribe* tribe, int xi, int yi) {
  mTribe = tribe;
  mOpeningState = tribe ? tribe->GetState() : cCityGameTribe::kNone;
  mClickable.clear();
  while (GetControlCount() > 0) RemoveControl(GetControl(0)->GetId());
  const float x = (float)xi, y = (float)yi;
  Add(1, x, y, x + 190.0f, y + 190.0f, "", false)->SetOutlineColour(kGreen);
  Add(1, x + 1.0f, y + 1.0f, x + 180.0f, y + 14.0f, "Diplomatic Powers:", false)->SetTextColour(kGreen);
  for (auto [id, x0, label] : {std::tuple{(int)kCancel, 10.0f, "Cancel"}, std::tuple{(int)kOk, 110.0f, "OK"}}) {
    cGLFDialogButton* button = Add(id, x + x0, y + 160.0f, x + x0 + 70.0f, y + 180.0f, label, true);
    button->SetColours(kGreen, kBlack, kGreen, kGreen, kBlack);
  }
  for (int i = 0; i < 3; ++i) {
    const float top = y + 32.0f + 40.0f * (float)i;
    cGLFDialogButton* option = Add(kOptions[i].id, x + 25.0f, top, x + 155.0f, top + 20.0f, kOptions[i].label, true);
    // A city without the building sees the option greyed; a click on it does nothing.
    const float* ink = OwnerHas(tribe, kOptions[i].feature) ? kGreen : kGrey;
    option->SetColours(ink, kBlack, OwnerHas(tribe, kOptions[i].feature) ? kGreen : kBlack, ink, kBlack);
  }
  RefreshHighlight();
}

cGLFDialogButton* cCityGameDialogSuperPowers::FindClickable(int id) const {
  for (cGLFDialogButton* button : mClickable)
    if (button->GetId() == id) return button;
  return nullptr;
}

bool cCityGameDialogSuperPowers::HandleMouse(int, int, int x, int y) {
  for (cGLFDialogButton* button : mClickable)
    if (button->HitTest((float)x, (float)y)) {
      button->SetPressed(true);
      return true;
    }
  for (int i = 0; i < GetControlCount(); ++i)
    if (GetControl(i)->HitTest((float)x, (float)y)) return true;  // on the panel: used, nothing pressed
  return false;
}

bool cCityGameDialogSuperPowers::OnMouseUp(int x, int y) {
  bool hit = false;
  for (cGLFDialogButton* button : mClickable) {
    if (!button->HitTest((float)x, (float)y)) continue;
    hit = true;
    if (button->IsPressed()) {
      OnButton(button->GetId());
      break;  // the dialog may have changed under the walk
    }
  }
  for (cGLFDialogButton* button : mClickable) button->SetPressed(false);
  return hit;
}

void cCityGameDialogSuperPowers::OnButton(int id) {
  if (id == kOk) {
    mVisible = false;
  } else if (id == kCancel) {
    if (mTribe) mTribe->SetState(mOpeningState);
    mVisible = false;
  } else {
    for (const sOption& option : kOptions)
      if (option.id == id && mTribe && OwnerHas(mTribe, option.feature))
        mTribe->SetState(mTribe->GetState() == option.state ? cCityGameTribe::kNone : option.state);
  }
  RefreshHighlight();
  mResultId = id;
}

void cCityGameDialogSuperPowers::RefreshHighlight() {
  const int state = mTribe ? mTribe->GetState() : cCityGameTribe::kNone;
  for (cGLFDialogButton* button : mClickable) {
    bool lit = false;
    for (const sOption& option : kOptions) lit = lit || (option.id == button->GetId() && option.state == state);
    button->SetFillColour(lit ? kLit : kBlack);
  }
}

void cCityGameDialogSuperPowers::Draw() {
  for (int i = 0; i < GetControlCount(); ++i) GetControl(i)->Draw();
}

// ---- the cursor ----

cCityGameCursorTribe& GetCityTribeCursor() {
  static auto* cursor = new cCityGameCursorTribe;
  return *cursor;
}

void cCityGameCursorTribe::Open(cCityGameTribe* tribe, int x, int y,
                                const std::vector<cCityGamePlayerCreature*>& creatures) {
  mMenu.reset();
  mDialog.reset();
  mCreatures.clear();
  if (!creatures.empty()) {
    for (cCityGamePlayerCreature* creature : creatures) mCreatures.emplace_back(creature);
    mMenu = std::make_unique<cGLFPieMenu>(nullptr, 8, 75, 1.5f);
    mMenu->Layout(150.0f, 200.0f);
    char label[64];
    mMenu->AddItem("Recruit", kRecruit);
    mMenu->AddItem("Raid", kRaid);
    std::snprintf(label, sizeof label, "Buy Food: $%.2f", GetCityGameTuning().buyFoodAtTribeCost);
    mMenu->AddItem(label, kBuyFood);
    std::snprintf(label, sizeof label, "Give Gift: $%d", 2);
    mMenu->AddItem(label, kGiveGift);
    mMenu->Layout((float)(x - 30), (float)y);
    mMenu->Show();
    mMenu->AutoSizeControls();
  } else {
    int width = 0, height = 0;
    GetWindowSize2D(&width, &height);
    mDialog = std::make_unique<cCityGameDialogSuperPowers>();
    mDialog->Build(tribe, (int)((float)width * 0.5f - 60.0f), (int)((float)height * 0.5f - 120.0f));
    mDialog->Show();
  }
  mTribe = tribe;
}

int cCityGameCursorTribe::OnLeftButtonDown(int x, int y) {
  if (mMenu)
    mMenu->HandleMouse(kLeftButton, kPressed, x, y);
  else if (mDialog)
    mDialog->HandleMouse(kLeftButton, kPressed, x, y);
  return kStay;
}

int cCityGameCursorTribe::OnLeftButtonUp(int x, int y) {
  if (mMenu) {
    int chosen = 0;
    if (mMenu->IsVisible() && mMenu->HandleMouse(kLeftButton, kReleased, x, y)) chosen = mMenu->GetResultId();
    cIInteraction* order = nullptr;
    if (chosen == kRaid) order = GetCityBehavior<cCityGameBehaviorRaidTribe>();
    if (chosen == kBuyFood) order = GetCityBehavior<cCityGameBehaviorBuyFood>();
    if (chosen == kGiveGift) order = GetCityBehavior<cCityGameBehaviorGiftTribe>();
    cCityGameRecruitManager* drive =
        chosen == kRecruit && mTribe && !mTribe->IsDead() ? StartPlayerRecruitDrive(mTribe.Get()) : nullptr;
    int recruiters = 0;
    for (const tRefPtr<cCityGamePlayerCreature>& creature : mCreatures) {
      creature->SetSelected(false);
      if (creature->IsDead()) continue;
      if (drive)
        recruiters += drive->Interact(creature.Get(), nullptr, nullptr, 1);  // its default: walk there and recruit
      else if (order && mTribe && !mTribe->IsDead())
        mTribe->Interact(creature.Get(), order, nullptr, 1);
    }
    if (drive) drive->SetRecruitCount(recruiters);
    mCreatures.clear();
    mTribe.Reset();
    return kDone;
  }
  if (mDialog) {
    int code = 0;
    if (mDialog->IsVisible() && mDialog->OnMouseUp(x, y)) code = mDialog->GetResultId();
    return code == cCityGameDialogSuperPowers::kOk || code == cCityGameDialogSuperPowers::kCancel ? kDone : kStay;
  }
  mCreatures.clear();
  mTribe.Reset();
  return kDone;
}

int cCityGameCursorTribe::Draw(int, int) {
  cGLFDialog* shown = mMenu ? static_cast<cGLFDialog*>(mMenu.get()) : mDialog.get();
  if (!shown || !shown->IsVisible()) return kStay;
  Begin2D();
  shown->Draw();
  End2D();
  return kStay;
}

bool cCityGameCursorTribe::IsCursorObject(cCityGameWorldObject* object) {
  return std::any_of(mCreatures.begin(), mCreatures.end(),
                     [object](const tRefPtr<cCityGamePlayerCreature>& c) { return c.Get() == object; });
}

void cCityGameCursorTribe::LetGo() {
  for (const tRefPtr<cCityGamePlayerCreature>& creature : mCreatures) creature->SetSelected(false);
  mMenu.reset();
  mDialog.reset();
  mCreatures.clear();
  mTribe.Reset();
}

// ---- the tribe's side ----

cICityGameCursor* cCityGameTribe::GetCursor(int x, int y, cSceneObject* picked) {
  return GetSelectionCursor(x, y, picked, {});
}

cICityGameCursor* cCityGameTribe::GetSelectionCursor(int x, int y, cSceneObject*,
                                                     const std::vector<cCityGameWorldObject*>& selection) {
  std::vector<cCityGamePlayerCreature*> creatures;
  for (cCityGameWorldObject* object : selection)
    if (auto* citizen = dynamic_cast<cCityGamePlayerCreature*>(object)) creatures.push_back(citizen);
  cCityGameCursorTribe& cursor = GetCityTribeCursor();
  cursor.Open(this, x, y, creatures);
  return &cursor;
}
