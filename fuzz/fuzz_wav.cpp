// Fuzzes the WAV checks and decoder: any bytes give interleaved samples that
// match the channel count, or a refusal, never a crash or a read outside the input.
#include <cstddef>
#include <cstdint>

#include "platform/Sys.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> bytes(data, data + size);
  SysPcm pcm;
  if (Sys_DecodeWav(bytes, pcm) &&
      (pcm.channels < 1 || pcm.channels > 2 || pcm.samples.empty() || pcm.samples.size() % pcm.channels != 0))
    __builtin_trap();
  return 0;
}
