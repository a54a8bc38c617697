// Making city objects: through the data manager by type id (the object is
// live at the next commit), then into the registry (at once), then, for the
// third form, held in the caller's handle. The caller initialises it.
#pragma once

#include "modes/city/objects/CityObjectRegistry.h"
#include "sim/gamedata/DataManager.h"

template <class T>
T* CreateCityObject() {
  return dynamic_cast<T*>(GetDataManager()->CreateObject(T::kTypeId));
}

template <class T>
T* CreateRegisteredCityObject() {
  T* object = CreateCityObject<T>();
  if (object) GetCityObjectRegistry().Add(object);
  return object;
}

template <class T>
T* CreateHeldCityObject(cCityObjectHandle& handle) {
  T* object = CreateRegisteredCityObject<T>();
  handle.object = object;
  handle.id = object ? object->GetId() : kNoCityId;
  return object;
}
