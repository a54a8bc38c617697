// Ten minutes of each experiment at fixed 16 ms frames from one seed, with a
// click every few seconds somewhere in the window: every position stays
// finite, the follow camera keeps up with the creature, the saucer's wheel
// climbs to the top-down levels and back, and a second run goes exactly as
// the first.
#include "input/MouseDevice.h"
#include "modes/dev/flyswim/cFlySwimSaucer.h"
#include "tests/modes/dev/FlySwimTestSupport.h"
#include "tests/support/RunDigest.h"

using namespace Ru::Math;
using namespace nFlySwim;

namespace {
constexpr int kFrames = 10 * 60 * 1000 / 16;

bool Finite(const Vector3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

class FlySwimRun : public FlySwimStage {
 protected:
  // Plays the experiment and returns the digest of everything that moved.
  uint64_t Play(int mode) {
    Sys_SeedRandom(2026);
    mClock.Set(5000);
    ResetGameClockForTest();
    StartGameClock();
    ResetState(mode);
    delete[] State().school;
    delete[] State().specks;
    delete[] State().lightRays;
    delete State().saucer;
    State().saucer = nullptr;
    State().school = nullptr;
    State().specks = nullptr;
    State().lightRays = nullptr;
    State().followStarted = false;
    State().followOffsetLength = 0.0f;
    AimCamera(Vector3{kGroundRadius, 0, 0}, 30.0f, 40.0f);
    cTovansGameMode::OnModeChanged(mode);
    sRunDigest digest;
    float farthestFollow = 0.0f;
    int highestLevel = 0;
    for (int frame = 0; frame < kFrames; ++frame) {
      mClock.Advance(16);
      UpdateCameraFrame();
      for (sUnit* unit : State().units) UpdateUnitFootprint(*unit);
      const int phase = frame % 180;  // a click every 2.9 s, held for 10 frames, now and then a double
      if (phase == 0 || phase == 14) {
        mMode.OnMouseMove(Sys_Random() % kWindowWidth, Sys_Random() % kWindowHeight);
        mMode.OnLeftButtonDown(State().mouseX, State().mouseY);
      } else if (phase == 10 || phase == 24) {
        mMode.OnLeftButtonUp(State().mouseX, State().mouseY);
      }
      // The wheel turns five notches a cycle, three cycles towards the user, three away.
      const int cycle = frame / 180;
      gMouseDevice.SetWheelForTest(phase >= 40 && phase < 45 ? (cycle % 6 < 3 ? -1 : 1) : 0);
      mMode.Update(16);
      if (cFlySwimSaucer* saucer = State().saucer) {
        if (!Finite(saucer->position) || !Finite(saucer->target)) {
          ADD_FAILURE() << "saucer, frame " << frame;
          return 0;
        }
        for (int a = 0; a < 3; ++a) digest.Mix(saucer->position[a]);
        digest.Mix((uint32_t)saucer->level);
        highestLevel = std::max(highestLevel, saucer->level);
      }
      for (sUnit* unit : State().units) {
        const Vector3 p = GetUnitPosition(*unit);
        if (!Finite(p) || !Finite(unit->target) || !std::isfinite(unit->altitude)) {
          ADD_FAILURE() << "frame " << frame;
          return 0;
        }
        for (int a = 0; a < 3; ++a) digest.Mix(p[a]);
        digest.Mix(unit->altitude);
      }
      if (State().mode & kSingle) farthestFollow = std::max(farthestFollow, Distance(State().followPosition, GetUnitPosition(*State().units.front())));
    }
    for (int i = 0; State().school && i < kSchoolSize; ++i) {
      EXPECT_TRUE(Finite(State().school[i].position));
      for (int a = 0; a < 3; ++a) digest.Mix(State().school[i].position[a]);
    }
    for (int i = 0; State().specks && i < kSpeckCount; ++i) EXPECT_TRUE(Finite(State().specks[i].position));
    for (const sPerch* perch : State().perches) EXPECT_TRUE(Finite(perch->body->GetPosition()));
    const float* anchor = GetCameraAnchor();
    EXPECT_TRUE(Finite(Vector3{anchor[0], anchor[1], anchor[2]}));
    EXPECT_LE(farthestFollow, 11.25f + 1e-3f);
    gMouseDevice.SetWheelForTest(0);
    if (mode == kUfo) { EXPECT_EQ(highestLevel, 15); }
    digest.Mix((uint32_t)State().units.size());
    digest.Mix((uint32_t)State().perches.size());
    return digest.value;
  }
  cTovansGameMode mMode;
};
}  // namespace

TEST_F(FlySwimRun, TenMinutesOfEachExperimentStayFiniteAndRepeat) {
  for (int mode : {kFish, kBird, kFishTribe, kBirdTribe, kUfo}) {
    const uint64_t first = Play(mode);
    const uint64_t second = Play(mode);
    EXPECT_EQ(first, second) << std::hex << mode;
    EXPECT_NE(first, 0u);
  }
}
