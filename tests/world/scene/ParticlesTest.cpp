// Particles on a hand-driven game clock: burst motion and rest, lifetimes,
// strategies, and fountains that spray until their own lifetime ends.
#include "math/Quaternion.h"
#include "math/Vector.h"
#include "tests/world/planet/PlanetTestSupport.h"
#include "tests/world/scene/SceneTestSupport.h"
#include "world/scene/Particles.h"

using namespace Ru::Math;

namespace {
class ParticlesTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    GetPlanetModel().SetHeightMap(MakeHeightMap([](const Vector3&) { return 10.0f; }, 64));
  }
  void SetUp() override { GetSceneServices().gameTime = [] { return sGameTime; }; }
  void TearDown() override {
    GetSceneParticleManager().DeleteAllForTest();
    GetSceneServices().gameTime = nullptr;
  }
  static inline uint32_t sGameTime = 1000;
  cSceneParticleManager& particles = GetSceneParticleManager();
};

struct cCountingStrategy : cIParticleUpdateStrategy {
  int updates = 0, destroys = 0;
  void UpdateParticle(cISceneParticle*, float) override { ++updates; }
  void Destroy() override { ++destroys; }
};
}  // namespace

TEST_F(ParticlesTest, BurstsFallTowardTheCentreAndRestOnceBelowTheGround) {
  auto* burst = new cSceneBurstParticle(1000, Vector3{0, 520, 0}, Vector3{1, 0, 0}, Vector3{1, 1, 1}, nullptr);
  particles.AddParticle(burst);
  particles.Update(0.5f);
  // Gravity of one unit per second squared toward the centre, applied before the step.
  EXPECT_TRUE(Vector3NearEqual(burst->GetPosition(), Vector3{0.5f, 519.75f, 0}, 1e-4f));
  EXPECT_TRUE(Vector3NearEqual(burst->GetVelocity(), Vector3{1, -0.5f, 0}, 1e-6f));
  particles.Update(5.0f);  // a stall moves it as if half a second passed
  EXPECT_TRUE(Vector3NearEqual(burst->GetPosition(), Vector3{1.0f, 519.25f, 0}, 1e-3f));

  auto* sunk = new cSceneBurstParticle(1000, Vector3{0, 505, 0}, Vector3{3, 0, 0}, Vector3{1, 1, 1}, nullptr);
  particles.AddParticle(sunk);
  particles.Update(0.1f);
  EXPECT_TRUE(Vector3Equal(sunk->GetPosition(), Vector3{0, 505, 0}));
}

TEST_F(ParticlesTest, AParticleIsRemovedOnTheUpdateAfterItsLifetimeHasPassed) {
  cCountingStrategy strategy;
  auto* burst = new cSceneBurstParticle(100, Vector3{0, 520, 0}, Vector3{}, Vector3{1, 1, 1}, &strategy);
  particles.AddParticle(burst);
  sGameTime += 100;  // exactly the lifetime: not yet over
  particles.Update(0.1f);
  EXPECT_EQ(particles.GetParticleCount(), 1u);
  EXPECT_EQ(strategy.updates, 1);
  EXPECT_TRUE(Vector3Equal(burst->GetPosition(), Vector3{0, 520, 0}));  // the strategy moves it, not itself
  sGameTime += 1;
  particles.Update(0.1f);
  EXPECT_EQ(particles.GetParticleCount(), 0u);
  particles.Update(0.1f);
  EXPECT_EQ(strategy.destroys, 1);
  EXPECT_EQ(strategy.updates, 1);
}

TEST_F(ParticlesTest, FountainsSprayThreeToSevenBurstsAFrameUntilTheirLifetimeEnds) {
  Sys_SeedRandom(7);
  const Quaternion spin = QuatFromAngleAxis(Vector3{0, 1, 0}, 0.1f);
  auto* fountain = new cSceneBurstParticleFountain(Vector3{0, 511, 0}, Vector3{1, 1, 0}, spin, 1000,
                                                   Vector3{0, 0, 1}, nullptr);
  particles.AddParticle(fountain);
  size_t before = particles.GetParticleCount();
  for (int frame = 0; frame < 20; ++frame) {
    particles.Update(0.02f);
    const size_t added = particles.GetParticleCount() - before;
    EXPECT_GE(added, 3u);
    EXPECT_LE(added, 7u);
    before = particles.GetParticleCount();
    sGameTime += 20;
  }
  // Turned about the up axis once per frame: twenty tenths of a radian.
  EXPECT_TRUE(Vector3NearEqual(fountain->GetDirection(), QuatRotateVector(QuatFromAngleAxis(Vector3{0, 1, 0}, 2.0f),
                                                                          Vector3{1, 1, 0}), 1e-4f));
  for (cISceneParticle* p : particles.GetParticles()) {
    if (p == fountain) continue;
    const float speed = Vector3Length(static_cast<cSceneBurstParticle*>(p)->GetVelocity());
    EXPECT_GE(speed, 0.5f);  // 1 to 3 at birth, changed by at most 0.4 s of gravity
    EXPECT_LE(speed, 3.5f);
  }
  sGameTime += 1000;  // the fountain is over; its bursts still live 2.5 s
  particles.Update(0.02f);
  particles.Update(0.02f);
  EXPECT_GT(particles.GetParticleCount(), 0u);
  sGameTime += cSceneBurstParticleFountain::kBurstLifetimeMs;
  particles.Update(0.02f);
  EXPECT_EQ(particles.GetParticleCount(), 0u);
}
