// City roads: the curve's tangents shrink for close ends, pips stand at d/2,
// 3d/2, 5d/2 ... along it from a pool that never shrinks, and a road goes the
// frame after either of its buildings.
#include <gtest/gtest.h>

#include <cmath>

#include "modes/city/economy/CityBuildingKinds.h"
#include "modes/city/economy/CityGameRoad.h"
#include "tests/modes/city/CityTestSupport.h"

namespace {

using Ru::Math::Vector3;

class CityRoadTest : public cCityWorldTest {
 protected:
  cCityGameRoad* NewRoad() {
    auto* road = CreateRegisteredCityObject<cCityGameRoad>();
    GetDataManager()->CommitPending();
    return road;
  }
  // A point on a sphere of radius 500 at `angle` radians from the pole, in the x-y plane.
  static Vector3 AtAngle(float angle) { return Vector3{500.0f * std::sin(angle), 500.0f * std::cos(angle), 0.0f}; }
  static float AngleBetween(const Vector3& a, const Vector3& b) {
    return std::acos(std::fmin(1.0f, Ru::Math::Vector3Dot(a, b) /
                                        (Ru::Math::Vector3Length(a) * Ru::Math::Vector3Length(b))));
  }
};

TEST_F(CityRoadTest, TangentsShrinkForEndsCloserThanFifteenUnits) {
  cCityGameRoad* road = NewRoad();
  const Vector3 tangentA{0.0f, 0.0f, 6.0f}, tangentB{0.0f, 0.0f, -6.0f};
  for (auto [apart, k] : {std::pair{7.5f, 0.5f}, std::pair{15.0f, 1.0f}, std::pair{30.0f, 1.0f}}) {
    const Vector3 a = AtAngle(0.0f), b = AtAngle(apart / 500.0f);
    road->BuildCurve(a, tangentA, b, tangentB);
    std::vector<Vector3> expected;
    cCityGameRoad::SampleHermite(a, Ru::Math::Vector3Scale(tangentA, k), b, Ru::Math::Vector3Scale(tangentB, k), 25,
                                 expected);
    ASSERT_EQ(road->GetPoints().size(), 25u);
    for (size_t i = 0; i < expected.size(); ++i)
      EXPECT_NEAR(AngleBetween(road->GetPoints()[i], expected[i]), 0.0f, 1e-5f) << apart << " apart, point " << i;
    EXPECT_NEAR(AngleBetween(road->GetPoints().front(), a), 0.0f, 1e-3f);
    EXPECT_NEAR(AngleBetween(road->GetPoints().back(), b), 0.0f, 1e-3f);
  }
}

TEST_F(CityRoadTest, PipsStandEveryPipDistanceFromHalfOfItAndThePoolIsReused) {
  SetTuningFloat(GetCityGameTuning(), "Road Pip Distance", 0.01f);
  cCityGameRoad* road = NewRoad();
  struct sCase {
    float length;
    int shown, pool;
  } cases[] = {{0.0333f, 3, 9}, {0.0633f, 6, 12}, {0.0333f, 3, 12}};  // shortening keeps the pool
  for (const sCase& c : cases) {
    road->BuildCurve(AtAngle(0.0f), Vector3{}, AtAngle(c.length), Vector3{});
    EXPECT_NEAR(cCityGameRoad::GetPathLength(road->GetPoints()), c.length, 1e-4f);
    EXPECT_EQ(road->GetPipsInScene(), c.shown) << c.length;
    EXPECT_EQ(road->GetPipPoolSize(), c.pool) << c.length;
  }
}

TEST_F(CityRoadTest, ARoadGoesTheFrameAfterEitherOfItsBuildings) {
  for (int removed = 0; removed < 2; ++removed) {
    cCityGameBuildingHouse* ends[2];
    for (cCityGameBuildingHouse*& end : ends) {
      end = CreateRegisteredCityObject<cCityGameBuildingHouse>();
      end->Initialize(City());
    }
    ends[0]->SetPosition(cFakeCityView::Ground(450, 500), Vector3{});
    ends[1]->SetPosition(cFakeCityView::Ground(550, 500), Vector3{});
    GetDataManager()->CommitPending();
    cCityGameRoad* road = NewRoad();
    road->Connect(City(), ends[0], Vector3{1.0f, 0.0f, 0.0f}, ends[1], Vector3{-1.0f, 0.0f, 0.0f});
    EXPECT_TRUE(road->HasEnd(ends[1]));
    EXPECT_EQ(road->GetOtherEnd(ends[0]), ends[1]);
    EXPECT_TRUE(road->IsMarkerShown(0) && road->IsMarkerShown(1));
    std::vector<cCityGameRoad*> roads;
    ends[removed]->GetRoads(roads);
    EXPECT_EQ(roads, std::vector<cCityGameRoad*>{road});
    // Every road rebuilds every frame: one rebuild asks the surface once per
    // pip and never for its ends, the measure for later work on that cost.
    const uint64_t before = GetPlanetModel().GetSurfaceQueryCount();
    road->Rebuild();
    const uint64_t queries = GetPlanetModel().GetSurfaceQueryCount() - before;
    EXPECT_EQ(queries, (uint64_t)road->GetPipsInScene());
    RecordProperty("surface_queries_per_rebuild", (int)queries);
    Pump(1);
    ASSERT_EQ(Count<cCityGameRoad>(), 1);
    Registry().QueueRemoval(ends[removed]);
    Pump(1);  // the building goes at the end of this frame, and its road loses both ends
    ASSERT_EQ(Count<cCityGameRoad>(), 1);
    EXPECT_FALSE(road->IsMarkerShown(0) || road->IsMarkerShown(1));
    Pump(1);  // the road sees its ends gone and goes
    EXPECT_EQ(Count<cCityGameRoad>(), 0) << "end " << removed;
    Registry().QueueRemoval(ends[1 - removed]);
    Pump(1);
  }
}

// A drag from one disc to another lays a road when the city has its cost
// (exactly the cost will do); a re-laid road dropped on bare ground goes and
// refunds "Road Refund Fraction" of its cost.
TEST_F(CityRoadTest, ADragFromDiscToDiscBuysARoadAndAReLaidOneDroppedOnTheGroundRefunds) {
  cCityGameBuildingHouse* ends[2];
  for (int i = 0; i < 2; ++i) {
    ends[i] = CreateRegisteredCityObject<cCityGameBuildingHouse>();
    ends[i]->Initialize(City());
    ends[i]->SetPosition(cFakeCityView::Ground(450 + 100 * i, 500), Vector3{});
    view.spots.push_back({100 + 200 * i, 100, 5, ends[i]->GetRoadAnchor()});
  }
  GetDataManager()->CommitPending();
  const Vector3 standing = ends[1]->GetSceneObject()->GetPosition();
  for (float money : {4.99f, 5.0f}) {
    City()->AddMoneySilently(money - City()->GetMoney());
    cICityGameCursor* cursor = ends[0]->StartDrag(100, 100, ends[0]->GetRoadAnchor());
    ASSERT_EQ(cursor, &GetCityRoadCursor());
    cursor->Update(kFrameMs, 300, 100);
    EXPECT_EQ(GetCityRoadCursor().GetSnapped(), ends[1]);
    EXPECT_TRUE(GetCityRoadCursor().GetRoad()->IsMarkerShown(1));  // the end marker stands at the snapped end
    EXPECT_FALSE(Ru::Math::Vector3Equal(ends[1]->GetSceneObject()->GetPosition(), standing));  // sunk
    EXPECT_EQ(cursor->OnLeftButtonUp(300, 100), cICityGameCursor::kDone);
    EXPECT_TRUE(Ru::Math::Vector3Equal(ends[1]->GetSceneObject()->GetPosition(), standing));
    EXPECT_EQ(Count<cCityGameRoad>(), money >= 5.0f ? 1 : 0) << money;
    EXPECT_NEAR(City()->GetMoney(), money >= 5.0f ? 0.0f : money, 1e-4f);
  }
  std::vector<cCityGameRoad*> roads;
  Registry().CollectObjectsOfClass(roads);
  ASSERT_EQ(roads.size(), 1u);
  EXPECT_EQ(roads[0]->GetOtherEnd(ends[0]), ends[1]);
  cICityGameCursor* cursor = roads[0]->StartDrag(300, 100, nullptr);  // end B follows the mouse
  cursor->Update(kFrameMs, 300, 100);
  cursor->Update(kFrameMs, 600, 600);
  EXPECT_FALSE(roads[0]->IsMarkerShown(1));  // unsnapped: the free end has no marker
  EXPECT_EQ(cursor->OnLeftButtonUp(600, 600), cICityGameCursor::kDone);
  EXPECT_EQ(Count<cCityGameRoad>(), 0);
  EXPECT_NEAR(City()->GetMoney(), 4.5f, 1e-4f);
}

}  // namespace
