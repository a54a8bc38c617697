// Sounds the modes play: each WAV file is loaded once into its own CSound and
// played, looped and stopped through a cSoundHandle. Without an audio device
// every load fails quietly and the game plays on in silence.
#pragma once

#include <cstdint>
#include <vector>

// The result codes callers of the sound device test, with their usual values.
using HRESULT = int32_t;
constexpr HRESULT S_OK = 0;
constexpr HRESULT CO_E_NOTINITIALIZED = (HRESULT)0x800401F0;  // no device, or a sound without buffers
constexpr HRESULT E_INVALIDARG = (HRESULT)0x80070057;
constexpr HRESULT E_FAIL = (HRESULT)0x80004005;               // the file gave no sound
constexpr uint32_t DSBPLAY_LOOPING = 1;

// A loaded WAV file: one voice per buffer, each holding the whole sound.
class CSound {
 public:
  explicit CSound(std::vector<uint32_t> voices) : mVoices(std::move(voices)) {}
  virtual ~CSound();
  CSound(const CSound&) = delete;
  CSound& operator=(const CSound&) = delete;

  HRESULT Play(uint32_t priority = 0, uint32_t flags = 0);  // from where the buffer stopped
  HRESULT Stop();                                          // keeps the position
  bool IsSoundPlaying() const;
  int GetNumBuffers() const { return (int)mVoices.size(); }

 protected:
  std::vector<uint32_t> mVoices;
  // Which busy voice a play takes over, in turn: whether voices are still
  // playing depends on the wall clock, so the choice must not draw from the
  // game's seeded generator.
  uint32_t mNextTakenOver = 0;
};

// The whole file is decoded when it loads, so a streamed sound plays like any other.
class CStreamingSound : public CSound {
 public:
  using CSound::CSound;
};

class cSoundDevice {
 public:
  HRESULT Initialize(int channels, int samplesPerSecond, int bitsPerSample);
  HRESULT Create(CSound** sound, const char* wavFile, uint32_t creationFlags = 0, uint32_t buffers = 1);
  bool IsOpen() const;
  void ReleaseWhenSilent(CSound* sound);  // its handle is gone; a sound still playing is heard to the end

 private:
  void ReleaseSilentOrphans();
  std::vector<CSound*> mOrphans;
};

cSoundDevice* GetSoundDevice();  // the one device; closed until InitSoundDevice opens it
void InitSoundDevice();          // opens the default output: 22050 Hz, 16-bit, stereo

// What the modes hold: one sound, loaded from a file, played once or looped.
class cSoundHandle {
 public:
  cSoundHandle() = default;
  ~cSoundHandle();
  cSoundHandle(const cSoundHandle&) = delete;
  cSoundHandle& operator=(const cSoundHandle&) = delete;

  bool Load(const char* wavFile);  // replaces (stops and frees) the sound held before; false keeps it
  void Play();
  void PlayLooped();
  void Stop();
  bool IsLoaded() const { return mSound != nullptr; }
  bool IsPlaying() const { return mSound && mSound->IsSoundPlaying(); }

 private:
  CSound* mSound = nullptr;
};

// The one handle of a file that many short-lived users play (a raid's war
// cry, every gatherer's pick): loaded at the first ask, and at later asks
// only while it has not loaded, so repeated use adds no voices.
cSoundHandle& GetSharedSound(const char* wavFile);
