#include "modes/civ/CivSounds.h"

#include <array>

#include "glf/Sound.h"
#include "modes/civ/CivTuning.h"

namespace {
const char* const kFiles[size_t(eCivSound::Count)] = {
    ".\\Data\\Sounds\\Civ\\VorennaPlayerCityUnderAttack.wav",
    ".\\Data\\Sounds\\Civ\\VorennaPlayerCapturesCity.wav",
    ".\\Data\\Sounds\\Civ\\VorennaPlayerLosesCity.wav",
    ".\\Data\\Sounds\\Civ\\PlayerWinsGame.wav",
    ".\\Data\\Sounds\\Civ\\PlayerLosesGame.wav",
    ".\\Data\\Sounds\\Civ\\VorennaPlayerCityUnderAttack.wav",
    ".\\Data\\Sounds\\Civ\\VorennaNegotiationsBegun.wav",
    ".\\Data\\Sounds\\Civ\\BuildingDestroyed.wav",
    ".\\Data\\Sounds\\Civ\\VorennaEmbassyComplete.wav",
    ".\\Data\\Sounds\\City\\Au_Crowd_Riot_L1.wav",
    ".\\Data\\Sounds\\City\\BONK.wav",
    ".\\Data\\Sounds\\coin.wav",
    ".\\Data\\Sounds\\Civ\\VehicleLost.wav",
};
}  // namespace

cSoundHandle& GetCivSound(eCivSound which) {
  static auto* sounds = new std::array<cSoundHandle, size_t(eCivSound::Count)>;  // lives for the whole run
  return (*sounds)[size_t(which)];
}

const char* GetCivSoundFile(eCivSound which) { return kFiles[size_t(which)]; }

void LoadCivSounds() {
  for (size_t i = 0; i < size_t(eCivSound::Count); ++i) GetCivSound(eCivSound(i)).Load(kFiles[i]);
}

namespace {
uint32_t gCivSoundPlays[size_t(eCivSound::Count)];
}  // namespace

void PlayCivSound(eCivSound which) {
  bool always = which == eCivSound::Party || which == eCivSound::Coin || which == eCivSound::Bonk ||
                which == eCivSound::EmbassyComplete;
  if (!always && !cCivTuning::GetGeneral()->UseSound) return;
  ++gCivSoundPlays[size_t(which)];
  GetCivSound(which).Play();
}

uint32_t GetCivSoundPlayCount(eCivSound which) { return gCivSoundPlays[size_t(which)]; }
