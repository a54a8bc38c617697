// The units' physics over seeded runs on the flat stage: how fast flyers
// climb and sink, where swimmers may be, how far a unit moves in a frame,
// the wing kicks and the bubble ring.
#include "tests/modes/dev/FlySwimTestSupport.h"

using namespace Ru::Math;
using namespace nFlySwim;

namespace {
// The way along the ground between two points (the radial part left out).
float GroundStep(const Vector3& a, const Vector3& b) {
  const Vector3 ua = Normalize(a), ub = Normalize(b);
  const float angle = std::atan2(Vector3Length(CrossProduct(ua, ub)), Vector3Dot(ua, ub));  // exact for small angles
  return angle * std::min(Vector3Length(a), Vector3Length(b));
}
}  // namespace

TEST_F(FlySwimStage, FlapKicksAndTheBubbleRing) {
  sUnit unit;
  struct sKick {
    float before, after;
  } kicks[] = {{0.0f, 0.2f}, {0.1f, 0.4f}, {-0.1f, -0.4f}};
  mClock.Advance(1234);
  for (const sKick& k : kicks) {
    unit.flapSpeed = k.before;
    AddUnitFlapImpulse(unit);
    EXPECT_FLOAT_EQ(unit.flapSpeed, k.after);
    EXPECT_EQ(unit.lastFlapTime, GetGameTime());
  }
  struct sRing {
    int added, count, next;
    float first;  // the x of the bubble in the first slot
  } ring[] = {{24, 24, 24, 1.0f}, {25, 25, 0, 1.0f}, {26, 25, 1, 26.0f}};  // the 26th overwrites the first
  int added = 0;
  for (const sRing& row : ring) {
    while (added < row.added) ++added, AddUnitBubble(unit, Vector3{(float)added, 0, 0});
    EXPECT_EQ(unit.bubbleCount, row.count) << row.added;
    EXPECT_EQ(unit.nextBubble, row.next) << row.added;
    EXPECT_FLOAT_EQ(unit.bubbles[0].x, row.first) << row.added;
  }
  EXPECT_FLOAT_EQ(unit.bubbles[1].x, 2.0f);
  RiseUnitBubbles(unit);
  EXPECT_NEAR(unit.bubbles[1].x, 2.05f, 1e-6f);  // straight up from the centre
}

// One step of the wing oscillator on a unit without a body (so its position
// is the origin): the kick comes only more than half a second after the last
// (also when the game clock wraps between them) and while the beat has all
// but stopped; it grows with the lag up to 5.0, and the beat never runs
// faster than 0.2 either way.
TEST_F(FlySwimStage, WingKicksAndTheBeatStopAtTheirLimits) {
  struct sRow {
    const char* what;
    uint32_t sinceKickMs;
    float speed, phase, lag;
    bool kicks;
    float phaseAfter, speedAfter;
    uint64_t at = 0;  // the game clock's count at the step (it leaps there); 0: where it runs
  } rows[] = {
      {"half a second since the last kick", 500, 0.0f, 0.0f, 5.0f, false, 0.0f, 0.0f},
      {"just past half a second", 600, 0.0f, 0.0f, 5.0f, true, -0.25f, -0.1f},
      {"a beat of exactly 0.1", 600, 0.1f, 0.0f, 5.0f, false, 0.1f, 0.04f},
      {"a beat just under 0.1", 600, 0.09f, 0.0f, 5.0f, true, -0.16f, -0.064f},
      {"a falling beat kicks upwards", 600, -0.05f, 0.0f, 5.0f, true, 0.2f, 0.08f},
      {"a lag past 5.0 kicks as 5.0", 600, 0.0f, 0.0f, 6.0f, true, -0.25f, -0.1f},
      {"half of 5.0, half the kick", 600, 0.0f, 0.0f, 2.5f, true, -0.125f, -0.05f},
      {"a beat of exactly 0.2", 0, 0.0f, -0.4f, 0.0f, false, -0.4f, 0.2f},
      {"a beat past 0.2", 0, 0.4f, -1.0f, 0.0f, false, -0.6f, 0.2f},
      {"a beat past -0.2", 0, -0.4f, 1.0f, 0.0f, false, 0.6f, -0.2f},
      // The wrap 1 ms either side of the limit: the kick's stamp plus half a second wraps where the step's time does not
      // (the kick 500 ms before 2^32), or the step's time wraps where that sum does not (501 ms before).
      {"499 ms since a kick 500 ms before the wrap", 499, 0.0f, 0.0f, 5.0f, false, 0.0f, 0.0f,
       (uint64_t{1} << 32) - 1},
      {"500 ms since a kick 500 ms before the wrap", 500, 0.0f, 0.0f, 5.0f, false, 0.0f, 0.0f,
       uint64_t{1} << 32},
      {"500 ms since a kick 501 ms before the wrap", 500, 0.0f, 0.0f, 5.0f, false, 0.0f, 0.0f,
       (uint64_t{1} << 32) - 1},
      {"501 ms since a kick 501 ms before the wrap", 501, 0.0f, 0.0f, 5.0f, true, -0.25f, -0.1f,
       uint64_t{1} << 32},
      {"just past half a second, the last kick before the wrap", 600, 0.0f, 0.0f, 5.0f, true, -0.25f, -0.1f,
       (uint64_t{1} << 32) + 100},
  };
  mClock.Advance(2000);
  for (const sRow& row : rows) {
    SCOPED_TRACE(row.what);
    if (row.at) mClock.Advance((uint32_t)row.at - GetGameTime());
    sUnit unit;
    unit.target = Vector3{row.lag, 0.0f, 0.0f};
    unit.flapSpeed = row.speed;
    unit.flapPhase = row.phase;
    const uint32_t lastKick = GetGameTime() - row.sinceKickMs;
    unit.lastFlapTime = lastKick;
    UpdateUnitPhysics(unit);
    EXPECT_EQ(unit.lastFlapTime, row.kicks ? GetGameTime() : lastKick);
    EXPECT_NEAR(unit.flapPhase, row.phaseAfter, 1e-6f);
    EXPECT_NEAR(unit.flapSpeed, row.speedAfter, 1e-6f);
  }
  const float drifts[][2] = {{0.5f, 0.4f}, {1.0f, 0.8f}, {2.0f, 0.8f}};  // a drift is cut to 1.0, then damped
  for (const auto& drift : drifts) {
    sUnit unit;
    unit.velocity = Vector3{0.0f, drift[0], 0.0f};
    UpdateUnitPhysics(unit);
    EXPECT_NEAR(Vector3Length(unit.velocity), drift[1], 1e-6f) << drift[0];
  }
}

TEST_F(FlySwimStage, AFlyerClimbsATenthAFrameToFifteenAndStepsAtMostItsSpeed) {
  ResetState(kBird);
  State().creatureSpeed = 0.5f;
  AddUnits(1);
  sUnit& unit = *State().units.front();
  const Vector3 start = GetUnitPosition(unit);
  unit.target = PointAtHeight(Vector3{500.0f, 300.0f, 0.0f}, 0.0f);  // about 275 along the ground
  const float maxStep = SpeedFactor();
  float highest = 0.0f;
  int climbingFrames = 0;
  for (int frame = 0; frame < 1500; ++frame) {
    const Vector3 before = GetUnitPosition(unit);
    const float altitude = unit.altitude;
    mClock.Advance(16);
    UpdateUnitPhysics(unit);
    const float change = unit.altitude - altitude;
    ASSERT_LE(change, 0.1f + 1e-4f) << frame;
    ASSERT_GE(change, -0.4f - 1e-4f) << frame;
    ASSERT_LE(unit.altitude, 15.0f) << frame;
    ASSERT_GE(unit.altitude, 0.0f) << frame;
    ASSERT_LE(GroundStep(before, GetUnitPosition(unit)), maxStep * 1.001f) << frame;
    climbingFrames += change > 0.09f;
    highest = std::max(highest, unit.altitude);
  }
  EXPECT_NEAR(highest, 15.0f, 0.11f);  // far from its target it flies at the ceiling
  EXPECT_GE(climbingFrames, 140);
  EXPECT_LT(Distance(GetUnitPosition(unit), unit.target), 1.0f);  // and lands on it
  EXPECT_GT(Distance(start, unit.target), 50.0f);
}

TEST_F(FlySwimStage, SwimmersStayUnderTheShellAndOverTheFloor) {
  struct sSea {
    float shell;
    float lowestDepth;  // the shallowest the body may float under the shell
  } seas[] = {{540.0f, 0.5f}, {511.5f, 0.5f}};  // open water; water too shallow for any depth
  for (const sSea& sea : seas) {
    ResetState(kFish);
    State().seaLevel = (sea.shell - kPlanetRadius) / kSeaLevelScale;
    AddUnits(1);
    sUnit& unit = *State().units.front();
    Sys_SeedRandom(99);
    for (int frame = 0; frame < 1200; ++frame) {
      if (frame % 200 == 0)  // now up at the surface, now down on the floor, somewhere else
        unit.target = SetLength(Vector3{500.0f, (float)(frame % 400) / 10.0f, (float)frame / 30.0f},
                                frame % 400 ? kGroundRadius + 0.5f : sea.shell + 3.0f);
      mClock.Advance(16);
      UpdateUnitPhysics(unit);
      const Vector3 p = GetUnitPosition(unit);
      ASSERT_GE(sea.shell - Vector3Length(p), sea.lowestDepth - 1e-3f) << sea.shell << " " << frame;
      if (sea.shell > kGroundRadius + 2.5f) {
        ASSERT_GE(Vector3Length(p) - kGroundRadius, 2.0f - 2e-3f) << frame;
      }
      ASSERT_GE(unit.altitude, 0.5f);
    }
    if (sea.shell < kGroundRadius + 2.5f) {
      EXPECT_FLOAT_EQ(unit.altitude, 0.5f);  // held just under the surface
    }
    EXPECT_EQ(unit.bubbleCount, kBubbleCount);  // a swimmer leaves bubbles
  }
  // One step: with room for 0.5 or less over the floor (the floor 2.0 down
  // counted off) the depth is 0.5; else it moves at most the unit's speed
  // towards the target's depth, and no deeper than the room.
  struct sStep {
    float shell, depth, targetDepth;
    float depthAfter;
  } steps[] = {
      {512.5f, 3.0f, 10.0f, 0.5f},      // room exactly 0.5
      {512.51f, 0.5f, 10.0f, 0.51f},    // room 0.51: as deep as it reaches
      {540.0f, 5.0f, 10.0f, 5.2f},      // at most the speed (0.2) a frame
      {540.0f, 5.0f, 5.5f, 5.075f},     // 15 % of the way when that is less
      {540.0f, 27.9f, 40.0f, 28.0f},    // room 28.0: held 2.0 over the floor
      {540.0f, 0.55f, 0.0f, 0.5f},      // never shallower than 0.5
  };
  for (const sStep& row : steps) {
    SCOPED_TRACE(testing::Message() << "shell " << row.shell << " depth " << row.depth);
    ResetState(kFish);
    State().seaLevel = (row.shell - kPlanetRadius) / kSeaLevelScale;
    AddUnits(1);
    sUnit& unit = *State().units.front();
    const Vector3 along{1.0f, 0.0f, 0.0f};
    unit.altitude = row.depth;
    unit.body->SetPosition(SetLength(along, row.shell - row.depth));
    unit.target = SetLength(along, row.shell - row.targetDepth);
    UpdateUnitPhysics(unit);
    EXPECT_NEAR(unit.altitude, row.depthAfter, 1e-4f);
  }
  State().seaLevel = 0.5f;
}

TEST_F(FlySwimStage, AUnitOnItsTargetRingsItsWingsDownAndKeepsItsHeading) {
  ResetState(kBird);
  AddUnits(1);
  sUnit& unit = *State().units.front();
  for (int frame = 0; frame < 600; ++frame) {
    mClock.Advance(16);
    UpdateUnitPhysics(unit);
  }
  SyncUnitPosition(unit);
  unit.flapSpeed = 0.2f;
  const Quaternion heading = unit.orientation;
  for (int frame = 0; frame < 600; ++frame) {
    mClock.Advance(16);
    UpdateUnitPhysics(unit);
    SyncUnitPosition(unit);  // lag 0: no kicks
  }
  EXPECT_NEAR(unit.flapPhase, 0.0f, 1e-3f);
  EXPECT_NEAR(unit.flapSpeed, 0.0f, 1e-3f);
  EXPECT_TRUE(QuatNearEqual(unit.orientation, heading, 0.0f));  // within 2.0 it never turns on the spot
}

// "Creature Speed" and "Sea Level" as the panel may leave them: held in their
// bounds where they are read, so a fish still swims towards its target.
TEST_F(FlySwimStage, SpinnerValuesPastTheirBoundsAreHeldWhereRead) {
  const float nan = std::nanf("");
  struct sRow {
    float speed, seaLevel;
    float factor, shell;  // as read
  } rows[] = {
      {0.5f, 0.5f, 0.6f, 540.0f},     // in bounds: as set
      {-5.0f, -1.0f, 0.2f, 500.0f},   // a negative speed would send the unit away from its target
      {nan, nan, 0.2f, 500.0f},       // not a number: the least
      {1.0e9f, 40.0f, 8.2f, 660.0f},  // past the top
  };
  for (const sRow& row : rows) {
    SCOPED_TRACE(testing::Message() << row.speed << " " << row.seaLevel);
    ResetState(kFish);
    State().creatureSpeed = row.speed;
    State().seaLevel = row.seaLevel;
    EXPECT_FLOAT_EQ(SpeedFactor(), row.factor);
    EXPECT_FLOAT_EQ(WaterShellRadius(), row.shell);
    EXPECT_FLOAT_EQ(State().creatureSpeed, (row.factor - 0.2f) / 0.8f) << "the panel shows the value in force";
    State().seaLevel = 0.5f;
    AddUnits(1);
    sUnit& unit = *State().units.front();
    for (int frame = 0; frame < 30; ++frame) {
      mClock.Advance(16);
      UpdateUnitPhysics(unit);
    }
    unit.target = SetLength(Vector3{500.0f, 20.0f, 0.0f}, kGroundRadius + 10.0f);
    const float before = GroundStep(GetUnitPosition(unit), unit.target);
    for (int frame = 0; frame < 20; ++frame) {
      mClock.Advance(16);
      UpdateUnitPhysics(unit);
    }
    EXPECT_LT(GroundStep(GetUnitPosition(unit), unit.target), before - 1.0f) << "it swims towards its target";
  }
  State().creatureSpeed = 0.0f;
  State().seaLevel = 0.5f;
}

// A flyer over its target comes down at most 0.4 a frame, less when lower
// than 0.8; below a target it climbs 0.1 a frame, never past 15.0, and holds
// where its height is the target's. Its pitch follows the target's height
// over it, counted to 20.0 at most. It turns to face a target more than 2.0
// away, never one nearer nor one straight above it (which gives no heading
// along the ground).
TEST_F(FlySwimStage, AFlyerSinksAtMostFourTenthsAFrameAndTurnsOnlyForATargetMoreThanTwoAway) {
  const Vector3 ground = PointAtHeight(Vector3{1.0f, 0.0f, 0.0f}, 0.0f);
  struct sSink {
    float altitude, targetHeight;  // the target straight above or below
    float after, pitch;
  } sinks[] = {
      {15.0f, 0.0f, 14.6f, -0.375f}, {1.0f, 0.0f, 0.6f, -0.025f}, {0.5f, 0.0f, 0.25f, -0.0125f},
      {0.8f, 0.0f, 0.4f, -0.02f},    // sinks exactly 0.4
      {5.0f, 5.0f, 5.0f, 0.0f},      // at the target's height: holds
      {4.95f, 5.0f, 5.05f, 0.00125f},  // just under it: climbs 0.1
      {15.0f, 20.0f, 15.0f, 0.125f},   // at the top with the target higher: holds
      {14.95f, 20.0f, 15.0f, 0.12625f},  // climbs, but not past the top
      {25.0f, 0.0f, 15.0f, -0.5f},   // higher than the top: back to it; the pitch counts 20.0 of the 25.0
      {0.0f, 20.0f, 0.1f, 0.5f},     // the target exactly 20.0 higher
      {0.0f, 25.0f, 0.1f, 0.5f},     // and past it: counted as 20.0
  };
  for (const sSink& row : sinks) {
    SCOPED_TRACE(testing::Message() << row.altitude << " under a target at " << row.targetHeight);
    ResetState(kBird);
    AddUnits(1);
    sUnit& unit = *State().units.front();
    unit.altitude = row.altitude;
    unit.body->SetPosition(PointAtHeight(ground, row.altitude));
    unit.target = PointAtHeight(ground, row.targetHeight);
    UpdateUnitPhysics(unit);
    EXPECT_NEAR(unit.altitude, row.after, 1e-4f);
    EXPECT_NEAR(unit.pitch, row.pitch, 1e-5f);
  }
  // The step along the ground: 15 % of the way, at most the speed factor (0.2).
  struct sTurn {
    Vector3 target;
    bool turns;
    float step;
  } turns[] = {
      {PointAtHeight(Vector3Add(ground, Vector3{0.0f, 0.0f, 1.0f}), 0.0f), false, 0.15f},
      {PointAtHeight(Vector3Add(ground, Vector3{0.0f, 0.0f, 1.9f}), 0.0f), false, 0.2f},
      {Vector3Add(ground, Vector3{0.0f, 0.0f, 2.0f}), false, 0.2f},  // exactly 2.0 away
      {PointAtHeight(Vector3Add(ground, Vector3{0.0f, 0.0f, 2.1f}), 0.0f), true, 0.2f},
      {PointAtHeight(ground, 5.0f), false, 0.0f},
  };
  for (const sTurn& row : turns) {
    ResetState(kBird);
    AddUnits(1);
    sUnit& unit = *State().units.front();
    unit.altitude = 0.0f;
    unit.body->SetPosition(ground);
    Quaternion facing;
    cPlanetModel::MakeSurfaceOrientation(facing, ground, Vector3{0.0f, 1.0f, 0.0f});
    unit.orientation = facing;
    unit.target = row.target;
    UpdateUnitPhysics(unit);
    EXPECT_EQ(!QuatNearEqual(unit.orientation, facing, 1e-4f), row.turns) << Distance(ground, row.target);
    const Vector3 up = QuatRotateVector(unit.orientation, Vector3{0.0f, 1.0f, 0.0f});
    EXPECT_GT(Vector3Dot(up, Normalize(ground)), 0.999f) << "upright on the planet";
    if (row.turns) { EXPECT_LT(Distance(unit.heading, Vector3Sub(row.target, ground)), 1e-3f); }
    EXPECT_NEAR(GroundStep(ground, GetUnitPosition(unit)), row.step, 1e-3f) << Distance(ground, row.target);
  }
}
