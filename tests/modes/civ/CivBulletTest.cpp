// Civ bullets: arrival and deletion a tick later, a removed target (city,
// turret or vehicle) means no hit, a diplomatic bullet outlives its vehicle,
// and no bullet ever passes below the ground over hills.
#include <gtest/gtest.h>

#include <cmath>

#include "math/Math.h"
#include "modes/civ/CivBullets.h"
#include "modes/civ/CivCity.h"
#include "modes/civ/CivTurret.h"
#include "modes/civ/CivVehicle.h"
#include "platform/Sys.h"
#include "world/scene/SceneManager.h"
#include "CivTestSupport.h"

namespace {

using namespace Ru::Math;

struct cRecordingVictim : cICivModeVictim {
  Vector3 position{0.0f, 0.0f, 510.0f};
  int hits = 0, lastAttacker = -9, diplomaticHits = 0;  // the vehicle starts non-null to see it cleared
  cCivModeDecoratedCity* home = nullptr;
  cCivModeVehicle* vehicle = reinterpret_cast<cCivModeVehicle*>(1);
  const Vector3* GetVictimPosition() override { return &position; }
  void OnHit(int attacker) override { ++hits, lastAttacker = attacker; }
  void OnDiplomaticHit(cCivModeDecoratedCity* h, cCivModeVehicle* v) override { ++diplomaticHits, home = h, vehicle = v; }
  uint32_t GetVictimTypeId() override { return 0; }
};

struct CivBulletTest : CivCombatFixture {
  cCivBulletList* bullets = nullptr;
  void Start() {
    StartCombat(1, 3, 0.0f);
    bullets = world->GetBullets();
  }
};

TEST_F(CivBulletTest, ArrivalHitsOnceAndTheBulletGoesNextTick) {
  Start();
  cRecordingVictim victim;
  uint32_t drawn = GetSceneManager().GetObjectCount();
  bullets->Spawn(Vector3Add(victim.position, Vector3{1.0f, 0.0f, 0.0f}), &victim, home, kCivPillageBullet, nullptr);  // within 1.0: there
  bullets->Spawn(victim.position, nullptr, home, kCivPillageBullet, nullptr);  // dropped: no target
  bullets->Spawn(victim.position, &victim, nullptr, kCivPillageBullet, nullptr);  // dropped: no home
  EXPECT_EQ(bullets->GetCount(), 1u);
  EXPECT_EQ(GetSceneManager().GetObjectCount(), drawn + 1);
  bullets->Update(16);
  EXPECT_EQ(victim.hits, 1);
  EXPECT_EQ(victim.lastAttacker, 1);
  EXPECT_EQ(bullets->GetCount(), 1u);
  bullets->Update(16);
  EXPECT_EQ(victim.hits, 1);
  EXPECT_EQ(bullets->GetCount(), 0u);
  EXPECT_EQ(GetSceneManager().GetObjectCount(), drawn);
}

// Before the mend a removed city kept its bullets, which then hit freed memory.
TEST_F(CivBulletTest, RemovedTargetsAreNeverHitAndDiplomacyOutlivesItsVehicle) {
  Start();
  cDataManager* data = GetDataManager();
  cCivModeDecoratedCity* city = world->CreateCity();
  city->Setup(0, cCivWorld::StartPosition(2, false));
  auto* turret = data->CreateObject<cCivModeTurret>();
  auto* vehicle = data->CreateObject<cCivModeVehicle>();
  data->CommitPending();
  Ko::cIGameData* targets[] = {city, turret, vehicle};
  cICivModeVictim* victims[] = {city, turret, vehicle};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    bullets->Spawn(home->GetPosition(), victims[i], home, kCivPillageBullet, nullptr);
    data->Remove(targets[i]);
    EXPECT_EQ(bullets->GetCount(), 0u);
  }

  cRecordingVictim envoyTarget;
  auto* envoy = data->CreateObject<cCivModeVehicle>();
  data->CommitPending();
  envoyTarget.position = Vector3Add(home->GetPosition(), Vector3{0.0f, 0.0f, 0.5f});
  bullets->Spawn(home->GetPosition(), &envoyTarget, home, kCivDiplomaticBullet, envoy);
  data->Remove(envoy);
  ASSERT_EQ(bullets->GetCount(), 1u);
  bullets->Update(16);
  EXPECT_EQ(envoyTarget.diplomaticHits, 1);
  EXPECT_EQ(envoyTarget.home, home);
  EXPECT_EQ(envoyTarget.vehicle, nullptr);
  EXPECT_EQ(envoyTarget.hits, 0);
}

// Over random hills a bullet aimed along the ground at a far target is
// lifted at every step and still arrives. Its path is the one of a bullet
// that turns the line to the target into its own frame before each step
// (stepped beside it here): its heading is the identity again after each
// step, so both step along the line in world space.
TEST_F(CivBulletTest, NeverPassesBelowTheGroundOverHills) {
  Sys_SeedRandom(7);
  float bumps[8][4];
  for (auto& b : bumps) {
    for (int k = 0; k < 3; ++k) b[k] = (float)Sys_Random() / 32767.0f * 2.0f - 1.0f;
    b[3] = (float)Sys_Random() / 32767.0f * 30.0f;
  }
  GetPlanetModel().SetHeightMap(MakeHeightMap([&](const Vector3& d) {
    float h = 10.0f;
    for (auto& b : bumps) h += b[3] * std::exp(-20.0f * Vector3LengthSquared(Vector3Sub(d, Vector3Normalized({b[0], b[1], b[2]}))));
    return h;
  }));
  Start();
  cPlanetModel& planet = GetPlanetModel();
  cRecordingVictim victim;
  Vector3 from;
  planet.ProjectToSurface(from, Vector3Normalized({0.3f, 0.2f, 1.0f}));
  planet.ProjectToSurface(victim.position, Vector3Normalized({-0.4f, 0.5f, 1.0f}));
  bullets->Spawn(from, &victim, home, kCivPillageBullet, nullptr);
  const cCivModeBullet* bullet = bullets->GetBullets().front();
  Vector3 own = from;
  Quaternion heading = QuatIdentity();
  auto turnInOwnFrame = [&] {
    heading = QuatFromTwoVectors({0.0f, 0.0f, -1.0f}, QuatRotateVector(QuatInverse(heading), Vector3Sub(victim.position, own)));
  };
  const float step = 0.1f * 16.0f;
  int ticks = 0, ownTicks = 0;
  while (victim.hits == 0 && ticks < 20000) {
    const bool lastStep = Vector3Length(Vector3Sub(victim.position, own)) <= step;  // it lands on the target instead
    if (Vector3Length(Vector3Sub(victim.position, own)) > 1.0f) {
      turnInOwnFrame();
      Vector3 next = Vector3Add(own, QuatRotateVector(heading, {0.0f, 0.0f, -step}));
      if (planet.GetSurfaceRadius(next) > Vector3Length(next)) next = Vector3Scale(Vector3Normalized(next), planet.GetSurfaceRadius(next));
      turnInOwnFrame();
      own = next;
      ++ownTicks;
    }
    bullets->Update(100);
    ++ticks;
    const Vector3& p = bullet->GetPosition();
    ASSERT_GE(Vector3Length(p) + 1e-3f, planet.GetSurfaceRadius(p)) << "tick " << ticks;
    if (!lastStep && victim.hits == 0) { ASSERT_LT(Vector3Length(Vector3Sub(p, own)), 1e-3f) << "tick " << ticks; }
  }
  EXPECT_EQ(victim.hits, 1);
  EXPECT_EQ(ticks, ownTicks + 1) << "both arrive at the same update";
  EXPECT_GT(ticks, 100);
}

// Two ways a bullet once never arrived: at a city whose start place lies 5
// below the ground (bullets are kept above it), and on frames so long that
// each step overshot the target by more than the arrival distance.
TEST_F(CivBulletTest, ArrivesAtABuriedCityCentreAndOnLongFrames) {
  Start();
  Vector3 up = Vector3Normalized({0.2f, 0.9f, 0.3f}), side = Vector3Normalized(Vector3Cross(up, {1.0f, 0.0f, 0.0f}));
  float ground = GetPlanetModel().GetSurfaceRadius(up);
  cCivModeDecoratedCity* buried = world->CreateCity();
  buried->Setup(1, Vector3Scale(up, ground - 5.0f));
  cRecordingVictim aloft;
  aloft.position = Vector3Scale(up, ground + 20.0f);
  struct Case { cICivModeVictim* target; uint32_t dtMs; float from; } cases[] = {
      {buried, 16, 30.0f}, {&aloft, 160, 10 * 2.56f + 1.3f}, {&aloft, 500, 7 * 8.0f + 1.5f}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.dtMs);
    bullets->Spawn(Vector3Add(*c.target->GetVictimPosition(), Vector3Scale(side, c.from)), c.target, home, kCivPillageBullet, nullptr);
    for (int t = 0; t < 500 && bullets->GetCount() > 0; ++t) bullets->Update(c.dtMs);
    EXPECT_EQ(bullets->GetCount(), 0u);
  }
  EXPECT_GT(buried->GetLastHitTime(), 0u);
  EXPECT_EQ(aloft.hits, 2);
}

}  // namespace
