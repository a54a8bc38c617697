// The save file: the chunk file header (version 9), the identification chunk
// "QUORVEL FILE", the whole-file check chunk, then one record per live object
// whose serializer wrote something, in live-list order.
#include <cstddef>
#include <string>
#include <utility>

#include "glf/DebugWindow.h"
#include "platform/Sys.h"
#include "sim/gamedata/ChunkFile.h"
#include "sim/gamedata/DataManager.h"
#include "sim/gamedata/MemoryStream.h"
#include "sim/gamedata/SaveCheck.h"

static const char kIdentText[12] = {'Q', 'U', 'O', 'R', 'V', 'E', 'L', ' ', 'F', 'I', 'L', 'E'};

bool cDataManager::Save(const std::string& fileName) {
  CommitPending();  // objects created this frame belong in the file

  // The file after its 8-byte header is laid out in one buffer, each record
  // written in place behind a header whose size is filled in afterwards, so
  // the check chunk that precedes the records can hold their count and the
  // CRC of the whole file, and the file takes one write.
  cMemoryStream& image = mSaveImage;
  image.Clear();
  image.WriteUInt32Value(kIdentChunkId);
  image.WriteUInt32Value(sizeof kIdentText);
  image.WriteBytes(kIdentText, sizeof kIdentText);
  const uint32_t checkAt = image.GetSize();
  image.WriteUInt32Value(sSaveCheck::kChunkId);
  image.WriteUInt32Value(sSaveCheck::kBodySize);
  image.WriteUInt32Value(0);  // the record count and the CRC, filled in below
  image.WriteUInt32Value(0);
  const uint32_t recordsAt = image.GetSize();

  uint32_t recordCount = 0;
  uint32_t lastTypeId = 0;
  Ko::cIGameDataSerializer* serializer = nullptr;
  for (size_t i = 0; i < mObjects.size(); ++i) {
    Ko::cIGameData* object = mObjects[i];
    if (!object) continue;  // removed while an earlier object was saved
    uint32_t typeId = object->GetTypeId();
    if (typeId != lastTypeId || !serializer) {  // objects of a type mostly stand together
      serializer = FindSerializer(typeId);
      lastTypeId = typeId;
    }
    if (!serializer) continue;
    const uint32_t at = image.GetSize();
    const uint8_t recordHead[8] = {(uint8_t)typeId, (uint8_t)(typeId >> 8), (uint8_t)(typeId >> 16),
                                   (uint8_t)(typeId >> 24), 0, 0, 0, 0};  // the body's size, once it is written
    image.WriteBytes(recordHead, sizeof recordHead);
    serializer->Save(object, image, kSaveVersion);
    const uint32_t bodySize = image.GetSize() - at - 8;
    if (bodySize == 0) {
      image.Truncate(at);  // wrote nothing: no record
      continue;
    }
    image.PatchUInt32(at + 4, bodySize);
    ++recordCount;
  }

  uint8_t header[8];
  for (int i = 0; i < 4; ++i) {
    header[i] = (uint8_t)(cChunkFile::kMagic >> (8 * i));
    header[4 + i] = (uint8_t)(kSaveVersion >> (8 * i));
  }
  uint32_t crc = Crc32Update(0, header, sizeof header);
  crc = Crc32Update(crc, image.GetData(), checkAt);
  crc = Crc32Update(crc, image.GetData() + recordsAt, image.GetSize() - recordsAt);
  image.PatchUInt32(checkAt + 8, recordCount);
  image.PatchUInt32(checkAt + 12, crc);

  cChunkFile file;
  if (!file.OpenWrite(fileName, kSaveVersion)) {
    Sys_MessageBox("Save Error", "Could Not Open File");
    image.Clear();
    return false;
  }
  file.WriteChunks(image.GetData(), image.GetSize());
  image.Clear();

  // Written to a temporary file and renamed over the target only when every
  // write and the sync succeeded: a full disk never costs the previous save.
  if (!file.Close()) {
    Sys_MessageBox("Save Error", "Could Not Write File");
    return false;
  }
  return true;
}

bool cDataManager::Load(const std::string& fileName) { return Load(fileName, nullptr); }

bool cDataManager::Load(const std::string& fileName, const std::function<void()>& aboutToChange) {
  CommitPending();

  cChunkFile file;
  std::string refusal, refusalInData;
  if (!file.OpenRead(fileName, refusal) && !file.OpenRead(".\\Data\\" + fileName, refusalInData)) {
    ShowLoadError(eLoadCheck::BadMagic, refusal.empty() ? refusalInData : refusal);
    return false;
  }
  return LoadChecked(file.Data(), file.Size(), aboutToChange);
}

bool cDataManager::LoadFromBytes(const uint8_t* data, size_t size) {
  CommitPending();
  return LoadChecked(data, size);
}

// Everything that can make a file unreadable is found here, before any client
// hears BeforeLoad and throws its objects away.
cDataManager::eLoadCheck cDataManager::CheckFile(const uint8_t* data, size_t size) {
  cChunkFile file;
  if (size > kMaxSaveFileBytes || !file.OpenReadView(data, size)) return eLoadCheck::BadMagic;
  if (file.AtEnd() || file.GetChunkId() != kIdentChunkId) return eLoadCheck::NotQuorvel;
  // A good check has walked every record to the end of the file: only a file
  // without one needs the chain walked again to tell a broken chain apart.
  const eSaveCheckResult check = VerifySaveCheck(data, size);
  if (check != eSaveCheckResult::Good && !file.IsChainComplete()) return eLoadCheck::BadChain;
  if (file.GetVersion() > kSaveVersion) return eLoadCheck::NewerVersion;
  switch (check) {
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
  DebugPrintf("Load: repaired %u: %s\n", count, what);
  if (!mReadingRecordOf) {
    mLoadRepairs += count;
    return;
  }
  // A record's repairs are made while it is read, one record after another.
  if (mHeldRepairs.empty() || mHeldRepairs.back().object != mReadingRecordOf)
    mHeldRepairs.push_back({mReadingRecordOf, 0});
  mHeldRepairs.back().count += count;
}

void cDataManager::ForgetHeldRepairs(Ko::cIGameData* object) {
  for (size_t i = mHeldRepairs.size(); i-- > 0;) {
    if (mHeldRepairs[i].object != object) continue;
    DebugPrintf("Load: repairs not counted (%u): the record of type %x they mended was dropped\n",
                mHeldRepairs[i].count, object->GetTypeId());
    mHeldRepairs.erase(mHeldRepairs.begin() + (std::ptrdiff_t)i);
    return;
  }
}

// Every object whose record was dropped has had its repairs forgotten by now.
uint32_t cDataManager::KeptHeldRepairs() {
  uint32_t kept = 0;
  for (const sHeldRepairs& held : mHeldRepairs) kept += held.count;
  mHeldRepairs.clear();
  return kept;
}

void cDataManager::CountLoadSkipped(const char* kind, uint32_t count) {
  if (count == 0) return;
  for (auto& [counted, total] : mLoadSkipped)
    if (counted == kind) {
      total += count;
      return;
    }
  mLoadSkipped.emplace_back(kind, count);
}

void cDataManager::ShowLoadError(eLoadCheck problem, const std::string& refusal) {
  const char* text = "Invalid Quorvel File";
  if (problem == eLoadCheck::BadMagic) text = "Invalid Quorvel Save File";
  if (problem == eLoadCheck::Damaged) text = "Damaged Quorvel File";
  if (problem == eLoadCheck::NewerVersion) text = "Quorvel File From A Newer Version";
  Sys_MessageBox("Load Error", refusal.empty() ? std::string(text) : text + (": " + refusal));
}

void cDataManager::PrintPreloadReport() const {
  DebugPrintf("Data manager size after preload: %d", (int)GetObjectCount());
  for (Ko::cIGameData* object : mObjects)
    if (object) DebugPrintf("%x", object->GetTypeId());
  for (Ko::cIGameData* object : mPending) DebugPrintf("%x", object->GetTypeId());
}

bool cDataManager::LoadChecked(const uint8_t* data, size_t size, const std::function<void()>& aboutToChange) {
  eLoadCheck problem = CheckFile(data, size);
  if (problem != eLoadCheck::Ok) {
    ShowLoadError(problem);
    return false;
  }
  // Only a good file gets this far: now the caller may leave its mode, and
  // whatever that made is live before the clients hear BeforeLoad.
  if (aboutToChange) {
    aboutToChange();
    CommitPending();
  }

  cChunkFile file;
  file.OpenReadView(data, size);
  file.SkipChunk();  // the identification chunk; its size and text are not examined

  mLoadRepairs = 0;
  mLoadSkipped.clear();
  for (size_t i = 0; i < mClients.size(); ++i) mClients[i]->BeforeLoad();
  CompactObjects();  // the clients have just removed what the file replaces
  PrintPreloadReport();

  // A checked file names its record count: room for them all at once.
  if (file.GetChunkId() == sSaveCheck::kChunkId && file.GetChunkSize() == sSaveCheck::kBodySize && file.GetChunkData()) {
    const uint8_t* count = file.GetChunkData();
    size_t records = (size_t)count[0] | (size_t)count[1] << 8 | (size_t)count[2] << 16 | (size_t)count[3] << 24;
    mObjects.reserve(mObjects.size() + records);
    mLiveSlots.Reserve(mLiveSlots.Size() + records);
  }

  int damaged = 0;
  cMemoryStream stream;
  uint32_t lastTypeId = 0;
  Ko::cIGameData* prototype = nullptr;  // of lastTypeId; records of a type mostly stand together
  Ko::cIGameDataSerializer* serializer = nullptr;
  while (!file.AtEnd()) {
    uint32_t typeId = file.GetChunkId();
    uint32_t bodySize = file.GetChunkSize();
    const uint8_t* body = file.GetChunkData();  // the chain was checked: always inside the file
    file.SkipChunk();
    if (!prototype || typeId != lastTypeId) {
      auto found = mPrototypes.find(typeId);
      prototype = found == mPrototypes.end() ? nullptr : found->second;
      serializer = FindSerializer(typeId);
      lastTypeId = typeId;
    }
    if (!prototype) continue;
    // No game writes records of this type: the file was damaged or made elsewhere.
    if (const char* kind = serializer ? serializer->KindKeptOutOfSaves() : nullptr) {
      ++damaged;
      DebugPrintf("Load: record of type %x skipped: a %s record, which no saved game holds\n", typeId, kind);
      continue;
    }
    if ((int32_t)bodySize <= 0 || !body) {  // this program never writes an empty record
      ++damaged;
      DebugPrintf("Load: record of type %x skipped: empty\n", typeId);
      continue;
    }

    Ko::cIGameData* object = prototype->Create();
    if (!object) continue;
    object->AddOwnerRef(this);
    stream.InitFromBytes(body, bodySize);
    mReadingRecordOf = object;
    if (serializer) serializer->Load(object, stream, file.GetVersion());
    mReadingRecordOf = nullptr;
    if (stream.HasFailed()) {
      // The serializer read past its record and applied nothing: the object
      // does not join the game and the player hears of it once.
      ++damaged;
      DebugPrintf("Load: record of type %x (%u bytes) skipped: %s\n", typeId, bodySize, stream.GetFailReason());
      ForgetHeldRepairs(object);
      object->ReleaseOwnerRef(this);
      continue;
    }
    // A client may remove the object while hearing of it, as during a commit.
    Join(object, &Ko::cIGameDataClient::ObjectLoaded);
  }

  for (size_t i = 0; i < mClients.size(); ++i) mClients[i]->AfterLoad();
  mLoadRepairs += KeptHeldRepairs();

  // One report of the whole load: records dropped here, items the clients
  // skipped, repairs the clients counted.
  std::string text;
  auto add = [&text](const std::string& part) { text += (text.empty() ? "" : ", ") + part; };
  if (damaged > 0) add("Damaged Records Skipped: " + std::to_string(damaged));
  for (const auto& [kind, count] : mLoadSkipped) add(kind + " Skipped: " + std::to_string(count));
  if (mLoadRepairs > 0) add("Repairs Made: " + std::to_string(mLoadRepairs));
  if (!text.empty()) Sys_MessageBox("Load Error", text);
  mLoadRepairs = 0;
  mLoadSkipped.clear();
  return true;
}
