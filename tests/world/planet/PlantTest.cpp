// The planet's plants: seeding in clumps on land, the scene holding exactly
// the shown patches' plants, growth on the game clock, freeing removed
// plants, and the planet record's round trip and refusals.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>

#include "math/Quaternion.h"
#include "math/Vector.h"
#include "sim/gamedata/ChunkFile.h"
#include "sim/gamedata/DataManager.h"
#include "sim/gamedata/MemoryStream.h"
#include "sim/tuning/SharedTuningData.h"
#include "tests/sim/SaveFileBytes.h"
#include "tests/support/TestSupport.h"
#include "tests/world/planet/PlanetTestSupport.h"
#include "world/scene/SceneManager.h"
#include "world/scene/SceneObject.h"

using namespace Ru::Math;

namespace {

// Land everywhere except a sea around +x.
float Heights(const Vector3& d) { return d.x > 0.8f ? 0.0f : 10.0f; }

uint32_t gGameTime = 5000;

class PlantTest : public ::testing::Test {
 protected:
  void SetUp() override {
    GetSceneManager().Clear();
    GetSceneServices().gameTime = [] { return gGameTime; };
    Sys_SeedRandom(7);
    planet = MakePlanet(Heights);
    planet->SeedPlants();
  }
  void TearDown() override {
    planet.reset();
    GetSceneManager().Clear();
    GetSceneServices().gameTime = nullptr;
  }
  uint32_t ScenePlants() { return GetSceneManager().GetObjectCount(&GetPlantShape()); }
  // Every plant is listed at most once, and the scene holds exactly the
  // non-hidden plants of the shown patches.
  void ExpectSceneMatchesPatches() {
    for (const auto& plant : planet->GetPlants()) ASSERT_LE(plant->GetSceneObject()->GetSceneRefCount(), 1);
    ASSERT_EQ(ScenePlants(), planet->CountShownPlants());
  }
  Vector3 Surface(const Vector3& d) {
    Vector3 p;
    planet->ProjectToSurface(p, d);
    return p;
  }
  std::unique_ptr<cPlanetModel> planet;
};

TEST_F(PlantTest, PlantFoodFruitAndCounterAreClamped) {
  tRefPtr<cGamePlant> plant(new cGamePlant);
  EXPECT_EQ(plant->GetSceneObject(), nullptr);  // a factory plant stands nowhere
  EXPECT_EQ(plant->GetPosition().x, 0.0f);
  EXPECT_EQ(plant->GetOrientation().w, 1.0f);
  plant->SetFoodValue(150.0f);
  EXPECT_EQ(plant->GetFoodValue(), 100.0f);
  EXPECT_EQ(plant->GetFruitCount(), 8);
  plant->SetFoodValue(-5.0f);
  EXPECT_EQ(plant->GetFoodValue(), 0.0f);
  plant->SetFoodValue(std::numeric_limits<float>::quiet_NaN());
  EXPECT_EQ(plant->GetFoodValue(), 0.0f);
  plant->SetFoodValue(11.1f);
  EXPECT_EQ(plant->GetFruitCount(), 0);
  cPlanetModel::cNearestFruitFilter fruit;
  EXPECT_FALSE(fruit.Accept(plant.Get()));
  plant->SetCounter(-3);
  EXPECT_EQ(plant->GetCounter(), 0);
}

TEST_F(PlantTest, SeedingPutsTheTunedNumberInClumpsOnLandFiledUnderTheirNearestPatch) {
  const int tuned = GetSharedTuningData().GetNumberOfPlants();
  ASSERT_EQ(planet->GetPlants().size(), static_cast<size_t>(tuned));
  ASSERT_EQ(planet->GetPlantPatches().size(), static_cast<size_t>(cPlanetModel::kPatchCount));
  size_t filed = 0;
  for (const cPlantPatch& patch : planet->GetPlantPatches()) {
    filed += patch.plants.size();
    for (const auto& plant : patch.plants) {
      EXPECT_EQ(planet->FindNearestPatch(plant->GetPosition()), &patch);
      EXPECT_FALSE(planet->IsUnderWater(plant->GetPosition()));
    }
  }
  EXPECT_EQ(filed, planet->GetPlants().size());
  EXPECT_GT(planet->GetPlantViewDistance(), cPlanetModel::kPlantViewMargin);
  // Clumps: most plants have a neighbour within the clump radius.
  int withNeighbour = 0;
  const float reach = 2.0f * GetSharedTuningData().GetPlantClumpRadius();
  for (size_t i = 0; i < 100; ++i) {
    const Vector3 p = planet->GetPlants()[i]->GetPosition();
    for (size_t j = 0; j < planet->GetPlants().size(); ++j)
      if (j != i && Vector3Length(Vector3Sub(planet->GetPlants()[j]->GetPosition(), p)) < reach) {
        ++withNeighbour;
        break;
      }
  }
  EXPECT_GT(withNeighbour, 90);

  auto sea = MakePlanet([](const Vector3&) { return 0.0f; });  // no land: no plants, no hang
  sea->SeedPlants();
  EXPECT_TRUE(sea->GetPlants().empty());
  EXPECT_EQ(sea->GetPlantViewDistance(), cPlanetModel::kPlantViewMargin);
}

TEST_F(PlantTest, TheSceneAlwaysHoldsExactlyTheShownPatchesPlants) {
  const Vector3 north = Surface(Vector3{0.0f, 1.0f, 0.0f});
  planet->UpdatePlantVisibility(north);
  ExpectSceneMatchesPatches();
  ASSERT_GT(ScenePlants(), 0u);

  // A plant moved from a shown patch into a hidden one, whose patch is shown
  // later, is listed once (it used to stay listed and then be added again).
  cGamePlant* moved = planet->GetPlantPatches()[0].plants[0].Get();
  moved->SetPosition(Surface(Vector3{0.0f, -1.0f, 0.0f}));
  planet->AddPlantToNearestPatch(moved);
  ExpectSceneMatchesPatches();
  planet->UpdatePlantVisibility(Surface(Vector3{0.0f, -1.0f, 0.0f}));
  ExpectSceneMatchesPatches();
  EXPECT_EQ(moved->GetSceneObject()->GetSceneRefCount(), 1);

  // Random moves of the anchor and of plants, creations, hides and removals.
  for (int step = 0; step < 300; ++step) {
    const Vector3 somewhere = Surface(Vector3{std::sin(step * 1.7f), std::cos(step * 0.9f), std::sin(step * 0.31f)});
    const auto& plants = planet->GetPlants();
    cGamePlant* some = plants[(step * 37) % plants.size()].Get();
    switch (step % 6) {
      case 0: planet->UpdatePlantVisibility(somewhere); break;
      case 1: some->SetPosition(somewhere); planet->AddPlantToNearestPatch(some); break;
      case 2: planet->CreatePlant(somewhere); break;
      case 3: planet->HidePlantsInRadius(somewhere.x, somewhere.y, somewhere.z, 30.0f); break;
      case 4: planet->RemovePlant(some); break;
      case 5: planet->RemovePlantsInRadius(somewhere, 25.0f); break;
    }
    ExpectSceneMatchesPatches();
  }
  // A hidden plant stays out when its patch comes into view again.
  const Vector3 far = Surface(Vector3{0.0f, 0.0f, -1.0f});
  planet->UpdatePlantVisibility(far);
  planet->UpdatePlantVisibility(north);
  int hidden = 0;
  for (const auto& plant : planet->GetPlants()) {
    if (!plant->IsHidden()) continue;
    ++hidden;
    EXPECT_EQ(plant->GetSceneObject()->GetSceneRefCount(), 0);
  }
  EXPECT_GT(hidden, 0);
}

TEST_F(PlantTest, RemovedPlantsAndTheirSceneObjectsAreFreed) {
  planet->UpdatePlantVisibility(Surface(Vector3{0.0f, 1.0f, 0.0f}));
  tRefPtr<cGamePlant> removed(planet->GetPlantPatches()[0].plants[0].Get());
  ASSERT_EQ(removed->GetSceneObject()->GetSceneRefCount(), 1);
  EXPECT_TRUE(planet->RemovePlant(removed.Get()));
  // Only this test's reference is left: the scene object's owner reference went with it.
  EXPECT_EQ(removed->GetRefCount(), 1);
  EXPECT_EQ(removed->GetSceneObject(), nullptr);
  EXPECT_FALSE(planet->RemovePlant(removed.Get()));  // no longer held

  tRefPtr<cGamePlant> inRadius(planet->GetPlants()[5].Get());
  planet->RemovePlantsInRadius(inRadius->GetPosition(), 0.5f);
  EXPECT_EQ(inRadius->GetRefCount(), 1);
  EXPECT_EQ(inRadius->GetSceneObject(), nullptr);
  ExpectSceneMatchesPatches();
}

TEST_F(PlantTest, FoodRegrowsOnTheGameClockAndStandsStillWhilePaused) {
  cFakeClock realTime;
  planet->UpdatePlants();  // starts the plant clock
  cGamePlant* plant = planet->GetPlants()[0].Get();
  plant->SetFoodValue(0.0f);
  plant->SetHidden(true);  // hidden plants grow too
  const float rate = GetSharedTuningData().GetPlantGrowthRate();
  gGameTime += 500;
  realTime.Advance(500);
  planet->UpdatePlants();
  EXPECT_NEAR(plant->GetFoodValue(), rate * 0.5f, 1e-3f);
  // Paused: real time passes, the game clock does not, nothing grows.
  realTime.Advance(60000);
  planet->UpdatePlants();
  EXPECT_NEAR(plant->GetFoodValue(), rate * 0.5f, 1e-3f);
  gGameTime += 1000000;
  planet->UpdatePlants();
  EXPECT_EQ(plant->GetFoodValue(), 100.0f);
}

TEST_F(PlantTest, NearestPlantSearchesOnlyTheNearestPatch) {
  const cPlantPatch& patch = planet->GetPlantPatches()[3];
  ASSERT_FALSE(patch.plants.empty());
  cGamePlant* target = patch.plants.back().Get();
  EXPECT_EQ(planet->FindNearestPlant(target->GetPosition()), target);
  target->SetFoodValue(5.0f);
  EXPECT_NE(planet->FindNearestFruitPlant(target->GetPosition()), target);
  auto empty = MakePlanet(Heights);
  empty->BuildPlantPatches();
  EXPECT_EQ(empty->FindNearestPlant(target->GetPosition()), nullptr);
  EXPECT_EQ(empty->GetRandomPlantNear(target->GetPosition()), nullptr);
}

// ---- the planet record ----

cMemoryStream SavedRecord(cPlanetModel& planet, uint32_t version = cDataManager::kSaveVersion) {
  cMemoryStream stream;
  planet.Save(nullptr, stream, version);
  stream.InitFromBytes(stream.GetData(), stream.GetSize());
  return stream;
}

// Fault mended: the food, hidden flag and counter of reused plants came back
// as 100/0/0 whatever was saved; the record now keeps them.
TEST_F(PlantTest, SaveThenLoadRestoresEveryPlantIntoPlanetsWithFewerOrMorePlants) {
  cGamePlant* eaten = planet->GetPlants()[1].Get();
  eaten->SetFoodValue(3.0f);
  eaten->SetHidden(true);
  eaten->SetCounter(7);
  cMemoryStream record = SavedRecord(*planet);
  const size_t count = planet->GetPlants().size();
  EXPECT_EQ(record.GetSize(), 4 + 40 * count);
  EXPECT_EQ(SavedRecord(*planet, 8).GetSize(), 4 + 28 * count);
  for (int extra : {-200, 300}) {
    auto other = MakePlanet(Heights);
    Sys_SeedRandom(99);
    other->SeedPlants();
    other->RemovePlantsInRadius(Vector3{}, 1000.0f);
    for (int i = 0; i < static_cast<int>(count) + extra; ++i) other->CreatePlant(Surface(Vector3{0.0f, 1.0f, 0.01f * i}));
    other->UpdatePlantVisibility(Surface(Vector3{0.0f, 1.0f, 0.0f}));
    other->GetPlants()[0]->SetHidden(true);
    other->GetPlants()[1]->SetFoodValue(3.0f);
    other->BeforeLoad();
    EXPECT_EQ(ScenePlants(), 0u);
    cMemoryStream stream = SavedRecord(*planet);
    other->Load(nullptr, stream, cDataManager::kSaveVersion);
    ASSERT_FALSE(stream.HasFailed());
    ASSERT_EQ(other->GetPlants().size(), count);
    for (size_t i = 0; i < count; ++i) {
      cGamePlant* a = planet->GetPlants()[i].Get();
      cGamePlant* b = other->GetPlants()[i].Get();
      const Vector3 pa = a->GetPosition(), pb = b->GetPosition();
      EXPECT_EQ(std::memcmp(&pa, &pb, sizeof(Vector3)), 0);
      const Quaternion qa = a->GetOrientation(), qb = b->GetOrientation();
      EXPECT_EQ(std::memcmp(&qa, &qb, sizeof(Quaternion)), 0);
      EXPECT_EQ(b->IsHidden(), a->IsHidden());
      EXPECT_EQ(b->GetFoodValue(), a->GetFoodValue());
      EXPECT_EQ(b->GetCounter(), a->GetCounter());
    }
    EXPECT_EQ(other->GetPlants()[1]->GetFoodValue(), 3.0f);
    // An older record keeps no plant state: reused plants keep theirs.
    other->GetPlants()[0]->SetFoodValue(42.0f);
    cMemoryStream older = SavedRecord(*planet, 8);
    other->Load(nullptr, older, 8);
    ASSERT_FALSE(older.HasFailed());
    EXPECT_EQ(other->GetPlants()[0]->GetFoodValue(), 42.0f);
    other->UpdatePlantVisibility(Surface(Vector3{0.0f, 1.0f, 0.0f}));
    EXPECT_EQ(ScenePlants(), other->CountShownPlants());
    EXPECT_GT(ScenePlants(), 0u);
    other.reset();
    EXPECT_EQ(ScenePlants(), 0u);
  }
}

TEST_F(PlantTest, ABadRecordChangesNoPlant) {
  const Vector3 first = planet->GetPlants()[0]->GetPosition();
  const size_t count = planet->GetPlants().size();
  cMemoryStream good = SavedRecord(*planet);
  auto refused = [&](std::vector<uint8_t> bytes) {
    cMemoryStream stream;
    stream.InitFromBytes(bytes.data(), static_cast<uint32_t>(bytes.size()));
    planet->Load(nullptr, stream, cDataManager::kSaveVersion);
    EXPECT_TRUE(stream.HasFailed());
    EXPECT_EQ(planet->GetPlants().size(), count);
    EXPECT_EQ(planet->GetPlants()[0]->GetPosition().x, first.x);
  };
  std::vector<uint8_t> bytes(good.GetData(), good.GetData() + good.GetSize());
  refused(std::vector<uint8_t>(bytes.begin(), bytes.end() - 1));  // truncated
  refused(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 2));  // not even a count
  std::vector<uint8_t> huge = bytes;
  std::memset(huge.data(), 0xFF, 4);  // billions of plants announced
  refused(huge);
  std::vector<uint8_t> nan = bytes;
  const float notANumber = std::numeric_limits<float>::quiet_NaN();
  std::memcpy(nan.data() + 4 + 40 * 7 + 12, &notANumber, 4);
  refused(nan);
  std::vector<uint8_t> hungry = bytes;
  std::memcpy(hungry.data() + 4 + 28, &notANumber, 4);  // the first plant's food
  refused(hungry);
  std::vector<uint8_t> infinite = bytes;
  const float inf = std::numeric_limits<float>::infinity();
  std::memcpy(infinite.data() + 4, &inf, 4);
  refused(infinite);
}

TEST_F(PlantTest, ARecordInASaveFileCutShortIsRefusedAndOneOfAbsurdValuesMendedEachWithOneReport) {
  cDataManager* data = GetDataManager();
  data->ResetForTest();
  planet->RegisterWithDataManager();
  data->CommitPending();
  ASSERT_NE(cPlanetModel::GetSerializerProxy(), nullptr);
  planet->UpdatePlantVisibility(Surface(Vector3{0.0f, 1.0f, 0.0f}));
  const uint32_t shownBefore = ScenePlants();

  cScratchDir dir;
  ASSERT_TRUE(data->Save(dir.File("good")));
  cMemoryStream record = SavedRecord(*planet, 8);
  cChunkFile file;
  ASSERT_TRUE(file.OpenWrite(dir.File("bad"), 8));  // an older file: it has no check chunk
  const char ident[] = "Quorvel";
  file.WriteChunk(cDataManager::kIdentChunkId, sizeof ident, ident);
  file.WriteChunk(cPlanetSerializerProxy::kTypeId, record.GetSize() - 10, record.GetData());
  ASSERT_TRUE(file.FinishWrite());

  cMessageCapture boxes;
  cCapturedOutput captured;
  const Vector3 first = planet->GetPlants()[0]->GetPosition();
  planet->GetPlants()[0]->SetPosition(Vector3{1.0f, 2.0f, 3.0f});
  EXPECT_TRUE(data->Load(dir.File("bad")));
  EXPECT_EQ(boxes.Count("Load Error"), 1);
  EXPECT_EQ(planet->GetPlants()[0]->GetPosition().x, 1.0f);  // kept
  data->CommitPending();
  EXPECT_NE(cPlanetModel::GetSerializerProxy(), nullptr);  // the next save writes a record again
  planet->UpdatePlantVisibility(Surface(Vector3{0.0f, 1.0f, 0.0f}));
  EXPECT_EQ(ScenePlants(), shownBefore);

  // Fault mended: huge but finite values loaded without a word and the first
  // frame drawn turned them into ints. Older files (no check) and current ones
  // (check recomputed) alike: each kind of value mended is counted.
  const uint32_t n = static_cast<uint32_t>(planet->GetPlants().size());
  auto everyPlant = [](uint32_t version, int from, int to, float value) {
    return [=](std::string& body) {
      const size_t stride = version >= 9 ? 40 : 28;
      for (size_t at = 4; at < body.size(); at += stride)
        for (int k = from; k < to; ++k) std::memcpy(&body[at + 4 * k], &value, 4);
    };
  };
  // A stack of `count` copies of the first plant, version 9.
  auto onOneSpot = [](uint32_t count, std::function<void(std::string&)> then) {
    return [=](std::string& body) {
      const std::string plant = body.substr(4, 40);
      body.clear();
      PutWord(body, count);
      for (uint32_t i = 0; i < count; ++i) body += plant;
      then(body);
    };
  };
  // The record as another version lays it out, under the file's own version.
  auto laidOutAs = [this](uint32_t version) {
    return [this, version](std::string& body) {
      const cMemoryStream record = SavedRecord(*planet, version);
      body.assign(reinterpret_cast<const char*>(record.GetData()), record.GetSize());
    };
  };
  const uint32_t most = cPlanetModel::kMostPlants;
  const struct {
    const char* name;
    uint32_t version;
    std::function<void(std::string&)> edit;
    std::string box;  // empty: no box
    uint32_t kept = 0;  // 0: every plant saved
  } files[] = {
      {"every float 1e30, version 8", 8, everyPlant(8, 0, 7, 1e30f), "Repairs Made: " + std::to_string(2 * n)},
      {"every float 1e30, version 9", 9, everyPlant(9, 0, 8, 1e30f), "Repairs Made: " + std::to_string(3 * n)},
      {"positions 3e38, version 8", 8, everyPlant(8, 0, 3, 3e38f), "Repairs Made: " + std::to_string(n)},
      {"positions -3e38, version 9", 9, everyPlant(9, 0, 3, -3e38f), "Repairs Made: " + std::to_string(n)},
      {"positions at the centre, version 9", 9, everyPlant(9, 0, 3, 0.0f), "Repairs Made: " + std::to_string(n)},
      {"facings 1e-30, version 9", 9, everyPlant(9, 3, 7, 1e-30f), "Repairs Made: " + std::to_string(n)},
      // Fault mended: the longer plants were read out of step and "mended" where they fell.
      {"version 9 plants in a version 8 file", 8, laidOutAs(9), "Damaged Records Skipped: 1"},
      // Fault mended: the count was kept whatever it was (a million plants took 19 GB).
      {"the most plants on one spot", 9, onOneSpot(most, [](std::string&) {}), "", most},
      {"one plant more, facings 1e-30", 9, onOneSpot(most + 1, everyPlant(9, 3, 7, 1e-30f)),
       "Plants Skipped: 1, Repairs Made: " + std::to_string(most), most},
  };
  for (const auto& file : files) {
    SCOPED_TRACE(file.name);
    std::string body(reinterpret_cast<const char*>(SavedRecord(*planet, file.version).GetData()),
                     SavedRecord(*planet, file.version).GetSize());
    file.edit(body);
    const std::string record = Record(cPlanetSerializerProxy::kTypeId, body);
    std::string older = kEmptySave + record;  // version 8: no check chunk
    dir.Write("absurd", file.version >= 9 ? CheckedSave(record) : older);
    boxes.boxes.clear();
    EXPECT_TRUE(data->Load(dir.File("absurd")));
    std::string box;
    for (const auto& shown : boxes.boxes) box += shown.text;
    EXPECT_EQ(box, file.box);  // the one box, or none
    EXPECT_EQ(planet->GetPlants().size(), file.kept ? file.kept : n);
    // Counted, not asserted plant by plant: a bad row names itself once.
    size_t offTheGround = 0, notUnitFacings = 0, overFull = 0;
    for (const auto& plant : planet->GetPlants()) {
      const Vector3 p = plant->GetPosition();
      offTheGround += !(std::fabs(Vector3Length(p) - Vector3Length(Surface(p))) < 0.01f);
      const Quaternion q = plant->GetOrientation();
      notUnitFacings += !(std::fabs(std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w) - 1.0f) < 0.02f);
      overFull += !(plant->GetFoodValue() <= cGamePlant::kFullFood);
    }
    EXPECT_EQ(offTheGround, 0u);
    EXPECT_EQ(notUnitFacings, 0u);
    EXPECT_EQ(overFull, 0u);
    planet->UpdatePlantVisibility(Surface(Vector3{0.0f, 1.0f, 0.0f}));
    ExpectSceneMatchesPatches();
  }

  boxes.boxes.clear();
  EXPECT_TRUE(data->Load(dir.File("good")));  // the whole save round trip
  captured.End();
  EXPECT_EQ(planet->GetPlants()[0]->GetPosition().x, first.x);
  EXPECT_EQ(boxes.Count("Load Error"), 0);
  EXPECT_EQ(data->GetObjectsOfType(cPlanetSerializerProxy::kTypeId).size(), 1u);
  planet->BeforeLoad();  // lets go of the placeholder the reset frees: later tests load again
  data->ResetForTest();
}

}  // namespace
