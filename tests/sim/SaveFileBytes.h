// Save files written by hand: little-endian words, records, and the exact
// bytes of a save that holds no record.
#pragma once

#include <cstdint>
#include <string>

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
