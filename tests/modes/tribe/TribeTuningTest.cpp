// The tribe's tuning file and the shared one, every key played at the texts
// that break play: the tribe founded, its tools bought, its HUD drawn; a shared
// key also seeds the planet's plants and sizes a HUD panel.
#include <memory>

#include "glf/BarPanel.h"
#include "glf/PieMenu.h"
#include "modes/tribe/ToolPurchaseMenu.h"
#include "modes/tribe/TribeDisplayController.h"
#include "sim/tuning/SharedTuningData.h"
#include "tests/modes/tribe/TribeTestSupport.h"
#include "tests/sim/tuning/TuningTestSupport.h"

namespace {

// Fault mended: an int written "1e30" read 1 and NaN or nothing read 0 without
// a word, and a float NaN was named as "0".
class TribeTuningTrialTest : public cTribeWorldTest {
 protected:
  TribeTuningTrialTest() { enterOnSetUp = false; }
  ~TribeTuningTrialTest() override { GetSharedTuningData().Reload(); }

  void Found(cTuningData& set, const sTuningKey& key, const std::string& text) {
    ApplyTrialText(set, key, text);
    if (&set == &GetSharedTuningData()) {
      GetPlanetModel().ClearPlantsForTest();
      GetPlanetModel().SeedPlants();
      cGLFBarPanel panel;  // sized from the start window and the tuned bars
      panel.AddBar("Trial:", 1, 10.0f, 0);
      panel.SetValue("Trial:", 5.0f);
      panel.Draw(5.0f, 5.0f);
      EXPECT_TRUE(std::isfinite(panel.GetBarWidthRatio()) && std::isfinite(panel.GetBarHeightRatio()));
    }
    Enter();
  }
  void Play(const std::string& where) {
    Player()->AddFood(3e6f);  // the first level of every tool, with food enough for the dearest
    std::unique_ptr<cGLFPieMenu> menu(cToolPurchaseMenu::MakeBuyMenu(nullptr, Player()));
    std::vector<int> ids;
    for (int i = 0; i < menu->GetControlCount(); ++i) ids.push_back(menu->GetControl(i)->GetId());
    for (int id : ids) cToolPurchaseMenu::OnBuyMenuSelection(id, *menu, Ru::Math::Vector3{0.0f, 0.0f, 600.0f});
    mode->GetDisplayController()->Render();
    Pump(35, 100);
    Pump(1, 500);  // the longest frame the loop passes on
    mode->GetDisplayController()->Render();
    const cGLFProgressBar& goal = mode->GetDisplayController()->GetPanel().GetTitleBar();
    if ((int)Player()->GetPopulation() < GetTribeTuningData().GetTribePopulationGoal()) {
      EXPECT_LT(goal.GetValue(), goal.GetRange()) << where << ": the goal bar is full before the goal";
    }
    int near = 0;  // every member stands on the planet, and some near the hut
    for (cTribeCreature* member : Members()) {
      const Ru::Math::Vector3 p = PositionOf(member);
      ASSERT_TRUE(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z)) << where;
      near += Distance(p, HutPosition()) < 200.0f;
    }
    EXPECT_TRUE(Members().empty() || near > 0) << where << ": every member has left the tribe";
  }
  template <class tSet>
  void TryEveryKeyOf(tSet& set, const std::vector<sTuningKey>& keys, const std::vector<sTuningLaw>& laws) {
    TryEveryKeyAtEveryText(keys, laws, [this] { TearDown(), GetSharedTuningData().Reload(), SetUp(); },
                           [&](const sTuningKey& key, const std::string& text, const std::string& where) {
                             Found(set, key, text), Play(where);
                             return set.Held(key.name);
                           });
  }
};

TEST_F(TribeTuningTrialTest, EveryTribeKeyFoundsAndPlaysAtEveryTrialText) {
  // The rates are periods in ms; the levels are a motive's percent.
  TryEveryKeyOf(GetTribeTuningData(), cTribeTuningData::Keys(),
                {{"interval", 1}, {"rate", 1}, {"duration", 0}, {"cost", 0}, {"goal", 1}, {"PopulationStart", 0},
                 {"level", 0, 100}, {"speed", 0}, {"food", 0}, {"value", 0}});
}
TEST_F(TribeTuningTrialTest, EverySharedKeyFoundsAndPlaysAtEveryTrialText) {
  // A scale of 0 would draw nothing; a window is at least a pixel; a clump at least a plant.
  TryEveryKeyOf(GetSharedTuningData(), cSharedTuningData::Keys(),
                {{"scale", 1e-6}, {"windowstart", 1}, {"uibar", 0}, {"radius", 0}, {"increment", 0}, {"visibility", 0},
                 {"NumberOfPlants", 0}, {"ClumpSize", 1}, {"GrowthRate", 0}});
}

}  // namespace
