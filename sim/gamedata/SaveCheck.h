// The whole-file check of saves this program writes: a chunk right after the
// identification chunk holding the number of records that follow and a CRC-32
// of every other byte of the file. It sits at the front so that a file cut at
// a record boundary still carries it; readers that do not know it skip it as a
// record of an unregistered type.
#pragma once

#include <cstddef>
#include <cstdint>

// CRC-32 as in zip and PNG (reflected 0xEDB88320); start with crc = 0.
uint32_t Crc32Update(uint32_t crc, const void* data, size_t size);

struct sSaveCheck {
  static constexpr uint32_t kChunkId = 0x5156434B;  // "QVCK"; "KCVQ" on disk; no record type uses it
  static constexpr uint32_t kBodySize = 8;
  uint32_t recordCount = 0;
  uint32_t crc = 0;
};

enum class eSaveCheckResult { Absent, Good, Failed };

// Looks for the check chunk after the identification chunk and verifies it
// against the rest of the file. Any bytes are safe; Good also means that the
// records after the check end exactly at the end of the file.
eSaveCheckResult VerifySaveCheck(const uint8_t* file, size_t size);
