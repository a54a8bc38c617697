#include "glf/Sound.h"

#include <algorithm>
#include <map>
#include <string>

#include "platform/Sys.h"

// Never destroyed: handles in static storage hand their sounds to it at exit.
cSoundDevice* GetSoundDevice() {
  static cSoundDevice* device = new cSoundDevice();
  return device;
}

void InitSoundDevice() {
  GetSoundDevice()->Initialize(2, 22050, 16);  // a machine without audio stays silent, with no message
}

CSound::~CSound() {
  for (uint32_t voice : mVoices) Sys_ReleaseVoice(voice);
}

HRESULT CSound::Play(uint32_t priority, uint32_t flags) {
  if (mVoices.empty()) return CO_E_NOTINITIALIZED;
  auto idle = std::find_if(mVoices.begin(), mVoices.end(), [](uint32_t v) { return !Sys_IsVoicePlaying(v); });
  uint32_t voice = idle != mVoices.end() ? *idle : mVoices[mNextTakenOver++ % mVoices.size()];
  Sys_PlayVoice(voice, (flags & DSBPLAY_LOOPING) != 0);
  return S_OK;
}

HRESULT CSound::Stop() {
  if (mVoices.empty()) return CO_E_NOTINITIALIZED;
  for (uint32_t voice : mVoices) Sys_StopVoice(voice);
  return S_OK;
}

bool CSound::IsSoundPlaying() const {
  return std::any_of(mVoices.begin(), mVoices.end(), Sys_IsVoicePlaying);
}

HRESULT cSoundDevice::Initialize(int channels, int samplesPerSecond, int bitsPerSample) {
  (void)bitsPerSample;  // voices are always 16-bit
  return Sys_OpenSoundDevice(samplesPerSecond, channels) ? S_OK : CO_E_NOTINITIALIZED;
}

bool cSoundDevice::IsOpen() const { return Sys_IsSoundDeviceOpen(); }

HRESULT cSoundDevice::Create(CSound** sound, const char* wavFile, uint32_t creationFlags, uint32_t buffers) {
  (void)creationFlags;
  if (!IsOpen()) return CO_E_NOTINITIALIZED;
  if (!wavFile || !sound || buffers < 1) return E_INVALIDARG;
  ReleaseSilentOrphans();
  SysPcm pcm;
  std::string refusal;
  if (!Sys_LoadWav(wavFile, pcm, refusal)) {
    if (!refusal.empty()) Sys_Note("Data File", refusal + ": the sound is not played");
    return E_FAIL;
  }
  std::vector<uint32_t> voices;
  for (uint32_t i = 0; i < buffers; ++i) {
    uint32_t voice = Sys_CreateVoice(pcm);
    if (!voice) {
      for (uint32_t made : voices) Sys_ReleaseVoice(made);
      return E_FAIL;
    }
    voices.push_back(voice);
  }
  *sound = new CSound(std::move(voices));
  return S_OK;
}

void cSoundDevice::ReleaseWhenSilent(CSound* sound) {
  if (sound) mOrphans.push_back(sound);
}

void cSoundDevice::ReleaseSilentOrphans() {
  std::erase_if(mOrphans, [](CSound* s) {
    if (s->IsSoundPlaying()) return false;
    delete s;
    return true;
  });
}

cSoundHandle::~cSoundHandle() {
  GetSoundDevice()->ReleaseWhenSilent(mSound);
}

bool cSoundHandle::Load(const char* wavFile) {
  CSound* loaded = nullptr;
  if (GetSoundDevice()->Create(&loaded, wavFile) != S_OK) return false;
  if (mSound) {
    mSound->Stop();
    delete mSound;
  }
  mSound = loaded;
  return true;
}

void cSoundHandle::Play() {
  if (mSound) mSound->Play(0, 0);
}

void cSoundHandle::PlayLooped() {
  if (mSound) mSound->Play(0, DSBPLAY_LOOPING);
}

void cSoundHandle::Stop() {
  if (mSound) mSound->Stop();
}

cSoundHandle& GetSharedSound(const char* wavFile) {
  static auto* sounds = new std::map<std::string, cSoundHandle>;  // lives until exit, like the device
  cSoundHandle& sound = (*sounds)[wavFile ? wavFile : ""];
  if (!sound.IsLoaded() && wavFile) sound.Load(wavFile);
  return sound;
}
