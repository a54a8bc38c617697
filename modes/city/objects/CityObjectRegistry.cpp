#include "modes/city/objects/CityObjectRegistry.h"

#include <algorithm>

#include "sim/gamedata/DataManager.h"

cCityGameObjectRegistry& GetCityObjectRegistry() {
  static auto* registry = new cCityGameObjectRegistry;  // never destroyed: nothing at exit reaches a freed one
  return *registry;
}

uint32_t cCityGameObjectRegistry::Add(cCityGameObject* object) {
  if (!object) return mNextId;
  object->SetRegistryId(mNextId);
  mObjects[mNextId] = object;
  ++mChanges;
  return ++mNextId;
}

void cCityGameObjectRegistry::InsertWithId(uint32_t id, cCityGameObject* object) {
  if (!object || mObjects.count(id)) return;
  mObjects[id] = object;
  ++mChanges;
  if (id >= mNextId) mNextId = id + 1;
  object->SetRegistryId(id);
}

cCityGameObject* cCityGameObjectRegistry::Find(uint32_t id) const {
  auto found = mObjects.find(id);
  return found == mObjects.end() ? nullptr : found->second;
}

cCityGameWorldObject* cCityGameObjectRegistry::FindCityWorldObject(uint32_t id) const {
  return dynamic_cast<cCityGameWorldObject*>(Find(id));
}

bool cCityGameObjectRegistry::IsQueued(cCityGameObject* object) const { return object && object->mQueuedForRemoval; }

// The flag, not a search of the queue: a frame that ends thousands of objects
// stays linear. The queue keeps the order they were queued in.
void cCityGameObjectRegistry::QueueRemoval(cCityGameObject* object) {
  if (!object || object->mQueuedForRemoval) return;
  object->mQueuedForRemoval = true;
  mRemovalQueue.push_back(object);
}

void cCityGameObjectRegistry::Erase(cCityGameObject* object) {
  auto found = mObjects.find(object->GetId());
  if (found != mObjects.end() && found->second == object) {
    mObjects.erase(found);
    ++mChanges;
  }
  object->EndUsersInteractions();
  GetDataManager()->Remove(object);
}

void cCityGameObjectRegistry::RemoveNow(cCityGameObject* object) {
  if (!object) return;
  // A queued object removed now must not be touched again by the flush.
  if (object->mQueuedForRemoval) {
    object->mQueuedForRemoval = false;
    mRemovalQueue.erase(std::remove(mRemovalQueue.begin(), mRemovalQueue.end(), object), mRemovalQueue.end());
  }
  Erase(object);
}

// When a call added or removed objects, the next one is found again by id,
// so objects made (with higher ids) or removed on the way never upset the walk.
template <class tCall>
void cCityGameObjectRegistry::ForEachInIdOrder(tCall call) {
  for (auto it = mObjects.begin(); it != mObjects.end();) {
    const uint32_t id = it->first;
    const uint64_t changes = mChanges;
    call(it->second);
    if (changes == mChanges) ++it;
    else it = mObjects.upper_bound(id);
  }
}

void cCityGameObjectRegistry::FlushRemovals() {
  // Removals may queue further removals; they go in the same flush.
  for (size_t i = 0; i < mRemovalQueue.size(); ++i) {
    mRemovalQueue[i]->mQueuedForRemoval = false;  // as before: a later queueing queues it again
    Erase(mRemovalQueue[i]);
  }
  mRemovalQueue.clear();
}

void cCityGameObjectRegistry::UpdateAll(uint32_t ms) {
  ForEachInIdOrder([ms](cCityGameObject* object) { object->Update(ms); });
  FlushRemovals();
}

void cCityGameObjectRegistry::DrawAll() {
  ForEachInIdOrder([](cCityGameObject* object) { object->Draw(); });
}

void cCityGameObjectRegistry::EnterAll() {
  ForEachInIdOrder([](cCityGameObject* object) { object->OnModeEnter(); });
}

void cCityGameObjectRegistry::LeaveAll() {
  ForEachInIdOrder([](cCityGameObject* object) { object->OnModeLeave(); });
}

void cCityGameObjectRegistry::ResolveAllLinks() {
  ForEachInIdOrder([](cCityGameObject* object) { object->ResolveLinks(); });
}

void cCityGameObjectRegistry::Clear() {
  mClearing = true;
  ForEachInIdOrder([](cCityGameObject* object) { object->EndUsersInteractions(); });
  // A queued object is removed below with the rest; it must not be touched after.
  for (cCityGameObject* queued : mRemovalQueue) queued->mQueuedForRemoval = false;
  mRemovalQueue.clear();
  while (!mObjects.empty()) {
    cCityGameObject* first = mObjects.begin()->second;
    mObjects.erase(mObjects.begin());
    ++mChanges;
    GetDataManager()->Remove(first);
  }
  mNextId = 0;
  mClearing = false;
}

bool HasLeftTheGame(cCityGameObject* object) {
  return object->IsDead() || GetCityObjectRegistry().Find(object->GetId()) != object;
}
