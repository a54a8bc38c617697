// Target picks on cameras aimed by hand over a flat sea floor (ground 510):
// the floor under water, the shell from inside, the water-shell pick's clip
// and its refusal, and the flying aim one unit above the ground.
#include <algorithm>
#include <cmath>

#include "tests/modes/dev/FlySwimTestSupport.h"
#include "world/scene/SolidShapes.h"

using namespace Ru::Math;
using namespace nFlySwim;

namespace {
// A unit standing free of the picks (its body far from every picked point).
struct cLoneUnit {
  cLoneUnit(const Vector3& at, float altitude) {
    unit.body = new cSceneObject(nullptr, &GetPyramidShape());
    unit.body->SetPosition(at);
    unit.altitude = altitude;
  }
  ~cLoneUnit() { delete unit.body; }
  sUnit unit;
};

struct cCollectedText {
  cCollectedText() {
    State().debugText.clear();
    State().collectDebugText = true;
  }
  ~cCollectedText() { State().collectDebugText = false; }
  const std::string& Text() const { return State().debugText; }
};
}  // namespace

TEST_F(FlySwimStage, CandidatePickFromAboveTheSeaTakesTheFloorUnderTheCursor) {
  State().seaLevel = 0.5f;  // shell 540: 30 units of water over the floor
  AimCamera(Vector3{kGroundRadius, 0, 0}, 60.0f, 50.0f);  // the eye is above the water
  ASSERT_GT(Vector3Length(GetViewEyePosition()), WaterShellRadius());
  cLoneUnit lone(Vector3{0, kGroundRadius + 5, 0}, 10.0f);
  const Vector3 floorPoint{kGroundRadius, 3.0f, 2.0f};
  CursorOn(floorPoint);
  cCollectedText text;
  Vector3 point, aim;
  bool onPerch = true;
  // The shell from outside offers its far crossing: the floor is the nearer candidate.
  ASSERT_TRUE(cTovansGameMode::Pick(lone.unit, point, aim, onPerch, true));
  EXPECT_FALSE(onPerch);
  EXPECT_LT(Distance(point, floorPoint), 1.0f);
  EXPECT_EQ(text.Text(), "3; planet; Camera above-water; wall; ");
  // In a group experiment the outside of the shell is never offered: the floor, raised 4.0.
  State().mode = kFishTribe;
  State().debugText.clear();
  ASSERT_TRUE(cTovansGameMode::Pick(lone.unit, point, aim, onPerch, true));
  EXPECT_NEAR(Vector3Length(point), kGroundRadius + kGroupPickHeight, 1.0f);  // the planet's ray test marches
  EXPECT_TRUE(Vector3NearEqual(point, aim, 0.0f));
  EXPECT_EQ(text.Text(), "3; planet; Camera above-water; ");
}

// The shell from inside is a candidate when it is at least 4.0 from the eye.
TEST_F(FlySwimStage, CandidatePickFromUnderWaterFindsTheShellFromInside) {
  const struct {
    float anchor, distance;  // the camera orbits a point this far out at this distance, pitched up
    bool shell;
  } rows[] = {{530.0f, 6.0f, true}, {540.0f, 4.01f, true}, {540.0f, 3.99f, false}};  // 540: the shell is the anchor
  cLoneUnit lone(Vector3{0, kGroundRadius + 5, 0}, 10.0f);
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.anchor << " at " << row.distance);
    AimCamera(Vector3{row.anchor, 0, 0}, -60.0f, row.distance);  // under the surface
    const Vector3 eye = GetViewEyePosition();
    ASSERT_LT(Vector3Length(eye), WaterShellRadius());
    State().mouseX = kWindowWidth / 2;
    State().mouseY = kWindowHeight / 2;
    cCollectedText text;
    Vector3 point, aim;
    bool onPerch = false;
    const bool picked = cTovansGameMode::Pick(lone.unit, point, aim, onPerch, true);
    EXPECT_EQ(text.Text().rfind("3; Camera underwater; water; ", 0) == 0u, row.shell) << text.Text();
    if (!row.shell) continue;
    EXPECT_TRUE(picked);
    EXPECT_NEAR(Vector3Length(point), WaterShellRadius(), 0.05f);
    EXPECT_GT(Distance(point, eye), kMinPickDistance);
  }
}

TEST_F(FlySwimStage, WaterShellPickClipsAFloorPointJustAboveTheSeaAndRefusesAFarOne) {
  State().useCandidatePick = 0;
  AimCamera(Vector3{kGroundRadius, 0, 0}, 70.0f, 40.0f);
  // Deep enough under the shell that the inflated sphere lies under the ground: no shell hits.
  cLoneUnit lone(Vector3{0, kGroundRadius + 10, 0}, 10.0f);
  CursorOn(Vector3{kGroundRadius, 2.0f, -3.0f});
  struct sCase {
    float shell;        // the water shell's radius
    bool picked;
    const char* ending;
  } cases[] = {
      // The floor point is raised by the swim pick height (3.0) to 513.
      {512.5f, true, "Point is above water; Clipping to water level."},                // moved 1.5
      {508.0f, false, "Clipping to water level.Too far to clip.User picked a mountain. Fail."},  // moved 6
  };
  for (const sCase& c : cases) {
    State().seaLevel = (c.shell - kPlanetRadius) / kSeaLevelScale;
    cCollectedText text;
    Vector3 point, aim;
    bool onPerch = false;
    EXPECT_EQ(cTovansGameMode::Pick(lone.unit, point, aim, onPerch, true), c.picked) << c.shell;
    const std::string& t = text.Text();
    EXPECT_EQ(t.rfind("O; Picking on inflated planet: ", 0), 0u) << t;
    EXPECT_EQ(t.substr(t.size() - std::min(t.size(), std::string(c.ending).size())), c.ending) << t;
    if (c.picked) {
      EXPECT_NEAR(Vector3Length(point), c.shell - 1.0f, 0.01f);
    }
  }
}

TEST_F(FlySwimStage, FlyingPickAimsOneUnitAboveTheGroundAndMissesInTheSky) {
  ResetState(kBird);
  AimCamera(Vector3{kGroundRadius, 0, 0}, 20.0f, 40.0f);
  cLoneUnit lone(Vector3{kGroundRadius, 0, 0}, 0.0f);
  const Vector3 ground{kGroundRadius, 4.0f, -2.0f};
  CursorOn(ground);
  Vector3 point, aim;
  bool onPerch = false;
  ASSERT_TRUE(cTovansGameMode::Pick(lone.unit, point, aim, onPerch, false));
  EXPECT_NEAR(Vector3Length(point), kGroundRadius, 0.05f);
  EXPECT_NEAR(Vector3Length(aim) - Vector3Length(point), 1.0f, 1e-3f);
  EXPECT_TRUE(Vector3NearEqual(Normalize(aim), Normalize(point), 1e-5f));
  // The top of the window looks past the planet: the pick fails and keeps the old point.
  State().mouseX = kWindowWidth / 2;
  State().mouseY = 0;
  const Vector3 before = point;
  EXPECT_FALSE(cTovansGameMode::Pick(lone.unit, point, aim, onPerch, false));
  EXPECT_TRUE(Vector3Equal(point, before));
}

// A perch is skipped when a maximum distance is given (not negative) and the
// perch stands that far from the ray's origin or farther, or when it is not
// perchable.
TEST_F(FlySwimStage, PerchPickSkipsPerchesAtOrPastTheMaximumDistance) {
  AimCamera(Vector3{kGroundRadius, 0, 0}, 60.0f, 30.0f);
  State().perches.push_back(new sPerch());  // the stage's reset frees it
  sPerch& perch = *State().perches.back();
  perch.body = new cSceneObject(nullptr, &GetPyramidShape());
  perch.body->SetPosition(Vector3{kGroundRadius + 5.0f, 0, 0});
  CursorOn(perch.body->GetPosition());
  const float d = Distance(perch.body->GetPosition(), CameraScreenPointToRay(State().mouseX, State().mouseY).origin);
  const struct {
    float maxDistance;
    bool perchable, found;
  } rows[] = {{-1.0f, true, true},    {d, true, false},         {std::nextafter(d, 2.0f * d), true, true},
              {-1.0f, false, false},  {0.0f, true, false},      {-1e-6f, true, true}};  // 0 is a maximum, below it none
  for (const auto& row : rows) {
    perch.perchable = row.perchable;
    Vector3 hit;
    EXPECT_EQ(cTovansGameMode::PickPerch(State().mouseX, State().mouseY, hit, row.maxDistance) == &perch, row.found)
        << row.maxDistance << " perchable " << row.perchable;
  }
}
