// The whole scene drawn over the real planet in a test window: one object of
// every shape class and an OBJ model stand on the ground, and each is found
// in the picture (the picture changes where it stands when it is taken
// away). Also: the wireframe model, and fountains that spray and clear.
#include <GL/glu.h>

#include <cmath>
#include <functional>
#include <tuple>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "camera/Camera.h"
#include "glf/GLExtensions.h"
#include "glf/PreparedGeometry.h"
#include "math/Quaternion.h"
#include "math/Vector.h"
#include "tests/support/CameraPicture.h"
#include "tests/support/TestSupport.h"
#include "tests/world/scene/SceneTestSupport.h"
#include "world/planet/PlanetModel.h"
#include "world/scene/BillboardShape.h"
#include "world/scene/CreatureParts.h"
#include "world/scene/CreatureShape.h"
#include "world/scene/CursorMarker.h"
#include "world/scene/HealthMeterShape.h"
#include "world/scene/LineShapes.h"
#include "world/scene/Particles.h"
#include "world/scene/PlantShape.h"
#include "world/scene/SceneServices.h"
#include "world/scene/SolidShapes.h"
#include "world/scene/WallShape.h"

using namespace Ru::Math;

namespace {
constexpr int kWidth = 320, kHeight = 240;
using cPicture = std::vector<unsigned char>;

class SceneDrawTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    [[maybe_unused]] cIgnoreDriverAllocations driver;
    EnsureSceneWindow(kWidth, kHeight);
    LoadGLEntryPoints(reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS)));
    cCapturedOutput captured;
    GetPlanetModel().Initialize();
    captured.End();
    // A land point to look at, and the upright frame there.
    for (int i = 0; i < 2000 && sGround.x == 0.0f; ++i) {
      const float a = 0.37f * i, b = 0.011f * i - 1.2f;
      const Vector3 d{std::cos(a) * std::cos(b), std::sin(b), std::sin(a) * std::cos(b)};
      if (GetPlanetModel().GetSurfaceRadius(d) > 512.0f) GetPlanetModel().ProjectToSurface(sGround, d);
    }
    cPlanetModel::MakeSurfaceOrientation(sFrame, sGround, Vector3{0, 1, 0});
  }
  void SetUp() override {
    GetSceneServices().gameTime = [] { return sGameTime; };
    SetCameraAnchorFrame(&sGround.x, &sFrame.x);
    Look(0.0f, 45.0f, 70.0f);
  }
  static void Look(float yaw, float pitch, float distance) {
    SetCameraAngles(yaw, pitch, distance);
    SetCameraTargetAngles(yaw, pitch, distance);  // nothing to glide toward: every picture from one place
  }
  void TearDown() override {
    GetSceneParticleManager().DeleteAllForTest();
    GetSceneServices().gameTime = nullptr;
  }

  // The ground point at (x, z) units right and ahead of the anchor, `lift` above the surface.
  static Vector3 Spot(float x, float z, float lift = 0.0f) {
    const Matrix3 axes = QuatToMatrix3(sFrame);
    const Vector3 right{axes.m[0], axes.m[1], axes.m[2]}, forward{axes.m[6], axes.m[7], axes.m[8]};
    Vector3 p = Vector3Add(sGround, Vector3Add(Vector3Scale(right, x), Vector3Scale(forward, z)));
    GetPlanetModel().ProjectToSurfaceAtHeight(p, p, lift);
    return p;
  }
  cSceneObject* Place(cISceneShape* shape, float x, float z, const Vector3& colour, float lift = 0.0f) {
    mObjects.push_back(std::make_unique<cSceneObject>(nullptr, shape));
    cSceneObject* object = mObjects.back().get();
    object->SetPosition(Spot(x, z, lift));
    Quaternion upright;
    cPlanetModel::MakeSurfaceOrientation(upright, object->GetPosition(), Vector3{0, 1, 0});
    object->SetOrientation(upright);
    object->SetColour(colour);
    GetSceneManager().AddObject(object);
    return object;
  }

  // `lit`, when given, is drawn lit after the planet.
  static cPicture Render(const std::function<void()>& lit = nullptr) {
    BeginCameraPicture(kWidth, kHeight, &sGround.x);  // light straight down on the spot
    glEnable(GL_LIGHTING);
    GetPlanetModel().Draw();
    if (lit) lit();
    glDisable(GL_LIGHTING);
    GetSceneManager().Render();
    return ReadBackBuffer(kWidth, kHeight);
  }
  // QV_SCENE_SHOT=file.ppm keeps a picture for a look by eye.
  static void Keep(const cPicture& pixels) { KeepPictureIfAsked("QV_SCENE_SHOT", pixels, kWidth, kHeight); }
  // Pixels that differ between two pictures, within `reach` pixels of where p shows.
  static int ChangedNear(const cPicture& a, const cPicture& b, const Vector3& p, int reach) {
    double wx, wy;
    ProjectToWindow(p, wx, wy);
    int changed = 0;
    for (int y = static_cast<int>(wy) - reach; y <= static_cast<int>(wy) + reach; ++y)
      for (int x = static_cast<int>(wx) - reach; x <= static_cast<int>(wx) + reach; ++x) {
        if (x < 0 || y < 0 || x >= kWidth || y >= kHeight) continue;
        const int i = (y * kWidth + x) * 3;
        if (std::abs(a[i] - b[i]) + std::abs(a[i + 1] - b[i + 1]) + std::abs(a[i + 2] - b[i + 2]) > 30) ++changed;
      }
    return changed;
  }
  static int Changed(const cPicture& a, const cPicture& b) {
    int changed = 0;
    for (size_t i = 0; i < a.size(); i += 3)
      if (std::abs(a[i] - b[i]) + std::abs(a[i + 1] - b[i + 1]) + std::abs(a[i + 2] - b[i + 2]) > 30) ++changed;
    return changed;
  }

  static inline Vector3 sGround;
  static inline Quaternion sFrame;
  static inline uint32_t sGameTime = 1000;
  cEmptyScene mEmpty;
  cIgnoreDriverAllocations mDriver;
  std::vector<std::unique_ptr<cSceneObject>> mObjects;
};
}  // namespace

TEST_F(SceneDrawTest, EveryShapeClassAndAnObjModelShowOnThePlanet) {
  cScratchDir dir;
  std::vector<uint8_t> rgb(16 * 16 * 3, 40);  // a dark blue square in a white (see-through) frame
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      uint8_t* p = &rgb[(y * 16 + x) * 3];
      const bool frame = x < 2 || y < 2 || x > 13 || y > 13;
      p[0] = frame ? 255 : 40, p[1] = frame ? 255 : 40, p[2] = frame ? 255 : 250;
    }
  dir.Write("sign.bmp", Bmp(16, 16, rgb));

  cSceneShapeCube cube;
  cSceneShapeBuilding building;
  cSceneShapeCreature creature(0);
  cSceneShapeWall wall;
  wall.SetScale(Vector3{2.5f, 2.0f, 2.5f});
  cSceneShapeCircle circle(16);
  circle.SetScale(Vector3{3, 3, 3});
  cSceneShapeCreatureWeapon weapon;
  weapon.SetLength(4.0f);
  cCreatureFinsShape fins;
  cCreatureWingShape wings;
  wings.SetScale(Vector3{1.5f, 1.5f, 1.5f});
  wings.SetFlapPhase(0.3f);
  cCreatureNestShape nest;
  cSceneShapeHealthMeter meter(0);
  meter.SetValue(0.5f);
  cSceneShapeBillboard billboard(dir.File("sign.bmp"), true);
  billboard.SetScale(Vector3{2.5f, 2.5f, 2.5f});
  cSceneShapePolyModel avatar(".\\Data\\models\\avatar.obj", false);
  avatar.SetScale(Vector3{3, 3, 3});
  cSceneShapePolyModelWireframe wireframe;
  wireframe.LoadOBJ(".\\Data\\models\\disc.obj");
  wireframe.SetScale(Vector3{3, 3, 3});
  GetSphereShape().SetScale(Vector3{1.5f, 1.5f, 1.5f});

  const Vector3 red{1, 0, 0}, yellow{1, 1, 0}, cyan{0, 1, 1}, magenta{1, 0, 1}, white{1, 1, 1};
  struct cPlaced {
    const char* name;
    cSceneObject* object;
    Vector3 look;  // where to look for it (its middle)
  };
  std::vector<cPlaced> placed;
  auto place = [&](const char* name, cISceneShape* shape, float x, float z, const Vector3& colour, float lift = 0.0f,
                   float middle = 1.0f) {
    cSceneObject* object = Place(shape, x, z, colour, lift);
    placed.push_back({name, object, Spot(x, z, lift + middle)});
  };
  place("cube", &cube, -18, 12, red, 1.0f, 0.0f);
  place("building", &building, -6, 24, yellow, 0.0f, 0.0f);
  place("turret", &GetTurretShape(), 6, 12, magenta, 1.0f, 0.0f);
  place("pyramid", &GetPyramidShape(), 18, 12, cyan, 0.0f, 0.5f);
  place("creature", &creature, -18, 0, yellow, 0.0f, 0.5f);
  place("plant", &GetPlantShape(), -6, 8, white, 0.0f, 5.0f);
  place("sphere", &GetSphereShape(), 6, 0, red, 1.5f, 0.0f);
  place("wall", &wall, 18, 0, white, 0.0f, 1.0f);
  place("circle", &circle, -18, -12, yellow, 0.3f, 0.0f);
  place("weapon", &weapon, -6, -6, white, 0.0f, 1.0f);
  place("fins", &fins, 6, -12, white, 0.0f, 0.5f);
  place("wings", &wings, 18, -12, magenta, 1.0f, 0.0f);
  place("nest", &nest, -18, -24, white, 0.0f, 1.0f);
  place("health meter", &meter, -6, -20, white, 2.0f, 0.0f);
  place("billboard", &billboard, 6, -24, white, 3.0f, 0.0f);
  place("OBJ model", &avatar, 18, -24, cyan, 0.0f, 2.0f);
  place("wireframe model", &wireframe, 0, 20, yellow, 0.5f, 0.0f);
  cCursorMarker cursor;
  cursor.Create(3.0f);
  cursor.SetPosition(Spot(0, -12));
  cursor.SetOrientation(sFrame);
  placed.push_back({"cursor", cursor.GetSceneObject(), Spot(0, -12, 3.0f)});

  const cPicture all = Render();
  Keep(all);
  for (const cPlaced& p : placed) {
    GetSceneManager().RemoveObject(p.object);
    const cPicture without = Render();
    GetSceneManager().AddObject(p.object);
    EXPECT_GE(ChangedNear(all, without, p.look, 30), 6) << p.name << " is not in the picture";
  }
  GetSphereShape().SetScale(Vector3{1, 1, 1});
}

TEST_F(SceneDrawTest, TheWireframeModelDrawsLinesOverEverything) {
  const std::string model = "tests/world/scene/fixtures/cube.obj";
  cSceneShapePolyModel solid(model, false);
  cSceneShapePolyModelWireframe wireframe;
  wireframe.LoadOBJ(model);
  solid.SetScale(Vector3{6, 6, 6});
  wireframe.SetScale(Vector3{6, 6, 6});
  const cPicture ground = Render();
  cSceneObject* object = Place(&solid, 0, 0, Vector3{1, 1, 0}, 6.0f);
  const int solidPixels = Changed(ground, Render());
  GetSceneManager().Clear();
  Place(&wireframe, 0, 0, Vector3{1, 1, 0}, 6.0f);
  const int wirePixels = Changed(ground, Render());
  EXPECT_GT(wirePixels, 50);
  EXPECT_LT(wirePixels, solidPixels);  // lines leave the inside of the faces open
  // Sunk under the ground the solid is hidden, while the lines still show.
  GetSceneManager().Clear();
  Place(&solid, 0, 0, Vector3{1, 1, 0}, -20.0f);
  EXPECT_EQ(Changed(ground, Render()), 0);
  GetSceneManager().Clear();
  Place(&wireframe, 0, 0, Vector3{1, 1, 0}, -20.0f);
  EXPECT_GT(Changed(ground, Render()), 50);
  (void)object;
}

TEST_F(SceneDrawTest, FountainsSprayAndTheirParticlesVanishAfterTheirLifetime) {
  Sys_SeedRandom(3);
  const cPicture ground = Render();
  const Vector3 up = Vector3Normalized(sGround);
  GetSceneParticleManager().AddParticle(new cSceneBurstParticleFountain(
      Spot(0, 0, 0.5f), Vector3Add(up, Vector3{0.2f, 0, 0}), QuatFromAngleAxis(up, 0.3f), 1500, Vector3{1, 1, 0},
      nullptr));
  for (int frame = 0; frame < 40; ++frame) {
    GetSceneParticleManager().Update(0.05f);
    sGameTime += 20;
  }
  const cPicture spraying = Render();
  Keep(spraying);
  EXPECT_GT(ChangedNear(ground, spraying, Spot(0, 0, 1.5f), 40), 25);
  sGameTime += 3000;
  GetSceneParticleManager().Update(0.05f);
  GetSceneParticleManager().Update(0.05f);
  EXPECT_EQ(GetSceneParticleManager().GetParticleCount(), 0u);
  EXPECT_EQ(Changed(ground, Render()), 0);
}

// The shapes with spheres (turret, sphere, creature eyes) drawn from prepared
// sphere meshes give the picture gluSphere gives, pixel for pixel.
TEST_F(SceneDrawTest, PreparedSpheresDrawThePictureOfGluSphere) {
  cSceneShapeCreature creature(0);
  GetSphereShape().SetScale(Vector3{1.5f, 1.5f, 1.5f});
  const Vector3 red{1, 0, 0}, cyan{0, 1, 1};
  Place(&GetTurretShape(), 6, 12, red, 1.0f);
  Place(&creature, -18, 0, cyan);
  Place(&GetSphereShape(), 6, 0, red, 1.5f);

  auto renderWith = [](bool prepared) {
    SetPreparedGeometryEnabled(prepared);
    cPicture picture = Render();
    SetPreparedGeometryEnabled(true);
    return picture;
  };
  const cPicture immediate = renderWith(false);
  EXPECT_EQ(renderWith(true), immediate);  // meshes made on the way
  EXPECT_EQ(renderWith(true), immediate);  // meshes reused
  EXPECT_GE(PreparedSphereCount(), 3);
}

// Plants draw in groups from kept meshes: a group is made again only when a
// plant in it changes, a change shows at once, and groups out of view are not drawn.
TEST_F(SceneDrawTest, PlantGroupsAreRebuiltOnlyWhenAPlantInThemChanges) {
  struct cBearer : cOwner, cIFruitBearer {
    int fruit = cSceneShapePlant::kMaxFruit;
    int GetFruitCount() override { return fruit; }
  };
  // A scene of their own: the planet files its own plants into the main one.
  static cSceneManager scene;
  std::vector<cBearer*> owners;
  std::vector<cSceneObject*> plants;
  for (int i = 0; i < 6; ++i) {
    plants.push_back(Place(&GetPlantShape(), -40.0f + 16.0f * i, 10.0f * (i % 2), Vector3{1, 0, 0}));
    GetSceneManager().RemoveObject(plants.back());
    scene.AddObject(plants.back());
    owners.push_back(new cBearer);
    plants.back()->SetOwner(owners.back());
  }
  auto Render = [] {
    BeginCameraPicture(kWidth, kHeight, &sGround.x);
    glEnable(GL_LIGHTING);
    GetPlanetModel().Draw();
    glDisable(GL_LIGHTING);
    scene.Render();
    return ReadBackBuffer(kWidth, kHeight);
  };
  const cPlantBatches::cStats& stats = GetPlantShape().LastBatchStats();
  auto matchesImmediate = [&Render](const cPicture& batched) {
    SetPreparedGeometryEnabled(false);
    const cPicture immediate = Render();
    SetPreparedGeometryEnabled(true);
    return Changed(batched, immediate) <= 10;  // a pixel on an edge may turn over
  };
  const cPicture first = Render();
  EXPECT_GT(stats.groups, 1);
  EXPECT_EQ(stats.rebuilt, stats.groups);
  EXPECT_EQ(stats.drawn, stats.groups);
  EXPECT_TRUE(matchesImmediate(first));
  EXPECT_EQ(Render(), first);
  EXPECT_EQ(stats.rebuilt, 0) << "nothing changed";

  // Fault mended: plants stacked on one spot each drew their twin's triangles
  // again, which the depth test turns away: 20,000 of them took seconds a frame.
  const int64_t unstacked = stats.vertices;
  // A copy of plant `of` added to the scene, `dx` units along x from it (0: the very place).
  auto addCopy = [&](std::vector<std::unique_ptr<cSceneObject>>& into, int of, float dx) {
    const Vector3 at = plants[of]->GetPosition();
    into.push_back(std::make_unique<cSceneObject>(owners[of], &GetPlantShape()));
    into.back()->SetPosition(dx == 0.0f ? at : Vector3Add(at, Vector3{dx, 0.0f, 0.0f}));
    into.back()->SetOrientation(plants[of]->GetOrientation());
    into.back()->SetColour(plants[of]->GetColour());
    scene.AddObject(into.back().get());
  };
  std::vector<std::unique_ptr<cSceneObject>> stack;
  for (int i = 0; i < 40; ++i) addCopy(stack, 1, 0.0f);
  EXPECT_EQ(Render(), first);
  EXPECT_EQ(stats.vertices, unstacked);
  for (auto& twin : stack) scene.RemoveObject(twin.get());
  EXPECT_EQ(Render(), first);

  // A thicket past what play grows, each plant a hair beside the last (a
  // made-up save): past kMostPlantsInAGroup its fruit go coarse and it shows
  // that many plants however many stand there.
  auto cellOf = [](const Vector3& at) {
    return std::make_tuple(std::floor(at.x / cPlantBatches::kCellSize), std::floor(at.y / cPlantBatches::kCellSize),
                           std::floor(at.z / cPlantBatches::kCellSize));
  };
  size_t neighbours = 0;  // the six plants that share the thicket's cell
  for (cSceneObject* plant : plants) neighbours += cellOf(plant->GetPosition()) == cellOf(plants[3]->GetPosition());
  auto thicket = [&](size_t inGroup, int64_t* vertices) {
    std::vector<std::unique_ptr<cSceneObject>> crowd;
    for (size_t i = 1; i <= inGroup - neighbours; ++i) addCopy(crowd, 3, 0.0005f * (float)i);
    Render();
    *vertices = stats.vertices;
    const int coarse = stats.coarse;
    for (auto& plant : crowd) scene.RemoveObject(plant.get());
    return coarse;
  };
  const int64_t perPlant = unstacked / (int64_t)plants.size();  // all six alike, full of fruit
  int64_t atFine = 0, pastFine = 0, farPast = 0;
  EXPECT_EQ(thicket(cPlantBatches::kMostPlantsInAGroup, &atFine), 0);
  EXPECT_EQ(atFine, unstacked + (int64_t)(cPlantBatches::kMostPlantsInAGroup - neighbours) * perPlant);
  EXPECT_EQ(thicket(cPlantBatches::kMostPlantsInAGroup + 1, &pastFine), 1);
  EXPECT_LT(pastFine, atFine);
  EXPECT_EQ(thicket(3 * cPlantBatches::kMostPlantsInAGroup, &farPast), 1);
  EXPECT_EQ(farPast, pastFine) << "the first plants shown, the rest left out";
  EXPECT_EQ(Render(), first);

  owners[2]->fruit = 0;  // eaten
  const cPicture eaten = Render();
  EXPECT_EQ(stats.rebuilt, 1);
  EXPECT_GT(Changed(first, eaten), 20);
  EXPECT_TRUE(matchesImmediate(eaten));

  scene.RemoveObject(plants[5]);  // hidden
  const cPicture hidden = Render();
  EXPECT_EQ(stats.rebuilt, 1);
  EXPECT_TRUE(matchesImmediate(hidden));

  const int64_t fineVertices = stats.vertices;
  SetCameraAngles(0.0f, 45.0f, 5000.0f);  // so far that a fruit is a small part of a pixel
  SetCameraTargetAngles(0.0f, 45.0f, 5000.0f);
  Render();
  EXPECT_GT(stats.drawn, 0);
  EXPECT_EQ(stats.coarse, stats.drawn);
  EXPECT_LT(stats.vertices, fineVertices / 3);
  EXPECT_TRUE(matchesImmediate(Render()));

  SetCameraAngles(0.0f, 45.0f, 70.0f);
  SetCameraTargetAngles(0.0f, 45.0f, 70.0f);
  const Vector3 ahead = Spot(0.0f, 300.0f);  // looking at a point far ahead: the plants are behind the eye
  SetCameraAnchorFrame(&ahead.x, &sFrame.x);
  Render();
  EXPECT_GT(stats.groups, 0);
  EXPECT_EQ(stats.drawn, 0);

  // Fault mended: a plant however far out made its group's cell an int the
  // conversion could not hold (undefined; the sanitized game stopped).
  plants[0]->SetPosition(Vector3{3e38f, -3e38f, 1e30f});
  Render();
  EXPECT_GT(stats.groups, 1);
  scene.Clear();
}

// A crowd shape gathered into one array a frame draws the picture it draws object by object.
// Pyramids, and spheres (turned, placed and indexed on the processor, their
// far faces skipped).
TEST_F(SceneDrawTest, AShapeDrawnInOneBatchDrawsThePictureOfItsObjects) {
  cSceneShapePyramid pyramids;
  cSceneShapeSphere spheres;
  for (cSceneShapePolyModel* crowd : {static_cast<cSceneShapePolyModel*>(&pyramids), static_cast<cSceneShapePolyModel*>(&spheres)}) {
    crowd->SetScale(Vector3{4.0f, 6.0f, 4.0f});
    const cPicture bare = Render();
    const Vector3 colours[3] = {{1, 1, 1}, {0, 0, 1}, {1, 0, 0}};
    for (int i = 0; i < 9; ++i) Place(crowd, -24.0f + 6.0f * i, 4.0f * (i % 3), colours[i % 3], 2.0f);
    const cPicture alone = Render();
    ASSERT_GT(Changed(bare, alone), 300) << crowd->GetTypeName() << ": the crowd shows";
    crowd->SetDrawnInOneBatch(true);
    EXPECT_LE(Changed(alone, Render()), 10) << crowd->GetTypeName();  // a pixel on an edge may turn over
    mObjects[4]->SetColour(Vector3{0, 1, 0});  // what was gathered last frame is not drawn again unchanged
    EXPECT_GT(ChangedNear(alone, Render(), mObjects[4]->GetPosition(), 4), 0) << crowd->GetTypeName();
    crowd->SetDrawnInOneBatch(false);
    for (auto& object : mObjects) GetSceneManager().RemoveObject(object.get());
    mObjects.clear();
  }
}

// Cubes of different scales and a turret sharing one batch, another shape
// listed between them, draw the picture they draw one by one; a batch of
// closed shapes hands each face over once (GL culls those turned away).
TEST_F(SceneDrawTest, ShapesSharingABatchDrawThePictureOfTheirObjects) {
  cSceneShapePolyModel::cSharedBatch shared;
  shared.closed = true;
  std::vector<std::unique_ptr<cSceneShapeCube>> cubes;
  cSceneShapePyramid between;
  between.SetScale(Vector3{4.0f, 6.0f, 4.0f});
  cSceneShapeTurret turret;  // its box and its ball listed as two
  turret.SetScale(Vector3{2.5f, 2.5f, 2.5f});
  const cPicture bare = Render();
  for (int i = 0; i < 6; ++i) {
    cubes.push_back(std::make_unique<cSceneShapeCube>());
    cubes.back()->SetScale(Vector3{2.0f + i, 3.0f, 2.0f + 0.5f * i});
    Place(cubes.back().get(), -30.0f + 12.0f * i, 6.0f * (i % 2), Vector3{i % 2 ? 1.0f : 0.0f, 0.5f, 1.0f}, 1.0f);
    if (i == 2) Place(&between, 0.0f, -12.0f, Vector3{1, 0, 0});
  }
  Place(&turret, -24.0f, -14.0f, Vector3{1, 0, 1}, 1.0f);
  const cPicture alone = Render();
  ASSERT_GT(Changed(bare, alone), 300) << "the cubes show";
  auto batchAll = [&cubes, &turret](cSceneShapePolyModel::cSharedBatch* batch) {
    for (auto& cube : cubes) cube->SetDrawnInOneBatch(batch);
    turret.SetDrawnInOneBatch(batch);
  };
  batchAll(&shared);
  const cPicture batched = Render();
  Keep(batched);
  EXPECT_LE(Changed(alone, batched), 10);  // a pixel on an edge may turn over
  const uint64_t ball = shared.groups.LastStats().triangles - 7u * 12u;
  EXPECT_EQ(ball, 80u) << "each face once, the turret's ball a coarse one";
  EXPECT_EQ(GetSceneManager().GetLastDrawTallies().at("Cube").triangles, 7u * 12u + ball);
  EXPECT_FALSE(shared.open);

  // Each change drawn as one by one; groups made again only for a cube that
  // changed, came or went, never for the eye; a twin on another's very spot adds nothing.
  struct Row {
    const char* change;
    std::function<void()> apply;
    bool shows, remade;
    size_t repeats;
  } rows[] = {
      {"nothing", [] {}, false, false, 0},
      {"the eye", [] { Look(35.0f, 30.0f, 90.0f); }, true, false, 0},
      {"the eye back", [] { Look(0.0f, 45.0f, 70.0f); }, true, false, 0},
      {"scale", [&] { cubes[2]->SetScale(Vector3{6.0f, 8.0f, 6.0f}); }, true, true, 0},
      {"vertices", [&] { cubes[3]->ScaleVertices(Vector3{1.0f, 2.5f, 1.0f}); }, true, true, 0},
      {"place", [&] { mObjects[1]->SetPosition(Spot(-18.0f, -14.0f, 1.0f)); }, true, true, 0},
      // A step that keeps the cube in its group's cell: only its place tells the group is out of date.
      {"a step", [&] { mObjects[5]->SetPosition(Spot(21.0f, 0.0f, 1.0f)); }, true, true, 0},
      {"colour", [&] { mObjects[5]->SetColour(Vector3{1.0f, 1.0f, 0.0f}); }, true, true, 0},
      {"added", [&] { Place(cubes[0].get(), 24.0f, -14.0f, Vector3{1, 1, 1}, 1.0f); }, true, true, 0},
      {"removed", [&] { GetSceneManager().RemoveObject(mObjects[6].get()); }, true, true, 0},
      {"turret shrunk", [&] { turret.SetScale(Vector3{1.5f, 1.5f, 1.5f}); }, true, true, 0},
      {"a twin",
       [&] {
         cubes.push_back(std::make_unique<cSceneShapeCube>());
         cubes.back()->SetScale(cubes[2]->GetScale());
         Place(cubes.back().get(), -6.0f, 0.0f, Vector3{1, 1, 1}, 1.0f);  // where cube 2 stands, in white
       },
       false, true, 1},
      {"a new context", [] { NoteNewGLContext(); }, false, false, 1},
  };
  cPicture before = batched;
  for (const Row& r : rows) {
    r.apply();
    batchAll(&shared);
    const uint32_t makes = shared.groups.GetMakes();
    const cPicture now = Render();
    EXPECT_EQ(shared.groups.GetMakes() != makes, r.remade) << r.change;
    EXPECT_EQ(shared.groups.LastStats().repeats, r.repeats) << r.change;
    batchAll(nullptr);
    EXPECT_LE(Changed(Render(), now), 10) << r.change;
    EXPECT_EQ(Changed(before, now) > 20, r.shows) << r.change;
    before = now;
  }
  for (auto& object : mObjects) GetSceneManager().RemoveObject(object.get());
  mObjects.clear();
  for (auto& cube : cubes) GetSceneManager().ForgetShape(cube.get());
  GetSceneManager().ForgetShape(&between);
  GetSceneManager().ForgetShape(&turret);
}

// Spheres a few pixels across are drawn in the batch from coarser meshes, and
// still draw the picture of their full meshes drawn one by one (pixels on
// their outlines may turn over, their shading may shift a shade); spheres
// near the eye keep every slice.
TEST_F(SceneDrawTest, SmallSpheresInOneBatchAreListedWithFewerSlicesAndLookTheSame) {
  cSceneShapeSphere spheres;
  spheres.SetScale(Vector3{5.0f, 5.0f, 5.0f});
  const Vector3 colours[3] = {{1, 1, 1}, {0, 0, 1}, {1, 0, 0}};
  for (int i = 0; i < 9; ++i) Place(&spheres, -48.0f + 12.0f * i, 8.0f * (i % 3), colours[i % 3], 2.0f);
  // Each distance with the most of the full meshes' triangles the batch hands
  // over, and the least (at 120: 14 pixels across). At 170, about 10 pixels in
  // radius, the coarsest mesh would stray 0.25 to 0.5 of a pixel: the next one's.
  const struct {
    float distance, share, least = 0.0f;
  } rows[] = {{40.0f, 1.0f}, {120.0f, 0.6f}, {170.0f, 0.3f, 0.2f}, {400.0f, 0.15f}, {900.0f, 0.15f}};
  for (const auto& [distance, share, least] : rows) {
    SetCameraAngles(0.0f, 45.0f, distance);
    SetCameraTargetAngles(0.0f, 45.0f, distance);
    spheres.SetEnabled(false);
    const cPicture bare = Render();
    spheres.SetEnabled(true);
    spheres.SetDrawnInOneBatch(false);
    const cPicture alone = Render();
    spheres.SetDrawnInOneBatch(true);
    cSceneShapeSphere::SetFewerSlicesWhenSmall(false);
    Render();
    const size_t full = spheres.GetLastTriangleCount();
    cSceneShapeSphere::SetFewerSlicesWhenSmall(true);
    const cPicture batched = Render();
    Keep(batched);
    const int covered = Changed(bare, alone);
    ASSERT_GT(covered, 30) << distance << ": the spheres show";
    EXPECT_LE(Changed(alone, batched), covered / 8) << distance;
    if (share < 1.0f) EXPECT_LT(spheres.GetLastTriangleCount(), full * share) << distance;
    else EXPECT_EQ(spheres.GetLastTriangleCount(), full) << distance;
    if (least > 0.0f) {
      EXPECT_GT(spheres.GetLastTriangleCount(), full * least) << distance;
    }
  }
  for (auto& object : mObjects) GetSceneManager().RemoveObject(object.get());
  mObjects.clear();
}

// A billboard shows the image loaded after it was drawn, and again in a new context.
TEST_F(SceneDrawTest, ABillboardShowsTheImageLoadedAfterItWasDrawn) {
  cScratchDir dir;
  auto square = [&dir](const char* name, uint8_t r, uint8_t b) {
    std::vector<uint8_t> rgb;
    for (int i = 0; i < 8 * 8; ++i) rgb.insert(rgb.end(), {r, 20, b});
    dir.Write(name, Bmp(8, 8, rgb));
    return dir.File(name);
  };
  cSceneShapeBillboard billboard(square("blue.bmp", 20, 250), true);
  billboard.SetScale(Vector3{4.0f, 4.0f, 4.0f});
  const cPicture bare = Render();
  cSceneObject* sign = Place(&billboard, 0.0f, 0.0f, Vector3{1, 1, 1}, 4.0f);
  auto reddest = [&](const cPicture& picture) {  // red minus blue where the sign stands
    double wx, wy;
    ProjectToWindow(sign->GetPosition(), wx, wy);
    const int i = ((int)wy * kWidth + (int)wx) * 3;
    return picture[i] - picture[i + 2];
  };
  const cPicture blue = Render();
  ASSERT_GT(Changed(bare, blue), 50);
  EXPECT_LT(reddest(blue), -100);
  ASSERT_TRUE(billboard.LoadTexture(square("red.bmp", 250, 20)));
  const cPicture red = Render();
  EXPECT_GT(reddest(red), 100);
  EXPECT_EQ(Changed(bare, red), Changed(bare, blue)) << "the same square, in another colour";
  NoteNewGLContext();
  EXPECT_EQ(Render(), red);
}

// The turret's gun, one stack from a kept mesh, draws the picture of
// gluCylinder's twenty stacks.
TEST_F(SceneDrawTest, APreparedCylinderDrawsThePictureOfGluCylinder) {
  auto gun = [](bool prepared) {
    return [prepared] {
      const Vector3 at = Spot(0.0f, 0.0f, 6.0f);
      glPushMatrix();
      glTranslatef(at.x, at.y, at.z);
      glRotatef(70.0f, 0.3f, 1.0f, 0.2f);
      glColor3f(0.2f, 0.2f, 0.2f);
      if (prepared) DrawPreparedCylinder(GetSceneQuadric(), 1.5f, 18.0f, 20);
      else gluCylinder(GetSceneQuadric(), 1.5f, 1.5f, 18.0f, 20, 20);
      glPopMatrix();
    };
  };
  const cPicture glu = Render(gun(false));
  ASSERT_GT(Changed(Render(), glu), 100) << "the cylinder shows";
  EXPECT_LE(Changed(glu, Render(gun(true))), 4);  // a pixel on an edge may turn over
}

// A shape culled behind the planet draws the same picture of what is in
// sight and skips what stands on the far side.
TEST_F(SceneDrawTest, AShapeCulledBehindThePlanetSkipsOnlyWhatThePlanetHides) {
  cSceneShapePyramid crowd;
  crowd.SetScale(Vector3{4.0f, 6.0f, 4.0f});
  for (int i = 0; i < 5; ++i) Place(&crowd, -12.0f + 6.0f * i, 4.0f * (i % 3), Vector3{1, 0, 0});
  cSceneObject* far = Place(&crowd, 0.0f, 0.0f, Vector3{0, 0, 1});
  Vector3 antipode;
  GetPlanetModel().ProjectToSurface(antipode, Vector3Negate(sGround));
  far->SetPosition(antipode);
  const cPicture all = Render();
  EXPECT_EQ(GetSceneManager().GetLastCulledCount(), 0u);
  GetSceneManager().SetHorizonCulled(&crowd, 430.0f);
  EXPECT_LE(Changed(all, Render()), 10);
  EXPECT_EQ(GetSceneManager().GetLastCulledCount(), 1u);
  GetSceneManager().SetHorizonCulled(&crowd, 0.0f);
  Render();
  EXPECT_EQ(GetSceneManager().GetLastCulledCount(), 0u);
}
