// The tribe cursor: a click on a tribe with nobody selected opens the
// "Diplomatic Powers:" dialog, whose options toggle the tribe's treaty when
// the city has the building for it, and whose "Cancel" puts back the treaty
// the tribe had; with citizens selected, their orders for the tribe.
#include <gtest/gtest.h>

#include "modes/city/cursors/CityContainerMenus.h"
#include "modes/city/cursors/CityCursorController.h"
#include "modes/city/cursors/CityMenuCursors.h"
#include "modes/city/cursors/CityTribeCursor.h"
#include "modes/city/economy/CityBuildingKinds.h"
#include "modes/city/groups/CityRecruiting.h"
#include "tests/modes/city/CityTestSupport.h"

namespace {

using tDialog = cCityGameDialogSuperPowers;

class CityDiplomacyTest : public cCityWorldTest {
 protected:
  void SetUp() override {
    cCityWorldTest::SetUp();
    tribe = CreateRegisteredCityObject<cCityGameTribe>();
    tribe->Initialize(City());
    tribe->SetOwner(City());
  }
  tDialog* Dialog() { return GetCityTribeCursor().GetDialog(); }
  // Presses and releases in the middle of the dialog's clickable control.
  int Click(int id) {
    cGLFDialogButton* b = Dialog()->FindClickable(id);
    const int x = (int)((b->X0() + b->X1()) / 2), y = (int)((b->Y0() + b->Y1()) / 2);
    GetCityTribeCursor().OnLeftButtonDown(x, y);
    return GetCityTribeCursor().OnLeftButtonUp(x, y);
  }
  bool Lit(int id) { return Dialog()->FindClickable(id)->GetFillColour()[1] == 0.5f; }
  cCityGameTribe* tribe = nullptr;
};

TEST_F(CityDiplomacyTest, TheDialogOpensMidWindowWithItsTwoListsAndGreysWhatTheCityLacks) {
  overlay.width = 800, overlay.height = 600;
  City()->AddFeature(cCityGameCity::kMilitaryFeature);
  ASSERT_EQ(tribe->GetCursor(10, 10, nullptr), &GetCityTribeCursor());
  ASSERT_NE(Dialog(), nullptr);
  EXPECT_TRUE(Dialog()->IsVisible());
  EXPECT_EQ(GetCityTribeCursor().GetMenu(), nullptr);
  ASSERT_EQ(Dialog()->GetControlCount(), 7);
  EXPECT_EQ(Dialog()->GetControl(0)->X0(), 340.0f);
  EXPECT_EQ(Dialog()->GetControl(0)->Y0(), 180.0f);
  EXPECT_EQ(Dialog()->GetControl(1)->GetLabel(), "Diplomatic Powers:");
  std::vector<std::string> clickable;
  for (cGLFDialogButton* b : Dialog()->GetClickable()) clickable.push_back(b->GetLabel());
  EXPECT_EQ(clickable, (std::vector<std::string>{"Cancel", "OK", "Declare War", "Provide Pilgrimage", "Open Trade"}));
  EXPECT_EQ(Dialog()->FindClickable(tDialog::kDeclareWar)->GetTextColour()[1], 1.0f);  // green: the city may
  EXPECT_EQ(Dialog()->FindClickable(tDialog::kOpenTrade)->GetTextColour()[1], 0.4f);   // grey: no market
}

TEST_F(CityDiplomacyTest, OptionsToggleTheTreatyAndCancelPutsBackTheOpeningOne) {
  City()->AddFeature(cCityGameCity::kMilitaryFeature);
  City()->AddFeature(cCityGameCity::kMarketFeature);
  struct sStep {
    int click, state, result;
    int lit;  // the option shown as in force, 0 for none
  } steps[] = {
      {tDialog::kProvidePilgrimage, cCityGameTribe::kTrade, cICityGameCursor::kStay, tDialog::kOpenTrade},  // no temple
      {tDialog::kDeclareWar, cCityGameTribe::kWar, cICityGameCursor::kStay, tDialog::kDeclareWar},
      {tDialog::kDeclareWar, cCityGameTribe::kNone, cICityGameCursor::kStay, 0},
      {tDialog::kOpenTrade, cCityGameTribe::kTrade, cICityGameCursor::kStay, tDialog::kOpenTrade},
      {tDialog::kDeclareWar, cCityGameTribe::kWar, cICityGameCursor::kStay, tDialog::kDeclareWar},
      {tDialog::kCancel, cCityGameTribe::kTrade, cICityGameCursor::kDone, tDialog::kOpenTrade},
  };
  tribe->SetState(cCityGameTribe::kTrade);
  tribe->GetCursor(0, 0, nullptr);
  for (const sStep& s : steps) {
    EXPECT_EQ(Click(s.click), s.result) << "click " << s.click;
    EXPECT_EQ(tribe->GetState(), s.state) << "click " << s.click;
    for (int id : {tDialog::kDeclareWar, tDialog::kProvidePilgrimage, tDialog::kOpenTrade})
      EXPECT_EQ(Lit(id), id == s.lit) << "click " << s.click << ", option " << id;
  }
  EXPECT_FALSE(Dialog()->IsVisible());

  tribe->GetCursor(0, 0, nullptr);  // OK keeps what was chosen
  Click(tDialog::kDeclareWar);
  EXPECT_EQ(Click(tDialog::kOk), cICityGameCursor::kDone);
  EXPECT_EQ(tribe->GetState(), cCityGameTribe::kWar);

  tribe->GetCursor(0, 0, nullptr);  // a release off every control keeps the dialog
  GetCityTribeCursor().OnLeftButtonDown(5000, 5000);
  EXPECT_EQ(GetCityTribeCursor().OnLeftButtonUp(5000, 5000), cICityGameCursor::kStay);
  EXPECT_TRUE(Dialog()->IsVisible());
}

TEST_F(CityDiplomacyTest, SelectedCitizensGetFourOrdersAndAnyReleaseLetsThemGo) {
  SetTuningFloat(GetCityGameTuning(), "Buy Food At Tribe Cost", 2.5f);
  std::vector<cCityGamePlayerCreature*> citizens;
  Registry().CollectObjectsOfClass(citizens);
  citizens.resize(2);
  std::vector<cCityGameWorldObject*> selection(citizens.begin(), citizens.end());
  for (cCityGamePlayerCreature* c : citizens) c->SetSelected(true);
  tribe->GetSelectionCursor(400, 300, nullptr, selection);
  cGLFPieMenu* menu = GetCityTribeCursor().GetMenu();
  ASSERT_NE(menu, nullptr);
  std::vector<std::string> labels;
  for (int i = 0; i < menu->GetControlCount(); ++i) labels.push_back(menu->GetControl(i)->GetLabel());
  EXPECT_EQ(labels, (std::vector<std::string>{"Recruit", "Raid", "Buy Food: $2.50", "Give Gift: $2"}));
  EXPECT_TRUE(GetCityTribeCursor().IsCursorObject(citizens[1]));
  EXPECT_EQ(GetCityTribeCursor().OnLeftButtonUp(5000, 5000), cICityGameCursor::kDone);
  EXPECT_FALSE(citizens[0]->IsSelected() || citizens[1]->IsSelected());
  EXPECT_FALSE(GetCityTribeCursor().IsCursorObject(citizens[1]));
}

// "Recruit" puts one player drive between the tribe and the city and sends
// every selected citizen there; its count is the citizens actually sent.
TEST_F(CityDiplomacyTest, RecruitSendsTheSelectedCitizensToOneDriveNearTheTribe) {
  std::vector<cCityGamePlayerCreature*> citizens;
  Registry().CollectObjectsOfClass(citizens);
  citizens.resize(2);
  std::vector<cCityGameWorldObject*> selection(citizens.begin(), citizens.end());
  tribe->GetSelectionCursor(400, 300, nullptr, selection);
  cGLFPieMenu* menu = GetCityTribeCursor().GetMenu();
  clock.Advance(200);  // the menu has opened: its items stand apart
  float cx = 0.0f, cy = 0.0f;
  menu->GetCentre(&cx, &cy);
  menu->Layout(cx, cy);
  cGLFDialogControl* recruit = menu->GetControl(0);
  const int x = (int)((recruit->X0() + recruit->X1()) / 2), y = (int)((recruit->Y0() + recruit->Y1()) / 2);
  GetCityTribeCursor().OnLeftButtonDown(x, y);
  EXPECT_EQ(GetCityTribeCursor().OnLeftButtonUp(x, y), cICityGameCursor::kDone);
  std::vector<cCityGameRecruitManager*> drives;
  Registry().CollectObjectsOfClass(drives);
  ASSERT_EQ(drives.size(), 1u);
  EXPECT_EQ(drives[0]->GetRecruitCount(), 2);
  EXPECT_EQ(drives[0]->GetTribe(), tribe);
  const float fromTribe = Vector3Length(Vector3Sub(drives[0]->GetPosition(), tribe->GetPosition()));
  EXPECT_GE(fromTribe, 6.5f);
  EXPECT_LE(fromTribe, 14.5f);  // on the ground: a little off the straight line
  for (cCityGamePlayerCreature* c : citizens)
    EXPECT_EQ(c->GetInteraction()->GetInteractionId(), cCityGameRecruitingInteraction::kInteractionId);
}

// Fault mended: the diplomacy dialog (and every other open menu) outlived a
// load, Leave or the city's removal, stayed drawn, and "Declare War" read the
// freed city through the old tribe. Now every cursor lets go and none is
// current; a click where the option stood reaches nothing.
TEST_F(CityDiplomacyTest, ALoadLeaveOrTheCitysRemovalClosesEveryMenuAndTheDialog) {
  enum eWay { kLeave, kLoad, kCityRemoved };
  for (eWay way : {kLeave, kLoad, kCityRemoved}) {
    City()->AddFeature(cCityGameCity::kMilitaryFeature);
    auto* silo = NewBuildingAt<cCityGameBuildingSilo>(cFakeCityView::Ground(620, 500));
    GetDataManager()->CommitPending();
    std::vector<cCityGameWorldObject*> one{Citizens()[0]};
    silo->GetSelectionCursor(400, 300, nullptr, one);
    GetCityBuildingPieMenuCursor().Open(silo, 400, 300);
    GetCityCityCursor().Open(City(), 400, 300);
    GetCityCursorController().SetCurrentCursor(tribe->GetCursor(0, 0, nullptr));
    cGLFDialogButton* war = Dialog()->FindClickable(tDialog::kDeclareWar);
    const int x = (int)((war->X0() + war->X1()) / 2), y = (int)((war->Y0() + war->Y1()) / 2);
    if (way == kLeave) mode->Leave();
    if (way == kLoad) {
      mode->Leave();
      mode->BeforeLoad();
      mode->AfterLoad();
    }
    if (way == kCityRemoved) GetDataManager()->Remove(City()->GetCommon());
    GetDataManager()->CommitPending();  // what left is freed here
    EXPECT_EQ(GetCityCursorController().GetCurrentCursor(), nullptr) << way;
    EXPECT_EQ(Dialog(), nullptr) << way;
    EXPECT_EQ(GetCityContainerPieMenuCursor().GetMenu(), nullptr) << way;
    EXPECT_EQ(GetCityContainerPieMenuCursor().GetSelectedCount(), 0) << way;
    EXPECT_EQ(GetCityBuildingPieMenuCursor().GetMenu(), nullptr) << way;
    EXPECT_EQ(GetCityCityCursor().GetMenu(), nullptr) << way;
    GetCityCursorController().OnLeftButtonDown(x, y);
    GetCityCursorController().OnLeftButtonUp(x, y);
    Enter();
    if (way == kLeave) { EXPECT_EQ(tribe->GetState(), cCityGameTribe::kNone); }
    tribe = CreateRegisteredCityObject<cCityGameTribe>();
    tribe->Initialize(City());
    tribe->SetOwner(City());
  }
}

}  // namespace
