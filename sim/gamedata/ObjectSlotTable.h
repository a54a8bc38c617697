// Where each live object stands in the data manager's list: a pointer-keyed
// table with open addressing in one array, so joining an object allocates no
// node (a load joins every object of the file). Looked up only, never walked:
// its order can never reach the game.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

template <class Key>
class tObjectSlotTable {
 public:
  size_t Size() const { return mUsed; }

  // The slot of `key`, or null.
  size_t* Find(const Key* key) {
    if (mUsed == 0) return nullptr;
    for (size_t at = Home(key);; at = Next(at)) {
      if (mEntries[at].key == key) return &mEntries[at].slot;
      if (!mEntries[at].key) return nullptr;
    }
  }

  void Set(const Key* key, size_t slot) {
    if (!key) return;  // null marks a free entry
    if ((mUsed + 1) * 4 > mEntries.size() * 3) Grow(mUsed + 1);
    size_t at = Home(key);
    while (mEntries[at].key && mEntries[at].key != key) at = Next(at);
    if (!mEntries[at].key) ++mUsed;
    mEntries[at] = {key, slot};
  }

  bool Erase(const Key* key) {
    if (mUsed == 0 || !key) return false;
    size_t at = Home(key);
    while (mEntries[at].key != key) {
      if (!mEntries[at].key) return false;
      at = Next(at);
    }
    // Backward shift: every later entry of the run that could stand in the
    // gap moves into it, so no tombstone ever lengthens a search.
    size_t gap = at;
    for (size_t next = Next(gap); mEntries[next].key; next = Next(next)) {
      size_t home = Home(mEntries[next].key);
      bool homeInGapToNext = gap <= next ? (home > gap && home <= next) : (home > gap || home <= next);
      if (homeInGapToNext) continue;  // it must stay after its home
      mEntries[gap] = mEntries[next];
      gap = next;
    }
    mEntries[gap] = {};
    --mUsed;
    return true;
  }

  // Room for `count` keys without growing.
  void Reserve(size_t count) {
    if (count * 4 > mEntries.size() * 3) Grow(count);
  }

  void Clear() {
    mEntries.clear();
    mUsed = 0;
  }

 private:
  struct sEntry {
    const Key* key = nullptr;
    size_t slot = 0;
  };

  // The address modulo a prime: objects made one after another land in
  // neighbouring entries, so walking them in creation order (a save, a load,
  // a removal of all) walks the table in order, and no allocation stride
  // crowds a few entries as it would modulo a power of two.
  size_t Home(const Key* key) const { return (size_t)((uintptr_t)key / alignof(void*) % mEntries.size()); }
  size_t Next(size_t at) const { return at + 1 == mEntries.size() ? 0 : at + 1; }

  void Grow(size_t count) {
    static const size_t kPrimes[] = {17, 37, 67, 131, 257, 521, 1031, 2053, 4099, 8209, 16411, 32771, 65537,
                                     131101, 262147, 524309, 1048583, 2097169, 4194319, 8388617, 16777259,
                                     33554467, 67108879, 134217757, 268435459, 536870923, 1073741827};
    size_t size = 0;
    for (size_t prime : kPrimes)
      if (prime * 3 >= count * 4 && prime > mEntries.size()) {
        size = prime;
        break;
      }
    if (size == 0) {  // beyond any game: plain odd sizes
      size = mEntries.size() * 2 + 1;
      while (size * 3 < count * 4) size = size * 2 + 1;
    }
    std::vector<sEntry> old;
    old.swap(mEntries);
    mEntries.assign(size, sEntry{});
    mUsed = 0;
    for (const sEntry& entry : old)
      if (entry.key) Set(entry.key, entry.slot);
  }

  std::vector<sEntry> mEntries;  // at most three quarters used
  size_t mUsed = 0;
};
