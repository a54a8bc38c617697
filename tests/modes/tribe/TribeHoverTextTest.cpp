// The hover texts: their formats, when a target is taken and dropped, and
// the fade after the mouse leaves.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "modes/tribe/FoodPile.h"
#include "modes/tribe/MemberInteractions.h"
#include "modes/tribe/TribeHerd.h"
#include "modes/tribe/TribeStatics.h"
#include "modes/tribe/TribeTool.h"
#include "tests/modes/tribe/TribeInputSupport.h"
#include "world/planet/GamePlant.h"

namespace {
class cTribeHoverTest : public cTribeInputTest {
 protected:
  // The texts one frame draws.
  std::vector<std::string> Frame() {
    overlay.calls.clear();
    Input()->Render();
    std::vector<std::string> texts;
    for (const cDrawCall& call : overlay.Of(cDrawCall::kText)) texts.push_back(call.text);
    return texts;
  }
};
}  // namespace

TEST_F(cTribeHoverTest, HerdTextsTellSizeStateAnxietyAndFatigue) {
  auto* herd = GetDataManager()->CreateObject<cTribeHerd>();
  GetDataManager()->CommitPending();
  const struct {
    uint32_t type;
    int count;
    float anxiety, fatigue, sprint, grazing;
    bool hunted, threat;
    const char* text;
  } cases[] = {
      {2, 1, 0.25f, 0.0f, 4.0f, 1.0f, false, false, "Herd of 1 Runt (grazing, anxiety 25, fatigue 0)"},
      {2, 3, 0.25f, 0.0f, 4.0f, 1.0f, false, false, "Herd of 3 Runts (grazing, anxiety 25, fatigue 0)"},
      {1, 4, 0.999f, 1.0f, 4.0f, 1.0f, true, true, "Herd of 4 Big Game (fighting, anxiety 99, fatigue 25)"},
      {2, 2, 0.0f, 0.0f, 4.0f, 1.0f, false, true, "Herd of 2 Runts (fleeing, anxiety 0, fatigue 0)"},
      {1, 2, 0.5f, 1.0f, 0.0f, 0.0f, false, false, "Herd of 2 Big Game (anxiety 50, fatigue 0)"},
      {3, 1, 0.5f, 3.0f, 4.0f, 0.0f, false, false, "Herd of 1 Predator (awareness 50, fatigue 75)"},
      {3, 0, 0.5f, 3.0f, 4.0f, 0.0f, false, false, ""},
      {0, 5, 0.5f, 3.0f, 4.0f, 0.0f, false, false, ""},
  };
  for (const auto& c : cases) {
    herd->SetType(c.type);
    herd->SetSize(c.count > 0 ? (uint32_t)c.count : 1u);
    herd->SetCount(c.count);
    herd->SetAttribute("anxiety", c.anxiety);
    herd->SetAttribute("fatigue", c.fatigue);
    herd->SetAttribute("sprintDuration", c.sprint);
    herd->SetAttribute("grazingTime", c.grazing);
    herd->SetHunted(c.hunted ? 1 : 0);
    herd->SetThreat(c.threat ? Members()[0] : nullptr);
    EXPECT_EQ(cTribeInputController::FormatHerdText(herd), c.text);
  }
  herd->SetThreat(nullptr);
  GetDataManager()->Remove(herd);
  herd->ReleaseSceneObjects();
}

TEST_F(cTribeHoverTest, MemberToolPlantAndFoodTexts) {
  cTribeCreature* member = Members()[0];
  member->SetCarriedFood(2.6f);
  member->EndInteraction();
  EXPECT_EQ(cTribeInputController::FormatCreatureText(member), "Food: 3  Not interacting");
  member->StartInteraction(GetTribePrototype<cMemberIdles>(), 0);
  EXPECT_EQ(cTribeInputController::FormatCreatureText(member), "Food: 3  Interaction: Idling");

  cTribeTool* tool = Player()->AddTool(kTribeToolWeapon, 2, view.GroundPoint(300, 300));
  EXPECT_EQ(cTribeInputController::FormatToolText(tool), "Weapon Level 2");

  cGamePlant* plant = GetPlanetModel().CreatePlant(view.GroundPoint(100, 100));
  plant->SetFoodValue(100.0f);
  EXPECT_EQ(Input()->FormatPlantText(plant), "Fruit: 8");
  SelectMember(0);
  EXPECT_EQ(Input()->FormatPlantText(plant), "Fruit: 8 (Click to gather)");
  plant->SetFoodValue(5.0f);
  EXPECT_EQ(Input()->FormatPlantText(plant), "Fruit: 0");

  // The food pile tells the player's food; a tribe's icon that tribe's.
  Player()->AddFood(41.6f - Player()->GetFood());
  view.Put(50, 60, new cFoodPile());
  Input()->OnMouseMove(50, 60);
  EXPECT_EQ(Frame(), std::vector<std::string>{"Food: 42"});
  view.Put(70, 60, Player());
  Input()->OnMouseMove(70, 60);
  EXPECT_EQ(Input()->GetHoveredFoodPile(), nullptr);
  EXPECT_EQ(Frame(), std::vector<std::string>{"Food: 42"});
}

// A member's text (15 pixels below the mouse) stays while the mouse rests on
// it and goes on the first frame more than the tooltip duration (3000 ms)
// after the mouse left it; its status meter goes with it.
TEST_F(cTribeHoverTest, MemberTextFadesAfterTheMouseLeaves) {
  cTribeCreature* member = Members()[0];
  view.Put(MemberX(0), 240, member);
  Input()->OnMouseMove(MemberX(0), 240);
  ASSERT_EQ(Input()->GetHoveredCreature(), member);
  Input()->Update(0);
  EXPECT_NE(member->GetStatusMeter(), nullptr);
  clock.Advance(10000);
  ASSERT_EQ(Frame().size(), 1u);
  EXPECT_EQ(overlay.Of(cDrawCall::kText)[0].y0, 240 + 15);

  // Another tribe's member keeps the text; the ground starts the fade.
  cTribe* rivals = Objects()->CreateNpcTribe(view.GroundPoint(600, 100));
  GetDataManager()->CommitPending();
  view.Put(600, 120, rivals->GetMembers().front());
  Input()->OnMouseMove(600, 120);
  EXPECT_EQ(Input()->GetHoveredCreature(), member);
  Input()->OnMouseMove(200, 300);
  clock.Advance(3000);
  EXPECT_EQ(Frame().size(), 1u);
  clock.Advance(1);
  EXPECT_EQ(Frame().size(), 1u);  // drawn on the frame it expires
  EXPECT_EQ(Input()->GetHoveredCreature(), nullptr);
  EXPECT_TRUE(Frame().empty());
}

// Fault mended: hover text ran off the window's right edge and lay under the
// items of the member menu that opens where the mouse rests.
TEST_F(cTribeHoverTest, TextStaysInsideTheWindowAndOffAnOpenMenu) {
  auto box = [](const cDrawCall& t) {  // x0, y0, x1, y1 of a text's glyphs
    return std::array<int, 4>{t.x0, t.y0 - 12, t.x0 + cOverlayRecorder::kCharWidth * (int)t.text.size(), t.y0 + 4};
  };
  view.Put(635, 470, GetPlanetModel().CreatePlant(view.GroundPoint(635, 470)));
  Input()->OnMouseMove(635, 470);
  ASSERT_EQ(Frame().size(), 1u);
  const auto edge = box(overlay.Of(cDrawCall::kText)[0]);
  EXPECT_TRUE(edge[2] <= overlay.width && edge[3] <= overlay.height);

  view.Put(MemberX(0), 240, Members()[0]);
  Input()->OnMouseMove(MemberX(0), 240);
  SelectMember(0);
  Input()->OnLeftButtonDown(MemberX(0), 240);  // opens its menu
  cGLFPieMenu* menu = Input()->GetOpenPieMenu();
  ASSERT_TRUE(menu && Frame().front().rfind("Food:", 0) == 0);
  const auto text = box(overlay.Of(cDrawCall::kText).front());
  for (int i = 0; i < menu->GetControlCount(); ++i) {
    const cGLFDialogControl* item = menu->GetControl(i);
    EXPECT_FALSE(text[0] < item->X1() && text[2] > item->X0() && text[1] < item->Y1() && text[3] > item->Y0()) << item->GetLabel();
  }
}

TEST_F(cTribeHoverTest, DyingMemberIsDroppedAtTheNextUpdate) {
  cTribeCreature* member = Members()[0];
  view.Put(MemberX(0), 240, member);
  Input()->OnMouseMove(MemberX(0), 240);
  Objects()->KillCreature(member);
  Input()->Update(0);
  EXPECT_EQ(Input()->GetHoveredCreature(), nullptr);
}

TEST_F(cTribeHoverTest, PlantTextLivesOnlyWhileTheMouseIsOnThePlant) {
  cGamePlant* plant = GetPlanetModel().CreatePlant(view.GroundPoint(100, 100));
  plant->SetFoodValue(50.0f);
  view.Put(100, 100, plant);
  Input()->OnMouseMove(100, 100);
  EXPECT_EQ(Frame(), std::vector<std::string>{"Fruit: 4"});
  Input()->OnMouseMove(101, 100);
  EXPECT_EQ(Input()->GetHoveredPlant(), nullptr);
}
