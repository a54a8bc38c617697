// Feeds arbitrary bytes to the save-file loader with the application state,
// the backbone, the planet's plants, the creature records and a record type
// that reads every kind of value registered.
// Beyond "no crash, no out-of-bounds read", it checks the loader's promises: a
// refused file changes nothing, and an accepted one leaves exactly one live
// application state, one live backbone object and one planet placeholder, with
// every plant filed under exactly one patch.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/AppGlobals.h"
#include "app/AppState.h"
#include "modes/creature/CommonCreatureManager.h"
#include "platform/Sys.h"
#include "sim/gamedata/Backbone.h"
#include "sim/gamedata/DataManager.h"
#include "sim/gamedata/MemoryStream.h"
#include "world/planet/PlanetModel.h"

namespace {

struct cQuietSink : cISysMessageSink {
  SysAnswer OnMessageBox(const std::string&, const std::string&, SysBox) override { return SysAnswer::Ok; }
};

// A record of every value kind: u32, float, 3-vector, string, bounded C string.
struct cEveryValue : Ko::cGameData, Ko::cIGameDataSerializer, Ko::cIGameDataClient {
  static constexpr uint32_t kTypeId = 0x46555A5A;
  std::string text;
  Ko::cIGameData* Create() override { return new cEveryValue; }
  uint32_t GetTypeId() override { return kTypeId; }
  void Save(Ko::cIGameData*, cMemoryStream&, uint32_t) override {}
  void Load(Ko::cIGameData* object, cMemoryStream& stream, uint32_t) override {
    uint32_t word = stream.ReadUInt32Value();
    float value = stream.ReadFloatValue();
    Ru::Math::Vector3 v;
    stream.ReadVector3(&v);
    std::string s;
    stream.ReadString(s);
    char small[8];
    stream.ReadCString(small, sizeof small);
    if (stream.HasFailed()) return;
    static_cast<cEveryValue*>(object)->text = s + small + std::to_string(word + (uint32_t)(value == value));
  }
  void BeforeLoad() override {
    cDataManager* data = GetDataManager();
    for (Ko::cIGameData* object : data->GetObjectsOfType(kTypeId)) data->Remove(object);
  }
};

cQuietSink gSink;

cEveryValue& EveryValue() {
  static cEveryValue* instance = new cEveryValue;
  return *instance;
}

size_t Live(uint32_t typeId) { return GetDataManager()->GetObjectsOfType(typeId).size(); }

size_t FiledPlants() {
  size_t filed = 0;
  for (const cPlantPatch& patch : GetPlanetModel().GetPlantPatches()) filed += patch.plants.size();
  return filed;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  Sys_SetMessageSink(&gSink);
  if (!freopen("/dev/null", "w", stdout)) return 0;  // the load report is printed on every run
  cDataManager* data = GetDataManager();
  cAppState& appState = cAppState::GetStaticInstance();
  data->RegisterType(&appState, &appState);
  data->AddClient(&appState);
  gAppState = data->CreateObject<cAppState>();
  data->RegisterType(&EveryValue(), &EveryValue());
  data->AddClient(&EveryValue());
  GetBackboneManager()->Initialize();
  // A planet without terrain (the base radius everywhere) and a few plants.
  cPlanetModel& planet = GetPlanetModel();
  planet.RegisterWithDataManager();
  planet.BuildPlantPatches();
  for (float x : {-1.0f, 0.0f, 1.0f}) planet.CreatePlant(Ru::Math::Vector3{x * 300.0f, 400.0f, 0.0f});
  cCommonCreatureManager::Register();
  data->CommitPending();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  cDataManager* data = GetDataManager();
  uint32_t countBefore = data->GetObjectCount();
  int32_t pointsBefore = GetBackboneManager()->GetSocialPoints();
  size_t plantsBefore = GetPlanetModel().GetPlants().size();
  bool loaded = data->LoadFromBytes(bytes, size);
  data->CommitPending();
  if (!loaded && (data->GetObjectCount() != countBefore || GetBackboneManager()->GetSocialPoints() != pointsBefore ||
                  GetPlanetModel().GetPlants().size() != plantsBefore))
    abort();  // a refused file changed the game
  if (Live(kAppStateTypeId) != 1 || Live(cBackboneData::kTypeId) != 1 || Live(cPlanetSerializerProxy::kTypeId) != 1) abort();
  if (FiledPlants() != GetPlanetModel().GetPlants().size()) abort();
  // The creature manager keeps exactly the live creature records.
  if (Live(cCreatureCommon::kTypeId) != cCommonCreatureManager::Get()->GetCommons().size()) abort();
  return 0;
}
