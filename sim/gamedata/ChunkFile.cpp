#include "sim/gamedata/ChunkFile.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/Sys.h"

static uint32_t ReadWordAt(const uint8_t* data, size_t at) {
  return (uint32_t)data[at] | (uint32_t)data[at + 1] << 8 | (uint32_t)data[at + 2] << 16 |
         (uint32_t)data[at + 3] << 24;
}

cChunkFile::~cChunkFile() {
  AbandonWrite();  // a writer that never reached Close did not finish: keep the old file
}

// ---- writing ------------------------------------------------------------------

bool cChunkFile::OpenWrite(const std::string& fileName, uint32_t version) {
  Close();
  mWriteFailed = false;
  mVersion = version;
  if (!Sys_BeginReplaceFile(fileName, mOut)) return false;
  return WriteChunk(kMagic, version, nullptr);  // the header has the same shape as a chunk header
}

bool cChunkFile::WriteChunk(uint32_t id, uint32_t size, const void* data) {
  if (!mOut.file || mWriteFailed) return false;
  uint8_t head[8];
  for (int i = 0; i < 4; ++i) {
    head[i] = (uint8_t)(id >> (8 * i));
    head[4 + i] = (uint8_t)(size >> (8 * i));
  }
  if (fwrite(head, 1, 8, mOut.file) != 8) mWriteFailed = true;
  if (data && size && fwrite(data, 1, size, mOut.file) != size) mWriteFailed = true;
  return !mWriteFailed;
}

bool cChunkFile::WriteChunks(const void* data, size_t size) {
  if (!mOut.file || mWriteFailed) return false;
  if (size && fwrite(data, 1, size, mOut.file) != size) mWriteFailed = true;
  return !mWriteFailed;
}

bool cChunkFile::FinishWrite() {
  if (!mOut.file) return false;
  if (mWriteFailed) {
    Sys_AbandonReplaceFile(mOut);
    return false;
  }
  return Sys_CommitReplaceFile(mOut);
}

void cChunkFile::AbandonWrite() { Sys_AbandonReplaceFile(mOut); }

// ---- reading ------------------------------------------------------------------

bool cChunkFile::OpenRead(const std::string& fileName, std::string& refusal, size_t maxBytes) {
  Close();
  FILE* file = Sys_OpenFileToRead(fileName, SysFileKind::Save, refusal);
  if (!file) return false;
  maxBytes = std::min<uint64_t>(maxBytes, Sys_FileBound(SysFileKind::Save));
  // Unbuffered: the reads below are the header and then the whole rest, and a
  // stdio buffer would only add a copy and an allocation.
  setvbuf(file, nullptr, _IONBF, 0);
  // The header first: a file that is not a chunk file is refused before any
  // more of it is read, however large or endless it is.
  std::vector<uint8_t> bytes(8);
  bool ok = maxBytes >= 8 && fread(bytes.data(), 1, 8, file) == 8 && ReadWordAt(bytes.data(), 0) == kMagic;
  if (ok && fseek(file, 0, SEEK_END) == 0) {  // a size known up front is refused before it is read
    long size = ftell(file);
    ok = size >= 0 && (unsigned long)size <= maxBytes && fseek(file, 8, SEEK_SET) == 0;
    // The rest in one read when the size is known; the loop below takes
    // whatever a growing or unsized file still holds.
    if (ok && size > 8) {
      bytes.resize((size_t)size);
      bytes.resize(8 + fread(bytes.data() + 8, 1, (size_t)size - 8, file));
    }
  }
  uint8_t block[65536];
  size_t got;
  while (ok && (got = fread(block, 1, sizeof block, file)) > 0) {
    if (got > maxBytes - bytes.size()) ok = false;
    else bytes.insert(bytes.end(), block, block + got);
  }
  if (ferror(file)) ok = false;
  fclose(file);
  return ok && AdoptBytes(std::move(bytes));
}

bool cChunkFile::OpenReadBytes(const uint8_t* data, size_t size) {
  Close();
  return AdoptBytes(std::vector<uint8_t>(data, data + size));
}

bool cChunkFile::OpenReadView(const uint8_t* data, size_t size) {
  Close();
  return StartReading(data, size);
}

bool cChunkFile::AdoptBytes(std::vector<uint8_t> bytes) {
  mData = std::move(bytes);
  if (StartReading(mData.data(), mData.size())) return true;
  mData.clear();
  return false;
}

bool cChunkFile::StartReading(const uint8_t* data, size_t size) {
  if (!data || size < 8 || ReadWordAt(data, 0) != kMagic) return false;  // not even magic and version
  mRead = data;
  mReadSize = size;
  mReading = true;
  mVersion = ReadWordAt(mRead, 4);
  mChunkId = 0;
  mChunkSize = 0;
  ReadNextHeader(8);
  return true;
}

bool cChunkFile::IsChainComplete() const {
  if (!mReading) return false;
  size_t at = 8;
  while (at < mReadSize) {
    size_t left = mReadSize - at;
    if (left < 8) return false;  // a partial chunk header
    uint32_t size = ReadWordAt(mRead, at + 4);
    if (size > left - 8) return false;  // the body runs past the end
    at += 8 + (size_t)size;
  }
  return true;
}

void cChunkFile::ReadNextHeader(size_t at) {
  if (at <= mReadSize && mReadSize - at >= 8) {
    mChunkId = ReadWordAt(mRead, at);
    mChunkSize = ReadWordAt(mRead, at + 4);
    mPosition = at + 8;
  } else {
    mPosition = mReadSize;  // nothing more: the old id and size stay
  }
}

const uint8_t* cChunkFile::GetChunkData() const {
  if (!mReading || mPosition > mReadSize || mChunkSize > mReadSize - mPosition) return nullptr;
  return mRead + mPosition;
}

bool cChunkFile::AtEnd() const { return !mReading || mPosition >= mReadSize; }

bool cChunkFile::ReadChunk(void* buffer) {
  if (!mReading) return false;
  size_t available = mReadSize - mPosition;
  size_t take = mChunkSize < available ? mChunkSize : available;
  if (take) std::memcpy(buffer, mRead + mPosition, take);
  if (take < mChunkSize) std::memset((uint8_t*)buffer + take, 0, mChunkSize - take);
  bool whole = take == mChunkSize;
  SkipChunk();
  return whole;
}

void cChunkFile::SkipChunk() {
  if (!mReading) return;
  size_t available = mReadSize - mPosition;
  if (mChunkSize > available) {
    mPosition = mReadSize;
    return;
  }
  ReadNextHeader(mPosition + mChunkSize);
}

bool cChunkFile::FindChunk(uint32_t id) {
  while (!AtEnd()) {
    if (mChunkId == id) return true;
    SkipChunk();
  }
  return false;
}

bool cChunkFile::ReadChunkById(uint32_t id, void* buffer) {
  if (!FindChunk(id)) return false;
  return ReadChunk(buffer);
}

void cChunkFile::Rewind() {
  if (mReading) ReadNextHeader(8);
}

bool cChunkFile::Close() {
  bool finished = mOut.file ? FinishWrite() : true;
  mData.clear();
  mData.shrink_to_fit();
  mRead = nullptr;
  mReadSize = 0;
  mReading = false;
  mPosition = 0;
  return finished;
}
