// Herds: perception (hearing, sight, the stimulus and the anxiety decay), the
// populator, fleeing and tiring, grazing, turning, splitting, and the faults
// mended (no land for a target, a threat that died, divisions by zero).
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "glf/DebugWindow.h"
#include "modes/tribe/HerdFatigue.h"
#include "tests/modes/tribe/TribeHerdTestSupport.h"

using namespace Ru::Math;

namespace {

using TribeHerdTest = cTribeHerdTest;

// ---- perception -------------------------------------------------------------------------

TEST(HerdPerceptionTest, HearingStimulusAndDecayFollowTheirTables) {
  EXPECT_EQ(cHerdPerception::Hearing(0.0f, 10.0f, 30.0f), 1.0f);
  EXPECT_EQ(cHerdPerception::Hearing(10.0f, 10.0f, 30.0f), 1.0f);
  EXPECT_FLOAT_EQ(cHerdPerception::Hearing(20.0f, 10.0f, 30.0f), 0.5f);
  EXPECT_EQ(cHerdPerception::Hearing(30.0f, 10.0f, 30.0f), 0.0f);
  // Seen, fully heard, as loud as can be, right here: the strongest stimulus.
  EXPECT_FLOAT_EQ(cHerdPerception::Stimulus(true, 1.0f, 1.0f, 0.0f), 1.0f);
  EXPECT_FLOAT_EQ(cHerdPerception::Stimulus(false, 1.0f, 1.0f, 0.0f), 0.1f);
  EXPECT_FLOAT_EQ(cHerdPerception::Stimulus(true, 0.5f, 0.4f, 20.0f), 10.0f * 0.5f * 0.4f * 0.1f / 2.0f);
  EXPECT_FLOAT_EQ(cHerdPerception::Decay(0.8f, 1.0f, 1.0f), 0.4f);
  EXPECT_FLOAT_EQ(cHerdPerception::Decay(0.8f, 0.0f, 0.1f), 0.4f);  // a half-life of 0 acts as 0.1
}

TEST(HerdPerceptionTest, HearingWithTheOuterRadiusInsideTheMiddleOneDoesNotDivideByZero) {
  // It once divided by outer - middle: 0 gave infinities, a negative width turned hearing inside out.
  EXPECT_EQ(cHerdPerception::Hearing(5.0f, 10.0f, 10.0f), 1.0f);
  EXPECT_EQ(cHerdPerception::Hearing(12.0f, 10.0f, 10.0f), 0.0f);
  EXPECT_EQ(cHerdPerception::Hearing(10.0f, 10.0f, 10.0f), 0.0f);  // 0 / 0 once made it not a number
  EXPECT_EQ(cHerdPerception::Hearing(5.0f, 20.0f, 10.0f), 1.0f);
  EXPECT_EQ(cHerdPerception::Hearing(10.0f, 20.0f, 10.0f), 0.0f);
}

TEST_F(TribeHerdTest, AnxietyRisesTowardsWhatTheHerdSeesOrHearsAndDecaysByItsHalfLife) {
  cTribeHerd* herd = MakeLoneHerd(kTribeHerdRunts);
  const float loudness = cHerdPerception::Get().GetLoudness(0.0f);  // members standing still
  ASSERT_GT(loudness, 0.0f);
  const float dt = 0.5f;
  const float decay = std::pow(0.5f, dt / 4.0f);

  struct Case {
    const char* what;
    float ahead;     // where the member stands: ahead of the herd (negative: behind)
    float anxiety;   // before the step
    bool seen, threat;
  } cases[] = {
      {"ahead and seen", 5.0f, 0.0f, true, true},
      {"behind, beyond the calm inner radius: only heard", -5.0f, 0.0f, false, false},
      {"behind, within the calm inner radius", -2.0f, 0.0f, true, true},
      {"behind, within the alert inner radius of an anxious herd", -5.0f, 0.5f, true, true},
      {"ahead, between the middle and outer radius", 20.0f, 0.0f, true, false},
  };
  for (const Case& c : cases) {
    herd->SetThreat(nullptr);
    herd->SetAttribute("anxiety", c.anxiety);
    cTribeCreature* member = MemberAt(0, Ahead(herd, c.ahead));
    const float d = Distance(member->GetPositionVector(), HerdPosition(herd));
    const float stimulus =
        cHerdPerception::Stimulus(c.seen, cHerdPerception::Hearing(d, 10.0f, 30.0f), loudness, d);
    float expected = c.anxiety * decay;
    if (stimulus > expected) expected += (stimulus - expected) * dt;
    cHerdPerception::Get().Perceive(herd, dt);
    EXPECT_NEAR(Attribute(herd, "anxiety"), expected, 1e-5f) << c.what;
    EXPECT_EQ(stimulus > 0.2f, c.threat) << c.what;  // above the smaller of the flee and attack thresholds
    EXPECT_EQ(herd->GetThreat() == member, c.threat) << c.what;
    EXPECT_EQ(Attribute(herd, "navigationInitialized"), 1.0f);
  }

  // Alone, anxiety halves every half-life and never leaves [0, 1].
  MemberAt(0, HutPosition());
  herd->SetAttribute("anxiety", 0.8f);
  herd->SetAttribute("anxietyHalfLife", 1.0f);
  cHerdPerception::Get().Perceive(herd, 1.0f);
  EXPECT_NEAR(Attribute(herd, "anxiety"), 0.4f, 1e-6f);
  herd->SetAttribute("anxiety", 0.3f);
  MemberAt(0, Ahead(herd, 1.0f));
  cHerdPerception::Get().Perceive(herd, 1000.0f);  // a huge step overshoots without the clamp
  EXPECT_LE(Attribute(herd, "anxiety"), 1.0f);
  EXPECT_GE(Attribute(herd, "anxiety"), 0.0f);
}

TEST_F(TribeHerdTest, TheNearestFrighteningMemberBecomesTheThreatAndStaysWhenNoneIsFound) {
  cTribeHerd* herd = MakeLoneHerd(kTribeHerdRunts);
  MemberAt(0, Ahead(herd, 6.0f));
  cTribeCreature* nearer = MemberAt(1, Ahead(herd, 4.0f));  // later in the creature list
  cHerdPerception::Get().Perceive(herd, kStep);
  EXPECT_EQ(herd->GetThreat(), nearer);
  MemberAt(0, HutPosition());
  MemberAt(1, HutPosition());
  cHerdPerception::Get().Perceive(herd, kStep);
  EXPECT_EQ(herd->GetThreat(), nearer);
}

// With several members about, the nearest one can change on every tick; the
// debug window hears of the flight once, not once a tick.
TEST_F(TribeHerdTest, AFlightIsAnnouncedOnceWhileTheNearestMemberChanges) {
  CreateDebugWindow();
  GetDebugWindow()->SetMirrorToStdout(false);
  cTribeHerd* herd = MakeLoneHerd(kTribeHerdRunts);
  for (int tick = 0; tick < 4; ++tick) {
    MemberAt(0, Ahead(herd, tick % 2 ? 4.0f : 6.0f));
    MemberAt(1, Ahead(herd, tick % 2 ? 6.0f : 4.0f));
    herd->SetAttribute("anxiety", 1.0f);  // frightened enough not to calm down between ticks
    Objects()->UpdateHerd(herd, kStep);
    EXPECT_EQ(herd->GetThreat(), Members()[tick % 2 ? 0 : 1]) << tick;
  }
  int announced = 0;
  for (const std::string& line : GetDebugWindow()->Lines()) announced += line.find("frightens it") != std::string::npos;
  EXPECT_EQ(announced, 1);
  DestroyDebugWindowForTest();
}

// ---- moving ---------------------------------------------------------------------------

// One herd step from rest; returns the speed it moved at, with the heading
// factor of the step taken out.
float StepSpeed(cTribeObjectController* objects, cTribeHerd* herd, float dt) {
  const Vector3 forward = cTribeHerdTest::Forward(herd);
  objects->UpdateHerd(herd, dt);
  const Vector3 velocity = *herd->GetVelocity();
  const float speed = Vector3Length(velocity);
  const float heading = std::max(Vector3Dot(forward, Vector3Scale(velocity, 1.0f / speed)), 0.9f);
  return speed / heading;
}

TEST_F(TribeHerdTest, AFleeingHerdSprintsLessAsItTiresAndTiresWhileItSprints) {
  const float walk = GetTribeTuningData().GetCreatureSpeed();  // the slope factor is 1 on level ground
  struct Case {
    float fatigue, share;
  } cases[] = {{0.0f, 1.0f}, {9.0f, 0.5f}, {10.0f, 0.0f}};
  for (const Case& c : cases) {
    cTribeHerd* herd = MakeLoneHerd(kTribeHerdRunts);
    MemberAt(0, Ahead(herd, -2.0f));  // right behind it: seen
    herd->SetAttribute("anxiety", 1.0f);
    herd->SetAttribute("fatigue", c.fatigue);
    const float speed = StepSpeed(Objects(), herd, kStep);
    EXPECT_EQ(herd->GetThreat(), Members()[0]);
    EXPECT_NEAR(speed, walk * (kNormal + (kSprint - kNormal) * c.share), 2e-3f) << c.fatigue;
    EXPECT_NEAR(Attribute(herd, "fatigue"), std::min(c.fatigue + c.share * kStep, 10.0f), 1e-5f);
    // Away from the member, the flight point a sprint distance off.
    EXPECT_GT(Distance(HerdPosition(herd), Members()[0]->GetPositionVector()), 2.0f);
    EXPECT_NEAR(Distance(*herd->GetTarget(), Members()[0]->GetPositionVector()), 22.0f, 0.5f);
  }
}

TEST_F(TribeHerdTest, AHerdWithoutSprintTimeWalksAtItsBaseSpeedInsteadOfDividingByZero) {
  EXPECT_EQ(HerdFatigueFraction(0.0f, 0.0f), 1.0f);
  EXPECT_EQ(HerdSprintShare(3.0f, 0.0f), HerdSprintShare(1.0f, 1.0f));
  cTribeHerd* herd = MakeLoneHerd(kTribeHerdRunts);
  herd->SetAttribute("sprintDuration", 0.0f);
  MemberAt(0, Ahead(herd, -2.0f));
  herd->SetAttribute("anxiety", 1.0f);
  const float speed = StepSpeed(Objects(), herd, kStep);
  EXPECT_TRUE(std::isfinite(speed));
  EXPECT_NEAR(speed, GetTribeTuningData().GetCreatureSpeed() * kNormal, 2e-3f);
  EXPECT_EQ(Attribute(herd, "fatigue"), 0.0f);
}

TEST_F(TribeHerdTest, ACalmHerdWalksFasterWithAnxietyAndAtNineTenthsWhileTurningRound) {
  const float walk = GetTribeTuningData().GetCreatureSpeed();
  cTribeHerd* herd = MakeLoneHerd(kTribeHerdBigGame);
  herd->SetAttribute("anxietyHalfLife", 1e9f);
  herd->SetAttribute("anxiety", 0.2f);
  herd->SetTarget(Ahead(herd, 10.0f));
  EXPECT_NEAR(StepSpeed(Objects(), herd, kStep), walk * (kNormal + 0.2f * (kSprint - kNormal)), 2e-3f);
  EXPECT_EQ(herd->GetThreat(), nullptr);

  cTribeHerd* backwards = MakeLoneHerd(kTribeHerdBigGame);
  backwards->SetTarget(Ahead(backwards, -10.0f));
  Objects()->UpdateHerd(backwards, kStep);
  EXPECT_NEAR(Vector3Length(*backwards->GetVelocity()), walk * kNormal * 0.9f, 2e-3f);
  // It turns towards its goal and then faces it.
  for (int i = 0; i < 60; ++i) Objects()->UpdateHerd(backwards, kStep);
  const Vector3 toTarget = Vector3Normalized(Vector3Sub(*backwards->GetTarget(), HerdPosition(backwards)));
  EXPECT_GT(Vector3Dot(Forward(backwards), toTarget), 0.99f);
}

TEST_F(TribeHerdTest, AGrazingHerdStandsForItsGrazingTimeThenWandersWithinItsHome) {
  cTribeHerd* herd = MakeLoneHerd(kTribeHerdBigGame);
  // Arrived: it starts grazing and picks its next goal within its home.
  Objects()->UpdateHerd(herd, kStep);
  EXPECT_FLOAT_EQ(Attribute(herd, "grazingTime"), kStep);
  const sHome home = HomeOf(herd);
  EXPECT_LE(Distance(*herd->GetTarget(), home.centre), home.radius + 0.5f);
  const Vector3 start = HerdPosition(herd);
  int still = 0;
  while (still < 200 && HerdPosition(herd) == start) {
    Objects()->UpdateHerd(herd, kStep);
    ++still;
  }
  EXPECT_NEAR(still * kStep, 5.0f, 2.5f * kStep);
}

TEST_F(TribeHerdTest, AHuntedHerdStaysAnxiousAndStill) {
  cTribeHerd* herd = MakeLoneHerd(kTribeHerdBigGame);
  herd->SetTarget(Ahead(herd, 10.0f));
  herd->SetHunted(1);
  const Vector3 start = HerdPosition(herd);
  for (int i = 0; i < 10; ++i) Objects()->UpdateHerd(herd, kStep);
  EXPECT_EQ(Attribute(herd, "anxiety"), 1.0f);
  EXPECT_EQ(HerdPosition(herd), start);
}

TEST_F(TribeHerdTest, AMemberWalkingUpToAHerdMakesItFleeAndTireThenItSettlesWhereItStopped) {
  cTribeHerd* herd = MakeLoneHerd(kTribeHerdRunts);
  cTribeCreature* member = MemberAt(0, Ahead(herd, 12.0f));
  member->SetDestinationNear(HerdPosition(herd), 0.0f);
  Pump(20);  // a second: the member walks in and is seen
  EXPECT_EQ(herd->GetThreat(), member);
  Pump(40);
  EXPECT_GT(Attribute(herd, "fatigue"), 0.5f);
  EXPECT_GT(Distance(HerdPosition(herd), member->GetPositionVector()), 12.0f);
  member->SetDestinationNear(member->GetPositionVector(), 0.0f);
  // Left alone it calms down, forgets the threat and makes its home where its flight ended.
  for (int i = 0; i < 20 * 60 && herd->GetThreat(); ++i) Pump(1);
  EXPECT_EQ(herd->GetThreat(), nullptr);
  EXPECT_GT(Distance(HomeOf(herd).centre, member->GetPositionVector()), 15.0f);
  EXPECT_EQ(HomeOf(herd).radius, 10.0f);
}

TEST_F(TribeHerdTest, AThreatThatDiesIsForgottenNotFollowed) {
  cTribeHerd* herd = MakeLoneHerd(kTribeHerdRunts);
  cTribeCreature* member = MemberAt(0, Ahead(herd, -2.0f));
  herd->SetAttribute("anxiety", 1.0f);
  Objects()->UpdateHerd(herd, kStep);
  ASSERT_EQ(herd->GetThreat(), member);
  Objects()->KillCreature(member);
  Pump(2);  // the creature is freed at the start of the next update, before the herds move
  EXPECT_EQ(herd->GetThreat(), nullptr);
}

TEST_F(TribeHerdTest, SplittingTakesOneAnimalIntoAHerdOfItsOwnAtTheSamePlace) {
  cTribeHerd* herd = MakeLoneHerd(kTribeHerdBigGame);
  herd->SetTimesHunted(2);
  herd->SetTarget(Ahead(herd, 5.0f));
  herd->SetAttribute("grazingTime", 1.0f);
  const size_t before = Objects()->GetHerds().size();
  cTribeHerd* split = Objects()->SplitHerd(herd);
  ASSERT_NE(split, nullptr);
  EXPECT_EQ(Objects()->GetHerds().size(), before + 1);
  EXPECT_EQ(Objects()->GetHerds().back(), split);
  EXPECT_EQ(herd->GetCount(), 4);
  EXPECT_EQ(split->GetCount(), 1);
  EXPECT_EQ(split->GetSize(), 5u);
  EXPECT_EQ(split->GetType(), (uint32_t)kTribeHerdBigGame);
  EXPECT_EQ(split->GetTimesHunted(), 2u);
  EXPECT_EQ(Attribute(herd, "anxiety"), 1.0f);
  EXPECT_EQ(Attribute(split, "anxiety"), 1.0f);
  EXPECT_EQ(Attribute(herd, "grazingTime"), 0.0f);
  EXPECT_EQ(HerdPosition(split), HerdPosition(herd));
  EXPECT_EQ(*split->GetTarget(), *herd->GetTarget());
  EXPECT_EQ(HomeOf(split).centre, HomeOf(herd).centre);
  EXPECT_EQ(HomeOf(split).radius, HomeOf(herd).radius);
}

// ---- the populator and homes -----------------------------------------------------------

int CountOfType(cTribeObjectController* objects, uint32_t type) {
  int n = 0;
  for (cTribeHerd* herd : objects->GetHerds()) n += herd->GetType() == type ? 1 : 0;
  return n;
}

TEST_F(TribeHerdTest, ThePopulatorTopsEachTypeUpToTheScriptsNumberAndNeverTakesHerdsAway) {
  // The start world was made from the game's own script.
  for (cTribeHerd* herd : Objects()->GetHerds()) {
    EXPECT_GE(herd->GetType(), 1u);
    EXPECT_LE(herd->GetType(), 3u);
    EXPECT_GE(herd->GetCount(), 1);
  }
  const int big = CountOfType(Objects(), 1), runts = CountOfType(Objects(), 2), predators = CountOfType(Objects(), 3);
  HerdScript().SetVariable("wanted1", (float)big);
  HerdScript().SetVariable("wanted2", (float)runts + 2.0f);
  HerdScript().SetVariable("wanted3", (float)predators);
  const size_t before = Objects()->GetHerds().size();
  Pump(1);
  EXPECT_EQ(CountOfType(Objects(), 1), big);
  EXPECT_EQ(CountOfType(Objects(), 2), runts + 2);
  EXPECT_EQ(CountOfType(Objects(), 3), predators);
  // The new ones: the script's size and values, a home at its distance from the hut, within reach of it.
  for (size_t i = before; i < Objects()->GetHerds().size(); ++i) {
    cTribeHerd* herd = Objects()->GetHerds()[i];
    EXPECT_EQ(herd->GetSize(), 5u);
    EXPECT_EQ(Attribute(herd, "turnRate"), 90.0f);
    EXPECT_EQ(Attribute(herd, "sprintDuration"), 10.0f);
    EXPECT_EQ(Attribute(herd, "fatigue"), 0.0f);
    const sHome home = HomeOf(herd);
    EXPECT_EQ(home.radius, 10.0f);
    EXPECT_NEAR(Distance(home.centre, HutPosition()), 40.0f, 1.0f);
    EXPECT_LE(Distance(HerdPosition(herd), home.centre), 10.5f);
    EXPECT_FALSE(GetPlanetModel().IsUnderWater(HerdPosition(herd)));
  }
  // Every herd takes the script's values on every tick.
  for (cTribeHerd* herd : Objects()->GetHerds()) EXPECT_EQ(Attribute(herd, "outerPerceptionRadius"), 30.0f);

  HerdScript().SetVariable("wanted2", 0.0f);
  Pump(3);
  EXPECT_EQ(CountOfType(Objects(), 2), runts + 2);

  // A herd hunted out leaves two ticks later and is replaced on the next.
  HerdScript().SetVariable("wanted2", (float)runts + 2.0f);
  cTribeHerd* last = Objects()->GetHerds().back();
  last->SetCount(0);
  Pump(2);
  EXPECT_EQ(CountOfType(Objects(), 2), runts + 1);
  Pump(1);
  EXPECT_EQ(CountOfType(Objects(), 2), runts + 2);
}

TEST_F(TribeHerdTest, AHomeInTheSeaMovesOutOneUnitAtATimeAndIsTakenAsItIsBeyondAHundred) {
  cTribeHerd* herd = MakeLoneHerd(kTribeHerdBigGame);
  herd->SetAttribute("distanceFromHut", 35.5f);
  const Vector3 hut = HutPosition();
  // Sea in a ring from 30 to 60 units around the hut.
  auto ring = [](const Vector3& d) {
    const float arc = std::acos(std::clamp(Vector3Normalized(d).y, -1.0f, 1.0f)) * 510.0f;
    return arc > 30.0f && arc < 60.0f ? 0.0f : kLandHeight;
  };
  GetPlanetModel().SetHeightMap(MakeHeightMap(ring, 128));
  for (int i = 0; i < 5; ++i) {
    const Vector3 home = Objects()->PickHerdHome(herd);
    EXPECT_FALSE(GetPlanetModel().IsUnderWater(home));
    EXPECT_GT(Distance(home, hut), 55.0f);
    EXPECT_LT(Distance(home, hut), 75.0f);
  }
  GetPlanetModel().SetHeightMap(MakeHeightMap([](const Vector3&) { return 0.0f; }, 16));
  const Vector3 wet = Objects()->PickHerdHome(herd);
  EXPECT_NEAR(Distance(wet, Ground(hut)), 35.5f, 1.0f);  // drawn in the hut's ground plane, then dropped to the sea
}

TEST_F(TribeHerdTest, ATargetWithNoLandInReachKeepsTheHerdsOldTarget) {
  cTribeHerd* herd = MakeLoneHerd(kTribeHerdBigGame);
  cTribeHerd* arrived = MakeLoneHerd(kTribeHerdBigGame, Vector3{0.0f, 0.4f, 1.0f});
  const Vector3 dry = Ahead(herd, 5.0f);
  herd->SetTarget(dry);
  EXPECT_EQ(*herd->GetTarget(), dry);
  // All sea: the search once wandered on for ever and then left the herd swimming out.
  GetPlanetModel().SetHeightMap(MakeHeightMap([](const Vector3&) { return 0.0f; }, 16));
  herd->SetTarget(Ahead(herd, 15.0f));
  EXPECT_EQ(*herd->GetTarget(), dry);
  // An arrived herd looking for its next goal keeps it too.
  const Vector3 old = *arrived->GetTarget();
  Objects()->UpdateHerd(arrived, kStep);
  EXPECT_EQ(*arrived->GetTarget(), old);
}

}  // namespace

namespace {

using TribeHerdRunTest = cTribeWorldTest;

// Two minutes of the game's own herds around members who stand still: every
// value stays in its bounds, and a second run from the same seed is the same.
TEST_F(TribeHerdRunTest, HerdsStayInBoundsAndMoveTheSameWayOnEveryRun) {
  auto run = [this]() {
    for (cTribeCreature* member : Members()) member->SetSuppressChoice(true);
    std::vector<float> trace;
    for (int second = 0; second < 120; ++second) {
      Pump(20);
      for (cTribeHerd* herd : Objects()->GetHerds()) {
        const Vector3 p = herd->GetPositionVector();
        const float anxiety = *herd->GetAttribute("anxiety"), fatigue = *herd->GetAttribute("fatigue");
        EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z));
        EXPECT_FALSE(GetPlanetModel().IsUnderWater(p));
        EXPECT_LT(Vector3Length(Vector3Sub(p, HutPosition())), 150.0f);
        EXPECT_GE(anxiety, 0.0f);
        EXPECT_LE(anxiety, 1.0f);
        EXPECT_GE(fatigue, 0.0f);
        EXPECT_LE(fatigue, *herd->GetAttribute("sprintDuration"));
        trace.insert(trace.end(), {p.x, p.y, p.z, anxiety, fatigue});
      }
    }
    return trace;
  };
  const std::vector<float> first = run();
  ASSERT_FALSE(first.empty());
  ReenterWithNewPlants();
  EXPECT_EQ(run(), first);
}

}  // namespace

namespace {

// The game's own scripts: every kind of herd, however big the tribe and however
// often hunted, gets values its behaviour can use.
TEST(TribeHerdScriptTest, TheGamesHerdAndLoudnessScriptsGiveUsableValues) {
  cRovurozovizProgram herds;
  ASSERT_TRUE(herds.Load(".\\Data\\Scripts\\tribe_herd_location.txt"));
  for (float type = 1.0f; type <= 3.0f; type += 1.0f)
    for (float tribe : {2.0f, 8.0f, 20.0f})
      for (float hunted : {0.0f, 5.0f, 50.0f}) {
        herds.SetVariable("tribe_size", tribe);
        herds.SetVariable("herd_type", type);
        herds.SetVariable("times_hunted_type", hunted);
        herds.Run();
        auto value = [&herds](const char* name) { return herds.GetVariable(name); };
        EXPECT_GE(value("number_of_herds"), 1.0f) << type;
        EXPECT_GE(value("herd_size"), 1.0f) << type;
        EXPECT_GT(value("perception_hear_barely"), value("perception_hear_well")) << type;
        EXPECT_GT(value("sprint_fatigue"), 0.0f) << type;
        EXPECT_GT(value("anxiety_half_life"), 0.0f) << type;
        EXPECT_GT(value("speed_max"), value("speed_normal")) << type;
        EXPECT_GT(value("anxiety_threshold_flee"), value("anxiety_threshold_calm")) << type;
        EXPECT_LE(value("distance_from_hut"), 100.0f) << type;
      }
  cRovurozovizProgram loudness;
  ASSERT_TRUE(loudness.Load(".\\Data\\Scripts\\creature_loudness.txt"));
  for (float speed : {0.0f, 4.0f, 50.0f}) {
    loudness.SetVariable("speed", speed);
    loudness.SetVariable("stealth", 2.0f);
    loudness.SetVariable("tree_cover", 0.0f);
    loudness.Run();
    EXPECT_GT(loudness.GetVariable("loudness"), 0.0f);
    EXPECT_LE(loudness.GetVariable("loudness"), 1.0f);
  }
}

}  // namespace
