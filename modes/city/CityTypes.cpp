// The city's 23 game-data classes, registered in the order of the city's type
// table. City objects are never written to save files, so every class gets
// the one serializer below, which writes and reads nothing; it lives for the
// whole run, so a mode built and destroyed in a test leaves nothing dangling.
#include <vector>

#include "modes/city/cCityGameMode.h"
#include "modes/city/citizens/CityCreatures.h"
#include "modes/city/economy/CityBuildingKinds.h"
#include "modes/city/economy/CityBundleContainers.h"
#include "modes/city/economy/CityGameRoad.h"
#include "modes/city/groups/CityGroups.h"
#include "modes/city/groups/CityRaidDisaster.h"
#include "modes/city/groups/CityRecruiting.h"
#include "modes/city/objects/CityGameCity.h"
#include "modes/city/objects/CityGameCityWalls.h"
#include "modes/civ/CivRecords.h"
#include "sim/gamedata/DataManager.h"

namespace {
class cCityNoSaveSerializer : public Ko::cIGameDataSerializer {
 public:
  void Load(Ko::cIGameData*, cMemoryStream&, uint32_t) override {}
  void Save(Ko::cIGameData*, cMemoryStream&, uint32_t) override {}
  const char* KindKeptOutOfSaves() const override { return "city"; }
};

template <class T>
Ko::cIGameData* Prototype() {
  static auto* prototype = new T;  // the data manager keeps a permanent reference
  return prototype;
}
}  // namespace

void RegisterCityGameTypes() {
  static auto* serializer = new cCityNoSaveSerializer;
  const std::vector<Ko::cIGameData*> prototypes = {
      Prototype<cCityGameCity>(),
      Prototype<cCityGamePlayerCreature>(),
      Prototype<cCityGameBuildingHouse>(),
      Prototype<cCityGameBuildingSilo>(),
      Prototype<cCityGameBuildingTemple>(),
      Prototype<cCityGameBuildingFactory>(),
      Prototype<cCityGameBuildingFarm>(),
      Prototype<cCityGameBuildingMarket>(),
      Prototype<cCityGameBuildingMilitary>(),
      Prototype<cCityGameRoad>(),
      Prototype<cCityGameCityWalls>(),
      Prototype<cCityGameFightGroup>(),
      Prototype<cCityGameProtestGroup>(),
      Prototype<cCityGameSingGroup>(),
      Prototype<cCityGameRaidDefenseGroup>(),
      Prototype<cCityGameParty>(),
      Prototype<cCityGameTribe>(),
      Prototype<cCityGameTribeCreature>(),
      Prototype<cCityGameRecruitDisaster>(),
      Prototype<cCityGameRecruitManager>(),
      Prototype<cCityGameBundleContainer>(),
      Prototype<cCityGameCityBundleContainer>(),
      Prototype<cCityGameRaidDisaster>(),
  };
  cDataManager* data = GetDataManager();
  for (Ko::cIGameData* prototype : prototypes)
    if (!data->IsTypeRegistered(prototype->GetTypeId())) data->RegisterType(prototype, serializer);
  RegisterCivRecordTypes();  // the hall and the buildings make their shared records
}
