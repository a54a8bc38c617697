// The persistent object model: every object that goes into a save file is a
// reference-counted game-data object with a fixed 32-bit type id and a factory.
#pragma once

#include <cstdint>

#include "sim/gamedata/RefCount.h"

class cMemoryStream;

namespace Ko {

class cIGameData : public Ru::COM::IRefCount {
 public:
  virtual bool IsDead() = 0;
  // Returns a fresh object of the same concrete class with count 0; the caller
  // takes the first reference.
  virtual cIGameData* Create() = 0;
  // Fixed per class: it is the key of the class in the data manager and the
  // chunk id of its records in save files, so it never changes.
  virtual uint32_t GetTypeId() = 0;
};

// Base class of all persistent objects. The reference operations forward to
// the embedded counter; `dead` is set only by the data manager's removal.
class cGameData : public cIGameData, public RefCount {
 public:
  int AddRef() override { return RefCount::AddRef(); }
  int Release() override { return RefCount::Release(); }
  int AddOwnerRef(const void* holder) override { return RefCount::AddOwnerRef(holder); }
  int ReleaseOwnerRef(const void* holder) override { return RefCount::ReleaseOwnerRef(holder); }
  bool IsDead() override { return mDead; }

  void MarkDead() { mDead = true; }  // the data manager's removal; nothing clears it

 protected:
  ~cGameData() override = default;

 private:
  bool mDead = false;
};

// Reads and writes one type's records. Load must read exactly what Save wrote
// for the version concerned. A short record makes the stream's reads yield zero
// and sets its failure flag: a Load should read into locals, test
// stream.HasFailed() and change nothing when it is set. The data manager then
// drops the object. Save may write nothing, which means "no record".
class cIGameDataSerializer {
 public:
  virtual ~cIGameDataSerializer() = default;
  virtual void Load(cIGameData* object, cMemoryStream& stream, uint32_t version) = 0;
  virtual void Save(cIGameData* object, cMemoryStream& stream, uint32_t version) = 0;
  // A serializer that writes nothing for any of its types (their objects are
  // never kept in save files) names what they are, e.g. "civ". A record of
  // such a type found in a file is foreign to it: the loader skips it as damage.
  virtual const char* KindKeptOutOfSaves() const { return nullptr; }
};

// Hears of objects becoming live, going away and being loaded. Clients live as
// long as the program; calls come in registration order.
class cIGameDataClient {
 public:
  virtual ~cIGameDataClient() = default;
  virtual void ObjectAdded(cIGameData* /*object*/) {}
  virtual void ObjectRemoved(cIGameData* /*object*/) {}
  virtual void ObjectLoaded(cIGameData* /*object*/) {}
  virtual void BeforeLoad() {}  // remove the objects the file will replace
  virtual void AfterLoad() {}   // rebuild links; create what the file lacked
};

}  // namespace Ko
