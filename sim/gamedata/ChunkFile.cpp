#include "sim/gamedata/ChunkFile.h"

#include <cstring>

#include "platform/Sys.h"

static uint32_t ReadWordAt(const std::vector<uint8_t>& data, size_t at) {
  return (uint32_t)data[at] | (uint32_t)data[at + 1] << 8 | (uint32_t)data[at + 2] << 16 |
         (uint32_t)data[at + 3] << 24;
}

cChunkFile::~cChunkFile() { Close(); }

// ---- writing ------------------------------------------------------------------

bool cChunkFile::OpenWrite(const std::string& fileName, uint32_t version) {
  Close();
  mTargetName = fileName;
  mTempName = fileName + ".tmp";
  mWriteFailed = false;
  mVersion = version;
  mFile = Sys_OpenFile(mTempName, "wb");
  if (!mFile) return false;
  return WriteChunk(kMagic, version, nullptr);  // the header has the same shape as a chunk header
}

bool cChunkFile::WriteChunk(uint32_t id, uint32_t size, const void* data) {
  if (!mFile || mWriteFailed) return false;
  uint8_t head[8];
  for (int i = 0; i < 4; ++i) {
    head[i] = (uint8_t)(id >> (8 * i));
    head[4 + i] = (uint8_t)(size >> (8 * i));
  }
  if (fwrite(head, 1, 8, mFile) != 8) mWriteFailed = true;
  if (data && size && fwrite(data, 1, size, mFile) != size) mWriteFailed = true;
  return !mWriteFailed;
}

bool cChunkFile::FinishWrite() {
  if (!mFile) return false;
  bool ok = !mWriteFailed;
  if (fflush(mFile) != 0 || ferror(mFile)) ok = false;
  if (fclose(mFile) != 0) ok = false;
  mFile = nullptr;
  if (ok) ok = Sys_ReplaceFile(mTempName, mTargetName);
  if (!ok) std::remove(Sys_ResolvePath(mTempName).c_str());
  mTempName.clear();
  mTargetName.clear();
  return ok;
}

void cChunkFile::AbandonWrite() {
  if (!mFile) return;
  fclose(mFile);
  mFile = nullptr;
  std::remove(Sys_ResolvePath(mTempName).c_str());
  mTempName.clear();
  mTargetName.clear();
}

// ---- reading ------------------------------------------------------------------

bool cChunkFile::OpenRead(const std::string& fileName) {
  Close();
  std::vector<uint8_t> bytes;
  if (!Sys_ReadWholeFile(fileName, bytes)) return false;
  return OpenReadBytes(bytes.data(), bytes.size());
}

bool cChunkFile::OpenReadBytes(const uint8_t* data, size_t size) {
  Close();
  if (size < 8) return false;  // not even magic and version
  mData.assign(data, data + size);
  if (ReadWordAt(mData, 0) != kMagic) {
    Close();
    return false;
  }
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

void cChunkFile::Close() {
  AbandonWrite();
  mData.clear();
  mData.shrink_to_fit();
  mReading = false;
  mPosition = 0;
}
