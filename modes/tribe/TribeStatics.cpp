#include "modes/tribe/TribeStatics.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "glf/Sound.h"
#include "modes/tribe/GroupInteractions.h"
#include "modes/tribe/HuntInteractions.h"
#include "modes/tribe/MemberInteractions.h"
#include "modes/tribe/RaidInteractions.h"
#include "platform/Sys.h"
#include "sim/rovurozoviz/RovurozovizProgram.h"

namespace {

constexpr const char* kProgramFiles[] = {
    "tribe_npc_location.txt",       "tribe_npc_size.txt",         "tribe_attack_test.txt",
    "tribe_herd_location.txt",      "tribe_herd_location.txt",    "creature_loudness.txt",
    "tribe_tree_location.txt",      "tribe_creature_speed.txt",   "tribe_defend_result.txt",
    "tribe_eats_result.txt",        "tribe_attack_result.txt",    "tribe_gather_result.txt",
    "tribe_heal_result.txt",        "tribe_hunt_motivation.txt",  "tribe_idle_result.txt",
    "tribe_nest_result.txt",        "tribe_raid_motivation.txt",  "tribe_recruit_motivation.txt",
    "tribe_recruit_result.txt",     "tribe_recruit_result.txt",   "tribe_rest_result.txt",
    "tribe_move_hut_result.txt",    "tribe_goto_result.txt",      "tribe_goto_result.txt",
    "tribe_goto_result.txt",        "tribe_hunt_result.txt",      "tribe_hunt_result.txt",
    "tribe_raid_result.txt",        "tribe_raid_result.txt",      "tribe_loot_result.txt",
};
static_assert(std::size(kProgramFiles) == size_t(eTribeProgram::Count));

constexpr const char* kSoundFiles[] = {
    ".\\Data\\Sounds\\GatherLoop.wav",   ".\\Data\\Sounds\\RecruitLoop.wav",
    ".\\Data\\Sounds\\woohoo.wav",       ".\\Data\\Sounds\\wawawah.wav",
    ".\\Data\\Sounds\\HuntDrumLoop.wav", ".\\Data\\Sounds\\woohoo.wav",
    ".\\Data\\Sounds\\wawawah.wav",      ".\\Data\\Sounds\\RaidDrumLoop.wav",
    ".\\Data\\Sounds\\woohoo.wav",       ".\\Data\\Sounds\\wawawah.wav",
    ".\\Data\\Sounds\\woohoo.wav",       ".\\Data\\Sounds\\wawawah.wav",
    ".\\Data\\Sounds\\PlayerTribeRaided.wav",
};
constexpr const char* kStabSoundPattern = ".\\Data\\Sounds\\stab%d.wav";
static_assert(std::size(kSoundFiles) == size_t(eTribeSound::Count));

constexpr const char* kScriptFolder = ".\\Data\\Scripts\\";

std::string& ScriptOverrideFolder() {
  static auto* folder = new std::string;
  return *folder;
}

}  // namespace

cRovurozovizProgram& GetTribeProgram(eTribeProgram which) {
  // Made on first use and never destroyed: nothing at exit can reach a freed one.
  static auto* programs = new std::array<cRovurozovizProgram, size_t(eTribeProgram::Count)>;
  return (*programs)[std::min(size_t(which), programs->size() - 1)];
}

const char* GetTribeProgramFile(eTribeProgram which) {
  return kProgramFiles[std::min(size_t(which), std::size(kProgramFiles) - 1)];
}

bool LoadTribeProgram(eTribeProgram which) {
  return LoadTribeProgram(which, "Script Error", std::string("Failed to load ") + GetTribeProgramFile(which));
}

void SetTribeScriptOverrideForTest(const char* folder) { ScriptOverrideFolder() = folder ? folder : ""; }

bool LoadTribeProgram(eTribeProgram which, const std::string& caption, const std::string& failureText) {
  std::string path = std::string(kScriptFolder) + GetTribeProgramFile(which);
  if (!ScriptOverrideFolder().empty()) {
    std::string replacement = ScriptOverrideFolder() + "/" + GetTribeProgramFile(which);
    if (Sys_IsRegularFile(replacement)) path = replacement;
  }
  if (GetTribeProgram(which).Load(path)) return true;
  Sys_MessageBox(caption, failureText);
  return false;
}

cSoundHandle& GetTribeSound(eTribeSound which) {
  static auto* sounds = new std::array<cSoundHandle, size_t(eTribeSound::Count)>;
  return (*sounds)[std::min(size_t(which), sounds->size() - 1)];
}

const char* GetTribeSoundFile(eTribeSound which) {
  return kSoundFiles[std::min(size_t(which), std::size(kSoundFiles) - 1)];
}

cSoundHandle& GetTribeStabSound(int index) {
  static auto* stabs = new std::array<cSoundHandle, kTribeStabSoundCount>;
  return (*stabs)[size_t(std::clamp(index, 0, kTribeStabSoundCount - 1))];
}

bool LoadTribeSound(eTribeSound which) {
  return GetTribeSound(which).Load(GetTribeSoundFile(which));
}

void LoadTribeSoundsOnce(std::initializer_list<eTribeSound> which) {
  static auto* tried = new std::array<bool, size_t(eTribeSound::Count)>{};
  for (eTribeSound sound : which) {
    bool& done = (*tried)[std::min(size_t(sound), tried->size() - 1)];
    if (!done) done = true, LoadTribeSound(sound);
  }
}

bool LoadTribeStabSounds() {
  bool all = true;
  for (int i = 0; i < kTribeStabSoundCount; ++i) {
    char file[64];
    std::snprintf(file, sizeof file, kStabSoundPattern, i + 1);
    all = GetTribeStabSound(i).Load(file) && all;
  }
  return all;
}

template <class T>
T* GetTribePrototype() {
  static T* prototype = new T();
  return prototype;
}

template cMemberDefends* GetTribePrototype<cMemberDefends>();
template cMemberEats* GetTribePrototype<cMemberEats>();
template cMemberFights* GetTribePrototype<cMemberFights>();
template cMemberGathers* GetTribePrototype<cMemberGathers>();
template cMemberGoToTarget* GetTribePrototype<cMemberGoToTarget>();
template cMemberHeals* GetTribePrototype<cMemberHeals>();
template cMemberHunts* GetTribePrototype<cMemberHunts>();
template cMemberIdles* GetTribePrototype<cMemberIdles>();
template cMemberLoots* GetTribePrototype<cMemberLoots>();
template cMemberNests* GetTribePrototype<cMemberNests>();
template cMemberRaids* GetTribePrototype<cMemberRaids>();
template cMemberRecruits* GetTribePrototype<cMemberRecruits>();
template cMemberRests* GetTribePrototype<cMemberRests>();
template cTribeGroupAttacks* GetTribePrototype<cTribeGroupAttacks>();
template cTribeGroupDefends* GetTribePrototype<cTribeGroupDefends>();
template cTribeGroupEats* GetTribePrototype<cTribeGroupEats>();
template cTribeGroupGathers* GetTribePrototype<cTribeGroupGathers>();
template cTribeGroupGoToNewTarget* GetTribePrototype<cTribeGroupGoToNewTarget>();
template cTribeGroupHeals* GetTribePrototype<cTribeGroupHeals>();
template cTribeGroupHunts* GetTribePrototype<cTribeGroupHunts>();
template cTribeGroupMoveHut* GetTribePrototype<cTribeGroupMoveHut>();
template cTribeGroupNests* GetTribePrototype<cTribeGroupNests>();
template cTribeGroupRaids* GetTribePrototype<cTribeGroupRaids>();
template cTribeGroupRecruits* GetTribePrototype<cTribeGroupRecruits>();
template cTribeGroupRests* GetTribePrototype<cTribeGroupRests>();
