#include "sim/gamedata/RefCount.h"

// Out of line on purpose: inlined into callers that hold a secondary-base
// pointer, the compiler misreads the virtual `delete this` as freeing a
// non-heap address and warns.
int RefCount::ReleaseOwnerRef(const void* /*holder*/) {
  if (--mCount == 0) {
    delete this;  // virtual: destroys the whole most-derived object
    return 0;
  }
  return mCount;
}
