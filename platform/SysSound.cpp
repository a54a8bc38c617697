// Sound output on OpenAL Soft. Every loaded sound is one voice: an AL buffer
// holding the whole decoded file and an AL source that plays it. Voices are
// known by number, never reused, so a number kept after the device closed
// simply does nothing.
#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

#include <cstdlib>
#include <map>

#include "platform/Sys.h"

namespace {

struct cVoice {
  ALuint buffer = 0, source = 0;
};

struct cSoundOutput {
  ALCdevice* device = nullptr;
  ALCcontext* context = nullptr;
  bool loopback = false;
  uint32_t nextVoice = 1;
  std::map<uint32_t, cVoice> voices;
};

cSoundOutput& Output() {
  static cSoundOutput output;
  return output;
}

bool MakeContext(ALCdevice* device, const ALCint* attributes, bool loopback) {
  cSoundOutput& out = Output();
  ALCcontext* context = device ? alcCreateContext(device, attributes) : nullptr;
  if (!context || !alcMakeContextCurrent(context)) {
    if (context) alcDestroyContext(context);
    if (device) alcCloseDevice(device);
    return false;
  }
  out.device = device;
  out.context = context;
  out.loopback = loopback;
  // OpenAL Soft's own exit handler, registered as the library started,
  // complains of a device left open, straight to descriptor 2: the exit
  // sequence, which closes the device once the streams can no longer block,
  // is registered after it, so it runs first.
  static const bool endsInOrder = atexit(Sys_RunExitSequence) == 0;
  (void)endsInOrder;
  return true;
}

const cVoice* FindVoice(uint32_t voice) {
  auto it = Output().voices.find(voice);
  return it == Output().voices.end() ? nullptr : &it->second;
}

ALint SourceState(const cVoice& v) {
  ALint state = AL_INITIAL;
  alGetSourcei(v.source, AL_SOURCE_STATE, &state);
  return state;
}

}  // namespace

bool Sys_OpenSoundDevice(int rate, int channels) {
  Sys_CloseSoundDevice();
  // OpenAL Soft chooses the speaker layout itself; the rate is a request.
  const ALCint attributes[] = {ALC_FREQUENCY, rate, 0};
  (void)channels;
  return MakeContext(alcOpenDevice(nullptr), attributes, false);
}

bool Sys_OpenSoundLoopbackForTest(int rate, int channels) {
  Sys_CloseSoundDevice();
  if (!alcIsExtensionPresent(nullptr, "ALC_SOFT_loopback")) return false;
  auto openLoopback = (LPALCLOOPBACKOPENDEVICESOFT)alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT");
  if (!openLoopback) return false;
  const ALCint attributes[] = {ALC_FORMAT_CHANNELS_SOFT, channels == 1 ? ALC_MONO_SOFT : ALC_STEREO_SOFT,
                               ALC_FORMAT_TYPE_SOFT, ALC_SHORT_SOFT, ALC_FREQUENCY, rate, ALC_HRTF_SOFT, ALC_FALSE, 0};
  return MakeContext(openLoopback(nullptr), attributes, true);
}

void Sys_RenderSoundForTest(int16_t* frames, int count) {
  cSoundOutput& out = Output();
  if (!out.device || !out.loopback) return;
  auto render = (LPALCRENDERSAMPLESSOFT)alcGetProcAddress(out.device, "alcRenderSamplesSOFT");
  if (render) render(out.device, frames, count);
}

void Sys_CloseSoundDevice() {
  cSoundOutput& out = Output();
  if (!out.device) return;
  for (auto& [id, v] : out.voices) {
    alSourceStop(v.source);
    alDeleteSources(1, &v.source);
    alDeleteBuffers(1, &v.buffer);
  }
  out.voices.clear();
  alcMakeContextCurrent(nullptr);
  alcDestroyContext(out.context);
  alcCloseDevice(out.device);
  out.device = nullptr;
  out.context = nullptr;
}

bool Sys_IsSoundDeviceOpen() { return Output().device != nullptr; }

uint32_t Sys_CreateVoice(const SysPcm& pcm) {
  cSoundOutput& out = Output();
  if (!out.device || pcm.samples.empty() || pcm.rate <= 0 || (pcm.channels != 1 && pcm.channels != 2)) return 0;
  alGetError();
  cVoice v;
  alGenBuffers(1, &v.buffer);
  if (alGetError() != AL_NO_ERROR) return 0;
  alBufferData(v.buffer, pcm.channels == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16, pcm.samples.data(),
               (ALsizei)(pcm.samples.size() * sizeof(int16_t)), pcm.rate);
  if (alGetError() == AL_NO_ERROR) alGenSources(1, &v.source);
  if (alGetError() != AL_NO_ERROR) {  // out of memory or out of sources
    alDeleteBuffers(1, &v.buffer);
    return 0;
  }
  // No volume, pan or 3D: the sound plays as recorded, wherever the listener is.
  alSourcei(v.source, AL_SOURCE_RELATIVE, AL_TRUE);
  alSource3f(v.source, AL_POSITION, 0.0f, 0.0f, 0.0f);
  alSourcef(v.source, AL_ROLLOFF_FACTOR, 0.0f);
  alSourcef(v.source, AL_GAIN, 1.0f);
  alSourcef(v.source, AL_PITCH, 1.0f);
  alSourcei(v.source, AL_BUFFER, (ALint)v.buffer);
  uint32_t id = out.nextVoice++;
  out.voices[id] = v;
  return id;
}

void Sys_PlayVoice(uint32_t voice, bool loop) {
  const cVoice* v = FindVoice(voice);
  if (!v) return;
  alSourcei(v->source, AL_LOOPING, loop ? AL_TRUE : AL_FALSE);
  // Playing again would restart a source from the top; a playing sound keeps its place.
  if (SourceState(*v) != AL_PLAYING) alSourcePlay(v->source);
}

void Sys_StopVoice(uint32_t voice) {
  const cVoice* v = FindVoice(voice);
  if (v && SourceState(*v) == AL_PLAYING) alSourcePause(v->source);
}

bool Sys_IsVoicePlaying(uint32_t voice) {
  const cVoice* v = FindVoice(voice);
  return v && SourceState(*v) == AL_PLAYING;
}

void Sys_ReleaseVoice(uint32_t voice) {
  auto it = Output().voices.find(voice);
  if (it == Output().voices.end()) return;
  alSourceStop(it->second.source);
  alDeleteSources(1, &it->second.source);
  alDeleteBuffers(1, &it->second.buffer);
  Output().voices.erase(it);
}

int Sys_VoiceCount() { return (int)Output().voices.size(); }
