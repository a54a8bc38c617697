// The one serializer of the tribe world's saved records (creatures, huts,
// tribes, tools, herds) and its data-manager client. Objects arrive from the
// file one chunk at a time and refer to each other by id; the loader keeps
// those ids, in file order, and links the objects when the whole file has
// been read. Damaged records (too short, too long, counts that do not fit,
// values that are not finite) are refused whole; links to objects the file
// does not hold are dropped or repaired after the load and reported once.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "sim/gamedata/GameData.h"

class cCreatureCommon;
class cTribe;
class cTribeCreature;
class cTribeGameMode;
class cTribeHerd;
class cTribeHut;
class cTribeTool;

class cTribeSerializationController : public Ko::cIGameDataSerializer, public Ko::cIGameDataClient {
 public:
  // Keeps the mode (its object controller receives what is loaded) and
  // registers the five types. The mode passes its data-manager notices
  // (ObjectLoaded, BeforeLoad, AfterLoad) on to the controller.
  explicit cTribeSerializationController(cTribeGameMode* mode);
  ~cTribeSerializationController() override = default;

  // Creature, hut, tribe, tool, herd, in that order, with this controller as
  // their serializer. The hut comes before the tribe because any tribe, the
  // prototype too, makes a hut; the prototype's is removed again.
  void RegisterTypes();

  void Save(Ko::cIGameData* object, cMemoryStream& stream, uint32_t version) override;
  void Load(Ko::cIGameData* object, cMemoryStream& stream, uint32_t version) override;

  void ObjectLoaded(Ko::cIGameData* object) override;  // notes every creature body record by id
  void BeforeLoad() override;                          // empties the tribe world
  void AfterLoad() override;                           // links, repairs, reports, forgets

  // What the last AfterLoad had to drop or repair (for the one report and for tests).
  struct sRepairs {
    uint32_t creaturesWithoutRecord = 0;  // dropped
    uint32_t tribesWithoutHut = 0;        // given a new hut
    uint32_t creaturesWithoutTribe = 0;   // no tribe listed them; dropped with their body record
    uint32_t tribesDropped = 0;           // neither hut nor members
    uint32_t unknownMembers = 0;          // member ids with no creature (its body record goes), or one already placed; skipped
    uint32_t unknownTools = 0;            // tool ids with no tool, or one already placed; skipped
    uint32_t strayTools = 0;              // tools no tribe listed (files of version 5 on); removed
    uint32_t strayHuts = 0;               // huts no tribe claimed; removed
    uint32_t bodiesReleased = 0;          // body records no linked creature wears; released
    uint32_t membersTakenBack = 0;        // unlisted creatures given to a tribe whose lists were unreadable
    uint32_t toolsTakenBack = 0;          // unlisted tools given to that tribe
    uint32_t recordsOverLimit = 0;        // records beyond the limit of their kind; skipped (not in Total)
    uint32_t Total() const {
      return creaturesWithoutRecord + tribesWithoutHut + creaturesWithoutTribe + tribesDropped + unknownMembers +
             unknownTools + strayTools + strayHuts + bodiesReleased + membersTakenBack + toolsTakenBack;
    }
  };
  const sRepairs& GetLastRepairs() const { return mLastRepairs; }

  // Counts above this are damage whatever the record size says (a tribe never
  // has this many members or tools).
  static constexpr uint32_t kMaxListCount = 4096;

 private:
  void SaveCreature(cTribeCreature* creature, cMemoryStream& stream, uint32_t version);
  void SaveHut(cTribeHut* hut, cMemoryStream& stream, uint32_t version);
  void SaveTribe(cTribe* tribe, cMemoryStream& stream, uint32_t version);
  void SaveTool(cTribeTool* tool, cMemoryStream& stream, uint32_t version);
  void SaveHerd(cTribeHerd* herd, cMemoryStream& stream, uint32_t version);
  bool LoadCreature(cTribeCreature* creature, cMemoryStream& stream, uint32_t version);
  bool LoadHut(cTribeHut* hut, cMemoryStream& stream, uint32_t version);
  bool LoadTribe(cTribe* tribe, cMemoryStream& stream, uint32_t version);
  bool LoadTool(cTribeTool* tool, cMemoryStream& stream, uint32_t version);
  bool LoadHerd(cTribeHerd* herd, cMemoryStream& stream, uint32_t version);
  void LinkCreatures();
  void LinkTribes();
  void AttachTools();
  void RemoveStrayHuts();
  void ReleaseUnworeBodies();
  void ReportRepairs();
  void ForgetLoad();

  cTribeGameMode* mMode;

  // Read during a load, in file order (never in pointer order, which changes
  // from run to run); empty outside a load.
  struct sLoadedCreature {
    cTribeCreature* creature;
    uint32_t commonId;
  };
  struct sLoadedTribe {
    cTribe* tribe;
    uint32_t hutId;
    std::vector<uint32_t> memberIds;  // body record ids, in member order
    std::vector<uint32_t> toolIds;    // in tool order
    bool dropped = false;
    bool listsLost = false;  // a count did not fit the record: its lists were not read
  };
  sLoadedTribe* TribeWithListsLost();  // the first, or null
  uint32_t mLoadVersion = 0;  // of the file being read
  std::vector<sLoadedCreature> mCreatureCommonIds;
  std::vector<sLoadedTribe> mTribes;
  std::vector<cTribeTool*> mToolsInFileOrder;
  std::map<uint32_t, cCreatureCommon*> mCommonsById;
  std::map<uint32_t, cTribeCreature*> mCreaturesByCommonId;
  std::map<uint32_t, cTribeHut*> mHutsById;
  std::map<uint32_t, cTribeTool*> mToolsById;
  std::vector<cTribeHut*> mHutsInFileOrder;
  std::vector<cCreatureCommon*> mCommonsInFileOrder;  // every body record loaded, repeated ids too
  std::map<uint32_t, uint32_t> mRecordsOfType;        // records met so far, by type id
  sRepairs mLastRepairs;
};
