// The camera's 80-byte save record, checked byte by byte against its layout
// (written out here, apart from the code's own field table) in both directions.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <utility>

#include "camera/Camera.h"
#include "camera/CameraRecord.h"
#include "sim/gamedata/MemoryStream.h"

namespace {

// Offset in the record and the camera field stored there.
std::array<std::pair<uint32_t, float*>, 20> Layout(cCameraState& c) {
  return {{{0, &c.targetAnchor[0]},     {4, &c.targetAnchor[1]},     {8, &c.targetAnchor[2]},
           {12, &c.targetFrame[0]},     {16, &c.targetFrame[1]},     {20, &c.targetFrame[2]},
           {24, &c.targetFrame[3]},     {28, &c.targetYaw},          {32, &c.targetPitch},
           {36, &c.targetDistance},     {40, &c.anchor[0]},          {44, &c.anchor[1]},
           {48, &c.anchor[2]},          {52, &c.baseOrientation[0]}, {56, &c.baseOrientation[1]},
           {60, &c.baseOrientation[2]}, {64, &c.baseOrientation[3]}, {68, &c.currentYaw},
           {72, &c.currentPitch},       {76, &c.currentDistance}}};
}

float FloatAt(const uint8_t* bytes, uint32_t offset) {
  uint32_t bits = 0;
  for (int k = 0; k < 4; ++k) bits |= static_cast<uint32_t>(bytes[offset + k]) << (8 * k);  // little-endian
  float value;
  std::memcpy(&value, &bits, 4);
  return value;
}

class CameraRecordTest : public ::testing::Test {
 protected:
  void TearDown() override { GetCameraState() = saved; }
  cCameraState saved = GetCameraState();
};

TEST_F(CameraRecordTest, EveryFieldIsWrittenAtItsOffset) {
  for (auto& [offset, field] : Layout(GetCameraState())) *field = 1000.0f + static_cast<float>(offset);
  cMemoryStream stream;
  WriteCameraState(stream, 1);
  ASSERT_EQ(stream.GetSize(), 80u);
  for (uint32_t offset = 0; offset < 80; offset += 4)
    EXPECT_EQ(FloatAt(stream.GetData(), offset), 1000.0f + static_cast<float>(offset)) << "offset " << offset;
}

TEST_F(CameraRecordTest, EveryOffsetIsReadIntoItsField) {
  uint8_t bytes[80];
  for (uint32_t offset = 0; offset < 80; offset += 4) {
    float value = -2000.0f - static_cast<float>(offset);
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    for (int k = 0; k < 4; ++k) bytes[offset + k] = static_cast<uint8_t>(bits >> (8 * k));
  }
  cMemoryStream stream;
  stream.InitFromBytes(bytes, sizeof bytes);
  ReadCameraState(stream);
  EXPECT_FALSE(stream.HasFailed());
  EXPECT_EQ(stream.GetRemaining(), 0u);
  for (auto& [offset, field] : Layout(GetCameraState()))
    EXPECT_EQ(*field, -2000.0f - static_cast<float>(offset)) << "offset " << offset;
}

}  // namespace
