// Every pie menu the modes build, with the labels the game gives them, opened
// at the centre, each corner and the middle of each edge of a window of the
// size the game starts with and measured in GLUT's own font: its items lie
// apart and inside the window, and each is chosen by a press and release at
// its far end.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "app/AppGlobals.h"
#include "glf/MessageBoard.h"
#include "modes/city/cCityGameMode.h"
#include "modes/city/cursors/CityContainerMenus.h"
#include "modes/city/cursors/CityCursorController.h"
#include "modes/city/cursors/CityMenuCursors.h"
#include "modes/city/economy/CityBuildingKinds.h"
#include "modes/civ/CivPieMenus.h"
#include "modes/civ/cCivGameMode.h"
#include "modes/tribe/cTribeGameMode.h"
#include "sim/tuning/SharedTuningData.h"
#include "tests/modes/city/CityTestSupport.h"
#include "tests/modes/civ/CivTestSupport.h"
#include "tests/modes/tribe/TribeInputSupport.h"
#include "tests/support/GLTestWindow.h"
#include "tests/support/PieMenuCheck.h"
#include "tests/support/StartedProgram.h"

namespace {

struct sMenuRow {
  const char* name;
  int items;  // as the mode builds it; 0 for a menu that changes as its items are chosen
  std::function<cGLFPieMenu*()> open;  // builds the menu as the mode does and returns it
};

// The program's own overlay (GLUT's fonts, the window's size) in place of the
// fixture's recorder while a menu is checked, on a window of the game's size.
class cGameSizedOverlay {
 public:
  cGameSizedOverlay() : mRecorder(GLFOverlayDrawsWithOpenGL() ? nullptr : GetGLFOverlayTarget()) {
    SetGLFOverlayTarget(nullptr);
  }
  ~cGameSizedOverlay() { SetGLFOverlayTarget(mRecorder); }
  static bool OpenWindow() {
    static const bool open = OpenGLTestWindow((int)GetSharedTuningData().GetWindowStartWidth(),
                                              (int)GetSharedTuningData().GetWindowStartHeight());
    return open;
  }

 private:
  cIGLFOverlayTarget* mRecorder;
};

void CheckEveryRow(const std::vector<sMenuRow>& rows, cFakeClock& clock, const std::function<void()>& afterRow = {}) {
  ASSERT_TRUE(cGameSizedOverlay::OpenWindow());
  for (const sMenuRow& row : rows) {
    SCOPED_TRACE(row.name);
    cGLFPieMenu* menu = row.open();
    ASSERT_NE(menu, nullptr);
    if (row.items) {
      EXPECT_EQ(menu->GetControlCount(), row.items);
    }
    cGameSizedOverlay overlay;
    int width = 0, height = 0;
    GetWindowSize2D(&width, &height);
    EXPECT_EQ(width, (int)GetSharedTuningData().GetWindowStartWidth());
    // The middle, each corner and each edge's middle of the window's pixels.
    // A menu whose choices use it up (tools bought to their last level) opens
    // in the middle only.
    const std::vector<float> xs = row.items ? std::vector<float>{0.0f, width / 2.0f, width - 1.0f}
                                            : std::vector<float>{width / 2.0f};
    const std::vector<float> ys = row.items ? std::vector<float>{0.0f, height / 2.0f, height - 1.0f}
                                            : std::vector<float>{height / 2.0f};
    for (float x : xs)
      for (float y : ys) {
        SCOPED_TRACE("opened at (" + std::to_string(x) + ", " + std::to_string(y) + ")");
        ExpectPieMenuItemsApartInsideAndChosen(*menu, x, y, clock);
      }
    if (afterRow) afterRow();
  }
}

class TribeMenusTest : public cTribeInputTest {};
class CityMenusTest : public cCityTribeWorldTest {};
class CivMenusTest : public CivInputFixture {};

TEST_F(TribeMenusTest, ApartInsideAndChosenAtTheirFarEnds) {
  const struct {
    const char* name;
    int items;
  } menus[cTribeInputController::kMenuCount] = {{"member", 4}, {"hut", 2},   {"Buy Tool", 7},  {"ground", 3},
                                                {"plants", 1}, {"herd", 1}, {"rival hut", 3}, {"food pile", 1}};
  std::vector<sMenuRow> rows;
  for (int i = 0; i < cTribeInputController::kMenuCount; ++i)
    rows.push_back({menus[i].name, menus[i].items, [this, i] { return Input()->GetMenu(i); }});
  // With food, a tool chosen is bought and gives way to its next level.
  rows.push_back({"Buy Tool, buying", 0, [this] {
                    Player()->AddFood(10000.0f);
                    return Input()->GetMenu(2);
                  }});
  CheckEveryRow(rows, clock);
}

TEST_F(CityMenusTest, ApartInsideAndChosenAtTheirFarEnds) {
  std::vector<cCityGameWorldObject*> citizens;
  for (cCityGamePlayerCreature* c : Citizens())
    if (citizens.size() < 2) c->SetSelected(true), citizens.push_back(c);
  auto* factory = NewBuildingAt<cCityGameBuildingFactory>(cFakeCityView::Ground(520, 500));
  auto* house = NewBuildingAt<cCityGameBuildingHouse>(cFakeCityView::Ground(480, 500));
  auto* silo = NewBuildingAt<cCityGameBuildingSilo>(cFakeCityView::Ground(500, 520));
  GetDataManager()->CommitPending();
  cCityGameCityBundleContainer* loose = GetGlobalCityContainer(kCityFood);
  auto* bundle = new cCityGameBundle;
  bundle->Initialize(nullptr, kCityFood, 5.0f);
  loose->AddBundle(bundle);
  auto hall = [this] {
    GetCityCityCursor().Open(City(), 512, 384);
    return GetCityCityCursor().GetMenu();
  };
  auto storeOf = [&](auto* holder) -> cGLFPieMenu* {
    auto* cursor = dynamic_cast<cCityGameLeftClickPieMenuCursor*>(holder->GetSelectionCursor(512, 384, nullptr, citizens));
    return cursor ? cursor->GetMenu() : nullptr;
  };
  auto building = [](cCityGameBuilding* b) {
    GetCityBuildingPieMenuCursor().Open(b, 512, 384);
    return GetCityBuildingPieMenuCursor().GetMenu();
  };
  const std::vector<sMenuRow> rows = {
      {"hall, level 0", 6, hall},
      {"hall, level 1", 9,
       [&] {
         City()->AddMoneySilently(1000.0f);
         City()->UpgradeCityHall();
         return hall();
       }},
      {"hall, level 2, the top", 9, [&] { return City()->UpgradeCityHall(), hall(); }},
      {"factory", 2, [&] { return building(factory); }},
      {"house", 1, [&] { return building(house); }},
      {"hall's store", 2, [&] { return storeOf(City()->GetContainer(kCityFood)); }},
      {"silo's store", 2, [&] { return storeOf(silo); }},
      {"the tribes to sell to", (int)tribes.size(),
       [&] {
         auto& cursor = GetCityContainerPieMenuCursor();
         storeOf(City()->GetContainer(kCityFood));
         Click(cursor, cursor.GetMenu(), 1);  // "Sell"
         return cursor.GetSellMenu();
       }},
      {"loose food", 3, [&] { return storeOf(loose); }},
      {"a tribe, citizens chosen", 4,
       [&] {
         tribes[0]->GetSelectionCursor(512, 384, nullptr, citizens);
         return GetCityTribeCursor().GetMenu();
       }},
  };
  CheckEveryRow(rows, clock);
}

TEST_F(CivMenusTest, ApartInsideAndChosenAtTheirFarEnds) {
  *cCivTuning::GetCosts() = saved.costs;  // the game's prices, for the game's labels
  BuildingAt(0, 0, 10, 10);
  BuildingAt(2, 0, 30, 30);
  auto cityMenu = [this](int level) {
    return [this, level] {
      players->GetUpgradeLevels()->Set(0, level);
      Click(10, 10);
      return input->GetPieMenus().GetVisibleMenu();
    };
  };
  auto everything = [cityMenu] {  // last: it leaves embassies
    City(2)->EstablishEmbassy(City(0));  // a trade partner
    City(0)->EstablishEmbassy(City(2));  // an embassy to expel
    City(0)->DestroyBuilding();          // a ruin to repair
    GetDataManager()->CommitPending();
    return cityMenu(4)();
  };
  const std::vector<sMenuRow> rows = {
      {"a rival city", 1, [this] { return Click(30, 30), input->GetPieMenus().GetVisibleMenu(); }},
      {"a rival city, vehicles chosen", 3,
       [this] {
         VehicleAt(0, 60, 60);  // bought: already chosen
         Click(30, 30);
         return input->GetPieMenus().GetVisibleMenu();
       }},
      {"own city, six items", 6, cityMenu(0)},
      {"own city, seven items", 7, cityMenu(2)},
      {"own city, eight items", 8, cityMenu(4)},
      {"own city, eleven items", 11, everything},
  };
  CheckEveryRow(rows, clock, [this] { input->ResetBeforeLoad(); });
}

// Fault mended: a menu opened at a top corner lay under the mode's HUD
// panel, its labels unreadable. In the game's own frame a menu open at the
// top left corner is the last thing drawn, over the HUD the mode drew.
TEST(ModeMenusInTheGame, AnOpenMenuIsDrawnOverTheModesHud) {
  const struct {
    const char* option;
    const char* hudText;  // a text of the mode's HUD panel
    cGLFPieMenu* (*open)();  // shows one of the mode's menus at (0, 0), where the mode draws it
  } rows[] = {
      {"-tribemode", "Population Goal:",
       [] {
         cGLFPieMenu* ground = gTribeGameMode->GetInputController()->GetMenu(3);
         ground->Show();
         ground->Layout(0.0f, 0.0f);
         return ground;
       }},
      {"-citymode", "Population Goal:",
       [] {
         GetCityCityCursor().Open(gCityGameMode->GetCity(), 0, 0);
         GetCityCursorController().SetCurrentCursor(&GetCityCityCursor());
         return GetCityCityCursor().GetMenu();
       }},
      {"-civmode", "Wealth:",
       [] {
         cGLFPieMenu* attack = gCivGameMode->GetInput()->GetPieMenus().GetAttackMenu();
         attack->Show();
         attack->Layout(0.0f, 0.0f);
         return attack;
       }},
  };
  auto same = [](const cDrawCall& a, const cDrawCall& b) {
    return a.kind == b.kind && a.x0 == b.x0 && a.y0 == b.y0 && a.x1 == b.x1 && a.y1 == b.y1 && a.text == b.text;
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.option);
    RunIsolated([&] {
      cStartedProgram program({"-noautopause", row.option});
      program.Frame(16);
      cGLFPieMenu* menu = row.open();
      ASSERT_NE(menu, nullptr);
      program.clock.Advance(cGLFPieMenu::kOpeningMs);
      GetGLFMessageBoard().Clear();  // the frame's own texts, drawn after the mode's
      cOverlayRecorder recorder;
      RenderFrame();
      const std::vector<cDrawCall> frame = recorder.calls;
      recorder.calls.clear();
      Begin2D();
      menu->Draw();  // fully open: the same drawing again, alone
      End2D();
      const std::vector<cDrawCall>& alone = recorder.calls;
      ASSERT_FALSE(alone.empty());
      const auto drawnAt = std::search(frame.begin(), frame.end(), alone.begin(), alone.end(), same);
      ASSERT_NE(drawnAt, frame.end()) << "the menu is drawn";
      std::string over;
      for (auto call = drawnAt + (long)alone.size(); call != frame.end(); ++call)
        if (call->kind == cDrawCall::kText) over += " \"" + call->text + "\"";
      EXPECT_TRUE(drawnAt + (long)alone.size() == frame.end()) << "drawn over the menu:" << over;
      const auto hud = std::find_if(frame.begin(), frame.end(), [&](const cDrawCall& c) { return c.text == row.hudText; });
      EXPECT_TRUE(hud < drawnAt) << "the HUD is drawn, under the menu";
    });
  }
}

}  // namespace
