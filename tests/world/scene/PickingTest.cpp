// Picks along rays and at screen points, the radius search and the
// selection band, over a planet whose ground lies at radius 510 everywhere.
#include <GL/glu.h>

#include <cmath>
#include <memory>

#include "math/Vector.h"

#include "tests/support/CameraPicture.h"
#include "tests/world/planet/PlanetTestSupport.h"
#include "tests/world/scene/SceneTestSupport.h"
#include "world/scene/MultiSelector.h"
#include "world/scene/SolidShapes.h"

using namespace Ru::Math;

namespace {
constexpr int kSize = 128;

class PickingTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    GetPlanetModel().SetHeightMap(MakeHeightMap([](const Vector3&) { return 10.0f; }, 64));
  }
  void SetUp() override { GetPlanetModel().SetTerrainPickable(true); }
  cSceneObject* Add(const Vector3& position, cISceneShape* shape = nullptr, Ko::cGameData* owner = nullptr) {
    if (!shape) shape = &mCube;
    mObjects.push_back(std::make_unique<cSceneObject>(owner, shape));
    mObjects.back()->SetPosition(position);
    GetSceneManager().AddObject(mObjects.back().get());
    return mObjects.back().get();
  }
  // Looks from eye at the planet centre, y up, through a 40-degree view.
  static void LookFrom(float eyeZ) {
    EnsureSceneWindow(kSize, kSize);
    const float eye[3] = {0, 0, eyeZ}, up[3] = {0, 1, 0};
    LookAtCentreFrom(kSize, eye, up);
  }
  // The window point (y down) where a world point shows.
  static void Project(const Vector3& p, int& x, int& y) {
    double wx, wy;
    ProjectToWindow(p, wx, wy);
    x = static_cast<int>(std::lround(wx));
    y = kSize - static_cast<int>(std::lround(wy));
  }

  cEmptyScene mEmpty;
  cSceneShapeCube mCube;
  std::vector<std::unique_ptr<cSceneObject>> mObjects;
  const Ray mDown{Vector3{0, 0, 600}, Vector3{0, 0, -1}};
};

struct cRejectAll : cIScenePickTest {
  bool Accept(cSceneObject*) override { return false; }
};

struct cRecordingClient : cIMultiSelectClient {
  Ko::cGameData* refuse = nullptr;
  std::vector<Ko::cGameData*> selected;
  bool CanSelect(Ko::cGameData* owner) override { return owner != refuse; }
  void Select(Ko::cGameData* owner) override { selected.push_back(owner); }
};
}  // namespace

TEST_F(PickingTest, NothingHitGivesTheEmptyResult) {
  GetPlanetModel().SetTerrainPickable(false);
  cScenePickResult result;
  result.terrain = true;
  GetSceneManager().PickAlongRay(result, mDown, nullptr);
  EXPECT_EQ(result.object, nullptr);
  EXPECT_TRUE(Vector3Equal(result.point, Vector3{}));
  EXPECT_FALSE(result.terrain);
}

TEST_F(PickingTest, TheNearestOfObjectsAndTerrainWinsAndTiesGoToTheFirstListed) {
  cSceneObject* low = Add(Vector3{0, 0, 505});  // under the ground
  cScenePickResult result;
  GetSceneManager().PickAlongRay(result, mDown, nullptr);
  EXPECT_TRUE(result.terrain);
  EXPECT_EQ(result.object, nullptr);
  EXPECT_NEAR(result.point.z, 510.0f, 1.0f);

  cSceneObject* first = Add(Vector3{0, 0, 530});
  Add(Vector3{0, 0, 530});
  GetSceneManager().PickAlongRay(result, mDown, nullptr);
  EXPECT_EQ(result.object, first);
  EXPECT_FALSE(result.terrain);
  EXPECT_NEAR(result.point.z, 530.577f, 1e-3f);

  cRejectAll none;
  GetSceneManager().PickAlongRay(result, mDown, &none);
  EXPECT_TRUE(result.terrain);  // the filter is never asked about the ground
  (void)low;
}

TEST_F(PickingTest, ObjectsBehindTheEyeAndInvisibleOnesAreNotPicked) {
  cRecordingShape anyRay;  // its own test hits every ray, ahead or behind
  Add(Vector3{0, 0, 640}, &anyRay);  // above the camera, straight behind it
  cSceneObject* hidden = Add(Vector3{0, 0, 560});
  hidden->SetVisible(false);
  cScenePickResult result;
  GetSceneManager().PickAlongRay(result, mDown, nullptr);
  EXPECT_TRUE(result.terrain);
  std::vector<cSceneObject*> near;
  EXPECT_TRUE(GetSceneManager().FindObjectsInRadius(near, Vector3{0, 0, 561}, 0.5f));
  EXPECT_EQ(near, std::vector<cSceneObject*>{hidden});
}

TEST_F(PickingTest, TheRadiusSearchIsStrictAndReachesTheObjectsScale) {
  Add(Vector3{3, 0, 0});  // cube scale x 1: reach is radius + 1
  std::vector<cSceneObject*> found;
  EXPECT_FALSE(GetSceneManager().FindObjectsInRadius(found, Vector3{}, 2.0f));
  EXPECT_TRUE(GetSceneManager().FindObjectsInRadius(found, Vector3{}, 2.01f));
  EXPECT_TRUE(GetSceneManager().FindObjectsInRadius(found, Vector3{}, 2.01f));
  EXPECT_EQ(found.size(), 2u);  // appended, never cleared
}

TEST_F(PickingTest, ScreenPointsPickTheObjectUnderThemOrTheGround) {
  [[maybe_unused]] cIgnoreDriverAllocations driver;
  LookFrom(600.0f);
  const Ray centre = cSceneManager::ScreenPointToRay(kSize / 2, kSize / 2);
  EXPECT_NEAR(Vector3Length(centre.direction), 1.0f, 1e-5f);
  EXPECT_NEAR(centre.direction.z, -1.0f, 1e-3f);  // through the point looked at

  cSceneObject* cube = Add(Vector3{20, 10, 512});
  int x, y;
  Project(cube->GetPosition(), x, y);
  cScenePickResult result;
  GetSceneManager().PickAtScreenPoint(result, x, y, nullptr);
  EXPECT_EQ(result.object, cube);

  GetSceneManager().PickAtScreenPoint(result, 10, kSize - 10, nullptr);
  EXPECT_TRUE(result.terrain);
  EXPECT_EQ(result.object, nullptr);
  EXPECT_NEAR(Vector3Length(result.point), 510.0f, 1.0f);  // on the surface, to the march's step
}

TEST_F(PickingTest, TheBandSelectsExactlyTheObjectsInsideIt) {
  [[maybe_unused]] cIgnoreDriverAllocations driver;
  LookFrom(600.0f);
  cOwner inside, alsoInside, refused, outside;
  for (cOwner* owner : {&inside, &alsoInside, &refused, &outside}) owner->AddRef();
  Add(Vector3{1, 0, 510}, &mCube, &inside);
  Add(Vector3{0, 3.5f, 510}, &mCube, &alsoInside);  // within radius 3 + scale 1
  Add(Vector3{-2, 0, 510}, &mCube, &refused);
  Add(Vector3{0, -4.5f, 510}, &mCube, &outside);
  cRecordingClient client;
  client.refuse = &refused;
  cMultiSelector selector(&client);
  EXPECT_TRUE(selector.SelectAt(kSize / 2, kSize / 2));
  EXPECT_EQ(client.selected, (std::vector<Ko::cGameData*>{&inside, &alsoInside}));
  mObjects.clear();  // before the owners go
}

TEST_F(PickingTest, OffThePlanetTheBandDrawsNothingAndOnItAPlainBand) {
  [[maybe_unused]] cIgnoreDriverAllocations driver;
  LookFrom(3000.0f);  // the planet fills only the middle of the view
  Add(Vector3{});     // even an object at the planet centre is not near a miss
  cRecordingClient client;
  cMultiSelector selector(&client);
  EXPECT_FALSE(selector.SelectAt(2, 2));
  auto litPixels = [&] {
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    selector.Draw();
    std::vector<unsigned char> pixels(kSize * kSize * 3);
    glReadPixels(0, 0, kSize, kSize, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    int lit = 0;
    for (unsigned char c : pixels) lit += c > 0;
    return lit;
  };
  EXPECT_EQ(litPixels(), 0);
  LookFrom(530.0f);
  selector.SetRadius(6.0f);
  selector.SelectAt(kSize / 2, kSize / 2);
  EXPECT_GT(litPixels(), 0);
  // Fault mended: the band took what the last object drawn left on (in the
  // city, after the icon billboards, it was never seen).
  glEnable(GL_ALPHA_TEST);
  glAlphaFunc(GL_LESS, 0.5f);  // passes nothing opaque
  EXPECT_GT(litPixels(), 0);
  EXPECT_TRUE(glIsEnabled(GL_ALPHA_TEST));  // and handed back as it was
  glDisable(GL_ALPHA_TEST);
}
