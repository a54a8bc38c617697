// Intrusive reference counting shared by every game-data object and by the
// interaction agents. Objects delete themselves when their last reference goes.
#pragma once

#include <cstdint>

namespace Ru::COM {

// The four counting operations; the holder names who holds an owner reference
// (the data manager passes itself) and is informational only.
class IRefCount {
 public:
  virtual int AddRef() = 0;
  virtual int Release() = 0;  // 0 when the object deleted itself
  virtual int AddOwnerRef(const void* holder) = 0;
  virtual int ReleaseOwnerRef(const void* holder) = 0;  // 0 when the object deleted itself

 protected:
  virtual ~IRefCount() = default;
};

// Interface of the interaction agents: a cast by interface id plus release.
class IUnknown32 {
 public:
  virtual void* Cast(uint32_t interfaceId) = 0;  // null when the object does not offer it
  virtual int Release() = 0;

 protected:
  virtual ~IUnknown32() = default;
};

class IUnknown32RefCount : public IUnknown32 {
 public:
  virtual int AddRef() = 0;
};

}  // namespace Ru::COM

// The concrete counter embedded as a base of every game-data object. AddRef and
// Release go through the owner forms virtually, so a class that overrides the
// owner forms sees every count change.
class RefCount {
 public:
  RefCount() = default;
  RefCount(const RefCount&) = delete;
  RefCount& operator=(const RefCount&) = delete;
  virtual ~RefCount() = default;

  virtual int AddRef() { return AddOwnerRef(this); }
  virtual int Release() { return ReleaseOwnerRef(this); }
  virtual int AddOwnerRef(const void* /*holder*/) { return ++mCount; }
  virtual int ReleaseOwnerRef(const void* holder);  // deletes the object when the count reaches 0

  int GetRefCount() const { return mCount; }

 private:
  int32_t mCount = 0;
};
