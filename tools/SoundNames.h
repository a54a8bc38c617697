// Every sound file the modes play, under Data/Sounds/. The generator writes
// each of them and the sound tests check that each is on disk.
#pragma once

#include <string_view>

inline constexpr const char* kGameSoundFiles[] = {
    // tribe: gathering, hunting, raids and recruiting
    "GatherLoop.wav", "HuntDrumLoop.wav", "RaidDrumLoop.wav", "RecruitLoop.wav", "PlayerTribeRaided.wav",
    "woohoo.wav", "wawawah.wav", "stab1.wav", "stab2.wav", "stab3.wav", "stab4.wav", "stab5.wav", "stab6.wav",
    "stab7.wav", "stab8.wav", "stab9.wav", "stab10.wav", "stab11.wav", "stab12.wav", "stab13.wav", "stab14.wav",
    // city and civ effects
    "coin.wav", "cashregister6.wav", "ForageOneShot.wav", "BattleHorn1.wav", "IndiansAttack.wav",
    "icecream_music.wav", "City/BONK.wav", "City/Au_Crowd_Boo_L1.wav", "City/Au_Crowd_Riot_L1.wav",
    "City/Au_Crowd_Strike_L1.wav",
    // the civ advisor's lines
    "Civ/VorennaPlayerCityUnderAttack.wav", "Civ/VorennaPlayerCapturesCity.wav", "Civ/VorennaPlayerLosesCity.wav",
    "Civ/PlayerWinsGame.wav", "Civ/PlayerLosesGame.wav", "Civ/VorennaNegotiationsBegun.wav",
    "Civ/BuildingDestroyed.wav", "Civ/VorennaEmbassyComplete.wav", "Civ/VehicleLost.wav",
};

// Sounds played looped: their last sample must lead smoothly into their first.
inline bool IsLoopedSoundName(std::string_view name) {
  return name.find("Loop") != name.npos || name.find("_L1") != name.npos || name.find("icecream_music") != name.npos;
}
