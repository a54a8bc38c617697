// The scene manager: listing, the per-shape render pass, the object ray test
// in object space, owner references and the "scene" command.
#include <algorithm>
#include <memory>
#include <set>
#include <sstream>

#include "math/Quaternion.h"
#include "tests/support/TestSupport.h"
#include "tests/world/scene/SceneTestSupport.h"
#include "world/scene/Particles.h"

using namespace Ru::Math;

TEST(SceneManager, RenderBatchesEachEnabledShapeOnceInFirstListedOrder) {
  [[maybe_unused]] cIgnoreDriverAllocations driver;
  EnsureSceneWindow(64, 64);
  cEmptyScene empty;
  std::vector<std::string> log;
  cRecordingShape a(&log, "a"), b(&log, "b");
  cSceneObject a1(nullptr, &a), a2(nullptr, &a), b1(nullptr, &b), shapeless(nullptr, nullptr);
  cSceneManager& scene = GetSceneManager();
  scene.AddObject(&b1);
  scene.AddObject(&a1);
  scene.AddObject(&a2);
  scene.AddObject(&shapeless);
  scene.Render();
  EXPECT_EQ(log, (std::vector<std::string>{"b.BeginDraw", "b.Draw", "b.EndDraw", "a.BeginDraw", "a.Draw", "a.Draw",
                                           "a.EndDraw"}));
  log.clear();
  a.SetEnabled(false);  // class-wide: b is the same class
  scene.Render();
  a.SetEnabled(true);
  EXPECT_TRUE(log.empty());
}

TEST(SceneManager, DuplicatesAreListedTwiceAndRemovedOneAtATime) {
  cEmptyScene empty;
  cRecordingShape shape;
  cSceneObject object(nullptr, &shape), stranger(nullptr, &shape);
  cSceneManager& scene = GetSceneManager();
  EXPECT_TRUE(scene.AddObject(&object));
  EXPECT_TRUE(scene.AddObject(&object));
  EXPECT_EQ(scene.GetObjectCount(), 2u);
  EXPECT_EQ(object.GetSceneRefCount(), 2);
  EXPECT_TRUE(scene.RemoveObject(&object));
  EXPECT_EQ(scene.GetObjectCount(), 1u);
  EXPECT_FALSE(scene.RemoveObject(&stranger));
  EXPECT_FALSE(scene.RemoveObject(nullptr));
  EXPECT_TRUE(scene.RemoveObject(&object));
  EXPECT_FALSE(scene.RemoveObject(&object));
  EXPECT_EQ(object.GetSceneRefCount(), 0);
}

// Removing n objects costs about n steps in any order (a mode leaves with 3000
// at once), and what stays keeps its order, a duplicate's later listing too.
TEST(SceneManager, RemovingManyObjectsIsLinearAndKeepsTheOrderOfTheRest) {
  constexpr int n = 3000;
  int (*orders[])(int) = {[](int i) { return i; }, [](int i) { return n - 1 - i; }, [](int i) { return (7 * i) % n; }};
  for (auto nth : orders) {
    cEmptyScene empty;
    cRecordingShape shape;
    std::vector<std::unique_ptr<cSceneObject>> objects;
    cSceneManager& scene = GetSceneManager();
    for (int i = 0; i <= n; ++i) {
      if (i < n) objects.push_back(std::make_unique<cSceneObject>(nullptr, &shape));
      scene.AddObject(objects[std::min(i, n - 1)].get());  // the last object twice
    }
    const uint64_t before = scene.GetRemovalWork();
    for (int i = 0; i < n - 3; ++i) ASSERT_TRUE(scene.RemoveObject(objects[nth(i)].get()));
    EXPECT_LE(scene.GetRemovalWork() - before, 4u * n);
    const std::set<int> kept = {nth(n - 3), nth(n - 2), nth(n - 1)};
    std::vector<cSceneObject*> left, expected;
    for (int index : kept) expected.push_back(objects[index].get());
    expected.push_back(objects[n - 1].get());
    scene.FindObjectsInRadius(left, Ru::Math::Vector3{}, 1.0f);
    EXPECT_EQ(left, expected);
  }
}

TEST(SceneManager, AnObjectDeletedWhileListedLeavesTheScene) {
  cEmptyScene empty;
  cRecordingShape shape;
  auto* object = new cSceneObject(nullptr, &shape);
  GetSceneManager().AddObject(object);
  GetSceneManager().AddObject(object);
  delete object;
  EXPECT_EQ(GetSceneManager().GetObjectCount(), 0u);
}

TEST(SceneObject, RayArrivesInObjectSpaceAndTheHitReturnsToWorldSpace) {
  cRecordingShape shape;
  shape.radius = 2.0f;
  shape.hitPoint = Vector3{0.0f, 0.0f, 1.0f};  // the object's local +z side
  cSceneObject object(nullptr, &shape);
  object.SetPosition(Vector3{10.0f, 0.0f, 0.0f});
  object.SetOrientation(QuatFromAngleAxis(Vector3{0, 1, 0}, 3.14159265f / 2.0f));  // local +z turns to world +x
  const Ray ray{Vector3{20.0f, 0.0f, 0.0f}, Vector3{-1.0f, 0.0f, 0.0f}};
  Vector3 hit;
  ASSERT_TRUE(object.IntersectRay(ray, hit));
  EXPECT_TRUE(Vector3NearEqual(shape.lastRay.origin, Vector3{0, 0, 10}, 1e-4f));
  EXPECT_TRUE(Vector3NearEqual(shape.lastRay.direction, Vector3{0, 0, -1}, 1e-4f));
  EXPECT_TRUE(Vector3NearEqual(hit, Vector3{11, 0, 0}, 1e-4f));

  const Ray passing{Vector3{20.0f, 2.0f, 0.0f}, Vector3{-1.0f, 0.0f, 0.0f}};  // exactly at the radius: outside
  EXPECT_FALSE(object.IntersectRay(passing, hit));
  object.SetVisible(false);
  EXPECT_FALSE(object.IntersectRay(ray, hit));
  shape.radius = 0.0f;
  object.SetVisible(true);
  EXPECT_FALSE(object.IntersectRay(ray, hit));
  cSceneObject shapeless(nullptr, nullptr);
  EXPECT_FALSE(shapeless.IntersectRay(ray, hit));
  EXPECT_TRUE(Vector3Equal(shapeless.GetScale(), Vector3{1, 1, 1}));
}

TEST(SceneObject, HoldsOneOwnerReferenceAndNoneOnTheNullObject) {
  cOwner::sDestroyed = 0;
  auto* first = new cOwner;
  auto* second = new cOwner;
  first->AddRef();
  {
    cSceneObject object(first, nullptr);
    EXPECT_EQ(first->GetRefCount(), 2);
    object.SetOwner(second);
    EXPECT_EQ(first->GetRefCount(), 1);
    EXPECT_EQ(second->GetRefCount(), 1);
    object.SetOwner(nullptr);  // the last reference: the second owner goes
    EXPECT_EQ(cOwner::sDestroyed, 1);
    EXPECT_EQ(object.GetOwner(), nullptr);
  }
  cSceneObject orphan(nullptr, nullptr);
  EXPECT_EQ(orphan.GetOwner(), cNullGameDataObject::GetInstance());
  EXPECT_EQ(orphan.GetOwner()->GetTypeId(), 0u);
  EXPECT_EQ(cNullGameDataObject::GetInstance()->GetRefCount(), 0);
  first->Release();
  EXPECT_EQ(cOwner::sDestroyed, 2);
}

TEST(SceneCommand, ListsShapesAndObjectsAndSwitchesClassesByNumber) {
  cEmptyScene empty;
  cDebugText text;
  RegisterSceneDebugCommand();
  cRecordingShape a(nullptr, "Alpha");
  cRecordingShape unused(nullptr, "Unused");
  cOwner owner;
  owner.AddRef();
  owner.typeId = 0x4E8B5ABF;
  cSceneObject first(&owner, &a), second(nullptr, &a), never(nullptr, &unused);
  GetSceneManager().AddObject(&never);
  GetSceneManager().RemoveObject(&never);  // its shape keeps an empty entry, which is not numbered
  GetSceneManager().AddObject(&first);
  GetSceneManager().AddObject(&second);

  GetDebugWindow()->RunTypedCommand("scene disable 0");
  EXPECT_FALSE(a.IsEnabled());
  GetDebugWindow()->RunTypedCommand("scene shapes");
  GetDebugWindow()->RunTypedCommand("scene enable 0");
  GetDebugWindow()->RunTypedCommand("scene enable 7");  // beyond the last: nothing
  EXPECT_TRUE(a.IsEnabled());
  cCapturedOutput captured;
  GetDebugWindow()->RunTypedCommand("scene objects");
  const std::string out = captured.End();
  EXPECT_EQ(out, "Scene Manager Objects: 2\n  1317755583\n  0\n------------------------------\n");
  EXPECT_EQ(text.Lines(), (std::vector<std::string>{">scene disable 0", ">scene shapes",
                                                     "Shape #0: Alpha, instances: 2, active: NO", ">scene enable 0",
                                                     ">scene enable 7", ">scene objects", "Scene Manager Objects: ",
                                                     " 4e8b5abf ", " 0 ", "------------------------------"}));
  GetSceneManager().Clear();
}
