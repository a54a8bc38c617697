// The save file: the chunk file header (version 9), the identification chunk
// "QUORVEL FILE", the whole-file check chunk, then one record per live object
// whose serializer wrote something, in live-list order.
#include <cstdio>

#include "glf/DebugWindow.h"
#include "platform/Sys.h"
#include "sim/gamedata/ChunkFile.h"
#include "sim/gamedata/DataManager.h"
#include "sim/gamedata/MemoryStream.h"
#include "sim/gamedata/SaveCheck.h"

static const char kIdentText[12] = {'Q', 'U', 'O', 'R', 'V', 'E', 'L', ' ', 'F', 'I', 'L', 'E'};

static void PutWord(std::vector<uint8_t>& out, uint32_t word) {
  for (int i = 0; i < 4; ++i) out.push_back((uint8_t)(word >> (8 * i)));
}

bool cDataManager::Save(const std::string& fileName) {
  CommitPending();  // objects created this frame belong in the file

  // Every record is made first, so the check chunk that precedes them can
  // hold their count and the CRC of the whole file.
  struct sRecord {
    uint32_t typeId;
    size_t at;
    uint32_t size;
  };
  std::vector<sRecord> records;
  std::vector<uint8_t> bodies;
  cMemoryStream stream;
  for (size_t i = 0; i < mObjects.size(); ++i) {
    Ko::cIGameData* object = mObjects[i];
    if (!object) continue;  // removed while an earlier object was saved
    uint32_t typeId = object->GetTypeId();
    Ko::cIGameDataSerializer* serializer = FindSerializer(typeId);
    if (!serializer) continue;
    serializer->Save(object, stream, kSaveVersion);
    if (stream.GetSize() > 0) {
      records.push_back({typeId, bodies.size(), stream.GetSize()});
      bodies.insert(bodies.end(), stream.GetData(), stream.GetData() + stream.GetSize());
    }
    stream.Clear();
  }

  std::vector<uint8_t> head;  // exactly what the chunk file writes before the check chunk
  PutWord(head, cChunkFile::kMagic);
  PutWord(head, kSaveVersion);
  PutWord(head, kIdentChunkId);
  PutWord(head, sizeof kIdentText);
  head.insert(head.end(), kIdentText, kIdentText + sizeof kIdentText);
  uint32_t crc = Crc32Update(0, head.data(), head.size());
  std::vector<uint8_t> recordHead;  // one buffer for every record's chunk header
  for (const sRecord& record : records) {
    recordHead.clear();
    PutWord(recordHead, record.typeId);
    PutWord(recordHead, record.size);
    crc = Crc32Update(crc, recordHead.data(), recordHead.size());
    crc = Crc32Update(crc, bodies.data() + record.at, record.size);
  }
  std::vector<uint8_t> check;
  PutWord(check, (uint32_t)records.size());
  PutWord(check, crc);

  cChunkFile file;
  if (!file.OpenWrite(fileName, kSaveVersion)) {
    Sys_MessageBox("Save Error", "Could Not Open File");
    return false;
  }
  file.WriteChunk(kIdentChunkId, sizeof kIdentText, kIdentText);
  file.WriteChunk(sSaveCheck::kChunkId, (uint32_t)check.size(), check.data());
  for (const sRecord& record : records) file.WriteChunk(record.typeId, record.size, bodies.data() + record.at);

  // Written to a temporary file and renamed over the target only when every
  // write and the sync succeeded: a full disk never costs the previous save.
  if (!file.Close()) {
    Sys_MessageBox("Save Error", "Could Not Write File");
    return false;
  }
  return true;
}

bool cDataManager::Load(const std::string& fileName) {
  CommitPending();

  cChunkFile file;
  if (!file.OpenRead(fileName, kMaxSaveFileBytes) && !file.OpenRead(".\\Data\\" + fileName, kMaxSaveFileBytes)) {
    ShowLoadError(eLoadCheck::BadMagic);
    return false;
  }
  return LoadChecked(file.Bytes().data(), file.Bytes().size());
}

bool cDataManager::LoadFromBytes(const uint8_t* data, size_t size) {
  CommitPending();
  return LoadChecked(data, size);
}

// Everything that can make a file unreadable is found here, before any client
// hears BeforeLoad and throws its objects away.
cDataManager::eLoadCheck cDataManager::CheckFile(const uint8_t* data, size_t size) {
  cChunkFile file;
  if (size > kMaxSaveFileBytes || !file.OpenReadBytes(data, size)) return eLoadCheck::BadMagic;
  if (file.AtEnd() || file.GetChunkId() != kIdentChunkId) return eLoadCheck::NotQuorvel;
  if (!file.IsChainComplete()) return eLoadCheck::BadChain;
  if (file.GetVersion() > kSaveVersion) return eLoadCheck::NewerVersion;
  switch (VerifySaveCheck(data, size)) {
    case eSaveCheckResult::Failed:
      return eLoadCheck::Damaged;
    case eSaveCheckResult::Absent:
      // Only an older file may lack the check, and even one of those always
      // held the application state: a file of no records at all was cut.
      file.SkipChunk();
      if (file.GetVersion() >= kFirstCheckedVersion || file.AtEnd()) return eLoadCheck::Damaged;
      break;
    case eSaveCheckResult::Good:
      break;
  }
  return eLoadCheck::Ok;
}

void cDataManager::CountLoadRepair(const char* what, uint32_t count) {
  if (count == 0) return;
  mLoadRepairs += count;
  DebugPrintf("Load: repaired %u: %s\n", count, what);
}

void cDataManager::ShowLoadError(eLoadCheck problem) {
  const char* text = "Invalid Quorvel File";
  if (problem == eLoadCheck::BadMagic) text = "Invalid Quorvel Save File";
  if (problem == eLoadCheck::Damaged) text = "Damaged Quorvel File";
  if (problem == eLoadCheck::NewerVersion) text = "Quorvel File From A Newer Version";
  Sys_MessageBox("Load Error", text);
}

void cDataManager::PrintPreloadReport() const {
  DebugPrintf("Data manager size after preload: %d", (int)GetObjectCount());
  for (Ko::cIGameData* object : mObjects)
    if (object) DebugPrintf("%x", object->GetTypeId());
  for (Ko::cIGameData* object : mPending) DebugPrintf("%x", object->GetTypeId());
}

bool cDataManager::LoadChecked(const uint8_t* data, size_t size) {
  eLoadCheck problem = CheckFile(data, size);
  if (problem != eLoadCheck::Ok) {
    ShowLoadError(problem);
    return false;
  }

  cChunkFile file;
  file.OpenReadBytes(data, size);
  file.SkipChunk();  // the identification chunk; its size and text are not examined

  mLoadRepairs = 0;
  for (size_t i = 0; i < mClients.size(); ++i) mClients[i]->BeforeLoad();
  CompactObjects();  // the clients have just removed what the file replaces
  PrintPreloadReport();

  int damaged = 0;
  cMemoryStream stream;
  while (!file.AtEnd()) {
    uint32_t typeId = file.GetChunkId();
    uint32_t bodySize = file.GetChunkSize();
    const uint8_t* body = file.GetChunkData();  // the chain was checked: always inside the file
    file.SkipChunk();
    auto prototype = mPrototypes.find(typeId);
    if (prototype == mPrototypes.end()) continue;
    if ((int32_t)bodySize <= 0 || !body) {  // this program never writes an empty record
      ++damaged;
      DebugPrintf("Load: record of type %x skipped: empty\n", typeId);
      continue;
    }

    Ko::cIGameData* object = prototype->second->Create();
    if (!object) continue;
    object->AddOwnerRef(this);
    stream.InitFromBytes(body, bodySize);
    if (Ko::cIGameDataSerializer* serializer = FindSerializer(typeId)) serializer->Load(object, stream, file.GetVersion());
    if (stream.HasFailed()) {
      // The serializer read past its record and applied nothing: the object
      // does not join the game and the player hears of it once.
      ++damaged;
      DebugPrintf("Load: record of type %x (%u bytes) skipped: %s\n", typeId, bodySize, stream.GetFailReason());
      object->ReleaseOwnerRef(this);
      continue;
    }
    // A client may remove the object while hearing of it, as during a commit.
    Join(object, &Ko::cIGameDataClient::ObjectLoaded);
  }

  for (size_t i = 0; i < mClients.size(); ++i) mClients[i]->AfterLoad();

  // One report of the whole load: records dropped here, repairs the clients counted.
  char text[96];
  if (damaged > 0 && mLoadRepairs > 0)
    std::snprintf(text, sizeof text, "Damaged Records Skipped: %d, Repairs Made: %u", damaged, mLoadRepairs);
  else if (damaged > 0)
    std::snprintf(text, sizeof text, "Damaged Records Skipped: %d", damaged);
  else if (mLoadRepairs > 0)
    std::snprintf(text, sizeof text, "Repairs Made: %u", mLoadRepairs);
  if (damaged > 0 || mLoadRepairs > 0) Sys_MessageBox("Load Error", text);
  mLoadRepairs = 0;
  return true;
}
