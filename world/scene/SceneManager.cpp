#include "world/scene/SceneManager.h"

#include <GL/gl.h>

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

void cSceneManager::Render() {
  CompactAll();
  for (cShapeEntry& entry : mEntries) {
    if (entry.nodes.empty() || !entry.shape || !entry.shape->IsEnabled()) continue;
    // Every batch starts unlit, whatever the batch before it left: shapes
    // that want lighting switch it on in BeginDraw.
    glDisable(GL_LIGHTING);
    entry.nodes.front()->BeginBatch();
    for (cISceneNode* node : entry.nodes) node->Draw();
    entry.nodes.front()->EndBatch();
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
