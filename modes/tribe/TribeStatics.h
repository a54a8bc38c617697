// The tribe mode's long-lived service objects in one place: the script
// programs (one per use), the interaction prototypes, the sound handles and a
// few constants. Every object is built on first use, never before main, so a
// script load or a message box can never run during static initialisation;
// all of them then live until exit, and leaving the mode keeps them loaded.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>

#include "math/Types.h"

class cRovurozovizProgram;
class cSoundHandle;

// One program object per script use: two users of one file each keep their
// own variables.
enum class eTribeProgram {
  NpcLocation,        // "tribe_npc_location.txt": NPC tribe controller
  NpcSize,            // "tribe_npc_size.txt": NPC tribe controller
  AttackTest,         // "tribe_attack_test.txt": NPC tribe controller
  HerdLocation,       // "tribe_herd_location.txt": herds
  PerceptionHerdLocation,  // "tribe_herd_location.txt": the perception singleton's own
  CreatureLoudness,   // "creature_loudness.txt": perception
  TreeLocation,       // "tribe_tree_location.txt": the start world's trees
  CreatureSpeed,      // "tribe_creature_speed.txt": the movement step
  DefendResult,       // "tribe_defend_result.txt": cMemberDefends
  EatsResult,         // "tribe_eats_result.txt": cMemberEats
  AttackResult,       // "tribe_attack_result.txt": cMemberFights
  GatherResult,       // "tribe_gather_result.txt": cMemberGathers
  HealResult,         // "tribe_heal_result.txt": cMemberHeals
  HuntMotivation,     // "tribe_hunt_motivation.txt": cMemberHunts
  IdleResult,         // "tribe_idle_result.txt": cMemberIdles
  NestResult,         // "tribe_nest_result.txt": cMemberNests
  RaidMotivation,     // "tribe_raid_motivation.txt": cMemberRaids
  RecruitMotivation,  // "tribe_recruit_motivation.txt": cMemberRecruits
  RecruitResult,      // "tribe_recruit_result.txt": cMemberRecruits
  GroupRecruitResult, // "tribe_recruit_result.txt": cTribeGroupRecruits
  RestResult,         // "tribe_rest_result.txt": cMemberRests
  MoveHutResult,      // "tribe_move_hut_result.txt": cTribeGroupMoveHut
  RestsGoToResult,    // "tribe_goto_result.txt": cMemberRests
  EatsGoToResult,     // "tribe_goto_result.txt": cMemberEats
  GoToTargetResult,   // "tribe_goto_result.txt": cMemberGoToTarget
  HuntResult,         // "tribe_hunt_result.txt": cMemberHunts
  GroupHuntResult,    // "tribe_hunt_result.txt": cTribeGroupHunts
  RaidResult,         // "tribe_raid_result.txt": cMemberRaids
  GroupRaidResult,    // "tribe_raid_result.txt": cTribeGroupRaids
  LootResult,         // "tribe_loot_result.txt": cMemberLoots
  Count
};

cRovurozovizProgram& GetTribeProgram(eTribeProgram which);
const char* GetTribeProgramFile(eTribeProgram which);  // the bare file name, e.g. "tribe_idle_result.txt"

// Loads the program's script from ".\Data\Scripts\". On failure a box with
// the caption "Script Error" and the text "Failed to load <file>" is shown
// and the program keeps what it had. The second form lets callers whose
// wording differs give their own caption and text.
bool LoadTribeProgram(eTribeProgram which);
bool LoadTribeProgram(eTribeProgram which, const std::string& caption, const std::string& failureText);
// Tests: scripts found in this folder are loaded instead of the game's own
// (the others still come from ".\Data\Scripts\"); nullptr or "" restores.
void SetTribeScriptOverrideForTest(const char* folder);

// Sound handles, empty until their interactions load them (once per run).
enum class eTribeSound {
  GatherLoop,         // GatherLoop.wav: cMemberGathers
  RecruitLoop,        // RecruitLoop.wav: cMemberRecruits
  HuntWoohoo,         // woohoo.wav: cMemberHunts
  HuntWawawah,        // wawawah.wav: cMemberHunts
  HuntDrumLoop,       // HuntDrumLoop.wav: cTribeGroupHunts
  GroupHuntWoohoo,    // woohoo.wav: cTribeGroupHunts
  GroupHuntWawawah,   // wawawah.wav: cTribeGroupHunts
  RaidDrumLoop,       // RaidDrumLoop.wav: cTribeGroupRaids
  RaidWoohoo,         // woohoo.wav: cTribeGroupRaids
  RaidWawawah,        // wawawah.wav: cTribeGroupRaids
  RecruitWoohoo,      // woohoo.wav: cTribeGroupRecruits
  RecruitWawawah,     // wawawah.wav: cTribeGroupRecruits
  PlayerTribeRaided,  // PlayerTribeRaided.wav: cTribeGroupAttacks
  Count
};
constexpr int kTribeStabSoundCount = 14;  // stab1.wav to stab14.wav: cMemberHunts

cSoundHandle& GetTribeSound(eTribeSound which);
const char* GetTribeSoundFile(eTribeSound which);  // the path of the sound file
cSoundHandle& GetTribeStabSound(int index);          // 0 to 13; others are clamped into that range
// Loads the file into the handle; false (handle left empty) when it cannot.
bool LoadTribeSound(eTribeSound which);
bool LoadTribeStabSounds();  // all fourteen, in order; false when any failed
// Loads each listed sound the first time it is asked for; later calls leave
// its handle alone (a missing file is not tried again every start).
void LoadTribeSoundsOnce(std::initializer_list<eTribeSound> which);

// The one prototype of an interaction class; the tribe names interactions by
// these (candidate lists, group starts, commands). Made on first use.
template <class T>
T* GetTribePrototype();
