// The tribe world while the tribe mode runs: every tribe, tribe creature and
// herd, the player's tribe, the selection, and the hut and member shapes. Its
// tick moves, rests and starves the members, brings new ones in, steps the
// herds and offers the city stage when the tribe is big enough. It builds the
// start world on Enter and clears the world on Leave; the mode owns it.
#pragma once

#include <cstdint>
#include <vector>

#include "math/Types.h"

class cTribeGameMode;
class cTribe;
class cTribeCreature;
class cTribeCreatureGroup;
class cTribeHerd;
class cTribeHut;
class cCreatureCommon;
class cSceneShapeCube;
class cSceneShapePolyModel;

// The lists keep creation order (tribes: the player's first). Nothing that
// orders the simulation is keyed by pointer.
using tTribeCreatureList = std::vector<cTribeCreature*>;
using tTribeList = std::vector<cTribe*>;
using tTribeHerdList = std::vector<cTribeHerd*>;

class cTribeObjectController {
 public:
  // Every tribe's colour but the player's, and the player's.
  static const Ru::Math::Vector3 kPlayerColour;
  static const Ru::Math::Vector3 kNpcColour;
  // A finished herd is marked with this count and leaves on the next herd pass.
  static constexpr int32_t kHerdGoneMarker = -42;

  explicit cTribeObjectController(cTribeGameMode* mode);
  virtual ~cTribeObjectController();
  cTribeObjectController(const cTribeObjectController&) = delete;
  cTribeObjectController& operator=(const cTribeObjectController&) = delete;

  // Reseeds the random generator, loads the herd and speed scripts and builds
  // the start world when there is no player tribe (none loaded).
  virtual void Init();
  // Ends every tribe interaction, then takes every creature (and its body
  // record), tribe, hut, tool and herd out of the scene and the data manager.
  virtual void Clear();
  virtual void Update(uint32_t ms);
  // A new member of the tribe beside its hut; null when no creature could be made.
  virtual cTribeCreature* AddNewMember(cTribe* tribe, bool announce);
  // Out of the world at the start of the next update; always true.
  virtual bool KillCreature(cTribeCreature* creature);

  virtual cTribeCreatureGroup* GetSelectionGroup() { return mSelectionGroup; }
  virtual void SelectCreature(cTribeCreature* creature);  // drawn white while selected
  virtual bool IsSelected(cTribeCreature* creature);
  virtual void ClearSelection();  // members get their tribe's colour back
  virtual cTribe* GetPlayerTribe() { return mPlayerTribe; }

  virtual cTribeHerd* FindNearestHerdOfType(int type);  // nearest to the player hut; null when none
  virtual cTribeHerd* FindNearestHerd(const Ru::Math::Vector3& point);
  virtual cTribeHut* FindNearestRivalHut(const Ru::Math::Vector3& point);  // of peopled rival tribes
  virtual bool IsDying(cTribeCreature* creature);

  virtual void CreaturesBegin(tTribeCreatureList::const_iterator& out) const { out = mCreatures.begin(); }
  virtual void CreaturesEnd(tTribeCreatureList::const_iterator& out) const { out = mCreatures.end(); }
  virtual void HerdsBegin(tTribeHerdList::const_iterator& out) const { out = mHerds.begin(); }
  virtual void HerdsEnd(tTribeHerdList::const_iterator& out) const { out = mHerds.end(); }
  virtual void TribesBegin(tTribeList::const_iterator& out) const { out = mTribes.begin(); }
  virtual void TribesEnd(tTribeList::const_iterator& out) const { out = mTribes.end(); }
  virtual cSceneShapeCube* GetHutShape() { return mHutShape; }
  // Takes one animal off the herd into a herd of its own (the hunters' catch).
  virtual cTribeHerd* SplitHerd(cTribeHerd* herd);

  // The same lists for plain loops.
  const tTribeCreatureList& GetCreatures() const { return mCreatures; }
  const tTribeList& GetTribes() const { return mTribes; }
  const tTribeHerdList& GetHerds() const { return mHerds; }
  cSceneShapePolyModel* GetMemberShape() { return mMemberShape; }

  // A rival tribe with its hut at the position and two members.
  cTribe* CreateNpcTribe(const Ru::Math::Vector3& position);
  // Wraps a body record in a new tribe creature that joins the tribe (when given).
  cTribeCreature* CreateTribeCreature(cCreatureCommon* common, cTribe* tribe);
  // The walking-speed factor at a place and heading (the speed script on the slope).
  float GetSlopeSpeed(const Ru::Math::Vector3& position, const Ru::Math::Quaternion& orientation);
  void RestoreTribeColour(cTribeCreature* creature);

  // For the loader, which fills the world from a save (in file order).
  void AppendTribe(cTribe* tribe);
  void AppendCreature(cTribeCreature* creature);  // the list holds a reference
  void AppendHerd(cTribeHerd* herd);
  void SetPlayerTribe(cTribe* tribe) { mPlayerTribe = tribe; }

  // ---- herds (TribeHerds.cpp) ----
  void PopulateHerds();
  void UpdateHerd(cTribeHerd* herd, float seconds);
  void ApplyHerdParameters(cTribeHerd* herd);
  Ru::Math::Vector3 PickHerdHome(cTribeHerd* herd);

  bool IsCityStageDeclined() const { return mCityStageDeclined; }

 private:
  void BuildStartWorld();
  void PlantTrees();
  void UpdateCreatureMovement(cTribeCreature* creature, float seconds);
  void UpdateCreatureStarvation(cTribeCreature* creature, float seconds);
  void RefreshConditionLabel(cTribeCreature* creature);
  bool AskForCityStage();  // true when the player chose the city mode
  void DestroyDyingCreatures();
  void StepHerds(float seconds);
  void RemoveCreatureFromWorld(cTribeCreature* creature);  // scene, records, reference

  cTribeGameMode* mMode;
  cTribe* mPlayerTribe = nullptr;
  tTribeCreatureList mCreatures;  // each holds a reference
  tTribeCreatureList mDying;      // each holds a reference until destroyed
  tTribeList mTribes;
  tTribeHerdList mHerds;
  cTribeCreatureGroup* mSelectionGroup = nullptr;
  cSceneShapeCube* mHutShape = nullptr;
  cSceneShapePolyModel* mMemberShape = nullptr;
  bool mCityStageDeclined = false;
  float mReloadSeconds = 0.0f;  // towards the next tuning reload
};
