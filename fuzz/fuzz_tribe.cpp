// Feeds the tribe loader arbitrary chunk bodies: the input is a file version
// (first byte) and then records, each a kind byte (creature body record,
// tribe creature, hut, tribe, tool, herd), a length byte and that many body
// bytes. They are framed as a save file of that version and loaded into a
// tribe world.
// Beyond "no crash, no out-of-bounds read", it checks what the loader
// promises after any file: every tribe has a hut that points back at it,
// every creature of the world has a body record and a tribe, and the data
// manager holds exactly the tribes, huts, tools, creatures and herds that the
// world lists (nothing refused or unlinked is left behind).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/AppGlobals.h"
#include "modes/creature/CommonCreatureManager.h"
#include "modes/tribe/Tribe.h"
#include "modes/tribe/TribeCreature.h"
#include "modes/tribe/TribeHerd.h"
#include "modes/tribe/TribeHut.h"
#include "modes/tribe/TribeObjectController.h"
#include "modes/tribe/TribeTool.h"
#include "modes/tribe/cTribeGameMode.h"
#include "platform/Sys.h"
#include "sim/gamedata/DataManager.h"

namespace {

struct cQuietSink : cISysMessageSink {
  SysAnswer OnMessageBox(const std::string&, const std::string&, SysBox) override { return SysAnswer::Ok; }
};

cQuietSink gSink;

const uint32_t kKinds[] = {cCreatureCommon::kTypeId, cTribeCreature::kTypeId, cTribeHut::kTypeId,
                           cTribe::kTypeId,          cTribeTool::kTypeId,     cTribeHerd::kTypeId};

void PutWord(std::string& out, uint32_t word) {
  for (int i = 0; i < 4; ++i) out.push_back((char)(word >> (8 * i)));
}

size_t Live(uint32_t typeId) { return GetDataManager()->GetObjectsOfType(typeId).size(); }

void CheckWorld() {
  cTribeObjectController* world = gTribeGameMode->GetObjectController();
  size_t tools = 0;
  for (cTribe* tribe : world->GetTribes()) {
    cTribeHut* hut = tribe->GetHut();
    if (!hut || hut->GetTribe() != tribe || !hut->GetSceneObject()) abort();
    for (cTribeCreature* member : tribe->GetMembers())
      if (member->GetTribe() != tribe) abort();
    tools += tribe->GetTools().size();
  }
  for (cTribeCreature* creature : world->GetCreatures())
    if (!creature->GetCommon() || !creature->GetTribe()) abort();
  if (Live(cTribe::kTypeId) != world->GetTribes().size() || Live(cTribeHut::kTypeId) != world->GetTribes().size() ||
      Live(cTribeTool::kTypeId) != tools || Live(cTribeCreature::kTypeId) != world->GetCreatures().size() ||
      Live(cTribeHerd::kTypeId) != world->GetHerds().size())
    abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  Sys_SetMessageSink(&gSink);
  if (!freopen("/dev/null", "w", stdout)) return 0;  // the load report is printed on every run
  // In start-up's order: the modes hear of a load before the creature records do.
  gTribeGameMode = new cTribeGameMode();  // registers the tribe types
  GetDataManager()->AddClient(gTribeGameMode);
  cCommonCreatureManager::Register();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  if (size < 1) return 0;
  std::string file = "KNHC";
  PutWord(file, bytes[0] % 9);
  file += "LRVQ";
  PutWord(file, 12);
  file += "QUORVEL FILE";
  for (size_t at = 1; at + 2 <= size;) {
    const uint32_t kind = kKinds[bytes[at] % 6];
    size_t length = bytes[at + 1];
    at += 2;
    if (length > size - at) length = size - at;
    PutWord(file, kind);
    PutWord(file, (uint32_t)length);
    file.append((const char*)bytes + at, length);
    at += length;
  }
  cDataManager* data = GetDataManager();
  data->LoadFromBytes((const uint8_t*)file.data(), file.size());
  data->CommitPending();
  CheckWorld();
  return 0;
}
