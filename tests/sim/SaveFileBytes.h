// Save files written by hand: little-endian words, records, the exact bytes of
// a save without records as an older writer made it (no whole-file check),
// and the bytes this program writes today (with the check chunk).
#pragma once

#include <cstdint>
#include <string>

#include "sim/gamedata/SaveCheck.h"

inline void PutWord(std::string& out, uint32_t word) {
  for (int i = 0; i < 4; ++i) out.push_back((char)(word >> (8 * i)));
}

inline std::string Record(uint32_t id, const std::string& body) {
  std::string out;
  PutWord(out, id);
  PutWord(out, (uint32_t)body.size());
  return out + body;
}

inline const std::string kEmptySave = std::string("KNHC") + std::string("\x08\0\0\0", 4) + "LRVQ" +
                                      std::string("\x0C\0\0\0", 4) + "QUORVEL FILE";

// The header and identification chunk this program writes today (version 9).
inline std::string CheckedHead() {
  std::string head = kEmptySave;
  head[4] = 9;
  return head;
}

// CheckedHead, the check chunk over `records` (whole records, one after another), then the records.
inline std::string CheckedSave(const std::string& records) {
  uint32_t count = 0;
  for (size_t at = 0; at + 8 <= records.size(); ++count)
    at += 8 + ((uint8_t)records[at + 4] | (uint8_t)records[at + 5] << 8 | (uint8_t)records[at + 6] << 16 |
               (uint32_t)(uint8_t)records[at + 7] << 24);
  const std::string head = CheckedHead();
  uint32_t crc = Crc32Update(Crc32Update(0, head.data(), head.size()), records.data(), records.size());
  std::string body;
  PutWord(body, count);
  PutWord(body, crc);
  return head + Record(sSaveCheck::kChunkId, body) + records;
}

// A file this program wrote, as an older writer would have written it: the
// check chunk taken out and the version before the check, so tests may edit
// records at fixed offsets.
inline std::string WithoutCheck(const std::string& saved) {
  std::string older = saved.substr(0, 28) + saved.substr(44);
  older[4] = 8;
  return older;
}
