// A tribe's recruiting drive near the city. Until recruiting is built it
// ends at its first update and tells its tribe, so the tribe rests and may
// send raiders or recruiters again.
#pragma once

#include "modes/city/objects/CityGameObject.h"

class cCityGameCity;
class cCityGameTribe;

class cCityGameRecruitDisaster
    : public tCityGameClass<cCityGameRecruitDisaster, cCityGameWorldObject, 0x4F4C0E21> {
 public:
  void Start(cCityGameCity* city, cCityGameTribe* tribe);
  void SetRecruiterCount(int count) { mRecruiterCount = count; }
  int GetRecruiterCount() const { return mRecruiterCount; }
  void Update(uint32_t ms) override;  // ends the drive
  void EndUsersInteractions() override;  // tells the tribe, found by id

 private:
  uint32_t mTribeId = kNoCityId;
  bool mTribeTold = false;
  int mRecruiterCount = 0;
};
