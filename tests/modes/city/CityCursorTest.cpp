// The cursor controller and the drag cursor: the result codes, a click versus
// a two-pixel drag, Ctrl-click, the hover tint and the label delay, panning
// and re-centring, the right button's click and drag, and carrying an object
// (tint, refusal with the bonk, return to where it was, a drop).
#include <gtest/gtest.h>

#include "camera/Camera.h"
#include "modes/city/citizens/CityCreatures.h"
#include "modes/city/cursors/CityCreatureCursor.h"
#include "modes/city/cursors/CityCursor.h"
#include "modes/city/economy/CityBuildingKinds.h"
#include "modes/city/economy/CityBundleContainers.h"
#include "sim/tuning/SharedTuningData.h"
#include "sim/gamedata/RefPtr.h"
#include "world/planet/GamePlant.h"
#include "modes/creature/CreatureCommon.h"
#include "sim/behavior/Interaction.h"
#include "tests/modes/city/CityTestSupport.h"

namespace {

using Ru::Math::Vector3;

// A cursor that answers a chosen code and hands over to a chosen next cursor.
class cScriptedCursor : public cICityGameCursor {
 public:
  int OnLeftButtonUp(int, int) override { return code; }
  int OnLeftButtonDown(int, int) override { return 0; }
  cICityGameCursor* GetNextCursor() override { return next; }
  int code = 0;
  cICityGameCursor* next = nullptr;
};

// A world object with a body, which opens `cursor` when clicked.
class cClickable : public tCityGameClass<cClickable, cCityGameWorldObject, 0x7E57C003> {
 public:
  cSceneObject* GetSceneObject() override { return body; }
  cICityGameCursor* GetCursor(int, int, cSceneObject*) override { return cursor; }
  void Make() {
    body = new cSceneObject(this, nullptr);
    body->SetColour(Vector3{0.0f, 1.0f, 0.0f});
  }
  void EndUsersInteractions() override {
    delete body;
    body = nullptr;
  }
  cSceneObject* body = nullptr;
  cICityGameCursor* cursor = nullptr;
};

class CityCursorTest : public cCityWorldTest {
 protected:
  void SetUp() override {
    cCityWorldTest::SetUp();
    static cClickable* prototype = new cClickable;
    GetDataManager()->RegisterType(prototype, prototype);
    thing = CreateRegisteredCityObject<cClickable>();
    thing->Make();
    thing->SetPosition(cFakeCityView::Ground(100, 100), Vector3{});
    thing->body->SetPosition(thing->GetPosition());
    thing->cursor = &opened;
    view.spots.push_back({100, 100, 3, thing->body});
    GetDataManager()->CommitPending();
  }
  cCityGameCursorController& Controller() { return GetCityCursorController(); }
  void Click(int x, int y, int releaseX, int releaseY) {
    Controller().OnLeftButtonDown(x, y);
    Controller().OnMouseMove(releaseX, releaseY);
    Controller().OnLeftButtonUp(releaseX, releaseY);
  }

  // The citizens, the first `near` 0.5 units apart from ground (x, y) on, the rest far off.
  std::vector<cCityGamePlayerCreature*> PlaceCitizens(size_t near, int x, int y) {
    std::vector<cCityGamePlayerCreature*> citizens;
    Registry().CollectObjectsOfClass(citizens);
    for (size_t i = 0; i < citizens.size(); ++i)
      citizens[i]->SetPosition(cFakeCityView::Ground(i < near ? x + 5 * (int)i : 900, y), Vector3{});
    return citizens;
  }

  cClickable* thing = nullptr;
  cScriptedCursor opened;
};

TEST_F(CityCursorTest, ResultCodesDecideWhoHasTheEventAndWhatComesNext) {
  // After a release on the object: the cursor still current, none, its next
  // one, or the object's own (the release went on to the controller).
  enum eAfter { kSame, kNone, kNext, kObjects };
  struct sCase {
    int code;
    bool hasNext;
    eAfter after;
  } cases[] = {{0, false, kSame}, {1, false, kObjects}, {1, true, kNext},
               {2, false, kNone}, {2, true, kNext},     {7, false, kObjects}};
  cScriptedCursor following;
  for (const sCase& c : cases) {
    cScriptedCursor current;
    current.code = c.code;
    current.next = c.hasNext ? &following : nullptr;
    Controller().SetCurrentCursor(&current);
    Click(100, 100, 100, 100);
    cICityGameCursor* const expected[] = {&current, nullptr, &following, &opened};
    EXPECT_EQ(Controller().GetCurrentCursor(), expected[c.after]) << "code " << c.code << (c.hasNext ? " with next" : "");
  }
}

TEST_F(CityCursorTest, AOnePixelWobbleIsAClickAndATwoPixelMoveADrag) {
  Click(100, 100, 101, 99);
  EXPECT_EQ(Controller().GetCurrentCursor(), &opened);
  Controller().SetCurrentCursor(nullptr);
  Controller().OnLeftButtonDown(100, 100);
  Controller().OnMouseMove(100, 102);
  EXPECT_EQ(Controller().GetCurrentCursor(), (cICityGameCursor*)&GetCityDragCursor());
  EXPECT_EQ(GetCityDragCursor().GetDraggedObject(), thing);
  EXPECT_TRUE(thing->IsCursorObject());
  Controller().OnLeftButtonUp(300, 300);  // the drag cursor takes the release and is done
  EXPECT_EQ(Controller().GetCurrentCursor(), nullptr);
  EXPECT_FALSE(thing->IsCursorObject());
}

// Fault mended: the Ctrl-clicked object was a plain pointer drawn every frame,
// read after the object was freed.
TEST_F(CityCursorTest, CtrlClickShowsTheIdUntilTheObjectLeavesTheGame) {
  view.ctrl = true;
  Click(100, 100, 100, 100);
  EXPECT_EQ(Controller().GetCurrentCursor(), nullptr);  // nothing opens
  overlay.calls.clear();
  Controller().Draw();
  const cDrawCall* id = overlay.FindText("ID: " + std::to_string(thing->GetId()));
  ASSERT_NE(id, nullptr);
  EXPECT_EQ(id->x0, overlay.width - (7 * (int)id->text.size() + 10));
  EXPECT_EQ(id->y0, overlay.height - 7);
  view.spots.clear();
  Registry().RemoveNow(thing);
  overlay.calls.clear();
  Controller().Draw();
  EXPECT_EQ(Controller().GetInspectedObject(), nullptr);
  EXPECT_TRUE(overlay.Of(cDrawCall::kText).empty());
}

TEST_F(CityCursorTest, TheHoveredHallTurnsOrangeAndIsLabelledAfter200Ms) {
  cSceneObject* hall = City()->GetSceneObject();
  view.spots.push_back({400, 300, 3, hall});
  Controller().OnMouseMove(400, 300);
  EXPECT_EQ(Controller().GetHoverObject(), City());
  const Vector3 tint = hall->GetColour();
  EXPECT_FLOAT_EQ(tint.x, 0.95f);
  EXPECT_FLOAT_EQ(tint.y, 0.475f);
  EXPECT_FLOAT_EQ(tint.z, 0.24f);
  Controller().Draw();  // the hover starts its clock
  clock.Advance(200);
  overlay.calls.clear();
  Controller().Draw();
  EXPECT_EQ(overlay.FindText("City Hall"), nullptr);
  clock.Advance(1);
  Controller().Draw();
  ASSERT_NE(overlay.FindText("City Hall"), nullptr);
  EXPECT_NE(overlay.FindText("Money: 100.00"), nullptr);
  // Fault mended: at the window's right edge the label ran out of it.
  view.spots.push_back({overlay.width - 1, 300, 3, hall});
  Controller().OnMouseMove(overlay.width - 1, 300);
  overlay.calls.clear();
  Controller().Draw();
  ASSERT_EQ(overlay.Of(cDrawCall::kText).size(), 2u);
  for (const cDrawCall& text : overlay.Of(cDrawCall::kText))
    EXPECT_LE(text.x0 + 7 * (int)text.text.size(), overlay.width) << text.text;
  Controller().OnMouseMove(10, 10);  // off the hall: its own colour again
  EXPECT_TRUE(Ru::Math::Vector3Equal(hall->GetColour(), Vector3{0.0f, 0.0f, 1.0f}));
  EXPECT_EQ(Controller().GetHoverObject(), nullptr);
}

TEST_F(CityCursorTest, PanningSpeedsUpOverTenFramesAndHomeReCentres) {
  const Vector3 pole = City()->GetPosition();
  const float frame[4] = {0.0f, 0.0f, 0.0f, 1.0f};
  SetCameraAnchorFrame(&pole.x, frame);
  SetCameraDistance(100.0f);
  Controller().Update(20);
  std::vector<float> steps;
  for (unsigned int held = 1; held <= 12; ++held) {
    Controller().HandleInputEvent("PAN_LEFT", 1.0f, held);
    const float* target = GetCameraPosition();
    steps.push_back(Ru::Math::Vector3Length(Ru::Math::Vector3Sub(Vector3{target[0], target[1], target[2]}, pole)));
  }
  EXPECT_NEAR(steps[0], 0.0005f * 20.0f * 100.0f, 0.02f);
  for (int n = 2; n <= 12; ++n) EXPECT_NEAR(steps[n - 1], steps[0] * (float)std::min(n, 10), 0.05f) << n;
  EXPECT_LT(GetCameraPosition()[0], pole.x);  // +1 pans left
  Controller().HandleInputEvent("FOCUS_CITY", 0.0f, 1);
  EXPECT_FLOAT_EQ(GetCameraPosition()[1], pole.y);
  Controller().SetCity(nullptr);  // before any city: nothing happens
  Controller().HandleInputEvent("PAN_FORWARD", 1.0f, 1);
  Controller().HandleInputEvent("FOCUS_CITY", 0.0f, 1);
  EXPECT_GT(Ru::Math::Vector3Length(Ru::Math::Vector3Sub(Vector3{GetCameraPosition()[0], GetCameraPosition()[1],
                                                                 GetCameraPosition()[2]}, pole)), 0.5f);
}

TEST_F(CityCursorTest, ARightPressUnder500MsJumpsTheCameraAndADragTurnsIt) {
  mode->OnRightButtonDown(200, 200);
  clock.Advance(499);
  mode->OnRightButtonUp(210, 220);
  mode->OnRightButtonDown(200, 200);
  clock.Advance(500);
  mode->OnRightButtonUp(230, 240);
  EXPECT_EQ(view.cameraJumps, (std::vector<std::pair<int, int>>{{210, 220}}));
  mode->OnRightButtonDown(200, 200);
  EXPECT_TRUE(mode->IsRightDragging());
  view.dx = 30, view.dy = -4;
  Pump(2);  // every frame passes the whole movement since the press
  EXPECT_EQ(GetCameraState().mouseMoveX, 30);
  EXPECT_EQ(GetCameraState().mouseMoveY, -4);
  mode->OnRightButtonUp(260, 200);
  EXPECT_FALSE(mode->IsRightDragging());
}

TEST_F(CityCursorTest, ACarriedObjectIsTintedRefusedWithABonkOrDropped) {
  cCityGameDragCursor& drag = GetCityDragCursor();
  auto* other = CreateRegisteredCityObject<cClickable>();
  other->Make();
  view.spots.push_back({600, 600, 3, other->body});
  const Vector3 start = thing->GetPosition();
  Controller().OnLeftButtonDown(100, 100);
  Controller().OnMouseMove(120, 100);
  ASSERT_EQ(drag.GetDraggedObject(), thing);
  drag.OnMouseMove(300, 300);  // bare ground
  EXPECT_TRUE(Ru::Math::Vector3Equal(thing->body->GetColour(), Vector3{1.0f, 1.0f, 1.0f}));
  EXPECT_TRUE(Ru::Math::Vector3Equal(thing->GetPosition(), cFakeCityView::Ground(300, 300)));
  drag.OnMouseMove(600, 600);  // over another object: it follows the ground, tinted red
  EXPECT_TRUE(Ru::Math::Vector3Equal(thing->body->GetColour(), Vector3{1.0f, 0.0f, 0.0f}));
  Controller().OnLeftButtonUp(600, 600);
  EXPECT_EQ(drag.GetBonkCount(), 1);
  EXPECT_TRUE(Ru::Math::Vector3Equal(thing->GetPosition(), start));
  EXPECT_TRUE(Ru::Math::Vector3Equal(thing->body->GetColour(), Vector3{0.0f, 1.0f, 0.0f}));
  Controller().OnLeftButtonDown(100, 100);
  Controller().OnMouseMove(103, 100);
  drag.OnMouseMove(400, 420);
  Controller().OnLeftButtonUp(400, 420);
  EXPECT_EQ(drag.GetBonkCount(), 1);
  EXPECT_TRUE(Ru::Math::Vector3Equal(thing->GetPosition(), cFakeCityView::Ground(400, 420)));
  EXPECT_EQ(drag.GetDraggedObject(), nullptr);
}

// A band over nobody ends at once; over citizens it takes each once (never a
// leaving one), its ring growing for each, and the click after walks them there.
TEST_F(CityCursorTest, ARubberBandTakesCitizensOnceAndAClickWalksThemThere) {
  std::vector<cCityGamePlayerCreature*> citizens = PlaceCitizens(4, 500, 500);
  citizens[3]->SetLeaving(true);
  Click(300, 300, 300, 300);
  EXPECT_EQ(Controller().GetCurrentCursor(), nullptr);
  Controller().OnLeftButtonDown(505, 500);
  Controller().OnMouseMove(505, 500);
  for (int frame = 0; frame < 3; ++frame) Controller().Update(kFrameMs);  // it sweeps every frame
  Controller().OnLeftButtonUp(505, 500);
  cCityGameCreatureCursor& band = GetCityCreatureCursor();
  ASSERT_EQ(band.GetSelection().size(), 3u);
  const cSharedTuningData& shared = GetSharedTuningData();
  EXPECT_FLOAT_EQ(band.GetSelectionRadius(), shared.GetCitySelectionRadius() + 3 * shared.GetCityRadiusIncrement());
  EXPECT_NE(band.GetMarker().GetSceneObject(), nullptr);
  Click(700, 300, 700, 300);
  EXPECT_EQ(Controller().GetCurrentCursor(), nullptr);
  for (int i = 0; i < 3; ++i)
    EXPECT_TRUE(citizens[i]->GetInteraction()->GetName() == "Walking" &&
                Distance(citizens[i]->GetCommon()->GetPosition(), cFakeCityView::Ground(700, 300)) < 1e-3f) << i;
}

// A clicked citizen is ordered by what the release falls on: a house is used,
// a plant gathered from, a military building sends it idling by the hall (not
// walking); a carried bundle is set down unless the target takes the citizen.
TEST_F(CityCursorTest, AClickedCitizenIsOrderedByWhatTheReleaseFallsOn) {
  auto* house = NewBuildingAt<cCityGameBuildingHouse>(cFakeCityView::Ground(200, 200));
  auto* barracks = NewBuildingAt<cCityGameBuildingMilitary>(cFakeCityView::Ground(300, 300));
  tRefPtr<cGamePlant> plant = new cGamePlant;
  plant->SetSceneObject(new cSceneObject(plant.Get(), nullptr));
  cCityGamePlayerCreature* citizen = PlaceCitizens(1, 600, 600)[0];
  view.spots = {{200, 200, 3, house->GetSceneObject()}, {300, 300, 3, barracks->GetSceneObject()},
                {400, 400, 3, plant->GetSceneObject()}, {600, 600, 3, citizen->GetSceneObject()}};
  const int32_t idle = (int32_t)GetCityGameTuning().idleAtCityHallDuration;
  struct sCase {
    int at;
    const char* behaviour;  // null: none
    int32_t idleTimer;
  } cases[] = {{200, "Building", 0}, {400, "Gathering Fruit", 0}, {300, nullptr, idle}};
  for (const sCase& c : cases) {
    citizen->SetIdleTimer(0);
    auto* bundle = new cCityGameBundle;
    bundle->Initialize(City(), kCityFood, 5.0f);
    citizen->AttachCarried(bundle);
    Click(600, 600, 600, 600);
    Click(c.at, c.at, c.at, c.at);
    EXPECT_FALSE(citizen->IsSelected()) << c.at;
    EXPECT_EQ(citizen->HasInteraction() ? citizen->GetInteraction()->GetName() : "", c.behaviour ? c.behaviour : "");
    EXPECT_EQ(citizen->GetIdleTimer(), c.idleTimer) << c.at;
    EXPECT_EQ(citizen->GetCarried() == bundle, c.at == 200) << c.at;
    delete citizen->TakeCarried();
  }
  plant->DestroySceneObject();  // the scene object holds the plant
}

// Fault mended: the hover tint held the scene object alone, and a bundle cube
// freed while tinted (eaten, sold) was "recoloured" after it was gone.
TEST_F(CityCursorTest, AHoveredBundleCubeFreedMeanwhileIsForgottenNotRecoloured) {
  cCityGameCityBundleContainer* store = GetGlobalCityContainer(kCityFood);
  cCityGameBundle* cubes[2];
  for (int i = 0; i < 2; ++i) {
    cubes[i] = new cCityGameBundle;
    cubes[i]->Initialize(City(), kCityFood, 5.0f);
    store->AddBundle(cubes[i]);
    view.spots.push_back({200 + 100 * i, 700, 3, cubes[i]->GetSceneObject()});
  }
  cCityGameCreatureCursor& cursor = GetCityCreatureCursor();
  Controller().SetCurrentCursor(&cursor);
  const Vector3 own = cubes[0]->GetSceneObject()->GetColour();
  Controller().OnMouseMove(200, 700);
  EXPECT_FALSE(Ru::Math::Vector3Equal(cubes[0]->GetSceneObject()->GetColour(), own));
  Controller().OnMouseMove(300, 700);  // the tint moves on and the first cube's colour comes back
  EXPECT_TRUE(Ru::Math::Vector3Equal(cubes[0]->GetSceneObject()->GetColour(), own));
  view.spots.pop_back();
  delete store->RemoveBundle(cubes[1]);
  Controller().OnMouseMove(100, 100);  // over a thing of no use: nothing to recolour, nothing tinted
  EXPECT_EQ(cursor.GetHighlight(), nullptr);
}

// Calling every citizen skips the leaving and the hidden, sets the rest
// walking by the player's order, and a release on the ground sends them there.
TEST_F(CityCursorTest, CallingAllCitizensOrdersThemUntilTheRelease) {
  std::vector<cCityGamePlayerCreature*> citizens;
  Registry().CollectObjectsOfClass(citizens);
  ASSERT_GE(citizens.size(), 3u);
  citizens[0]->SetLeaving(true);
  citizens[1]->SetHidden(true);
  cCityGameCreatureCursor& cursor = GetCityCreatureCursor();
  cursor.CallAllCitizens();
  ASSERT_EQ(cursor.GetSelection().size(), citizens.size() - 2);
  for (size_t i = 0; i < citizens.size(); ++i) {
    const bool called = i >= 2;
    EXPECT_EQ(cursor.IsCursorObject(citizens[i]), called) << i;
    EXPECT_EQ(citizens[i]->IsSelected(), called) << i;
    if (called) { EXPECT_EQ(citizens[i]->GetStartMode(), 1u) << i; }
    if (called) { EXPECT_EQ(citizens[i]->GetInteraction()->GetName(), "Walking") << i; }
  }
  EXPECT_EQ(cursor.OnLeftButtonUp(700, 300), cICityGameCursor::kDone);
  EXPECT_TRUE(cursor.GetSelection().empty());
  for (size_t i = 2; i < citizens.size(); ++i) {
    EXPECT_FALSE(citizens[i]->IsSelected()) << i;
    EXPECT_LT(Ru::Math::Vector3Length(Ru::Math::Vector3Sub(citizens[i]->GetCommon()->GetPosition(),
                                                           cFakeCityView::Ground(700, 300))), 1e-3f) << i;
  }
}

}  // namespace
