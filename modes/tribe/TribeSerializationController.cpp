#include "modes/tribe/TribeSerializationController.h"

#include <algorithm>
#include <cstdio>
#include <set>

#include "glf/DebugWindow.h"
#include "math/Math.h"
#include "modes/creature/CommonCreatureManager.h"
#include "modes/creature/CreatureCommon.h"
#include "modes/tribe/Tribe.h"
#include "modes/tribe/TribeCreature.h"
#include "modes/tribe/TribeGround.h"
#include "modes/tribe/TribeHerd.h"
#include "modes/tribe/TribeHut.h"
#include "modes/tribe/TribeObjectController.h"
#include "modes/tribe/TribeRecordFields.h"
#include "modes/tribe/TribeTool.h"
#include "modes/tribe/cTribeGameMode.h"
#include "platform/Sys.h"
#include "sim/behavior/BehaviorController.h"
#include "sim/gamedata/DataManager.h"
#include "sim/gamedata/MemoryStream.h"
#include "world/planet/PlanetModel.h"
#include "world/scene/SceneManager.h"
#include "world/scene/SceneObject.h"
#include "world/scene/SolidShapes.h"

using Ru::Math::Vector3;

cTribeSerializationController::cTribeSerializationController(cTribeGameMode* mode) : mMode(mode) { RegisterTypes(); }

namespace {
// One prototype of each saved class for the whole run, built on first use
// (the data manager keeps a reference on each and never lets it go), so a
// mode made again, as in the tests, registers the same five.
struct sTribePrototypes {
  cTribeCreature* creature = new cTribeCreature();
  cTribeHut* hut = new cTribeHut();
  cTribe* tribe = MakeTribePrototype();
  cTribeTool* tool = new cTribeTool();
  cTribeHerd* herd = new cTribeHerd();

  // Any tribe makes a hut, the prototype too: that one is not part of the game.
  static cTribe* MakeTribePrototype() {
    cTribe* tribe = new cTribe();
    if (cTribeHut* hut = tribe->GetHut()) {
      tribe->SetHut(nullptr);
      hut->GiveBackId();
      GetDataManager()->Remove(hut);
    }
    return tribe;
  }
};

const sTribePrototypes& TribePrototypes() {
  static const sTribePrototypes* prototypes = new sTribePrototypes();
  return *prototypes;
}
}  // namespace

void cTribeSerializationController::RegisterTypes() {
  cDataManager* data = GetDataManager();
  const sTribePrototypes& prototypes = TribePrototypes();
  data->RegisterType(prototypes.creature, this);
  data->RegisterType(prototypes.hut, this);
  data->RegisterType(prototypes.tribe, this);
  data->RegisterType(prototypes.tool, this);
  data->RegisterType(static_cast<Ko::cGameData*>(prototypes.herd), this);
}

// ---- saving ----

void cTribeSerializationController::Save(Ko::cIGameData* object, cMemoryStream& stream, uint32_t version) {
  switch (object->GetTypeId()) {
    case cTribeCreature::kTypeId:
      if (auto* creature = dynamic_cast<cTribeCreature*>(object)) SaveCreature(creature, stream, version);
      break;
    case cTribeHut::kTypeId:
      if (auto* hut = dynamic_cast<cTribeHut*>(object)) SaveHut(hut, stream, version);
      break;
    case cTribe::kTypeId:
      if (auto* tribe = dynamic_cast<cTribe*>(object)) SaveTribe(tribe, stream, version);
      break;
    case cTribeTool::kTypeId:
      if (auto* tool = dynamic_cast<cTribeTool*>(object)) SaveTool(tool, stream, version);
      break;
    case cTribeHerd::kTypeId:
      if (auto* herd = dynamic_cast<cTribeHerd*>(object)) SaveHerd(herd, stream, version);
      break;
    default:
      break;
  }
}

void cTribeSerializationController::SaveCreature(cTribeCreature* creature, cMemoryStream& stream, uint32_t version) {
  if (!creature->GetCommon()) return;  // no body to come back to: no record
  stream.WriteUInt32Value(creature->GetCommon()->GetId());
  creature->Write(stream, version);
}

void cTribeSerializationController::SaveHut(cTribeHut* hut, cMemoryStream& stream, uint32_t version) {
  stream.WriteUInt32Value(hut->GetId());
  hut->Write(stream, version);
}

void cTribeSerializationController::SaveTribe(cTribe* tribe, cMemoryStream& stream, uint32_t version) {
  // Hut ids start at 1, so 0 stands for "no hut" and the loader gives the tribe a new one.
  stream.WriteUInt32Value(tribe->GetHut() ? tribe->GetHut()->GetId() : 0);
  uint32_t members = 0;
  for (cTribeCreature* member : tribe->GetMembers())
    if (member->GetCommon()) ++members;
  stream.WriteUInt32Value(members);
  for (cTribeCreature* member : tribe->GetMembers())
    if (member->GetCommon()) stream.WriteUInt32Value(member->GetCommon()->GetId());
  stream.WriteUInt32Value((uint32_t)tribe->GetTools().size());
  for (cTribeTool* tool : tribe->GetTools()) stream.WriteUInt32Value(tool->GetId());
  tribe->Write(stream, version);
}

void cTribeSerializationController::SaveTool(cTribeTool* tool, cMemoryStream& stream, uint32_t version) {
  stream.WriteUInt32Value(tool->GetId());
  tool->Write(stream, version);
}

void cTribeSerializationController::SaveHerd(cTribeHerd* herd, cMemoryStream& stream, uint32_t version) {
  herd->Write(stream, version);
}

// ---- loading, one chunk at a time ----

// A refused record changes nothing outside the object, which the data manager
// then lets go. The scene objects that hold references on it go first, and a
// creature leaves the behaviour controller that its factory joined it to.
static void UndoRefusedObject(Ko::cIGameData* object) {
  if (auto* creature = dynamic_cast<cTribeCreature*>(object)) GetBehaviorController().RemoveAgent(creature);
  if (auto* hut = dynamic_cast<cTribeHut*>(object)) hut->ReleaseSceneObject();
  if (auto* tool = dynamic_cast<cTribeTool*>(object)) tool->ReleaseSceneObject();
  if (auto* herd = dynamic_cast<cTribeHerd*>(object)) herd->ReleaseSceneObjects();
}

// Far more of each kind than any game holds, and few enough that a file
// repeating one record thousands of times cannot slow every frame to a crawl.
static uint32_t MostRecordsOfType(uint32_t typeId) {
  switch (typeId) {
    case cTribe::kTypeId:
    case cTribeHut::kTypeId:
      return 64;
    case cTribeHerd::kTypeId:
      return 256;
    default:
      return 4096;  // creatures and tools
  }
}

void cTribeSerializationController::Load(Ko::cIGameData* object, cMemoryStream& stream, uint32_t version) {
  mLoadVersion = version;
  uint32_t& seen = mRecordsOfType[object->GetTypeId()];
  if (++seen > MostRecordsOfType(object->GetTypeId())) {
    if (seen == MostRecordsOfType(object->GetTypeId()) + 1)
      DebugPrintf("Tribe load: more than %u records of type %x; the rest are dropped\n",
                  MostRecordsOfType(object->GetTypeId()), object->GetTypeId());
    ++mLastRepairs.recordsOverLimit;
    stream.MarkFailed("beyond the limit of its kind");
    UndoRefusedObject(object);
    return;
  }
  bool accepted = true;
  switch (object->GetTypeId()) {
    case cTribeCreature::kTypeId:
      if (auto* creature = dynamic_cast<cTribeCreature*>(object)) accepted = LoadCreature(creature, stream, version);
      break;
    case cTribeHut::kTypeId:
      if (auto* hut = dynamic_cast<cTribeHut*>(object)) accepted = LoadHut(hut, stream, version);
      break;
    case cTribe::kTypeId:
      if (auto* tribe = dynamic_cast<cTribe*>(object)) accepted = LoadTribe(tribe, stream, version);
      break;
    case cTribeTool::kTypeId:
      if (auto* tool = dynamic_cast<cTribeTool*>(object)) accepted = LoadTool(tool, stream, version);
      break;
    case cTribeHerd::kTypeId:
      if (auto* herd = dynamic_cast<cTribeHerd*>(object)) accepted = LoadHerd(herd, stream, version);
      break;
    default:
      break;
  }
  if (!accepted || stream.HasFailed()) {
    stream.MarkFailed("the wrong length");  // a reason given on the way stays
    UndoRefusedObject(object);
  }
}

// Every record's length follows from the version and its counts; any other
// length is damage, found before a single value is used.
static bool RecordIs(cMemoryStream& stream, uint64_t bytes) { return stream.GetRemaining() == bytes; }

bool cTribeSerializationController::LoadCreature(cTribeCreature* creature, cMemoryStream& stream, uint32_t version) {
  if (!RecordIs(stream, 4 + (version >= 2 ? 8 : 0))) return false;
  const uint32_t commonId = stream.ReadUInt32Value();
  creature->Read(stream, version);
  if (stream.HasFailed()) return false;
  // Two creatures cannot wear one body.
  for (const sLoadedCreature& loaded : mCreatureCommonIds)
    if (loaded.commonId == commonId) return AcceptRecord(stream, false, "a body another creature wears");
  mCreatureCommonIds.push_back({creature, commonId});
  return true;
}

// The hut's drawn cube, in the rival tribes' colour until the player's tribe is
// known, standing where a hut placed in play stands (its place is the ground point).
static void GiveHutSceneObject(cTribeHut* hut, cTribeObjectController* world) {
  auto* object = new cSceneObject(hut, world ? static_cast<cISceneShape*>(world->GetHutShape()) : nullptr);
  object->SetColour(cTribeObjectController::kNpcColour);
  object->SetPosition(HutStandPoint(hut->GetPositionVector()));
  object->SetOrientation(hut->GetOrientation());
  hut->SetSceneObject(object);
  GetSceneManager().AddObject(object);
}

bool cTribeSerializationController::LoadHut(cTribeHut* hut, cMemoryStream& stream, uint32_t version) {
  if (!RecordIs(stream, 4 + cTribeHut::kOwnPartBytes)) return false;
  const uint32_t id = stream.ReadUInt32Value();
  hut->Read(stream, version);
  if (stream.HasFailed()) return false;
  if (mHutsById.count(id)) return AcceptRecord(stream, false, "a repeated hut id");
  hut->SetId(id);
  GiveHutSceneObject(hut, mMode ? mMode->GetObjectController() : nullptr);
  mHutsById[id] = hut;
  mHutsInFileOrder.push_back(hut);
  return true;
}

// `count` ids of 4 bytes, followed by at least `after` more bytes.
static bool ReadIdList(cMemoryStream& stream, uint32_t count, uint64_t after, std::vector<uint32_t>& out) {
  if (count > cTribeSerializationController::kMaxListCount || 4ull * count + after > stream.GetRemaining()) return false;
  out.resize(count);
  for (uint32_t& id : out) stream.ReadUInt32(&id);
  return !stream.HasFailed();
}

// The member and tool lists, or false when their counts do not fit the record.
static bool ReadTribeLists(cMemoryStream& stream, uint32_t version, uint32_t ownBytes, std::vector<uint32_t>& members,
                           std::vector<uint32_t>& tools) {
  const uint32_t toolCountBytes = version >= 5 ? 4 : 0;
  if (!ReadIdList(stream, stream.ReadUInt32Value(), toolCountBytes + ownBytes, members)) return false;
  if (version >= 5 && !ReadIdList(stream, stream.ReadUInt32Value(), ownBytes, tools)) return false;
  return stream.GetRemaining() == ownBytes;
}

// The hut id leads the record and the tribe's own values end it, so both are
// read even when a damaged count hides where the lists end: the tribe keeps
// its place (the first is the player's), its hut, food and progress, and
// takes back afterwards the members and tools no tribe lists.
bool cTribeSerializationController::LoadTribe(cTribe* tribe, cMemoryStream& stream, uint32_t version) {
  const uint32_t ownBytes = cTribe::OwnPartBytes(version);
  const uint32_t toolCountBytes = version >= 5 ? 4 : 0;
  if (stream.GetRemaining() < 8ull + toolCountBytes + ownBytes) return false;
  const uint32_t size = stream.GetSize();
  sLoadedTribe loaded{tribe, stream.ReadUInt32Value(), {}, {}};
  if (!ReadTribeLists(stream, version, ownBytes, loaded.memberIds, loaded.toolIds)) {
    loaded.memberIds.clear();
    loaded.toolIds.clear();
    loaded.listsLost = true;
    GetDataManager()->CountLoadRepair("tribe member or tool count beyond the record");
    cMemoryStream own;
    own.InitFromBytes(stream.GetData() + size - ownBytes, ownBytes);
    tribe->Read(own, version);
  } else {
    tribe->Read(stream, version);
  }
  if (stream.HasFailed()) return false;
  // The hut the tribe made for itself is replaced by the file's.
  if (cTribeHut* own = tribe->GetHut()) {
    tribe->SetHut(nullptr);
    own->SetTribe(nullptr);
    own->ReleaseSceneObject();
    own->GiveBackId();
    GetDataManager()->Remove(own);
  }
  mTribes.push_back(std::move(loaded));
  return true;
}

bool cTribeSerializationController::LoadTool(cTribeTool* tool, cMemoryStream& stream, uint32_t version) {
  const bool hasId = version >= 5;
  if (!RecordIs(stream, (hasId ? 4 : 0) + cTribeTool::kOwnPartBytes)) return false;
  const uint32_t id = hasId ? stream.ReadUInt32Value() : 0;
  tool->Read(stream, version);
  if (stream.HasFailed()) return false;
  if (hasId && mToolsById.count(id)) return AcceptRecord(stream, false, "a repeated tool id");
  if (hasId) {
    tool->SetId(id);
    mToolsById[id] = tool;
  }
  mToolsInFileOrder.push_back(tool);
  return true;
}

bool cTribeSerializationController::LoadHerd(cTribeHerd* herd, cMemoryStream& stream, uint32_t version) {
  if (!RecordIs(stream, cTribeHerd::OwnPartBytes(version))) return false;
  herd->Read(stream, version);
  if (stream.HasFailed()) return false;
  if (mMode && mMode->GetObjectController()) mMode->GetObjectController()->AppendHerd(herd);
  return true;
}

// ---- the notices around a load ----

void cTribeSerializationController::ObjectLoaded(Ko::cIGameData* object) {
  if (object->GetTypeId() != cCreatureCommon::kTypeId) return;
  auto* common = dynamic_cast<cCreatureCommon*>(object);
  if (!common) return;
  mCommonsInFileOrder.push_back(common);
  mCommonsById.emplace(common->GetId(), common);  // the first of a repeated id keeps it
}

void cTribeSerializationController::BeforeLoad() {
  ForgetLoad();
  mLastRepairs = sRepairs{};  // counting starts here: records beyond the limits are met while reading
  if (mMode && mMode->GetObjectController()) mMode->GetObjectController()->Clear();
}

void cTribeSerializationController::AfterLoad() {
  LinkCreatures();
  LinkTribes();
  AttachTools();
  RemoveStrayHuts();
  ReleaseUnworeBodies();
  ReportRepairs();
  ForgetLoad();
}

// A creature that will not join the world: out of the behaviour controller
// and the data manager, with its body record when it has one.
static void DropLoadedCreature(cTribeCreature* creature, cCreatureCommon* common) {
  GetBehaviorController().RemoveAgent(creature);
  if (common) cCommonCreatureManager::Get()->ReleaseCommon(common);
  GetDataManager()->Remove(creature);
}

// Creatures find their body records; those without one are dropped. The
// tribes then claim their members, and a creature no tribe lists is dropped
// with its body. The rest join the world in file order.
void cTribeSerializationController::LinkCreatures() {
  for (const sLoadedCreature& loaded : mCreatureCommonIds) {
    if (mCommonsById.count(loaded.commonId)) {
      mCreaturesByCommonId[loaded.commonId] = loaded.creature;
    } else {
      DropLoadedCreature(loaded.creature, nullptr);
      ++mLastRepairs.creaturesWithoutRecord;
    }
  }
  std::set<uint32_t> claimed;
  for (sLoadedTribe& tribe : mTribes) {
    std::vector<uint32_t> known;
    for (uint32_t id : tribe.memberIds) {
      if (mCreaturesByCommonId.count(id) && claimed.insert(id).second) {
        known.push_back(id);
        continue;
      }
      ++mLastRepairs.unknownMembers;
      // A member whose creature record was lost leaves a body record behind
      // that would otherwise stand in the scene and go into every later save.
      auto body = mCommonsById.find(id);
      if (body != mCommonsById.end() && !mCreaturesByCommonId.count(id)) {
        cCommonCreatureManager::Get()->ReleaseCommon(body->second);
        mCommonsById.erase(body);
      }
    }
    tribe.memberIds.swap(known);
  }
  cTribeObjectController* world = mMode ? mMode->GetObjectController() : nullptr;
  sLoadedTribe* adopter = TribeWithListsLost();
  for (const sLoadedCreature& loaded : mCreatureCommonIds) {
    auto found = mCreaturesByCommonId.find(loaded.commonId);
    if (found == mCreaturesByCommonId.end() || found->second != loaded.creature) continue;
    cCreatureCommon* common = mCommonsById[loaded.commonId];
    if (!claimed.count(loaded.commonId) && adopter) {
      adopter->memberIds.push_back(loaded.commonId);
      claimed.insert(loaded.commonId);
      ++mLastRepairs.membersTakenBack;
    }
    if (!claimed.count(loaded.commonId)) {
      mCreaturesByCommonId.erase(found);
      DropLoadedCreature(loaded.creature, common);
      ++mLastRepairs.creaturesWithoutTribe;
      continue;
    }
    loaded.creature->SetCommon(common);
    loaded.creature->RefreshRoleModel();
    if (world) world->AppendCreature(loaded.creature);
  }
}

// A new hut on the ground under the tribe's first member, for a tribe whose
// hut the file lost.
static cTribeHut* MakeReplacementHut(cTribe* tribe, cTribeObjectController* world) {
  auto* hut = dynamic_cast<cTribeHut*>(GetDataManager()->CreateObject(cTribeHut::kTypeId));
  if (!hut) return nullptr;
  Vector3 ground = tribe->GetMembers().front()->GetPositionVector();
  // A member the file put at the centre has no ground under it: the north pole serves.
  if (GetPlanetModel().CheckSavedPoint(ground) == cPlanetModel::eSavedPoint::AtCentre) ground = Vector3{0.0f, 1.0f, 0.0f};
  GetPlanetModel().ProjectToSurface(ground, ground);
  hut->SetPosition(ground);
  GiveHutSceneObject(hut, world);
  return hut;
}

// Each tribe takes its hut (or a new one when the file has none for it) and
// its members, in file order; the first tribe of the file is the player's.
void cTribeSerializationController::LinkTribes() {
  cTribeObjectController* world = mMode ? mMode->GetObjectController() : nullptr;
  std::set<uint32_t> claimedHuts;
  for (sLoadedTribe& loaded : mTribes) {
    cTribe* tribe = loaded.tribe;
    cTribeHut* hut = nullptr;
    auto found = mHutsById.find(loaded.hutId);
    if (found != mHutsById.end() && claimedHuts.insert(loaded.hutId).second) hut = found->second;
    if (!hut && loaded.memberIds.empty()) {
      // Nothing to place a hut by and no one to live in it.
      loaded.dropped = true;
      ++mLastRepairs.tribesDropped;
      GetDataManager()->Remove(tribe);
      continue;
    }
    for (uint32_t id : loaded.memberIds) tribe->AddMember(mCreaturesByCommonId[id]);
    if (!hut) {
      hut = MakeReplacementHut(tribe, world);
      ++mLastRepairs.tribesWithoutHut;
    }
    // A body the file put at the planet's centre stands at its tribe's hut.
    for (cTribeCreature* member : tribe->GetMembers())
      if (hut && member->GetCommon() && Ru::Math::Vector3Length(member->GetCommon()->GetObjectPosition()) < 1.0f)
        member->GetCommon()->SetObjectPosition(hut->GetPositionVector());
    tribe->SetHut(hut);
    if (hut) hut->SetTribe(tribe);
    if (world) world->AppendTribe(tribe);
  }
  if (!world) return;
  if (!world->GetTribes().empty()) world->SetPlayerTribe(world->GetTribes().front());
  if (cTribe* player = world->GetPlayerTribe()) player->SetColour(cTribeObjectController::kPlayerColour);
  // Bodies come back in the creature mode's colour; every member takes its tribe's.
  for (cTribe* tribe : world->GetTribes())
    for (cTribeCreature* member : tribe->GetMembers()) member->SetColour(*tribe->GetColour());
}

// Tools go to the tribes that list them. Files before version 5 carry no tool
// ids: their tools all belonged to the player's tribe. In newer files a tool
// no tribe lists is removed.
void cTribeSerializationController::AttachTools() {
  std::set<uint32_t> claimed;
  for (const sLoadedTribe& loaded : mTribes) {
    if (loaded.dropped) continue;
    for (uint32_t id : loaded.toolIds) {
      auto found = mToolsById.find(id);
      if (found == mToolsById.end() || !claimed.insert(id).second) {
        ++mLastRepairs.unknownTools;
        continue;
      }
      loaded.tribe->AppendTool(found->second);
    }
  }
  cTribeObjectController* world = mMode ? mMode->GetObjectController() : nullptr;
  cTribe* player = world ? world->GetPlayerTribe() : nullptr;
  sLoadedTribe* adopter = TribeWithListsLost();
  for (cTribeTool* tool : mToolsInFileOrder) {
    if (mLoadVersion >= 5 && claimed.count(tool->GetId())) continue;
    if (mLoadVersion < 5 && player) {
      player->AppendTool(tool);
      continue;
    }
    if (adopter && !adopter->dropped) {
      adopter->tribe->AppendTool(tool);
      ++mLastRepairs.toolsTakenBack;
      continue;
    }
    tool->ReleaseSceneObject();
    GetDataManager()->Remove(tool);
    ++mLastRepairs.strayTools;
  }
}

void cTribeSerializationController::RemoveStrayHuts() {
  for (cTribeHut* hut : mHutsInFileOrder) {
    if (hut->GetTribe()) continue;
    hut->ReleaseSceneObject();
    GetDataManager()->Remove(hut);
    ++mLastRepairs.strayHuts;
  }
}

cTribeSerializationController::sLoadedTribe* cTribeSerializationController::TribeWithListsLost() {
  for (sLoadedTribe& loaded : mTribes)
    if (loaded.listsLost) return &loaded;
  return nullptr;
}

// A body no linked creature wears (its creature was lost, or its id repeats
// one already worn) would stand in the scene and go into every later save.
// Bodies belong to tribe members only: no other mode saves creatures.
void cTribeSerializationController::ReleaseUnworeBodies() {
  std::set<cCreatureCommon*> worn;
  for (const auto& entry : mCreaturesByCommonId)
    if (entry.second->GetCommon()) worn.insert(entry.second->GetCommon());
  const std::vector<cCreatureCommon*>& kept = cCommonCreatureManager::Get()->GetCommons();
  for (cCreatureCommon* common : mCommonsInFileOrder) {
    if (worn.count(common) || std::find(kept.begin(), kept.end(), common) == kept.end()) continue;
    cCommonCreatureManager::Get()->ReleaseCommon(common);
    ++mLastRepairs.bodiesReleased;
  }
}

void cTribeSerializationController::ReportRepairs() {
  const sRepairs& r = mLastRepairs;
  if (r.Total() == 0 && r.recordsOverLimit == 0) return;
  DebugPrintf(
      "Tribe load: %u creatures without a body record, %u without a tribe, %u tribes given a new hut, %u dropped, "
      "%u unknown members, %u unknown tools, %u stray tools, %u stray huts, %u bodies nobody wore, "
      "%u members and %u tools taken back, %u records beyond the limit of their kind\n",
      r.creaturesWithoutRecord, r.creaturesWithoutTribe, r.tribesWithoutHut, r.tribesDropped, r.unknownMembers,
      r.unknownTools, r.strayTools, r.strayHuts, r.bodiesReleased, r.membersTakenBack, r.toolsTakenBack,
      r.recordsOverLimit);
  // Records beyond the limit are already among the load's skipped records.
  GetDataManager()->CountLoadRepair("tribe links", r.Total());
}

void cTribeSerializationController::ForgetLoad() {
  mRecordsOfType.clear();
  mCommonsInFileOrder.clear();
  mCreatureCommonIds.clear();
  mTribes.clear();
  mToolsInFileOrder.clear();
  mCommonsById.clear();
  mCreaturesByCommonId.clear();
  mHutsById.clear();
  mToolsById.clear();
  mHutsInFileOrder.clear();
}
