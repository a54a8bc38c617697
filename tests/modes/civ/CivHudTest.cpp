// The civ HUD: the map's projection and influence image, the human's income
// panel, the labels and their markers, the event notice and the debug vehicle.
#include <algorithm>
#include <cmath>

#include "modes/civ/CivBuilding.h"
#include "modes/civ/CivDebugFlags.h"
#include "modes/civ/CivDebugVehicle.h"
#include "modes/civ/CivEventNotice.h"
#include "modes/civ/CivHud.h"
#include "modes/civ/CivHudMarkers.h"
#include "modes/civ/CivInfluence.h"
#include "modes/civ/CivMap.h"
#include "modes/civ/CivRoad.h"
#include "tests/glf/OverlayRecorder.h"
#include "tests/modes/civ/CivTestSupport.h"
#include "tests/world/scene/SceneTestSupport.h"
#include "world/scene/BillboardShape.h"
#include "world/scene/SceneManager.h"
#include "world/scene/SceneObject.h"

namespace {

using namespace Ru::Math;
constexpr float kPi = 3.14159265f;

// The human (0) at home with 440.7 in hand; player 1's city holds the
// human's embassy and the end of the human's trade route.
struct CivHudTest : CivCombatFixture {
  cCivModeDecoratedCity* foreign = nullptr;
  cCivHud hud;
  cOverlayRecorder overlay;

  void SetUp() override {
    CivCombatFixture::SetUp();
    cCivTuningWealth& w = *cCivTuning::GetWealthGeneration();
    for (float& v : w.WealthPerSecond) v = 2.0f;
    w.EmbassyWealthIncrease = 0.5f;
    w.WealthIncreaseTradeRouteAndEmbassy = 0.25f;
    w.WealthIncreaseTradeRouteNoEmbassy = 0.125f;
    for (float& v : cCivTuning::GetHappiness()->RevenueBonus) v = 0.1f;
    StartCombat(0, 4, 0.0f);
    home->SetMoney(440.7f);
    foreign = world->CreateCity();
    foreign->Setup(1, GroundAway(home->GetPosition(), 0.5f));
    Cities().push_back(foreign);
    static_cast<cCivModeEmbassyBuilding*>(foreign->AddBuilding(5))->SetSource(home);
    cCivModeRoad* route = world->CreateRoad();
    route->SetStart(home), route->SetEnd(foreign), route->SetKind(kCivTradeRoute);
    home->AddRoad(route);
    hud.Enter(nullptr);
  }
  void TearDown() override {
    hud.Leave();
    CivCombatFixture::TearDown();
  }
  static Vector3 At(float longitudeDegrees, float latitudeDegrees) {
    return Vector3Scale(LongitudeLatitudeToDirection(longitudeDegrees * kPi / 180.0f, latitudeDegrees * kPi / 180.0f), 500.0f);
  }
};

TEST(CivMap, ProjectsEqualAreaClampsAndTurnsBack) {
  EXPECT_EQ(cCivMap::Width(), 410);
  EXPECT_EQ(cCivMap::Height(), 174);
  struct Row {
    float longitude, latitude, x, y;
  } rows[] = {
      {0, 0, 205.0f, 87.0f},
      {90, 0, 205.0f - 0.8660254f * kPi / 2 * 75, 87.0f},
      {-150, 0, 205.0f + 0.8660254f * kPi * 75 * 150 / 180, 87.0f},
      {0, 90, 205.0f, 87.0f + 1.1547005f * 75},
      {0, -30, 205.0f, 87.0f - 0.5f * 1.1547005f * 75},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.longitude + r.latitude * 1000);
    float x, y, longitude, latitude;
    cCivMap::Project(CivHudTest::At(r.longitude, r.latitude), x, y);
    EXPECT_NEAR(x, r.x, 0.01f);
    EXPECT_NEAR(y, r.y, 0.01f);
    cCivMap::Unproject(x, y, longitude, latitude);
    if (std::fabs(r.latitude) < 90) {
      EXPECT_NEAR(longitude, r.longitude * kPi / 180.0f, 1e-3f);
    }
    EXPECT_NEAR(latitude, r.latitude * kPi / 180.0f, 2e-3f);
  }
  float longitude, latitude;
  cCivMap::Unproject(0.0f, 500.0f, longitude, latitude);  // beyond the edges: clamped, never NaN
  EXPECT_FLOAT_EQ(longitude, kPi);
  EXPECT_FLOAT_EQ(latitude, kPi / 2);
}

TEST_F(CivHudTest, InfluenceImageFillsACheckerboardColumnByColumn) {
  cCivInfluence influence;
  influence.SetNumPlayers(2);
  influence.AddSource(1, cCivMap::SurfacePointAt(205.0f, 87.0f), 1000.0f, 200.0f);
  cCivMap map;
  const int width = cCivMap::Width() - 2;
  for (int i = 0; i < width; ++i) map.RefreshInfluenceColumn(influence);
  EXPECT_EQ(map.GetInfluenceColumn(), 0) << "wrapped";
  auto pixel = [&](int column, int row) {
    const float* p = &map.GetInfluenceImage()[((size_t)row * width + column) * 3];
    return Vector3{p[0], p[1], p[2]};
  };
  auto same = [](Vector3 a, Vector3 b) { return a.x == b.x && a.y == b.y && a.z == b.z; };
  EXPECT_TRUE(same(pixel(204, 86), CivPlayerColour(1))) << "under the source";
  EXPECT_TRUE(same(pixel(204, 85), Vector3{0, 0, 0})) << "odd pixels are never written";
  EXPECT_TRUE(same(pixel(10, 10), Vector3{0.1f, 0.1f, 0.1f})) << "nobody dominates";
}

TEST_F(CivHudTest, IncomePanelSumsTheHumansRevenueAndRoundsIt) {
  world->UpdateIncomeDistribution();
  hud.RefreshIncomePanel();
  // home: base 2, happiness 0.1 x 2, trade (0 + 0.2 + 2) x 0.25 to a city with
  // its embassy; the embassy abroad earns 0.5 x that city's base of 2.
  EXPECT_FLOAT_EQ(hud.GetValue("Wealth:"), 440.0f);
  EXPECT_FLOAT_EQ(hud.GetValue("Revenue From Buildings:"), 2.0f);
  EXPECT_FLOAT_EQ(hud.GetValue("Revenue From Happiness:"), 0.2f);
  EXPECT_FLOAT_EQ(hud.GetValue("Revenue From Trade:"), 0.55f);
  EXPECT_FLOAT_EQ(hud.GetValue("Revenue From Embassies:"), 1.0f);
  const std::vector<cGLFBarSegment>& segments = hud.GetSegments("Income Distribution:");
  ASSERT_EQ(segments.size(), 2u);
  EXPECT_FLOAT_EQ(segments[0].fraction + segments[1].fraction, 1.0f);
  EXPECT_GT(segments[0].fraction, segments[1].fraction) << "largest first";

  cDebugText text;
  hud.PrintIncomeDistribution();
  const std::vector<std::string> printed = text.Lines();
  ASSERT_EQ(printed.size(), 3u);
  EXPECT_EQ(printed[0], "income distributions");
  EXPECT_EQ(printed[1].rfind("0 0.", 0), 0u) << printed[1];
  EXPECT_EQ(printed[2].rfind("1 0.", 0), 0u) << printed[2];

  // A player earning nothing keeps its segment, at 0.
  cCivTuning::GetWealthGeneration()->WealthPerSecond[0] = 0.0f;
  for (int i = 0; i < 50 && foreign->CountIntactBuildings() > 0; ++i) foreign->DestroyBuilding();
  world->UpdateIncomeDistribution();
  hud.RefreshIncomePanel();
  ASSERT_EQ(hud.GetSegments("Income Distribution:").size(), 2u);
  const cGLFBarSegment& idle = hud.GetSegments("Income Distribution:")[1];
  EXPECT_EQ(idle.fraction, 0.0f);
  EXPECT_TRUE(Vector3Equal(Vector3{idle.r, idle.g, idle.b}, CivPlayerColour(1)));

  for (float& v : cCivTuning::GetWealthGeneration()->WealthPerSecond) v = 0.0f;
  world->UpdateIncomeDistribution();
  hud.RefreshIncomePanel();
  EXPECT_TRUE(hud.GetSegments("Income Distribution:").empty()) << "no income: an empty bar";
}

TEST_F(CivHudTest, LabelsTextsAndMarkers) {
  players->GetCivPools()[0] = 12.9f;
  hud.DrawCityWealthLabel(home, 50, 60);
  const cDrawCall* wealth = overlay.FindText("Wealth Available: 453");  // 440.7 in hand and 12.9 in the pool
  ASSERT_NE(wealth, nullptr);
  EXPECT_EQ(wealth->x0, 50);
  EXPECT_TRUE(SameColour(wealth->colour, 0.7f, 0.0f, 0.7f));
  cSceneObject* face = GetCivLabelMarker(kCivHeartMarkers + home->GetMood()->GetCategory());
  EXPECT_NEAR(Vector3Length(face->GetPosition()), Vector3Length(home->GetPosition()) + 16.0f, 1e-3f);

  hud.DrawDiplomaticLabel(foreign, 10, 20);
  EXPECT_NE(overlay.FindText("Diplomatic Wealth Available: 12"), nullptr);
  overlay.calls.clear();
  cCivModeDecoratedCity* stranger = world->CreateCity();
  stranger->Setup(1, GroundAway(home->GetPosition(), 1.0f));
  Cities().push_back(stranger);
  hud.DrawDiplomaticLabel(stranger, 10, 20);
  EXPECT_TRUE(overlay.Of(cDrawCall::kText).empty()) << "no embassy there: no text";

  const char* vehicles[] = {"Land Vehicle", "Amphibious Vehicle", "Air Vehicle"};
  for (int kind = 0; kind < 3; ++kind) EXPECT_STREQ(cCivHud::VehicleLabelText(kind), vehicles[kind]);

  struct Row {
    float relationship;
    int band;
  } bands[] = {{7.01f, 0}, {7.0f, 1}, {3.01f, 1}, {3.0f, 2}, {-2.99f, 2}, {-3.0f, 3}, {-6.99f, 3}, {-7.0f, 4}};
  for (const Row& r : bands) EXPECT_EQ(CivHeartBand(r.relationship), r.band) << r.relationship;
}

TEST_F(CivHudTest, MarkersAreListedOnceAndPolesFollowTheirSwitch) {
  ResetLabelMarkers();
  ResetLabelMarkers();
  const std::vector<cSceneShapeBillboard*>& shapes = GetCivMarkerShapes();
  ASSERT_EQ(shapes.size(), 12u);
  for (int i = 0; i < kCivLabelMarkers; ++i) {
    EXPECT_TRUE(shapes[i]->HasImage()) << i;
    EXPECT_EQ(GetSceneManager().GetObjectCount(shapes[i]), 1u) << i;
    EXPECT_EQ(Vector3Length(GetCivLabelMarker(i)->GetPosition()), 0.0f) << "waiting at the centre";
  }
  ShowCivPoleMarkers(true);
  ShowCivPoleMarkers(true);
  EXPECT_EQ(GetSceneManager().GetObjectCount(shapes[10]), 1u);
  hud.Leave();
  EXPECT_EQ(GetSceneManager().GetObjectCount(shapes[0]), 0u);
  EXPECT_EQ(GetSceneManager().GetObjectCount(shapes[10]), 0u) << "the poles leave with the mode";
  hud.Enter(nullptr);
}

TEST_F(CivHudTest, EventNoticeShowsFiveSecondsAtItsPoint) {
  CivShowEventNotice(foreign->GetPosition());
  EXPECT_EQ(Vector3Length(Vector3Sub(GetCivEventNoticePoint(), foreign->GetPosition())), 0.0f);
  hud.Draw();
  auto notice = [&] {
    for (const cDrawCall& call : overlay.Of(cDrawCall::kFill))
      if (call.x0 == overlay.width - 100 && call.y0 == 100 && call.y1 == 300 && call.colour[3] == 0.6f) return true;
    return false;
  };
  EXPECT_TRUE(notice());
  clock.Advance(5000);
  EXPECT_TRUE(IsCivEventNoticeShown());
  clock.Advance(1);
  overlay.calls.clear();
  hud.Draw();
  EXPECT_FALSE(notice());
}

// The add buttons: an owner without a city is refused in the debug window; a
// vehicle being placed is dropped for a new one, and let go when removed.
TEST_F(CivHudTest, DebugVehicleNeedsACityOfItsOwnerAndIsLetGoWhenRemoved) {
  gCivDebugVehicleOwner = 2;
  cDebugText text;
  EXPECT_EQ(CivAddDebugVehicle(kCivLandVehicle), nullptr);
  EXPECT_EQ(text.Lines(), std::vector<std::string>{"Cannot create a debug vehicle owned by 2"});
  EXPECT_EQ(GetCivDebugVehicle().state, kCivDebugVehicleNone);

  gCivDebugVehicleOwner = 1;
  cCivModeVehicle* first = CivAddDebugVehicle(kCivAirVehicle);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->GetOwner(), 1);
  EXPECT_EQ(first->GetKind(), kCivAirVehicle);
  EXPECT_EQ(GetCivDebugVehicle().state, kCivDebugVehiclePlacing);
  GetDataManager()->CommitPending();
  cCivModeVehicle* second = CivAddDebugVehicle(kCivLandVehicle);
  EXPECT_EQ(GetCivDebugVehicle().vehicle, second);
  std::vector<Ko::cIGameData*> left = GetDataManager()->GetObjectsOfType(cCivModeVehicle::kTypeId);
  EXPECT_EQ(std::count(left.begin(), left.end(), (Ko::cIGameData*)first), 0) << "the first one went";
  ForgetCivDebugObject(second);
  EXPECT_EQ(GetCivDebugVehicle().vehicle, nullptr);
  EXPECT_EQ(GetCivDebugVehicle().state, kCivDebugVehicleNone);
  gCivDebugVehicleOwner = 0;
}

}  // namespace
