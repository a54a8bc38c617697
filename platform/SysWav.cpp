// WAV decoding for sounds. The RIFF layout is checked by hand first, as the
// game always did ("RIFF", "WAVE", a "fmt " chunk of at least 16 bytes, a
// non-empty "data" chunk); libsndfile then decodes from memory. The result is
// sized by the frames actually decoded, never by what a header claims.
#include <sndfile.h>

#include <cstring>

#include "platform/Sys.h"

namespace {

constexpr uint32_t kMaxDataBytes = Sys_FileBound(SysFileKind::Sound); // a sound file's bound
constexpr size_t kMaxDecodedSamples = 32u << 20;   // 16-bit samples kept after decoding
constexpr int kMaxRate = 192000;

uint32_t ReadLE32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | ((uint32_t)p[3] << 24); }
uint16_t ReadLE16(const uint8_t* p) { return (uint16_t)(p[0] | (p[1] << 8)); }

// Walks the chunks after the RIFF header. A "data" chunk may run past the end
// of a truncated file (what is there still plays); any other chunk must fit.
bool CheckRiffWave(const std::vector<uint8_t>& bytes) {
  size_t size = bytes.size();
  if (size < 12 || memcmp(bytes.data(), "RIFF", 4) != 0 || memcmp(bytes.data() + 8, "WAVE", 4) != 0) return false;
  bool haveFormat = false;
  size_t pos = 12;
  while (pos + 8 <= size) {  // a last odd chunk's pad byte may lie past the end
    const uint8_t* chunk = bytes.data() + pos;
    uint32_t chunkSize = ReadLE32(chunk + 4);
    size_t available = size - pos - 8;
    if (!memcmp(chunk, "fmt ", 4)) {
      if (chunkSize < 16 || chunkSize > available) return false;
      const uint8_t* fmt = chunk + 8;
      uint16_t channels = ReadLE16(fmt + 2);
      uint32_t rate = ReadLE32(fmt + 4);
      uint16_t blockAlign = ReadLE16(fmt + 12);
      if (channels < 1 || channels > 2 || rate < 1 || rate > (uint32_t)kMaxRate || blockAlign == 0) return false;
      haveFormat = true;
    } else if (!memcmp(chunk, "data", 4)) {
      if (!haveFormat || chunkSize == 0 || chunkSize > kMaxDataBytes || available == 0) return false;
      return true;
    } else if (chunkSize > available) {
      return false;
    }
    pos += 8 + (size_t)chunkSize + (chunkSize & 1);
  }
  return false;
}

struct cMemoryFile {
  const std::vector<uint8_t>* bytes;
  sf_count_t position;
};

sf_count_t MemLength(void* user) { return (sf_count_t)static_cast<cMemoryFile*>(user)->bytes->size(); }
sf_count_t MemTell(void* user) { return static_cast<cMemoryFile*>(user)->position; }
sf_count_t MemSeek(sf_count_t offset, int whence, void* user) {
  cMemoryFile* f = static_cast<cMemoryFile*>(user);
  sf_count_t base = whence == SEEK_CUR ? f->position : whence == SEEK_END ? MemLength(user) : 0;
  sf_count_t target = base + offset;
  if (target < 0 || target > MemLength(user)) return -1;
  return f->position = target;
}
sf_count_t MemRead(void* out, sf_count_t count, void* user) {
  cMemoryFile* f = static_cast<cMemoryFile*>(user);
  sf_count_t left = MemLength(user) - f->position;
  if (count > left) count = left;
  if (count <= 0) return 0;
  memcpy(out, f->bytes->data() + f->position, (size_t)count);
  f->position += count;
  return count;
}
sf_count_t MemWrite(const void*, sf_count_t, void*) { return 0; }

}  // namespace

bool Sys_DecodeWav(const std::vector<uint8_t>& bytes, SysPcm& pcm) {
  pcm = SysPcm{};
  if (!CheckRiffWave(bytes)) return false;

  SF_VIRTUAL_IO io = {MemLength, MemSeek, MemRead, MemWrite, MemTell};
  cMemoryFile file = {&bytes, 0};
  SF_INFO info = {};
  SNDFILE* sf = sf_open_virtual(&io, SFM_READ, &info, &file);
  if (!sf) return false;
  bool ok = (info.format & SF_FORMAT_TYPEMASK) == SF_FORMAT_WAV && info.channels >= 1 && info.channels <= 2 &&
            info.samplerate >= 1 && info.samplerate <= kMaxRate;
  if (ok) {
    int16_t block[4096];
    const sf_count_t framesPerBlock = (sf_count_t)(sizeof block / sizeof block[0]) / info.channels;
    sf_count_t got;
    while ((got = sf_readf_short(sf, block, framesPerBlock)) > 0) {
      size_t samples = (size_t)got * (size_t)info.channels;
      if (pcm.samples.size() + samples > kMaxDecodedSamples) { ok = false; break; }
      pcm.samples.insert(pcm.samples.end(), block, block + samples);
    }
  }
  sf_close(sf);
  if (!ok || pcm.samples.empty()) {
    pcm = SysPcm{};
    return false;
  }
  pcm.channels = info.channels;
  pcm.rate = info.samplerate;
  return true;
}

bool Sys_LoadWav(const std::string& spelled, SysPcm& pcm, std::string& refusal) {
  pcm = SysPcm{};
  std::vector<uint8_t> bytes;
  if (!Sys_ReadWholeFile(spelled, SysFileKind::Sound, bytes, refusal)) return false;
  return Sys_DecodeWav(bytes, pcm);
}
