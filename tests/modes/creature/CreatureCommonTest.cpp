// The shared creature record: ids, needs, steering and stepping over the
// planet, and its save record (round trip, ids after a load, damaged records).
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "math/Math.h"
#include "modes/creature/CommonCreatureManager.h"
#include "sim/gamedata/DataManager.h"
#include "CreatureTestSupport.h"
#include "tests/sim/SaveFileBytes.h"
#include "tests/support/TestSupport.h"
#include "tests/world/planet/PlanetTestSupport.h"
#include "world/scene/CreatureShape.h"
#include "world/scene/SceneManager.h"
#include "world/scene/SceneObject.h"

using namespace Ru::Math;

namespace {

float RollingHeight(const Vector3& d) { return 20.0f + 8.0f * d.x + 5.0f * d.y * d.z; }

// Records what a mode that wraps creature records hears during a load.
struct cLoadListener : Ko::cIGameDataClient {
  std::vector<uint32_t> loadedIds;
  size_t loadedAtAfterLoad = 0;
  void ObjectLoaded(Ko::cIGameData* object) override {
    if (object->GetTypeId() == cCreatureCommon::kTypeId) loadedIds.push_back(static_cast<cCreatureCommon*>(object)->GetId());
  }
  void AfterLoad() override { loadedAtAfterLoad = loadedIds.size(); }
};

struct CreatureCommonTest : ::testing::Test {
  cScratchDir dir;
  cMessageCapture messages;
  std::vector<cSceneObject*> bodies;

  void SetUp() override {
    ResetCreatureRecords(true);
    GetPlanetModel().SetHeightMap(MakeHeightMap(RollingHeight, 64));
  }
  void TearDown() override {
    ResetCreatureRecords(false);
    for (cSceneObject* body : bodies) delete body;
  }

  // A record with a body of the test's own standing upright on the ground under `direction`.
  cCreatureCommon* MakeWalker(const Vector3& direction) {
    cCreatureCommon* common = cCommonCreatureManager::Get()->CreateCommon();
    auto* body = new cSceneObject(nullptr, cCreatureCommon::GetBodyShape());
    bodies.push_back(body);
    StandUpright(*body, direction);
    common->SetSceneObject(body);
    return common;
  }

  static Vector3 Heading(cCreatureCommon* c) { return QuatRotateVector(c->GetObjectOrientation(), Vector3{0, 0, -1}); }

  std::vector<uint8_t> SaveBytes(const char* name) {
    EXPECT_TRUE(GetDataManager()->Save(dir.File(name)));
    const std::string contents = FileContents(dir.File(name));
    return std::vector<uint8_t>(contents.begin(), contents.end());
  }
};

TEST_F(CreatureCommonTest, NewRecordsGetUniqueIdsFullNeedsAndNoGoal) {
  cCreatureCommon* a = cCommonCreatureManager::Get()->CreateCommon();
  cCreatureCommon* b = cCommonCreatureManager::Get()->CreateCommon();
  ASSERT_TRUE(a && b);
  EXPECT_NE(a->GetId(), b->GetId());
  EXPECT_EQ(a->GetSpecies(), 0);
  EXPECT_EQ(a->GetHealth(), 100.0f);
  EXPECT_EQ(a->GetHunger(), 100.0f);
  EXPECT_EQ(a->GetEnergy(), 100.0f);
  a->SetEnergy(-3.0f);
  EXPECT_EQ(a->GetEnergy(), 0.0f);
  EXPECT_EQ(a->GetDistanceToTarget(), 0.0f);  // no body and no goal
  EXPECT_EQ(cCommonCreatureManager::Get()->GetCommons().size(), 2u);
}

TEST_F(CreatureCommonTest, DistanceIsZeroWithoutAGoalAndStraightLineWithOne) {
  cCreatureCommon* c = MakeWalker({0, 1, 0});
  EXPECT_EQ(c->GetDistanceToTarget(), 0.0f);
  const Vector3 goal = Vector3Add(c->GetObjectPosition(), Vector3{3, 0, 4});
  c->SetPosition(goal);
  EXPECT_NEAR(c->GetDistanceToTarget(), 5.0f, 1e-3f);
}

TEST_F(CreatureCommonTest, TurnAboutUpAppliesTheHalfAngleQuaternionFirst) {
  cCreatureCommon* c = MakeWalker({0.3f, 0.8f, 0.2f});
  const Quaternion before = c->GetObjectOrientation();
  c->TurnAboutUp(0.7f);
  const Quaternion expected = QuatMultiply(before, Quaternion{0.0f, std::sin(0.35f), 0.0f, std::cos(0.35f)});
  EXPECT_TRUE(QuatNearEqual(c->GetObjectOrientation(), expected, 1e-6f));
  // The body's up stays where it was: the turn is about that axis.
  const Vector3 upBefore = QuatRotateVector(before, Vector3{0, 1, 0});
  EXPECT_TRUE(Vector3NearEqual(QuatRotateVector(c->GetObjectOrientation(), Vector3{0, 1, 0}), upBefore, 1e-5f));
}

TEST_F(CreatureCommonTest, SteeringTurnsWithinTheLimitOnlyAndEndsFacingTheGoal) {
  cCreatureCommon* c = MakeWalker({0, 1, 0});
  const Vector3 start = c->GetObjectPosition();
  const Vector3 up = QuatRotateVector(c->GetObjectOrientation(), Vector3{0, 1, 0});
  // A goal behind and to the side of the body, on its ground plane.
  const Vector3 goal = Vector3Add(start, Vector3Add(Vector3Scale(Heading(c), -10.0f), Vector3Scale(CrossProduct(up, Heading(c)), 4.0f)));
  const float seconds = 0.05f, rate = 2.0f;
  for (int step = 0; step < 60; ++step) {
    const Vector3 before = Heading(c);
    c->SteerTowards(goal, seconds, 3.0f, rate);
    const float turned = std::acos(ClampFloat(Vector3Dot(before, Heading(c)), -1.0f, 1.0f));
    ASSERT_LE(turned, rate * seconds + 1e-4f) << "step " << step;
    ASSERT_TRUE(Vector3Equal(c->GetObjectPosition(), start));  // steering never moves the body
  }
  Vector3 toGoal = Vector3Normalized(Vector3Sub(goal, start));
  EXPECT_GT(Vector3Dot(Heading(c), toGoal), 0.999f);
  EXPECT_NEAR(c->GetSpeed(), 3.0f, 0.01f);  // facing it: full speed
  c->TurnAboutUp(3.14159f);
  c->SteerTowards(goal, 0.0f, 3.0f, rate);
  EXPECT_EQ(c->GetSpeed(), 0.0f);  // facing away: no speed
}

TEST_F(CreatureCommonTest, MovingForwardKeepsTheBodyOnTheGroundAndUpright) {
  cCreatureCommon* c = MakeWalker({0.2f, 0.9f, -0.3f});
  c->TurnAboutUp(0.4f);
  for (int step = 0; step < 200; ++step) {
    const Vector3 before = c->GetObjectPosition();
    c->MoveForward(1.5f);
    const Vector3 p = c->GetObjectPosition();
    ASSERT_NEAR(Vector3Length(p), GetPlanetModel().GetSurfaceRadius(p), 1e-2f) << "step " << step;
    ASSERT_NEAR(Vector3Length(Vector3Sub(p, before)), 1.5f, 0.1f);
    const Vector3 up = QuatRotateVector(c->GetObjectOrientation(), Vector3{0, 1, 0});
    ASSERT_GT(Vector3Dot(up, Vector3Normalized(p)), 0.999f);
  }
}

TEST_F(CreatureCommonTest, SaveLoadSaveIsByteIdenticalAndNewIdsFollowTheLoadedOnes) {
  cCreatureCommon* a = MakeWalker({0.1f, 1, 0});
  a->SetSpecies(3);
  a->SetSpeed(1.25f);
  a->SetHealth(42.0f);
  a->SetHunger(17.5f);
  a->SetEnergy(63.0f);
  a->SetPosition({1, 2, 505});
  a->TurnAboutUp(0.3f);
  cCreatureCommon* city = MakeWalker({0, 0, 1});
  city->SetKeptInSaves(false);
  const uint32_t savedId = a->GetId();
  const std::vector<uint8_t> first = SaveBytes("one");

  cCreatureCommon::ResetIdCounterForTest(0);  // as in a fresh run
  cLoadListener listener;
  GetDataManager()->AddClient(&listener);
  const uint32_t sceneBefore = GetSceneManager().GetObjectCount();
  ASSERT_TRUE(GetDataManager()->Load(dir.File("one")));
  EXPECT_TRUE(messages.boxes.empty());
  EXPECT_EQ(listener.loadedIds, std::vector<uint32_t>{savedId});  // announced with its id...
  EXPECT_EQ(listener.loadedAtAfterLoad, 1u);                        // ...before AfterLoad
  const auto& commons = cCommonCreatureManager::Get()->GetCommons();
  ASSERT_EQ(commons.size(), 2u);  // the city's record stays for its mode; the saved one came back
  EXPECT_EQ(commons[0], city);
  cCreatureCommon* loaded = commons[1];
  EXPECT_EQ(loaded->GetId(), savedId);
  EXPECT_EQ(loaded->GetHunger(), 17.5f);
  ASSERT_NE(loaded->GetSceneObject(), nullptr);
  EXPECT_EQ(GetSceneManager().GetObjectCount(), sceneBefore + 1);  // the loaded body is in the scene
  cCreatureCommon* fresh = cCommonCreatureManager::Get()->CreateCommon();
  EXPECT_GT(fresh->GetId(), savedId);
  cCommonCreatureManager::Get()->ReleaseCommon(fresh);  // still pending: released quietly

  EXPECT_EQ(SaveBytes("two"), first);
  cCommonCreatureManager::Get()->ReleaseCommon(loaded);
  EXPECT_EQ(GetSceneManager().GetObjectCount(), sceneBefore);  // the body left with its record
}

TEST_F(CreatureCommonTest, ShortLongAndNonFiniteRecordsAreRefusedAsDamaged) {
  MakeWalker({0, 1, 0});
  // As an older writer wrote it (no whole-file check), so that single records can be damaged.
  const std::vector<uint8_t> saved = SaveBytes("good");
  const std::string unchecked = WithoutCheck(std::string(saved.begin(), saved.end()));
  const std::vector<uint8_t> good(unchecked.begin(), unchecked.end());
  const size_t body = good.size() - cCommonCreatureManager::kRecordSize;
  ASSERT_EQ(body, 28u + 8u);  // header, identification chunk, record header

  auto loadWith = [&](std::vector<uint8_t> bytes) {
    messages.boxes.clear();
    EXPECT_TRUE(GetDataManager()->LoadFromBytes(bytes.data(), bytes.size()));
    return cCommonCreatureManager::Get()->GetCommons().size();
  };
  std::vector<uint8_t> nan = good;
  const float bad = std::numeric_limits<float>::quiet_NaN();
  std::memcpy(&nan[body + 16], &bad, 4);  // the goal's y
  EXPECT_EQ(loadWith(nan), 0u);
  EXPECT_EQ(messages.Count("Load Error"), 1);

  std::vector<uint8_t> shorter(good.begin(), good.end() - 4);
  shorter[body - 4] -= 4;  // the record's size
  EXPECT_EQ(loadWith(shorter), 0u);
  EXPECT_EQ(messages.Count("Load Error"), 1);

  std::vector<uint8_t> longer = good;
  longer.insert(longer.end(), 4, 0);
  longer[body - 4] += 4;
  EXPECT_EQ(loadWith(longer), 0u);
  EXPECT_EQ(messages.Count("Load Error"), 1);

  EXPECT_EQ(loadWith(good), 1u);
  EXPECT_TRUE(messages.boxes.empty());
}

}  // namespace
