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
  object->AddSceneRef();
  EntryFor(object->GetShape()).nodes.push_back(object);
  return true;
}

bool cSceneManager::RemoveObject(cISceneNode* node) {
  if (!node) return false;
  auto found = mIndex.find(node->GetShape());
  if (found == mIndex.end()) return false;
  std::vector<cISceneNode*>& nodes = mEntries[found->second].nodes;
  for (auto it = nodes.begin(); it != nodes.end(); ++it) {
    if (*it != node) continue;
    node->ReleaseSceneRef();
    nodes.erase(it);
    return true;
  }
  return false;
}

bool cSceneManager::ForgetShape(cISceneShape* shape) {
  auto found = mIndex.find(shape);
  if (found == mIndex.end()) return true;
  const size_t index = found->second;
  if (!mEntries[index].nodes.empty()) return false;
  mEntries.erase(mEntries.begin() + static_cast<std::ptrdiff_t>(index));
  mIndex.erase(found);
  for (auto& [key, position] : mIndex)
    if (position > index) --position;
  return true;
}

uint32_t cSceneManager::GetObjectCount() const {
  size_t count = 0;
  for (const cShapeEntry& entry : mEntries) count += entry.nodes.size();
  return static_cast<uint32_t>(count);
}

uint32_t cSceneManager::GetObjectCount(cISceneShape* shape) const {
  auto found = mIndex.find(shape);
  return found == mIndex.end() ? 0 : static_cast<uint32_t>(mEntries[found->second].nodes.size());
}

void cSceneManager::Render() {
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
    for (cISceneNode* node : entry.nodes) node->ReleaseSceneRef();
  mEntries.clear();
  mIndex.clear();
}

cISceneShape* cSceneManager::NthShapeWithObjects(int number) {
  int n = 0;
  for (cShapeEntry& entry : mEntries) {
    if (entry.nodes.empty()) continue;
    if (n++ == number) return entry.shape;
  }
  return nullptr;
}
