#include "modes/city/groups/CityRecruitDisaster.h"

#include "modes/city/citizens/CityTribe.h"
#include "modes/city/objects/CityGameCity.h"
#include "modes/city/objects/CityObjectRegistry.h"

void cCityGameRecruitDisaster::Start(cCityGameCity* city, cCityGameTribe* tribe) {
  SetOwner(city);
  mTribeId = tribe ? tribe->GetId() : kNoCityId;
}

void cCityGameRecruitDisaster::Update(uint32_t) { GetCityObjectRegistry().QueueRemoval(this); }

void cCityGameRecruitDisaster::EndUsersInteractions() {
  cCityGameWorldObject::EndUsersInteractions();
  if (!mTribeTold)
    if (auto* tribe = dynamic_cast<cCityGameTribe*>(GetCityObjectRegistry().Find(mTribeId))) tribe->EndRecruiting();
  mTribeTold = true;
}
