// Keeps every creature record of every mode (a reference each), saves and
// loads them, and forgets a record when the data manager removes it. It is a
// client of the data manager whichever mode the game starts in.
#pragma once

#include <vector>

#include "modes/creature/CreatureCommon.h"
#include "sim/gamedata/GameData.h"

class cCommonCreatureManager : public Ko::cIGameDataClient, public Ko::cIGameDataSerializer {
 public:
  // Registers the record type with this manager as its serializer and adds
  // the manager as a client; later calls do nothing until the data manager is reset.
  static void Register();
  static cCommonCreatureManager* Get();

  // A new record through the data manager (live after its next commit), kept
  // here; null when the type is not registered.
  cCreatureCommon* CreateCommon();
  // For modes that remove a creature: the data manager removes the record,
  // which drops this manager's reference.
  void ReleaseCommon(cCreatureCommon* common);
  const std::vector<cCreatureCommon*>& GetCommons() const { return mCommons; }
  void ResetForTest();  // lets go of every record (after the data manager's own reset)

  void ObjectRemoved(Ko::cIGameData* object) override;
  void ObjectLoaded(Ko::cIGameData* object) override;
  void BeforeLoad() override;

  // id, species, speed, goal, health, hunger, energy, body position, body orientation
  static constexpr uint32_t kRecordSize = 64;
  void Save(Ko::cIGameData* object, cMemoryStream& stream, uint32_t version) override;
  void Load(Ko::cIGameData* object, cMemoryStream& stream, uint32_t version) override;

 private:
  void Keep(cCreatureCommon* common);
  void Drop(cCreatureCommon* common);

  std::vector<cCreatureCommon*> mCommons;  // in creation and load order; each holds a reference
};
