// The civ lists hold a reference on each game-data object they list. Taking
// objects out of the game goes in one order everywhere: out of the list
// first (so a removal notice no longer finds them there), then out of the
// data manager, then the list's reference is dropped.
#pragma once

#include <vector>

#include "sim/gamedata/DataManager.h"

template <class T, class Pred>
int RemoveFromGame(std::vector<T*>& list, Pred doomed) {
  std::vector<T*> kept, gone;
  for (T* object : list) (doomed(object) ? gone : kept).push_back(object);
  list.swap(kept);
  for (T* object : gone) {
    GetDataManager()->Remove(object);
    object->Release();
  }
  return (int)gone.size();
}

template <class T>
int RemoveAllFromGame(std::vector<T*>& list) {
  return RemoveFromGame(list, [](T*) { return true; });
}
