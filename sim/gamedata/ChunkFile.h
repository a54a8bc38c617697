// The chunk file: an 8-byte header (magic "KNHC" as a little-endian word, then
// a version word) followed by chunks of id, size and body, to the end of the
// file. No count, padding or trailer.
//
// Reading works on the whole file in memory, so a chunk size is always checked
// against what is really there. Writing goes to a temporary file of a unique
// name beside the target that replaces the target only when every write, the
// sync and the close worked, so a failed save never destroys the previous one.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/Sys.h"

class cChunkFile {
 public:
  static constexpr uint32_t kMagic = 0x43484E4B;  // "KNHC" on disk

  cChunkFile() = default;
  cChunkFile(const cChunkFile&) = delete;
  cChunkFile& operator=(const cChunkFile&) = delete;
  ~cChunkFile();  // a write never finished (no Close) is abandoned: the target is left as it was

  // ---- writing ----
  // False when the target is not a regular file (a device, a pipe, a folder)
  // or the temporary cannot be made. A link is written through to its target.
  bool OpenWrite(const std::string& fileName, uint32_t version);
  bool WriteChunk(uint32_t id, uint32_t size, const void* data);  // false once any write has failed
  // Bytes already laid out as whole chunks (id, size, body, ...), in one write.
  bool WriteChunks(const void* data, size_t size);
  // Flushes, syncs, closes and renames over the target; false (target
  // untouched, temporary removed) when any write, the sync or the rename failed.
  bool FinishWrite();

  // ---- reading ----
  // False when the file cannot be read, is not a regular file, its magic is
  // wrong (checked before the rest is read) or it holds more than maxBytes or
  // a save's bound (refusal then names the file, its size and the bound).
  bool OpenRead(const std::string& fileName, std::string& refusal, size_t maxBytes = SIZE_MAX);
  bool OpenReadBytes(const uint8_t* data, size_t size);  // the same over a copy of bytes in memory
  // The same over the caller's bytes, not copied: they must outlive the reading.
  bool OpenReadView(const uint8_t* data, size_t size);
  // True when the chunks after the header end exactly at the end of the file:
  // no partial chunk header, no body running past the end.
  bool IsChainComplete() const;

  uint32_t GetVersion() const { return mVersion; }
  uint32_t GetChunkId() const { return mChunkId; }
  uint32_t GetChunkSize() const { return mChunkSize; }
  // The current chunk's body, null when it does not lie wholly inside the file.
  const uint8_t* GetChunkData() const;
  bool AtEnd() const;  // no file, or every byte has been consumed

  // Copies the current body (as much of it as the file holds; the rest of the
  // buffer is zeroed) and moves to the next chunk. Returns false when the body
  // was cut short by the end of the file.
  bool ReadChunk(void* buffer);
  void SkipChunk();
  bool FindChunk(uint32_t id);
  bool ReadChunkById(uint32_t id, void* buffer);
  void Rewind();
  // Ends whatever is open: a write is finished (FinishWrite; its result is
  // returned), a read is dropped.
  bool Close();
  // The whole file being read.
  const uint8_t* Data() const { return mRead; }
  size_t Size() const { return mReadSize; }

 private:
  void ReadNextHeader(size_t at);  // at offset `at`; keeps the old id and size when fewer than 8 bytes remain
  void AbandonWrite();
  bool AdoptBytes(std::vector<uint8_t> bytes);  // false when shorter than the header or the magic is wrong
  bool StartReading(const uint8_t* data, size_t size);  // the same check over the bytes mRead will show

  // reading
  std::vector<uint8_t> mData;  // the file's bytes when this reader holds them
  const uint8_t* mRead = nullptr;  // what is being read: mData or the caller's bytes
  size_t mReadSize = 0;
  bool mReading = false;
  size_t mPosition = 0;  // just past the current chunk's header
  uint32_t mVersion = 0;
  uint32_t mChunkId = 0;
  uint32_t mChunkSize = 0;

  // writing
  SysReplacement mOut;
  bool mWriteFailed = false;
};
