// The scenery and ambient life around the camera: specks wrapping through the
// faces of their cube, perches recycled from far away to near the eye, units
// pushed apart when they stand too close, and the camera that follows the
// single creature.
#include "tests/modes/dev/FlySwimTestSupport.h"

using namespace Ru::Math;
using namespace nFlySwim;

TEST_F(FlySwimStage, SpecksWrapThroughTheCubeFacesAndFadeBackIn) {
  const Vector3 centre{525.0f, 0.0f, 0.0f};
  CreateSpecks(centre);
  sSpeck* specks = State().specks;
  for (int i = 0; i < kSpeckCount; ++i) {
    const Vector3 offset = Vector3Sub(specks[i].position, centre);
    for (int a = 0; a < 3; ++a) ASSERT_LE(std::fabs(offset[a]), 37.5f);
    // Floating specks hang where they are; the others sit on the floor or the shell.
    const float length = Vector3Length(specks[i].position);
    const float anchor = Vector3Length(specks[i].anchor);
    switch (specks[i].side) {
      case 0: EXPECT_TRUE(Vector3Equal(specks[i].anchor, specks[i].position)); break;
      case 1: EXPECT_NEAR(anchor, WaterShellRadius(), 0.01f); break;
      default: EXPECT_LT(length, kGroundRadius + 0.01f); break;
    }
  }
  StepSpecks(centre);
  EXPECT_NEAR(specks[0].fade, 0.1f, 1e-6f);
  StepSpecks(centre);
  EXPECT_NEAR(specks[0].fade, 0.19f, 1e-6f);
  // The centre moves 10 along x: the specks left behind by more than 37.5 come in at the far face.
  const Vector3 moved = Vector3Add(centre, Vector3{10.0f, 0.0f, 0.0f});
  std::vector<float> before(kSpeckCount);
  for (int i = 0; i < kSpeckCount; ++i) before[i] = specks[i].position.x - moved.x;
  StepSpecks(moved);
  int wrapped = 0;
  for (int i = 0; i < kSpeckCount; ++i) {
    if (before[i] < -37.5f) {
      ++wrapped;
      EXPECT_NEAR(specks[i].position.x - moved.x, before[i] + 75.0f, 1e-3f);
      EXPECT_EQ(specks[i].fade, 0.0f);
    } else {
      EXPECT_GT(specks[i].fade, 0.19f);
    }
  }
  EXPECT_GT(wrapped, 150);  // about 10 / 75 of them
  // On a face of the cube a speck stays; just past it, it wraps.
  const float faces[][2] = {{37.5f, 37.5f}, {37.6f, -37.4f}, {-37.5f, -37.5f}, {-37.6f, 37.4f}};  // offset, after
  for (const auto& face : faces) {
    specks[0].position = Vector3Add(moved, Vector3{face[0], 0.0f, 0.0f});
    specks[0].fade = 0.5f;
    StepSpecks(moved);
    EXPECT_NEAR(specks[0].position.x - moved.x, face[1], 1e-4f) << face[0];
    EXPECT_FLOAT_EQ(specks[0].fade, face[0] == face[1] ? 0.55f : 0.0f) << face[0];
  }
  // Anchored on the shell from its radius up, floating from the ground's up to it, else on the ground.
  const float ground = GetPlanetModel().GetSurfaceRadius(Vector3{1.0f, 0.0f, 0.0f}), shell = WaterShellRadius();
  const struct {
    float radius;
    int side;
    float anchor;
  } anchors[] = {{shell + 1.0f, 1, shell}, {shell, 1, shell}, {shell - 0.01f, 0, shell - 0.01f},
                 {ground, 0, ground},      {ground - 0.01f, -1, ground}};
  for (const auto& row : anchors) {
    specks[0].position = Vector3{row.radius, 0.0f, 0.0f};
    SetSpeckAnchor(specks, 0);
    EXPECT_EQ(specks[0].side, row.side) << row.radius;
    EXPECT_FLOAT_EQ(specks[0].anchor.x, row.anchor) << row.radius;
  }
  delete[] State().specks;
  State().specks = nullptr;
}

TEST_F(FlySwimStage, PerchesFartherThanFiftyFiveComeBackNearTheEye) {
  State().seaLevel = 0.5f;
  AimCamera(Vector3{525.0f, 0.0f, 0.0f}, 10.0f, 5.0f);
  const Vector3 eye = GetViewEyePosition();
  AddPerches(60);
  ASSERT_EQ(State().perches.size(), 60u);
  // Put every other perch far away; the rest stay where they were put.
  std::vector<Vector3> kept(State().perches.size());
  for (size_t i = 0; i < State().perches.size(); ++i) {
    sPerch& perch = *State().perches[i];
    if (i % 2 == 0) SetPerchPosition(perch, PointAtHeight(Vector3{0.0f, 500.0f, (float)i}, 0.0f));
    kept[i] = perch.body->GetPosition();
  }
  RecyclePerches(false);
  for (size_t i = 0; i < State().perches.size(); ++i) {
    const sPerch& perch = *State().perches[i];
    const Vector3 p = perch.body->GetPosition();
    if (i % 2 == 1) {
      EXPECT_TRUE(Vector3Equal(p, kept[i]));
      continue;
    }
    // Placed 40 to 44 from the eye, then seated up or down along its own vertical: that
    // vertical passes within 44 of the eye, and the perch stands in the water column.
    const Vector3 up = Normalize(p);
    const float across = Vector3Length(Vector3Sub(eye, Vector3Scale(up, Vector3Dot(eye, up))));
    EXPECT_LE(across, 44.0f + 1e-3f);
    EXPECT_LE(Vector3Length(p), WaterShellRadius() + 1e-3f);
    EXPECT_GE(Vector3Length(p), kGroundRadius - 0.05f * (WaterShellRadius() - kGroundRadius) - 1e-2f);
    EXPECT_NEAR(Distance(perch.shadow->GetPosition(), PointAtHeight(p, -0.75f)), 0.0f, 1e-3f);
  }
  const float limits[][2] = {{54.99f, 0.0f}, {55.01f, 1.0f}};  // from the eye, recycled
  for (const auto& row : limits) {
    sPerch& perch = *State().perches[1];
    const Vector3 at = Vector3Add(eye, Vector3{0.0f, 0.0f, row[0]});
    perch.body->SetPosition(at);
    RecyclePerches(false);
    EXPECT_EQ(!Vector3Equal(perch.body->GetPosition(), at), row[1] == 1.0f) << row[0];
  }
}

TEST_F(FlySwimStage, UnitsStandingTogetherArePushedApart) {
  ResetState(kBirdTribe);
  AddUnits(2);
  sUnit& a = *State().units[0];
  sUnit& b = *State().units[1];
  ASSERT_TRUE(Vector3Equal(GetUnitPosition(a), GetUnitPosition(b)));
  SeparateUnits();  // one place: a random direction, pushes of 0.5 each way
  EXPECT_NEAR(Vector3Length(a.velocity), 0.5f, 1e-5f);
  EXPECT_TRUE(Vector3NearEqual(a.velocity, Vector3Negate(b.velocity), 1e-6f));
  const Vector3 at = GetUnitPosition(a);
  const float apart[][2] = {{1.0f, 0.25f}, {1.99f, 0.0025f}, {2.0f, 0.0f}, {2.5f, 0.0f}};  // distance, push
  for (const auto& row : apart) {
    a.velocity = b.velocity = Vector3{};
    b.body->SetPosition(Vector3Add(at, Vector3{0.0f, row[0], 0.0f}));
    SeparateUnits();  // along the line between them
    EXPECT_TRUE(Vector3NearEqual(a.velocity, Vector3{0.0f, -row[1], 0.0f}, 1e-6f)) << row[0];
    EXPECT_TRUE(Vector3NearEqual(b.velocity, Vector3{0.0f, row[1], 0.0f}, 1e-6f)) << row[0];
  }
}

// Light rays fade in by a tenth of the gap a frame, fade out once near their
// brightness, and come back elsewhere near the camera, in clusters.
TEST_F(FlySwimStage, LightRaysFadeInAndOutAndComeBackInClustersNearTheCamera) {
  AimCamera(Vector3{kGroundRadius, 0.0f, 0.0f}, 30.0f, 20.0f);
  struct sRow {
    float intensity, target;
    float intensityAfter, targetAfter;  // a negative target: respawned
  } rows[] = {
      {0.0f, 1.0f, 0.1f, 1.0f},     // fading in
      {0.96f, 1.0f, 0.964f, 0.0f},  // near its brightness: it starts to fade out
      {0.5f, 0.0f, 0.45f, 0.0f},    // fading out
      {1.0f / 18.0f, 0.0f, 0.05f, 0.0f},  // left exactly 0.05 from dark: not yet gone
      {0.05555555f, 0.0f, 0.0f, -1.0f},   // just under 0.05: gone
      {0.03f, 0.0f, 0.0f, -1.0f},   // gone: it comes back elsewhere, dark, to a new brightness
  };
  for (const sRow& row : rows) {
    SCOPED_TRACE(testing::Message() << row.intensity << " " << row.target);
    sLightRay rays[kLightRayCount];
    ResetLightRays(rays);
    for (sLightRay& ray : rays) {
      ray.direction = Vector3{1.0f, 0.0f, 0.0f};
      ray.intensity = row.intensity;
      ray.target = row.target;
    }
    UpdateLightRays(rays);
    EXPECT_NEAR(rays[0].intensity, row.intensityAfter, 1e-5f);
    if (row.targetAfter >= 0.0f) {
      EXPECT_FLOAT_EQ(rays[0].target, row.targetAfter);
      continue;
    }
    const float* camera = GetCameraPosition();
    const Vector3 near = Normalize(Vector3{camera[0], camera[1], camera[2]});
    // A cluster's rays hang within 5 of its centre's point on the shell; a new
    // cluster starts somewhere else near the camera, 3 to 6 rays later (the
    // ray that draws the count of 2 to 5, then as many more).
    int clusters = 1, lastStart = 0;
    for (int i = 0; i <= kLightRayCount; ++i) {
      if (i == kLightRayCount) {
        EXPECT_LE(i - lastStart, 6) << "the last cluster";
        break;
      }
      EXPECT_GE(rays[i].target, 0.0f);
      EXPECT_LE(rays[i].target, 1.0f);
      EXPECT_GE(rays[i].length, 7.0f);
      EXPECT_LE(rays[i].length, 14.0f);
      EXPECT_GT(Vector3Dot(rays[i].direction, near), 0.99f) << "hung near the camera";
      if (i == 0 || Vector3Dot(rays[i].direction, rays[i - 1].direction) > 0.9999f) continue;
      EXPECT_GE(i - lastStart, 3) << "ray " << i;
      EXPECT_LE(i - lastStart, 6) << "ray " << i;
      lastStart = i;
      ++clusters;
    }
    EXPECT_GE(clusters, 5);
  }
}

// The school: a fish far from the creature turns back to it, one at the
// creature is pushed off, and the school keeps between the floor and the
// surface.
TEST_F(FlySwimStage, SchoolFishKeepNearTheCreatureAndInsideTheWater) {
  State().seaLevel = 0.5f;  // floor 510, surface 540
  AddUnits(1);
  const Vector3 creature = GetUnitPosition(*State().units.front());
  CreateSchool();  // the fish start 20.0 to 200.0 from the creature, each following the next of the 200
  for (int i = 0; i < kSchoolSize; ++i) {
    const float d = Distance(State().school[i].position, creature);
    EXPECT_TRUE(d >= 20.0f - 1e-3f && d <= 200.0f + 1e-3f) << i << ": " << d;
  }
  EXPECT_EQ(State().school[198].neighbour, 199);
  EXPECT_EQ(State().school[199].neighbour, 0);
  delete[] State().school;
  State().school = nullptr;
  const Vector3 up = Normalize(creature), side{0.0f, 0.0f, 1.0f};
  auto at = [&](float height, float along) { return Vector3Add(SetLength(creature, kGroundRadius + height), Vector3Scale(side, along)); };
  struct sRow {
    const char* what;
    Vector3 start, direction;
    int steps;
  } rows[] = {
      {"far off, swimming away", at(15.0f, 100.0f), side, 200},
      {"at the creature", Vector3Add(creature, Vector3Scale(side, 0.5f)), side, 10},
      {"under the surface, rising", at(28.0f, 30.0f), Normalize(Vector3Add(up, side)), 200},
      {"over the floor, diving", at(2.0f, 30.0f), Normalize(Vector3Sub(side, up)), 200},
  };
  for (const sRow& row : rows) {
    SCOPED_TRACE(row.what);
    CreateSchool();
    sSchoolFish* school = State().school;
    for (int i = 1; i < kSchoolSize; ++i)  // the rest far away, out of each other's and its sight
      school[i].position = Vector3{-kGroundRadius - 10.0f, 200.0f * (float)(i % 10) - 900.0f, 150.0f * (float)(i / 10) - 1500.0f};
    school[0].position = row.start;
    school[0].direction = row.direction;
    float lowest = 1e9f, highest = 0.0f;
    for (int step = 0; step < row.steps; ++step) {
      StepSchool();
      lowest = std::min(lowest, Vector3Length(school[0].position));
      highest = std::max(highest, Vector3Length(school[0].position));
    }
    const float fromCreature = Distance(school[0].position, creature);
    if (row.steps == 10) EXPECT_GT(fromCreature, 2.0f) << "pushed off";
    else EXPECT_LT(fromCreature, 70.0f) << "kept near the creature";
    // It may overshoot while it turns, but not for long nor far.
    EXPECT_LT(highest, WaterShellRadius() + 6.0f) << "turned back under the surface";
    EXPECT_GT(lowest, kGroundRadius - 6.0f) << "turned back over the floor";
    EXPECT_LT(Vector3Length(school[0].position), WaterShellRadius());
    EXPECT_GT(Vector3Length(school[0].position), kGroundRadius);
    delete[] State().school;
    State().school = nullptr;
  }
  // A fish held still, the creature at 525 in the middle of the water: it
  // turns only when strictly past a limit (60.0 from the creature, nearer
  // than 2.0, above the shell less 8.0, under the floor plus 8.0).
  const Vector3 middle{525.0f, 0.0f, 0.0f};
  State().units.front()->body->SetPosition(middle);
  const struct {
    Vector3 at;
    bool turns;
  } limits[] = {
      {{525.0f, 0.0f, 60.0f}, false}, {{525.0f, 0.0f, 60.5f}, true},  // from the creature
      {{525.0f, 0.0f, 2.0f}, false},  {{525.0f, 0.0f, 1.9f}, true},
      {{532.0f, 0.0f, 0.0f}, false},  {{532.5f, 0.0f, 0.0f}, true},   // under the shell of 540
      {{518.0f, 0.0f, 0.0f}, false},  {{517.5f, 0.0f, 0.0f}, true},   // over the floor at 510
  };
  const Vector3 heading{0.0f, 1.0f, 0.0f};  // across every pull
  for (const auto& row : limits) {
    SCOPED_TRACE(testing::Message() << row.at.x << " " << row.at.z);
    CreateSchool();
    sSchoolFish* school = State().school;
    for (int i = 1; i < kSchoolSize; ++i)
      school[i].position = Vector3{-kGroundRadius - 10.0f, 200.0f * (float)(i % 10) - 900.0f, 150.0f * (float)(i / 10) - 1500.0f};
    school[0].position = row.at;
    school[0].speed = 0.0f;
    bool turned = false;
    for (int step = 0; step < 30; ++step) {
      school[0].direction = heading;
      StepSchool();
      turned = turned || Vector3Dot(school[0].direction, heading) < 0.99999f;
    }
    EXPECT_EQ(turned, row.turns);
    delete[] State().school;
    State().school = nullptr;
  }
  // Its neighbour, held still ahead along z: followed from 1.0 up to short
  // of 100.0, shunned nearer than 1.0.
  const float neighbours[][2] = {{100.0f, 0.0f}, {99.5f, 1.0f}, {1.0f, 1.0f}, {0.9f, -1.0f}};  // distance, turn along z
  for (const auto& row : neighbours) {
    CreateSchool();
    sSchoolFish* school = State().school;
    for (int i = 2; i < kSchoolSize; ++i)
      school[i].position = Vector3{-kGroundRadius - 10.0f, 200.0f * (float)(i % 10) - 900.0f, 150.0f * (float)(i / 10) - 1500.0f};
    school[0].position = Vector3{525.0f, 0.0f, 30.0f};
    school[1].position = Vector3{525.0f, 0.0f, 30.0f + row[0]};
    school[0].speed = school[1].speed = 0.0f;
    float turn = 0.0f;
    for (int step = 0; step < 30; ++step) {
      school[0].direction = school[1].direction = heading;
      StepSchool();
      if (std::fabs(school[0].direction.z) > 1e-5f) turn = school[0].direction.z > 0.0f ? 1.0f : -1.0f;
    }
    EXPECT_EQ(turn, row[1]) << row[0];
    delete[] State().school;
    State().school = nullptr;
  }
}

// After a mode change flyers aim at the ground under their targets and
// swimmers 4 over it, when that is under the sea; either way a new target
// is unlocked at the normal speed.
TEST_F(FlySwimStage, ReseatingAfterAModeChangePutsTargetsOnTheGroundOrFourOverIt) {
  struct sRow {
    int mode;
    float seaLevel, targetHeight;
    float heightAfter;
    bool moved;
  } rows[] = {
      {kBird, 0.5f, 10.0f, 0.0f, true},
      {kBirdTribe, 0.5f, 3.0f, 0.0f, true},
      {kFish, 0.5f, 20.0f, 4.0f, true},           // 30 deep: 4 over the floor
      {kFishTribe, 0.5f, 1.0f, 4.0f, true},
      {kFish, 0.025f, 1.0f, 1.0f, false},         // 2 deep: 4 over the floor is out of the sea
      {kFish, 0.175f, 1.0f, 4.0f, true},          // 4 deep: 4 over the floor is on the shell, in the sea
      {kFish, 0.17f, 1.0f, 1.0f, false},          // 3.6 deep
  };
  for (const sRow& row : rows) {
    SCOPED_TRACE(testing::Message() << std::hex << row.mode << " " << row.seaLevel);
    ResetState(row.mode);
    State().seaLevel = row.seaLevel;
    AddUnits(1);
    sUnit& unit = *State().units.front();
    unit.target = PointAtHeight(Vector3{1.0f, 0.0f, 0.0f}, row.targetHeight);
    unit.targetLock = true;
    unit.speedMultiplier = 3.0f;
    ReseatUnits();
    EXPECT_NEAR(HeightAboveGround(unit.target), row.heightAfter, 1e-3f);
    EXPECT_EQ(unit.targetLock, !row.moved);
    EXPECT_FLOAT_EQ(unit.speedMultiplier, row.moved ? 1.0f : 3.0f);
  }
  State().seaLevel = 0.5f;
}

// The follow camera pulls its point back only when it is more than 7.5 from
// the creature, and never lets it end a frame more than 11.25 away; the view
// leads the creature by twice its lag, held to 4.0, a tenth of the way a frame.
TEST_F(FlySwimStage, TheFollowCameraPullsPastSevenAndAHalfAndStopsAtElevenAndAQuarter) {
  ResetState(kBird);
  AddUnits(1);
  sUnit& unit = *State().units.front();
  const Vector3 u = GetUnitPosition(unit);
  const float rows[][6] = {
      // distance, outward speed, dt, distance after, lag, offset length after
      {5.0f, 0.0f, 1.0f, 5.0f, 0.0f, 0.0f},     {7.5f, 0.0f, 1.0f, 7.5f, 4.0f, 0.8f},
      {7.6f, 0.0f, 1.0f, 7.5f, 4.5f, 0.8f},     {11.0f, 2.0f, 0.1f, 11.145f, 3.0f, 0.6f},
      {11.0f, 3.5f, 0.1f, 11.25f, 0.0f, 0.0f},  // it would end 11.28 away
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row[0] << " away at " << row[1]);
    State().followPosition = Vector3Add(u, Vector3{0.0f, 0.0f, row[0]});
    State().followVelocity = Vector3{0.0f, 0.0f, row[1]};
    State().followOffsetLength = 0.0f;
    State().referenceOrientation = unit.displayOrientation;
    unit.target = Vector3Add(u, Vector3{0.0f, row[4], 0.0f});
    UpdateFollowCamera(row[2]);
    EXPECT_NEAR(Distance(State().followPosition, u), row[3], 1e-4f);
    EXPECT_NEAR(State().followOffsetLength, row[5], 1e-6f);
  }
}
