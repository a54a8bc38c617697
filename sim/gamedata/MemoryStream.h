// A growable byte buffer with a read position: every serializer writes an
// object's fields into one and reads them back from one. Values are raw
// little-endian 4-byte integers and floats, 12-byte 3-vectors, 16-byte
// quaternions (x, y, z, w) and NUL-ended strings, one after another with no tags or lengths.
//
// Writes always append at the end and leave the position there. Reads never
// go past the data: a read that does not fit yields zeros, moves the position
// to the end and sets a sticky failure flag that serializers test.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "math/Types.h"

class cMemoryStream {
 public:
  // ---- writing (append; position := size) ----
  void WriteUInt32(const uint32_t* value);
  void WriteUInt32(const int32_t* value);
  void WriteFloat(const float* value);
  void WriteVector3(const Ru::Math::Vector3* value);
  void WriteQuaternion(const Ru::Math::Quaternion* value);
  void PutByte(const uint8_t* byte);
  void WriteCString(const char* text);  // the characters and one NUL
  void WriteString(const std::string& text);
  void WriteBytes(const void* data, uint32_t n);  // n raw bytes, as ReadBytes takes them
  // By-value conveniences for constants and expressions.
  void WriteUInt32Value(uint32_t value) { WriteUInt32(&value); }
  void WriteFloatValue(float value) { WriteFloat(&value); }

  // ---- reading (from position; advances) ----
  void ReadUInt32(uint32_t* out);
  void ReadUInt32(int32_t* out);
  void ReadFloat(float* out);
  void ReadVector3(Ru::Math::Vector3* out);
  void ReadQuaternion(Ru::Math::Quaternion* out);  // cut short: the identity
  void Read4();  // skips one 4-byte value
  uint32_t ReadUInt32Value();
  float ReadFloatValue();
  // Copies up to and including the NUL, never more than `capacity` bytes; a
  // string that does not fit or has no NUL sets the failure flag and `out`
  // still ends in a NUL (when capacity > 0).
  void ReadCString(char* out, size_t capacity);
  // The characters up to the NUL; a missing NUL sets the failure flag.
  void ReadString(std::string& out);
  // Copies n raw bytes (for records that embed a fixed-size block).
  void ReadBytes(void* out, uint32_t n);

  // ---- state ----
  bool HasFailed() const { return mFailed; }
  // A serializer found a value it cannot accept; the first reason given is
  // kept for the load report ("not a finite number", "the wrong length").
  void MarkFailed(const char* reason = "a value out of range") {
    if (!mFailed) mFailReason = reason;
    mFailed = true;
  }
  const char* GetFailReason() const { return mFailReason ? mFailReason : "too short"; }
  uint32_t GetRemaining() const { return GetSize() - mPosition; }
  uint32_t GetPosition() const { return mPosition; }
  uint32_t GetSize() const { return mSize; }
  const uint8_t* GetData() const { return mBytes.data(); }

  // Size becomes exactly n, the bytes are copied in, position := 0, no failure.
  void InitFromBytes(const void* data, uint32_t n);
  // Empties the buffer but keeps its memory; position := 0, no failure.
  void Clear();
  // For a writer that lays out a size before the bytes it counts: overwrites
  // four bytes already written at `at` (nothing when they are not there), and
  // drops everything after the first `size` bytes (position := the new size).
  void PatchUInt32(uint32_t at, uint32_t value);
  void Truncate(uint32_t size);

 private:
  void Append(const void* data, uint32_t n) {
    if (mBytes.size() - mSize < n) Grow(n);
    if (n) std::memcpy(mBytes.data() + mSize, data, n);
    mSize += n;
    mPosition = mSize;
  }
  void Grow(uint32_t more);  // room for `more` bytes after the size, at least doubling
  bool ReadFloatsAllOrNone(float* out, uint32_t count);  // count <= 4
  bool Take(void* out, uint32_t n);  // false (out zeroed, position at end, failed) when n bytes are not there

  std::vector<uint8_t> mBytes;  // the first mSize bytes are the data; the rest is room to write
  uint32_t mSize = 0;
  uint32_t mPosition = 0;
  bool mFailed = false;
  const char* mFailReason = nullptr;  // null: a read ran past the end
};
