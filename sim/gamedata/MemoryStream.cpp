#include "sim/gamedata/MemoryStream.h"

#include <cstring>

// Values are stored little-endian whatever the host, so save files move
// between machines unchanged.
static void EncodeU32(uint32_t value, uint8_t out[4]) {
  out[0] = (uint8_t)value;
  out[1] = (uint8_t)(value >> 8);
  out[2] = (uint8_t)(value >> 16);
  out[3] = (uint8_t)(value >> 24);
}

static uint32_t DecodeU32(const uint8_t in[4]) {
  return (uint32_t)in[0] | (uint32_t)in[1] << 8 | (uint32_t)in[2] << 16 | (uint32_t)in[3] << 24;
}

static uint32_t FloatBits(float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, 4);
  return bits;
}

static float BitsFloat(uint32_t bits) {
  float value;
  std::memcpy(&value, &bits, 4);
  return value;
}

// Every write appends and leaves the position at the new end, so no sequence
// of writes can overwrite what an earlier write put there.
void cMemoryStream::Grow(uint32_t more) {
  size_t wanted = (size_t)mSize + more;
  size_t doubled = 2 * mBytes.size();
  mBytes.resize(wanted > doubled ? wanted : doubled);
}

void cMemoryStream::WriteUInt32(const uint32_t* value) {
  uint8_t encoded[4];
  EncodeU32(*value, encoded);
  Append(encoded, 4);
}

void cMemoryStream::WriteUInt32(const int32_t* value) {
  uint32_t bits = (uint32_t)*value;
  WriteUInt32(&bits);
}

void cMemoryStream::WriteFloat(const float* value) {
  uint32_t bits = FloatBits(*value);
  WriteUInt32(&bits);
}

void cMemoryStream::WriteVector3(const Ru::Math::Vector3* value) {
  WriteFloat(&value->x);
  WriteFloat(&value->y);
  WriteFloat(&value->z);
}

void cMemoryStream::WriteQuaternion(const Ru::Math::Quaternion* value) {
  WriteFloat(&value->x);
  WriteFloat(&value->y);
  WriteFloat(&value->z);
  WriteFloat(&value->w);
}

void cMemoryStream::PutByte(const uint8_t* byte) { Append(byte, 1); }

void cMemoryStream::WriteCString(const char* text) {
  if (!text) text = "";
  Append(text, (uint32_t)std::strlen(text) + 1);
}

void cMemoryStream::WriteString(const std::string& text) { WriteCString(text.c_str()); }

void cMemoryStream::WriteBytes(const void* data, uint32_t n) { Append(data, n); }

void cMemoryStream::PatchUInt32(uint32_t at, uint32_t value) {
  if (at > GetSize() || GetSize() - at < 4) return;
  EncodeU32(value, mBytes.data() + at);
}

void cMemoryStream::Truncate(uint32_t size) {
  if (size < mSize) mSize = size;
  mPosition = mSize;
}

bool cMemoryStream::Take(void* out, uint32_t n) {
  if (GetRemaining() < n) {
    std::memset(out, 0, n);
    mPosition = GetSize();
    mFailed = true;
    return false;
  }
  if (n) std::memcpy(out, mBytes.data() + mPosition, n);
  mPosition += n;
  return true;
}

void cMemoryStream::ReadUInt32(uint32_t* out) {
  uint8_t encoded[4];
  Take(encoded, 4);
  *out = DecodeU32(encoded);
}

void cMemoryStream::ReadUInt32(int32_t* out) {
  uint32_t bits;
  ReadUInt32(&bits);
  *out = (int32_t)bits;
}

void cMemoryStream::ReadFloat(float* out) {
  uint32_t bits;
  ReadUInt32(&bits);
  *out = BitsFloat(bits);
}

// All the floats or none: a value cut short reads as its default, like any short value.
bool cMemoryStream::ReadFloatsAllOrNone(float* out, uint32_t count) {
  if (GetRemaining() < 4 * count) {
    uint8_t skip[16];
    Take(skip, 4 * count);
    return false;
  }
  for (uint32_t i = 0; i < count; ++i) ReadFloat(&out[i]);
  return true;
}

void cMemoryStream::ReadVector3(Ru::Math::Vector3* out) {
  float v[3];
  *out = ReadFloatsAllOrNone(v, 3) ? Ru::Math::Vector3{v[0], v[1], v[2]} : Ru::Math::Vector3{};
}

void cMemoryStream::ReadQuaternion(Ru::Math::Quaternion* out) {
  float q[4];
  *out = ReadFloatsAllOrNone(q, 4) ? Ru::Math::Quaternion{q[0], q[1], q[2], q[3]} : Ru::Math::Quaternion{};
}

void cMemoryStream::Read4() {
  uint32_t ignored;
  ReadUInt32(&ignored);
}

uint32_t cMemoryStream::ReadUInt32Value() {
  uint32_t value;
  ReadUInt32(&value);
  return value;
}

float cMemoryStream::ReadFloatValue() {
  float value;
  ReadFloat(&value);
  return value;
}

void cMemoryStream::ReadCString(char* out, size_t capacity) {
  size_t written = 0;
  while (mPosition < GetSize()) {
    char c = (char)mBytes[mPosition++];
    if (written + 1 >= capacity) {  // no room left for this character and a NUL
      if (c == '\0' && written < capacity) {
        out[written] = '\0';
        return;
      }
      // Too long for the buffer: consume the rest of the string so the next
      // value is read from the right place, but report the loss.
      while (c != '\0' && mPosition < GetSize()) c = (char)mBytes[mPosition++];
      mFailed = true;
      if (capacity) out[capacity - 1] = '\0';
      return;
    }
    out[written++] = c;
    if (c == '\0') return;
  }
  mFailed = true;  // ran out of data before the NUL
  if (capacity) out[written < capacity ? written : capacity - 1] = '\0';
}

void cMemoryStream::ReadString(std::string& out) {
  const uint8_t* start = mBytes.data() + mPosition;
  const void* nul = GetRemaining() ? std::memchr(start, 0, GetRemaining()) : nullptr;
  if (!nul) {
    out.assign((const char*)start, GetRemaining());
    mPosition = GetSize();
    mFailed = true;
    return;
  }
  size_t length = (const uint8_t*)nul - start;
  out.assign((const char*)start, length);
  mPosition += (uint32_t)length + 1;
}

void cMemoryStream::ReadBytes(void* out, uint32_t n) { Take(out, n); }

void cMemoryStream::InitFromBytes(const void* data, uint32_t n) {
  mSize = 0;
  if (mBytes.size() < n) mBytes.resize(n);
  if (n) std::memmove(mBytes.data(), data, n);
  mSize = n;
  mPosition = 0;
  mFailed = false;
  mFailReason = nullptr;
}

void cMemoryStream::Clear() {
  mSize = 0;  // keeps the buffer: the saver and the loader reuse one stream
  mPosition = 0;
  mFailed = false;
  mFailReason = nullptr;
}
