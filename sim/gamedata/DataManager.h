// The one registry of game-data objects: one prototype and one serializer per
// type id, the owner reference of every live object, the clients that hear of
// objects coming and going, and the save file that holds them all.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/Sys.h"
#include "sim/gamedata/GameData.h"
#include "sim/gamedata/MemoryStream.h"
#include "sim/gamedata/ObjectSlotTable.h"

class cDataManager {
 public:
  static constexpr uint32_t kSaveVersion = 9;
  // Every file written since the whole-file check exists carries it; from this
  // version on a file without a good check is damaged, never an older file.
  static constexpr uint32_t kFirstCheckedVersion = 9;
  static constexpr uint32_t kIdentChunkId = 0x5156524C;  // "QVRL"; "LRVQ" on disk
  // A full game saves a few thousand objects of well under a kilobyte each and
  // its plants at 28 bytes each: a few megabytes. 256 MB is far above any save
  // while refusing, before reading it, a file that would freeze the load.
  static constexpr size_t kMaxSaveFileBytes = Sys_FileBound(SysFileKind::Save);

  cDataManager() = default;
  cDataManager(const cDataManager&) = delete;
  cDataManager& operator=(const cDataManager&) = delete;
  ~cDataManager() = default;  // lists are freed, objects are not released (the process is ending)

  // An id already present keeps its first prototype and serializer. The
  // prototype gets a permanent reference so that a stray AddRef/Release pair
  // on it can never delete a static object.
  void RegisterType(Ko::cIGameData* prototype, Ko::cIGameDataSerializer* serializer);
  bool IsTypeRegistered(uint32_t typeId) const { return mPrototypes.count(typeId) != 0; }
  void AddClient(Ko::cIGameDataClient* client);  // no removal; the same client may stand twice

  // A new pending object with the manager's owner reference; null for an
  // unregistered id. Clients hear of it and queries list it after the next commit.
  Ko::cIGameData* CreateObject(uint32_t typeId);
  template <class T>
  T* CreateObject() {
    return dynamic_cast<T*>(CreateObject(T::kTypeId));
  }

  // Makes pending objects live in creation order, telling every client of each.
  // Clients may create or remove objects inside ObjectAdded.
  void CommitPending();
  // Live: clients hear ObjectRemoved, then it is marked dead and released.
  // Pending: released silently. Dead or unknown: nothing.
  void Remove(Ko::cIGameData* object);

  uint32_t GetObjectCount() const;  // pending plus live
  std::vector<Ko::cIGameData*> GetAllObjects() const;
  std::vector<Ko::cIGameData*> GetObjectsOfType(uint32_t typeId) const;

  // Writes every live object that has a serializer. A failure shows a
  // "Save Error" box, leaves any previous file intact and returns false.
  bool Save(const std::string& fileName);
  // Reads the file (or ".\Data\" + the name). The whole file is checked before
  // any client hears BeforeLoad: a bad file (not a regular file, too large, a
  // broken chain, a failed or missing whole-file check, a version newer than
  // this program's, an older file cut before its first record) shows a
  // "Load Error" box, changes nothing and returns false. Files of versions
  // before the check still load without it.
  bool Load(const std::string& fileName);
  // The same, with the caller's own step before the game changes (leaving its
  // mode): it runs only for a file that passed the check, before any client
  // hears BeforeLoad, and what it created is committed first.
  bool Load(const std::string& fileName, const std::function<void()>& aboutToChange);
  bool LoadFromBytes(const uint8_t* data, size_t size);  // the same, over bytes in memory
  // A client that repaired values or links during a load counts them here
  // (named in the debug window); the load's one report box gives the total
  // with the records it skipped. Repairs counted while a record's serializer
  // reads it belong to that record: they count only when the object is still
  // in the game at the end of the load, not when the record is refused or its
  // object removed on the way.
  void CountLoadRepair(const char* what, uint32_t count = 1);
  // A client that left items out of the load because the game holds no more
  // of them counts them here by kind; the report box says "<kind> Skipped: N".
  void CountLoadSkipped(const char* kind, uint32_t count);

  // Releases every object and forgets every type and client (tests only).
  // Pointers that clients cached (gAppState, backboneObject) are left for the
  // caller to clear.
  void ResetForTest();

 private:
  enum class eLoadCheck { Ok, BadMagic, NotQuorvel, BadChain, Damaged, NewerVersion };
  static eLoadCheck CheckFile(const uint8_t* data, size_t size);
  static void ShowLoadError(eLoadCheck problem, const std::string& refusal = "");  // refusal: a file over a save's bound
  bool LoadChecked(const uint8_t* data, size_t size, const std::function<void()>& aboutToChange = nullptr);
  void PrintPreloadReport() const;

  Ko::cIGameDataSerializer* FindSerializer(uint32_t typeId) const;
  // Tells every client of an object that becomes live (`announce` is
  // ObjectAdded or ObjectLoaded) and lists it, unless a client removed it.
  void Join(Ko::cIGameData* object, void (Ko::cIGameDataClient::*announce)(Ko::cIGameData*));

  void ForgetHeldRepairs(Ko::cIGameData* object);  // its record is not part of the loaded game
  uint32_t KeptHeldRepairs();                        // the held repairs of the objects still live; forgets them all

  void CompactObjects();  // closes the slots that removals left, keeping the order
  bool TakeOutOfLiveList(Ko::cIGameData* object);  // false when it is not live

  std::deque<Ko::cIGameData*> mPending;
  std::vector<Ko::cIGameData*> mObjects;  // live objects in order; null where one was removed since the last compaction
  tObjectSlotTable<Ko::cIGameData> mLiveSlots;  // where each live object stands in mObjects
  size_t mEmptySlots = 0;
  std::vector<Ko::cIGameDataClient*> mClients;
  std::map<uint32_t, Ko::cIGameData*> mPrototypes;
  std::map<uint32_t, Ko::cIGameDataSerializer*> mSerializers;

  // The object whose ObjectAdded calls are running; a Remove of it during
  // those calls is a removal of a live object.
  Ko::cIGameData* mCommitting = nullptr;
  bool mCommittingRemoved = false;
  std::vector<Ko::cIGameData*> mRemoving;  // live objects whose ObjectRemoved calls are running
  uint32_t mLoadRepairs = 0;  // counted by clients during the load in progress
  // The object whose record its serializer is reading, and the repairs made
  // to records so far, held (in file order) until the load ends.
  Ko::cIGameData* mReadingRecordOf = nullptr;
  struct sHeldRepairs {
    Ko::cIGameData* object;
    uint32_t count;
  };
  std::vector<sHeldRepairs> mHeldRepairs;
  std::vector<std::pair<std::string, uint32_t>> mLoadSkipped;  // by kind, in the order first counted
  cMemoryStream mSaveImage;  // the file being saved; its memory is kept for the next save
};

// The one instance, built on first use.
cDataManager* GetDataManager();
