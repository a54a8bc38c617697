// The scene: every live scene object grouped by its shape, drawn once per
// frame shape by shape (one BeginDraw/EndDraw per shape, or per batch shared
// by shapes), then the particles.
// It also turns screen points into rays, picks objects or the terrain along a
// ray, finds objects near a point, and carries the "scene" console command.
#pragma once

#include <cstdint>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "glf/DrawTally.h"
#include "math/Types.h"
#include "world/scene/SceneObject.h"

class cISceneShape;

// What a pick hit: an object, the terrain (object null, flag set), or nothing
// (object null, point (0, 0, 0), flag clear).
struct cScenePickResult {
  cSceneObject* object = nullptr;
  Ru::Math::Vector3 point;
  bool terrain = false;
};

// Lets a caller leave objects out of a pick (the terrain is never asked).
class cIScenePickTest {
 public:
  virtual ~cIScenePickTest() = default;
  virtual bool Accept(cSceneObject* object) = 0;
};

class cSceneManager {
 public:
  virtual ~cSceneManager() = default;

  // Only cSceneObjects are listed; anything else is ignored (and reported as
  // added). No duplicate check: an object added twice is drawn twice.
  bool AddObject(cISceneNode* node);
  // Removes the first listing of the object under its current shape; false when not listed.
  // Constant time (amortised): a mode may remove thousands of objects at once.
  bool RemoveObject(cISceneNode* node);
  void Render();
  uint32_t GetObjectCount() const;
  uint32_t GetObjectCount(cISceneShape* shape) const;  // the listings under one shape
  // Drops a shape that lists no object any more, before its owner frees it, so
  // shapes made and freed over and over do not pile up in the draw and pick
  // loops. False (and nothing changes) while objects of it are listed.
  bool ForgetShape(cISceneShape* shape);
  // Objects of the shape are drawn only when the planet does not hide them:
  // one whose bounding sphere lies wholly behind a ball of `occluderRadius`
  // round the origin, seen from the eye of the loaded view, is skipped.
  // 0 draws them all again. Forgetting the shape forgets this too.
  void SetHorizonCulled(cISceneShape* shape, float occluderRadius);
  uint32_t GetLastCulledCount() const { return mLastCulled; }  // skipped in the last Render
  // What the last Render handed to GL, by the type name of each batch's
  // (first) shape: the calls, vertices and triangles.
  const std::map<std::string, cDrawTally>& GetLastDrawTallies() const { return mLastDrawn; }

  // ---- picking (the ray needs the frame's camera matrices loaded) ----
  static Ru::Math::Ray ScreenPointToRay(int x, int y);
  void PickAlongRay(cScenePickResult& result, const Ru::Math::Ray& ray, cIScenePickTest* filter);
  void PickAtScreenPoint(cScenePickResult& result, int x, int y, cIScenePickTest* filter);
  // Appends objects strictly closer than radius + their x scale; true when any was appended.
  bool FindObjectsInRadius(std::vector<cSceneObject*>& out, const Ru::Math::Vector3& centre, float radius);

  // ---- the "scene" command ----
  void PrintShapes();
  void PrintObjects(std::ostream& stream);
  void SetShapeEnabled(int number, bool enabled);  // numbering of PrintShapes

  // Forgets every listing (objects and shapes untouched), for tests.
  void Clear();
  // Listings looked at or moved by removals so far: tests check that removing
  // n objects costs about n steps, not n * n.
  uint64_t GetRemovalWork() const { return mRemovalWork; }
  uint32_t GetShapeCount() const { return static_cast<uint32_t>(mEntries.size()); }  // every shape ever listed

 private:
  static constexpr uint64_t kFlushTriangles = 2000;  // handed over at a time, at least
  // A removal leaves a hole (null) in its shape's list, so that removing is not
  // a shift of everything after it; holes are squeezed out, in order, once they
  // outnumber the listings or before anything walks the lists.
  struct cShapeEntry {
    cISceneShape* shape;
    std::vector<cISceneNode*> nodes;
    size_t live = 0;  // listings that are not holes
    float occluderRadius = 0.0f;  // above 0: objects the planet hides are not drawn
  };
  cShapeEntry& EntryFor(cISceneShape* shape);
  size_t FindListing(cShapeEntry& entry, cSceneObject* object);
  void Compact(cShapeEntry& entry);
  void CompactAll();
  cISceneShape* NthShapeWithObjects(int number);

  // Shapes in the order they were first listed, so drawing order, pick ties and
  // the command's numbering are the same on every run (never pointer order).
  std::vector<cShapeEntry> mEntries;
  std::map<cISceneShape*, size_t> mIndex;
  std::vector<const void*> mDrawnGroups;  // shared batches drawn so far this frame (a handful)
  uint64_t mRemovalWork = 0;
  uint32_t mLastCulled = 0;
  std::map<std::string, cDrawTally> mLastDrawn;
};

cSceneManager& GetSceneManager();       // the one scene (built on first use, lives until exit)
Ru::Math::Vector3 EyeOfLoadedView();     // the eye in world space, from the loaded (rigid) modelview
Ru::Math::Vector3 EyeOfView(const float modelView[16]);  // the same from a (rigid) modelview given
// True when the ball of `ball` round the origin hides from the eye every point within `radius` of `p`.
bool BehindBall(const Ru::Math::Vector3& eye, const Ru::Math::Vector3& p, float radius, float ball);
void RegisterSceneDebugCommand();       // the "scene" console command

// Kept for callers that want the ray as six floats (origin, then direction).
void ScreenPointToRay(int x, int y, float ray[6]);
