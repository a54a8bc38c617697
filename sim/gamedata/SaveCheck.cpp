#include "sim/gamedata/SaveCheck.h"

namespace {

uint32_t WordAt(const uint8_t* p) {
  return (uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24;
}

struct cCrcTable {
  uint32_t entries[256];
  cCrcTable() {
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t c = i;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      entries[i] = c;
    }
  }
};

}  // namespace

uint32_t Crc32Update(uint32_t crc, const void* data, size_t size) {
  static const cCrcTable table;
  const uint8_t* p = static_cast<const uint8_t*>(data);
  crc = ~crc;
  for (size_t i = 0; i < size; ++i) crc = table.entries[(crc ^ p[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

eSaveCheckResult VerifySaveCheck(const uint8_t* file, size_t size) {
  // Header (8) and identification chunk header (8); the chain is known complete.
  if (size < 16) return eSaveCheckResult::Absent;
  size_t checkAt = 16 + (size_t)WordAt(file + 12);
  if (checkAt > size || size - checkAt < 8 || WordAt(file + checkAt) != sSaveCheck::kChunkId)
    return eSaveCheckResult::Absent;
  if (WordAt(file + checkAt + 4) != sSaveCheck::kBodySize || size - checkAt < 8 + sSaveCheck::kBodySize)
    return eSaveCheckResult::Failed;
  size_t recordsAt = checkAt + 8 + sSaveCheck::kBodySize;
  sSaveCheck stored{WordAt(file + checkAt + 8), WordAt(file + checkAt + 12)};

  uint32_t records = 0;
  for (size_t at = recordsAt; at < size; at += 8 + (size_t)WordAt(file + at + 4)) {
    if (size - at < 8 || WordAt(file + at + 4) > size - at - 8) return eSaveCheckResult::Failed;
    ++records;
  }
  uint32_t crc = Crc32Update(0, file, checkAt);
  crc = Crc32Update(crc, file + recordsAt, size - recordsAt);
  return records == stored.recordCount && crc == stored.crc ? eSaveCheckResult::Good : eSaveCheckResult::Failed;
}
