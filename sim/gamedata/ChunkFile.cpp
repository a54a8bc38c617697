#include "sim/gamedata/ChunkFile.h"

#include <cstring>
#include <utility>

#include "platform/Sys.h"

static uint32_t ReadWordAt(const std::vector<uint8_t>& data, size_t at) {
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

bool cChunkFile::OpenRead(const std::string& fileName, size_t maxBytes) {
  Close();
  FILE* file = Sys_OpenFile(fileName, "rb");
  if (!file) return false;
  // The header first: a file that is not a chunk file is refused before any
  // more of it is read, however large or endless it is.
  std::vector<uint8_t> bytes(8);
  bool ok = maxBytes >= 8 && fread(bytes.data(), 1, 8, file) == 8 && ReadWordAt(bytes, 0) == kMagic;
  if (ok && fseek(file, 0, SEEK_END) == 0) {  // a size known up front is refused before it is read
    long size = ftell(file);
    ok = size >= 0 && (unsigned long)size <= maxBytes && fseek(file, 8, SEEK_SET) == 0;
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

bool cChunkFile::AdoptBytes(std::vector<uint8_t> bytes) {
  if (bytes.size() < 8 || ReadWordAt(bytes, 0) != kMagic) return false;  // not even magic and version
  mData = std::move(bytes);
  mReading = true;
  mVersion = ReadWordAt(mData, 4);
  mChunkId = 0;
  mChunkSize = 0;
  ReadNextHeader(8);
  return true;
}

bool cChunkFile::IsChainComplete() const {
  if (!mReading) return false;
  size_t at = 8;
  while (at < mData.size()) {
    size_t left = mData.size() - at;
    if (left < 8) return false;  // a partial chunk header
    uint32_t size = ReadWordAt(mData, at + 4);
    if (size > left - 8) return false;  // the body runs past the end
    at += 8 + (size_t)size;
  }
  return true;
}

void cChunkFile::ReadNextHeader(size_t at) {
  if (at <= mData.size() && mData.size() - at >= 8) {
    mChunkId = ReadWordAt(mData, at);
    mChunkSize = ReadWordAt(mData, at + 4);
    mPosition = at + 8;
  } else {
    mPosition = mData.size();  // nothing more: the old id and size stay
  }
}

const uint8_t* cChunkFile::GetChunkData() const {
  if (!mReading || mPosition > mData.size() || mChunkSize > mData.size() - mPosition) return nullptr;
  return mData.data() + mPosition;
}

bool cChunkFile::AtEnd() const { return !mReading || mPosition >= mData.size(); }

bool cChunkFile::ReadChunk(void* buffer) {
  if (!mReading) return false;
  size_t available = mData.size() - mPosition;
  size_t take = mChunkSize < available ? mChunkSize : available;
  if (take) std::memcpy(buffer, mData.data() + mPosition, take);
  if (take < mChunkSize) std::memset((uint8_t*)buffer + take, 0, mChunkSize - take);
  bool whole = take == mChunkSize;
  SkipChunk();
  return whole;
}

void cChunkFile::SkipChunk() {
  if (!mReading) return;
  size_t available = mData.size() - mPosition;
  if (mChunkSize > available) {
    mPosition = mData.size();
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
  mReading = false;
  mPosition = 0;
  return finished;
}
