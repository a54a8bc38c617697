#include "world/scene/SceneManager.h"

#include <GL/gl.h>

#include <algorithm>

#include "glf/DrawTally.h"
#include "math/Types.h"
#include "world/scene/Particles.h"
#include "world/scene/SceneShape.h"

cSceneManager& GetSceneManager() {
  static cSceneManager* manager = new cSceneManager();
  return *manager;
}

cSceneManager::cShapeEntry& cSceneManager::EntryFor(cISceneShape* shape) {
  auto found = mIndex.find(shape);
  if (found != mIndex.end()) return mEntries[found->second];
  mIndex.emplace(shape, mEntries.size());
  mEntries.push_back(cShapeEntry{shape, {}});
  return mEntries.back();
}

bool cSceneManager::AddObject(cISceneNode* node) {
  auto* object = dynamic_cast<cSceneObject*>(node);
  if (!object) return true;
  cShapeEntry& entry = EntryFor(object->GetShape());
  if (object->GetSceneRefCount() == 0) object->mSceneSlot = entry.nodes.size();  // a duplicate keeps the first
  object->AddSceneRef();
  entry.nodes.push_back(object);
  ++entry.live;
  return true;
}

// The slot the object remembers when it still holds the object, else the
// first listing found by walking the list (only after duplicates or Clear).
size_t cSceneManager::FindListing(cShapeEntry& entry, cSceneObject* object) {
  const size_t slot = object->mSceneSlot;
  ++mRemovalWork;
  if (slot < entry.nodes.size() && entry.nodes[slot] == object) return slot;
  for (size_t i = 0; i < entry.nodes.size(); ++i) {
    ++mRemovalWork;
    if (entry.nodes[i] == object) return i;
  }
  return cSceneObject::kNoSceneSlot;
}

// Squeezes the holes out, keeping the order, and tells each object its new
// slot (walking backwards, so that a duplicate ends up with its first listing).
void cSceneManager::Compact(cShapeEntry& entry) {
  if (entry.live == entry.nodes.size()) return;
  mRemovalWork += entry.nodes.size();
  size_t kept = 0;
  for (cISceneNode* node : entry.nodes)
    if (node) entry.nodes[kept++] = node;
  entry.nodes.resize(kept);
  for (size_t i = kept; i-- > 0;) static_cast<cSceneObject*>(entry.nodes[i])->mSceneSlot = i;
}

void cSceneManager::CompactAll() {
  for (cShapeEntry& entry : mEntries) Compact(entry);
}

bool cSceneManager::RemoveObject(cISceneNode* node) {
  auto* object = dynamic_cast<cSceneObject*>(node);
  if (!object) return false;
  auto found = mIndex.find(object->GetShape());
  if (found == mIndex.end()) return false;
  cShapeEntry& entry = mEntries[found->second];
  const size_t slot = FindListing(entry, object);
  if (slot == cSceneObject::kNoSceneSlot) return false;
  entry.nodes[slot] = nullptr;
  --entry.live;
  object->mSceneSlot = cSceneObject::kNoSceneSlot;
  object->ReleaseSceneRef();
  if (entry.nodes.size() - entry.live > entry.live) Compact(entry);  // each squeeze is paid for by as many removals
  return true;
}

bool cSceneManager::ForgetShape(cISceneShape* shape) {
  auto found = mIndex.find(shape);
  if (found == mIndex.end()) return true;
  const size_t index = found->second;
  if (mEntries[index].live != 0) return false;  // holes left by removals do not count
  mEntries.erase(mEntries.begin() + static_cast<std::ptrdiff_t>(index));
  mIndex.erase(found);
  for (auto& [key, position] : mIndex)
    if (position > index) --position;
  return true;
}

uint32_t cSceneManager::GetObjectCount() const {
  size_t count = 0;
  for (const cShapeEntry& entry : mEntries) count += entry.live;
  return static_cast<uint32_t>(count);
}

uint32_t cSceneManager::GetObjectCount(cISceneShape* shape) const {
  auto found = mIndex.find(shape);
  return found == mIndex.end() ? 0 : static_cast<uint32_t>(mEntries[found->second].live);
}

void cSceneManager::SetHorizonCulled(cISceneShape* shape, float occluderRadius) {
  if (shape) EntryFor(shape).occluderRadius = occluderRadius;
}

// Minus the view's translation turned back by its rotation.
Ru::Math::Vector3 EyeOfView(const float m[16]) {
  Ru::Math::Vector3 eye;
  float* out[3] = {&eye.x, &eye.y, &eye.z};
  for (int k = 0; k < 3; ++k) *out[k] = -(m[k * 4 + 0] * m[12] + m[k * 4 + 1] * m[13] + m[k * 4 + 2] * m[14]);
  return eye;
}

Ru::Math::Vector3 EyeOfLoadedView() {
  GLfloat m[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, m);
  return EyeOfView(m);
}

// True when every point within `radius` of `p` is hidden by the ball of
// radius `ball` round the origin: the sight line from the eye to `p` passes
// deeper than `ball - radius` (a point within `radius` of `p` has a sight line
// at most `radius` away from it). An eye inside the ball hides nothing.
bool BehindBall(const Ru::Math::Vector3& eye, const Ru::Math::Vector3& p, float radius, float ball) {
  const float reach = ball - radius;
  if (!(reach > 0.0f)) return false;
  const float ex = eye.x, ey = eye.y, ez = eye.z;
  if (ex * ex + ey * ey + ez * ez <= ball * ball) return false;
  const float dx = p.x - ex, dy = p.y - ey, dz = p.z - ez;
  const float length2 = dx * dx + dy * dy + dz * dz;
  if (!(length2 > 0.0f)) return false;
  float t = -(ex * dx + ey * dy + ez * dz) / length2;
  t = t < 0.0f ? 0.0f : t > 1.0f ? 1.0f : t;
  const float cx = ex + t * dx, cy = ey + t * dy, cz = ez + t * dz;
  return cx * cx + cy * cy + cz * cz < reach * reach;
}

void cSceneManager::Render() {
  CompactAll();
  mLastCulled = 0;
  mLastDrawn.clear();
  bool eyeKnown = false;
  Ru::Math::Vector3 eye{};
  mDrawnGroups.clear();
  auto drawn = [](const cShapeEntry& entry) {
    return !entry.nodes.empty() && entry.shape && entry.shape->IsEnabled();
  };
  uint64_t unflushed = 0;  // triangles handed over since the renderer last had work to start on
  for (size_t e = 0; e < mEntries.size(); ++e) {
    if (!drawn(mEntries[e])) continue;
    // A shared batch is drawn whole where the scene first meets one of its
    // shapes: the entries after it that share it join it there.
    const void* group = mEntries[e].shape->GetBatchGroup();
    if (group) {
      if (std::find(mDrawnGroups.begin(), mDrawnGroups.end(), group) != mDrawnGroups.end()) continue;
      mDrawnGroups.push_back(group);
    }
    cISceneNode* leader = nullptr;
    cDrawTally& tally = mLastDrawn[mEntries[e].shape->GetTypeName()];
    const uint64_t before = tally.triangles;
    cDrawTally* outside = SetGLDrawTally(&tally);
    for (size_t k = e; k < mEntries.size(); ++k) {
      cShapeEntry& entry = mEntries[k];
      if (k != e && (!group || !drawn(entry) || entry.shape->GetBatchGroup() != group)) continue;
      const bool culled = !entry.shape->DrawsInKeptGroups(entry.occluderRadius) && entry.occluderRadius > 0.0f;
      if (culled && !eyeKnown) {
        eye = EyeOfLoadedView();
        eyeKnown = true;
      }
      const float radius = culled ? entry.shape->GetBoundingRadius() : 0.0f;
      for (cISceneNode* node : entry.nodes) {
        if (culled && BehindBall(eye, node->GetPosition(), radius, entry.occluderRadius)) {
          ++mLastCulled;
          continue;
        }
        if (!leader) {
          // Every batch starts unlit, whatever the batch before it left: shapes
          // that want lighting switch it on in BeginDraw.
          glDisable(GL_LIGHTING);
          leader = entry.nodes.front();
          leader->BeginBatch();
        }
        node->Draw();
      }
      if (!group) break;
    }
    if (leader) leader->EndBatch();
    SetGLDrawTally(outside);
    // A software renderer sets triangles up on this thread and fills their
    // pixels on its own threads from the flush on: handing over a big batch
    // at once lets them fill it while the next is set up, where otherwise
    // all the filling would wait for the frame's end.
    unflushed += tally.triangles - before;
    if (unflushed >= kFlushTriangles) {
      glFlush();
      unflushed = 0;
    }
  }
  GetSceneParticleManager().Draw();
}

void cSceneManager::Clear() {
  for (cShapeEntry& entry : mEntries)
    for (cISceneNode* node : entry.nodes)
      if (node) node->ReleaseSceneRef();
  mEntries.clear();
  mIndex.clear();
}

cISceneShape* cSceneManager::NthShapeWithObjects(int number) {
  int n = 0;
  for (cShapeEntry& entry : mEntries) {
    if (entry.live == 0) continue;
    if (n++ == number) return entry.shape;
  }
  return nullptr;
}
