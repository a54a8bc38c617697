#include "sim/gamedata/DataManager.h"

#include <algorithm>

#include "sim/gamedata/SaveCheck.h"

cDataManager* GetDataManager() {
  static cDataManager* instance = new cDataManager;  // never destroyed: objects outlive static teardown
  return instance;
}

void cDataManager::RegisterType(Ko::cIGameData* prototype, Ko::cIGameDataSerializer* serializer) {
  if (!prototype || !serializer) return;
  uint32_t id = prototype->GetTypeId();
  if (mPrototypes.count(id)) return;  // the first registration stands
  if (id == kIdentChunkId || id == sSaveCheck::kChunkId) return;  // the file's own chunks, never records
  prototype->AddOwnerRef(this);
  mPrototypes[id] = prototype;
  mSerializers[id] = serializer;
}

void cDataManager::AddClient(Ko::cIGameDataClient* client) {
  if (client) mClients.push_back(client);
}

Ko::cIGameData* cDataManager::CreateObject(uint32_t typeId) {
  auto found = mPrototypes.find(typeId);
  if (found == mPrototypes.end()) return nullptr;
  Ko::cIGameData* object = found->second->Create();
  if (!object) return nullptr;
  mPending.push_back(object);
  object->AddOwnerRef(this);
  return object;
}

void cDataManager::CommitPending() {
  CompactObjects();
  // One object at a time from the front, so clients may create (appended to
  // the back and committed in this same pass) or remove pending objects.
  while (!mPending.empty()) {
    Ko::cIGameData* object = mPending.front();
    mPending.pop_front();
    Join(object, &Ko::cIGameDataClient::ObjectAdded);
  }
}

void cDataManager::Join(Ko::cIGameData* object, void (Ko::cIGameDataClient::*announce)(Ko::cIGameData*)) {
  // A client may remove this very object while hearing of it; the extra
  // reference keeps it valid until the last client has been told.
  object->AddRef();
  mCommitting = object;
  mCommittingRemoved = false;
  // Indexes, not iterators: a client may add another client.
  for (size_t i = 0; i < mClients.size() && !mCommittingRemoved; ++i) (mClients[i]->*announce)(object);
  mCommitting = nullptr;
  if (!mCommittingRemoved) {
    mLiveSlots.Set(object, mObjects.size());
    mObjects.push_back(object);
  }
  object->Release();
}

// Removal leaves an empty slot, so taking N objects out costs N, not N squared;
// the slots are closed up here, in one pass that keeps the order.
void cDataManager::CompactObjects() {
  if (mEmptySlots == 0) return;
  size_t kept = 0;
  for (Ko::cIGameData* object : mObjects) {
    if (!object) continue;
    *mLiveSlots.Find(object) = kept;
    mObjects[kept++] = object;
  }
  mObjects.resize(kept);
  mEmptySlots = 0;
}

bool cDataManager::TakeOutOfLiveList(Ko::cIGameData* object) {
  size_t* slot = mLiveSlots.Find(object);
  if (!slot) return false;
  mObjects[*slot] = nullptr;
  mLiveSlots.Erase(object);
  ++mEmptySlots;
  return true;
}

void cDataManager::Remove(Ko::cIGameData* object) {
  if (!object || object->IsDead()) return;

  bool live = false;
  if (mLiveSlots.Find(object)) {
    live = true;
  } else if (object == mCommitting && !mCommittingRemoved) {
    live = true;  // some clients have already heard ObjectAdded
  }

  if (live) {
    // A client that removes the same object again while hearing of it must
    // not start a second round of notifications.
    if (std::find(mRemoving.begin(), mRemoving.end(), object) != mRemoving.end()) return;
    mRemoving.push_back(object);
    if (!mHeldRepairs.empty()) ForgetHeldRepairs(object);  // removed during a load: not part of the loaded game
    for (size_t i = 0; i < mClients.size(); ++i) mClients[i]->ObjectRemoved(object);
    mRemoving.erase(std::find(mRemoving.begin(), mRemoving.end(), object));
    if (auto* gameData = dynamic_cast<Ko::cGameData*>(object)) gameData->MarkDead();
    TakeOutOfLiveList(object);
    if (object == mCommitting) mCommittingRemoved = true;
    object->ReleaseOwnerRef(this);
    return;
  }

  auto inPending = std::find(mPending.begin(), mPending.end(), object);
  if (inPending != mPending.end()) {
    mPending.erase(inPending);
    object->ReleaseOwnerRef(this);
  }
}

uint32_t cDataManager::GetObjectCount() const {
  size_t committing = (mCommitting && !mCommittingRemoved) ? 1 : 0;
  return (uint32_t)(mPending.size() + mLiveSlots.Size() + committing);
}

std::vector<Ko::cIGameData*> cDataManager::GetAllObjects() const {
  std::vector<Ko::cIGameData*> result;
  result.reserve(mLiveSlots.Size());
  for (Ko::cIGameData* object : mObjects)
    if (object) result.push_back(object);
  return result;
}

std::vector<Ko::cIGameData*> cDataManager::GetObjectsOfType(uint32_t typeId) const {
  std::vector<Ko::cIGameData*> result;
  for (Ko::cIGameData* object : mObjects)
    if (object && object->GetTypeId() == typeId) result.push_back(object);
  return result;
}

Ko::cIGameDataSerializer* cDataManager::FindSerializer(uint32_t typeId) const {
  auto found = mSerializers.find(typeId);
  return found == mSerializers.end() ? nullptr : found->second;
}

void cDataManager::ResetForTest() {
  while (!mPending.empty()) {
    Ko::cIGameData* object = mPending.back();
    mPending.pop_back();
    object->ReleaseOwnerRef(this);
  }
  while (!mObjects.empty()) {
    Ko::cIGameData* object = mObjects.back();
    mObjects.pop_back();
    if (!object) continue;
    if (auto* gameData = dynamic_cast<Ko::cGameData*>(object)) gameData->MarkDead();
    object->ReleaseOwnerRef(this);
  }
  // Prototypes keep their permanent reference: many are static objects.
  mPrototypes.clear();
  mSerializers.clear();
  mClients.clear();
  mLiveSlots.Clear();
  mEmptySlots = 0;
  mCommitting = nullptr;
  mCommittingRemoved = false;
  mReadingRecordOf = nullptr;
  mHeldRepairs.clear();
}
