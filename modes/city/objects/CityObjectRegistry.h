// The city's world list: every city object under a small id given in
// creation order. Walks go in id order, so every run updates and draws the
// same objects in the same order. Objects that end during the update are
// queued and removed after it; a removal first ends every behaviour that
// targets the object. The registry holds no reference: the data manager's
// keeps each object alive.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "modes/city/objects/CityGameObject.h"

class cCityGameObjectRegistry {
 public:
  uint32_t Add(cCityGameObject* object);  // returns the next id to be given
  void InsertWithId(uint32_t id, cCityGameObject* object);  // nothing when the id is taken
  cCityGameObject* Find(uint32_t id) const;
  cCityGameWorldObject* FindCityWorldObject(uint32_t id) const;

  void QueueRemoval(cCityGameObject* object);  // once; removed after the current update
  void RemoveNow(cCityGameObject* object);

  // Update on every object in id order, objects added on the way included,
  // then the queued removals.
  void UpdateAll(uint32_t ms);
  void DrawAll();
  void EnterAll();
  void LeaveAll();
  void ResolveAllLinks();
  void Clear();  // every object leaves; ids start again at 0

  // In id order. Each class's list is kept until objects are added or
  // removed: creatures ask for them every frame, and with tens of thousands
  // of objects a walk of the whole registry per question stopped the game.
  template <class T>
  void CollectObjectsOfClass(std::vector<T*>& out) const {
    const std::vector<T*>& objects = ObjectsOfClass<T>();
    out.insert(out.end(), objects.begin(), objects.end());
  }
  template <class T>
  int CountObjectsOfClass() const {
    return (int)ObjectsOfClass<T>().size();
  }
  // The kept list itself, for the hottest walks: it holds until the next
  // object is added or removed, so nothing may be made or removed while it is walked.
  template <class T>
  const std::vector<T*>& ObjectsOfClass() const {
    struct sList {
      uint64_t serial = 0, changes = 0;
      std::vector<T*> objects;
    };
    static auto* list = new sList;  // one per class, never destroyed
    if (list->serial != mSerial || list->changes != mChanges) {
      list->serial = mSerial;
      list->changes = mChanges;
      list->objects.clear();
      for (const auto& [id, object] : mObjects)
        if (T* wanted = dynamic_cast<T*>(object)) list->objects.push_back(wanted);
    }
    return list->objects;
  }

  size_t GetCount() const { return mObjects.size(); }
  uint32_t GetNextId() const { return mNextId; }
  bool IsQueued(cCityGameObject* object) const;
  bool IsClearing() const { return mClearing; }  // every object is leaving (a load, a reset)

 private:
  template <class tCall>
  void ForEachInIdOrder(tCall call);
  void FlushRemovals();
  void Erase(cCityGameObject* object);  // out of the map, behaviours ended, out of the data manager

  std::map<uint32_t, cCityGameObject*> mObjects;
  std::vector<cCityGameObject*> mRemovalQueue;
  uint32_t mNextId = 0;
  bool mClearing = false;
  uint64_t mChanges = 0;  // insertions and erasures, so a walk knows when to find its place again
  const uint64_t mSerial = NextSerial();  // which registry a class list was taken from

  static uint64_t NextSerial() {
    static uint64_t serial = 0;
    return ++serial;
  }
};

cCityGameObjectRegistry& GetCityObjectRegistry();  // built on first use, lives until exit

// An object that has left the game: removed from the data manager, or out of
// the registry (an object removed before it was ever committed is not marked dead).
bool HasLeftTheGame(cCityGameObject* object);
