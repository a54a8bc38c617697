#include "sim/gamedata/SaveCheck.h"

#include <zlib.h>

namespace {

uint32_t WordAt(const uint8_t* p) {
  return (uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24;
}

}  // namespace

// zlib's CRC-32 is the same checksum, computed several bytes at a time.
uint32_t Crc32Update(uint32_t crc, const void* data, size_t size) {
  return (uint32_t)crc32_z(crc, static_cast<const Bytef*>(data), size);
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
