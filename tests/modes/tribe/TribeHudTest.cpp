// The tribe HUD: the panel's rows and goal bar, condition labels, rival
// population icons and the food pile.
#include <cmath>

#include "modes/tribe/FoodPile.h"
#include "modes/tribe/TribeDisplayController.h"
#include "tests/modes/tribe/TribeTestSupport.h"
#include "world/scene/BillboardShape.h"
#include "world/scene/SceneObject.h"

namespace {

using Ru::Math::Vector3;

class TribeHudTest : public cTribeWorldTest {
 protected:
  cTribeDisplayController* Hud() { return mode->GetDisplayController(); }
  cTribe* MakeRival(int members) {
    cTribe* rival = Objects()->CreateNpcTribe(Vector3{0.0f, 0.0f, 510.0f});
    for (int i = 2; i < members; ++i) Objects()->AddNewMember(rival, false);
    GetDataManager()->CommitPending();
    return rival;
  }
  static float Height(const Vector3& v) { return Ru::Math::Vector3Length(v); }
};

TEST_F(TribeHudTest, PanelShowsPopulationFoodAndTheGoalBar) {
  Player()->AddFood(42.0f);
  const float population = (float)Player()->GetPopulation();
  Hud()->Render();
  cGLFBarPanel& panel = Hud()->GetPanel();
  EXPECT_EQ(panel.GetValue("Population:"), population);
  EXPECT_EQ(panel.GetValue("Food:"), 42.0f);
  EXPECT_EQ(panel.GetTitleBar().GetLabel(), "Population Goal:");
  EXPECT_EQ(panel.GetTitleBar().GetRange(), 20.0f);
  EXPECT_EQ(panel.GetTitleBar().GetValue(), population);
  const std::string populationText = std::to_string((int)population);
  for (const char* text : {"Population:", "Food:", populationText.c_str(), "42", "Population Goal:"})
    EXPECT_NE(overlay.FindText(text), nullptr) << text;

  SetTuningInt("tribePopulationGoal", (int)population);
  Reenter();
  Hud()->Render();
  EXPECT_EQ(Hud()->GetPanel().GetTitleBar().GetFraction(), 1.0f) << "full at the goal";
}

TEST_F(TribeHudTest, ConditionLabelsFloatAboveTheirMemberAndChangeOnlyWithTheKind) {
  cTribeCreature* member = Members()[0];
  ASSERT_TRUE(Hud()->SetConditionLabel(member, 0));
  cSceneObject* label = Hud()->GetConditionLabel(member);
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->GetShape(), Hud()->GetConditionShape(0));
  EXPECT_EQ(label->GetColour(), (Vector3{1.0f, 0.0f, 0.0f}));
  EXPECT_NEAR(Height(label->GetPosition()), Height(PositionOf(member)) + 4.0f, 1e-3f);

  EXPECT_TRUE(Hud()->SetConditionLabel(member, 0));
  EXPECT_EQ(Hud()->GetConditionLabel(member), label) << "the same kind keeps its object";
  EXPECT_TRUE(Hud()->SetConditionLabel(member, 4));
  EXPECT_EQ(Hud()->GetConditionLabel(member)->GetShape(), Hud()->GetConditionShape(4));
  EXPECT_EQ(Hud()->GetConditionLabel(member)->GetColour(), (Vector3{1.0f, 1.0f, 0.0f}));
  EXPECT_FALSE(Hud()->SetConditionLabel(member, 6));
  EXPECT_EQ(Hud()->GetConditionLabelCount(), 1);

  member->ShowHealthMeter(true);
  member->SetPosition(Vector3{0.0f, 0.0f, 510.0f});
  Hud()->Update(0);
  EXPECT_EQ(Hud()->GetConditionLabel(member)->GetPosition(), (Vector3{0.0f, 0.0f, 514.0f})) << "labels follow";
  EXPECT_EQ(member->GetHealthMeter()->GetPosition(), (Vector3{0.0f, 0.0f, 516.0f}));
  member->ShowHealthMeter(false);

  Hud()->RemoveConditionLabel(member);
  EXPECT_EQ(Hud()->GetConditionLabel(member), nullptr);
  EXPECT_EQ(GetSceneManager().GetObjectCount(Hud()->GetConditionShape(4)), 0u);
}

TEST_F(TribeHudTest, TheWorstConditionChoosesTheLabelAndHealthComesFirst) {
  SetTuningInt("criticalhealthlevel", 20);
  SetTuningInt("criticalhungerlevel", 20);
  SetTuningInt("lowhealthlevel", 60);
  cTribeCreature* member = Members()[0];
  member->SetSuppressChoice(true);  // starving without food it would go hunting, and a hunter keeps its label
  member->SetHealth(10.0f);
  member->SetHunger(10.0f);
  Pump(1);
  ASSERT_NE(Hud()->GetConditionLabel(member), nullptr);
  EXPECT_EQ(Hud()->GetConditionLabel(member)->GetShape(), Hud()->GetConditionShape(0)) << "health before hunger";

  member->SetHealth(50.0f);
  member->SetHunger(100.0f);
  Pump(1);
  ASSERT_NE(Hud()->GetConditionLabel(member), nullptr);
  EXPECT_EQ(Hud()->GetConditionLabel(member)->GetShape(), Hud()->GetConditionShape(3)) << "low health, yellow";

  member->SetHealth(100.0f);
  Pump(1);
  EXPECT_EQ(Hud()->GetConditionLabel(member), nullptr);
}

TEST_F(TribeHudTest, RivalsShowTheirPopulationAboveTheHutAndANewIconWhenTheyGrow) {
  cTribe* rival = MakeRival(7);
  Hud()->Leave();
  Hud()->Enter();  // rivals present at Enter get their icon
  EXPECT_EQ(Hud()->GetPopulationIcon(Player()), nullptr) << "the player's tribe has none";
  cSceneObject* icon = Hud()->GetPopulationIcon(rival);
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(icon->GetShape(), Hud()->GetPopulationIconShape(7));
  EXPECT_TRUE(Hud()->GetPopulationIconShape(7)->HasImage()) << "tribe_07.bmp";
  EXPECT_EQ(icon->GetOwner(), rival) << "hovering it shows the rival's food";
  EXPECT_NEAR(Height(icon->GetPosition()), Height(rival->GetHut()->GetPositionVector()) + 4.0f, 1e-3f);

  Objects()->AddNewMember(rival, false);
  Pump(1);
  ASSERT_NE(Hud()->GetPopulationIcon(rival), nullptr);
  EXPECT_EQ(Hud()->GetPopulationIcon(rival)->GetShape(), Hud()->GetPopulationIconShape(8));
  EXPECT_EQ(Hud()->GetPopulationIconShape(20), Hud()->GetPopulationIconShape(500)) << "tribe_+ from 20 on";
  EXPECT_NE(Hud()->GetPopulationIconShape(19), Hud()->GetPopulationIconShape(20));
}

// A rival emptied by raids used to index the missing picture of population 0.
TEST_F(TribeHudTest, ARivalWithNoMembersShowsNoIconUntilItGrowsAgain) {
  cTribe* rival = MakeRival(2);
  ASSERT_TRUE(Hud()->UpdatePopulationIcon(rival));
  const std::vector<cTribeCreature*> members = MembersOf(rival);
  for (cTribeCreature* member : members) rival->RemoveMember(member);
  EXPECT_EQ(Hud()->GetPopulationIconShape(0), nullptr);
  EXPECT_TRUE(Hud()->UpdatePopulationIcon(rival));
  EXPECT_EQ(Hud()->GetPopulationIcon(rival), nullptr);
  EXPECT_EQ(GetSceneManager().GetObjectCount(Hud()->GetPopulationIconShape(2)), 0u);
  Pump(1);
  EXPECT_EQ(Hud()->GetPopulationIcon(rival), nullptr);

  rival->AddMember(members[0]);
  Pump(1);
  ASSERT_NE(Hud()->GetPopulationIcon(rival), nullptr);
  EXPECT_EQ(Hud()->GetPopulationIcon(rival)->GetShape(), Hud()->GetPopulationIconShape(1));
}

TEST_F(TribeHudTest, TheFoodPileGrowsWithTheCubeRootOfTheFoodUpToTwo) {
  EXPECT_EQ(cTribeDisplayController::FoodPileSize(0.0f), 0.0f);
  EXPECT_EQ(cTribeDisplayController::FoodPileSize(-5.0f), 0.0f);
  EXPECT_NEAR(cTribeDisplayController::FoodPileSize(1000.0f), 1.5f, 1e-3f);
  EXPECT_EQ(cTribeDisplayController::FoodPileSize(8000.0f), 2.0f);

  cSceneObject* pile = Hud()->GetFoodPileObject();
  ASSERT_NE(pile, nullptr);
  EXPECT_EQ(pile->GetOwner()->GetTypeId(), cFoodPile::kTypeId);
  EXPECT_EQ(pile->GetColour(), (Vector3{0.0f, 1.0f, 0.0f}));
  Pump(1);
  EXPECT_EQ(Hud()->GetFoodPileShape()->GetScale().x, 0.0f) << "no food, no pile";
  Player()->AddFood(1000.0f);
  Pump(1);
  EXPECT_NEAR(Hud()->GetFoodPileShape()->GetScale().y, 1.5f, 1e-3f);
  Vector3 ground;
  GetPlanetModel().ProjectToSurface(ground, *Player()->GetHut()->GetFoodSite());
  EXPECT_EQ(pile->GetPosition(), ground);

  // Entered again with other food (a game loaded while paused, no update yet):
  // the pile shows that food at once.
  Hud()->Leave();
  Player()->AddFood(7000.0f);
  Hud()->Enter();
  EXPECT_EQ(Hud()->GetFoodPileShape()->GetScale().x, 2.0f);
}

TEST_F(TribeHudTest, LeavingTakesEveryLabelIconAndThePileOutOfTheScene) {
  cTribe* rival = MakeRival(3);
  Hud()->UpdatePopulationIcon(rival);
  Hud()->SetConditionLabel(Members()[0], 2);
  cTribeDisplayController* hud = Hud();
  cISceneShape* shapes[] = {hud->GetConditionShape(2), hud->GetPopulationIconShape(3), hud->GetFoodPileShape()};
  for (cISceneShape* shape : shapes) EXPECT_EQ(GetSceneManager().GetObjectCount(shape), 1u);
  hud->Leave();
  for (cISceneShape* shape : shapes) EXPECT_EQ(GetSceneManager().GetObjectCount(shape), 0u);
  EXPECT_EQ(hud->GetFoodPileObject(), nullptr);
  EXPECT_EQ(hud->GetPopulationIcon(rival), nullptr);
}

}  // namespace
