#include <gtest/gtest.h>

#include <cstring>

#include "sim/gamedata/MemoryStream.h"

static std::vector<uint8_t> BytesOf(const cMemoryStream& stream) {
  return std::vector<uint8_t>(stream.GetData(), stream.GetData() + stream.GetSize());
}

TEST(MemoryStream, EncodesValuesByteExactAndReadsThemBack) {
  cMemoryStream stream;
  uint32_t one = 1;
  int32_t minusTwo = -2;
  float unit = 1.0f;
  Ru::Math::Vector3 v{1.0f, -2.0f, 0.5f};
  stream.WriteUInt32(&one);
  stream.WriteUInt32(&minusTwo);
  stream.WriteFloat(&unit);
  stream.WriteVector3(&v);
  stream.WriteCString("abc");
  stream.WriteString(std::string("de"));
  EXPECT_EQ(stream.GetPosition(), stream.GetSize());

  std::vector<uint8_t> expected = {0x01, 0, 0, 0,  0xFE, 0xFF, 0xFF, 0xFF,  0, 0, 0x80, 0x3F,
                                   0, 0, 0x80, 0x3F,  0, 0, 0, 0xC0,  0, 0, 0, 0x3F,
                                   'a', 'b', 'c', 0,  'd', 'e', 0};
  EXPECT_EQ(BytesOf(stream), expected);

  cMemoryStream reader;
  reader.InitFromBytes(stream.GetData(), stream.GetSize());
  uint32_t u;
  int32_t i;
  float f;
  Ru::Math::Vector3 w;
  std::string s1, s2;
  reader.ReadUInt32(&u);
  reader.ReadUInt32(&i);
  reader.ReadFloat(&f);
  reader.ReadVector3(&w);
  reader.ReadString(s1);
  reader.ReadString(s2);
  EXPECT_EQ(u, 1u);
  EXPECT_EQ(i, -2);
  EXPECT_EQ(f, 1.0f);
  EXPECT_EQ(w.x, 1.0f);
  EXPECT_EQ(w.y, -2.0f);
  EXPECT_EQ(w.z, 0.5f);
  EXPECT_EQ(s1, "abc");
  EXPECT_EQ(s2, "de");
  EXPECT_EQ(reader.GetPosition(), reader.GetSize());
  EXPECT_FALSE(reader.HasFailed());
}

// Fault mended: PutByte followed by a string write used to overwrite the byte
// just put, because the string was written at the (unmoved) position.
TEST(MemoryStream, EveryWriteAppendsAndLeavesThePositionAtTheEnd) {
  cMemoryStream stream;
  uint8_t marker = 0x7F;
  stream.PutByte(&marker);
  EXPECT_EQ(stream.GetPosition(), 1u);
  stream.WriteCString("x");
  std::vector<uint8_t> expected = {0x7F, 'x', 0};
  EXPECT_EQ(BytesOf(stream), expected);
}

// Fault mended: reads were unchecked, so a short record read past the buffer.
TEST(MemoryStream, ShortReadsYieldZeroStopAtTheEndAndSetTheFailureFlag) {
  const uint8_t three[3] = {1, 2, 3};
  cMemoryStream stream;
  stream.InitFromBytes(three, 3);
  EXPECT_EQ(stream.ReadUInt32Value(), 0u);
  EXPECT_TRUE(stream.HasFailed());
  EXPECT_EQ(stream.GetPosition(), 3u);
  EXPECT_EQ(stream.ReadFloatValue(), 0.0f);  // stays failed, reads nothing

  const uint8_t eight[8] = {0, 0, 0x80, 0x3F, 0, 0, 0x80, 0x3F};
  stream.InitFromBytes(eight, 8);
  EXPECT_FALSE(stream.HasFailed());
  Ru::Math::Vector3 v{9.0f, 9.0f, 9.0f};
  stream.ReadVector3(&v);  // 8 of 12 bytes: all three read as zero
  EXPECT_EQ(v.x, 0.0f);
  EXPECT_EQ(v.y, 0.0f);
  EXPECT_EQ(v.z, 0.0f);
  EXPECT_TRUE(stream.HasFailed());
  EXPECT_EQ(stream.GetRemaining(), 0u);

  stream.InitFromBytes(eight, 0);
  EXPECT_EQ(stream.GetSize(), 0u);
  EXPECT_EQ(stream.GetPosition(), 0u);
}

// Fault mended: the C-string read had no bound at all.
TEST(MemoryStream, StringReadsAreBoundedByTheDataAndTheCallersBuffer) {
  cMemoryStream stream;
  const char unterminated[4] = {'a', 'b', 'c', 'd'};
  stream.InitFromBytes(unterminated, 4);
  std::string text;
  stream.ReadString(text);
  EXPECT_EQ(text, "abcd");
  EXPECT_TRUE(stream.HasFailed());
  EXPECT_EQ(stream.GetPosition(), 4u);

  stream.Clear();
  stream.WriteCString("toolong");
  stream.WriteCString("ok");
  cMemoryStream reader;
  reader.InitFromBytes(stream.GetData(), stream.GetSize());
  char small[4];
  reader.ReadCString(small, sizeof small);
  EXPECT_STREQ(small, "too");
  EXPECT_TRUE(reader.HasFailed());
  EXPECT_EQ(reader.GetPosition(), 8u);  // past the whole string, so the next value lines up
  char fits[3];
  reader.ReadCString(fits, sizeof fits);
  EXPECT_STREQ(fits, "ok");

  reader.InitFromBytes(unterminated, 4);
  char big[16];
  reader.ReadCString(big, sizeof big);
  EXPECT_STREQ(big, "abcd");
  EXPECT_TRUE(reader.HasFailed());
}

TEST(MemoryStream, ClearEmptiesAndResetsTheFailure) {
  cMemoryStream stream;
  stream.WriteUInt32Value(5);
  stream.Read4();  // position is at the end after writing: this fails
  EXPECT_TRUE(stream.HasFailed());
  stream.Clear();
  EXPECT_EQ(stream.GetSize(), 0u);
  EXPECT_EQ(stream.GetPosition(), 0u);
  EXPECT_FALSE(stream.HasFailed());
}

TEST(MemoryStream, QuaternionsAreSixteenRawBytesXYZWAndAllOrNothing) {
  cMemoryStream stream;
  Ru::Math::Quaternion q{1.0f, -2.0f, 0.5f, 2.0f};
  stream.WriteQuaternion(&q);
  std::vector<uint8_t> expected = {0, 0, 0x80, 0x3F, 0, 0, 0, 0xC0, 0, 0, 0, 0x3F, 0, 0, 0, 0x40};
  EXPECT_EQ(BytesOf(stream), expected);

  cMemoryStream reader;
  reader.InitFromBytes(stream.GetData(), stream.GetSize());
  Ru::Math::Quaternion back;
  reader.ReadQuaternion(&back);
  EXPECT_TRUE(back.x == 1.0f && back.y == -2.0f && back.z == 0.5f && back.w == 2.0f);
  EXPECT_FALSE(reader.HasFailed());

  reader.InitFromBytes(stream.GetData(), 12);  // cut short: the identity, and the flag
  reader.ReadQuaternion(&back);
  EXPECT_TRUE(back.x == 0.0f && back.y == 0.0f && back.z == 0.0f && back.w == 1.0f);
  EXPECT_TRUE(reader.HasFailed());
  EXPECT_EQ(reader.GetRemaining(), 0u);
}

// The buffer is kept between uses: a later, shorter content must never show
// bytes of an earlier, longer one.
TEST(MemoryStream, AReusedBufferHoldsOnlyTheCurrentBytesAndSizesArePatchedInPlace) {
  cMemoryStream stream;
  stream.WriteUInt32Value(0x11111111);
  stream.WriteUInt32Value(0x22222222);
  const uint8_t two[2] = {7, 8};
  stream.InitFromBytes(two, 2);
  EXPECT_EQ(BytesOf(stream), (std::vector<uint8_t>{7, 8}));
  stream.Read4();  // the old bytes past 2 are not there to read
  EXPECT_TRUE(stream.HasFailed());

  stream.Clear();
  stream.WriteUInt32Value(0);  // a size written before what it counts
  stream.WriteBytes("abc", 3);
  stream.PatchUInt32(0, 3);
  stream.PatchUInt32(5, 9);  // not four written bytes there: nothing
  EXPECT_EQ(BytesOf(stream), (std::vector<uint8_t>{3, 0, 0, 0, 'a', 'b', 'c'}));
  stream.Truncate(4);
  EXPECT_EQ(stream.GetPosition(), 4u);
  stream.WriteBytes("z", 1);
  EXPECT_EQ(BytesOf(stream), (std::vector<uint8_t>{3, 0, 0, 0, 'z'}));
}
