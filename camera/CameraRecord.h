// The camera's part of a saved game: twenty floats (80 bytes) holding the
// camera's targets and its current values, appended to the application
// state's record. Pitch limits, script and mouse state are not saved.
#pragma once

#include <cstdint>

class cMemoryStream;

// The twenty values in record order: target anchor (3), target frame
// quaternion (4), target yaw, pitch, distance, anchor (3), base orientation
// quaternion (4), current yaw, pitch, distance.
struct cCameraRecord {
  static constexpr uint32_t kFloatCount = 20;
  static constexpr uint32_t kSize = kFloatCount * 4;
  float values[kFloatCount] = {};
};

cCameraRecord CaptureCameraRecord();                   // from the live camera
void ApplyCameraRecord(const cCameraRecord& record);   // into the live camera, all twenty at once

void WriteCameraState(cMemoryStream& stream, uint32_t version);  // appends the 80 bytes
// Reads 80 bytes into `record`. A record cut short or holding a non-finite
// value leaves the stream failed and `record` zeroed; the caller then applies nothing.
void ReadCameraRecord(cMemoryStream& stream, cCameraRecord& record);
// Mends and counts, for a load, finite values the world cannot take: an
// anchor beyond it, a frame far from unit length, a distance below 0 or
// longer than the world is wide, a yaw beyond kFarSavedYaw either way (turned
// back within half a turn of 0, the same direction), a pitch past straight
// down or straight up.
void RepairCameraRecord(cCameraRecord& record);
// Far more turns than play winds the yaw up, and few enough that a float
// still tells a hundredth of a degree apart: at 1e30 degrees a mouse could no
// longer turn the camera at all.
inline constexpr float kFarSavedYaw = 100.0f * 360.0f;
// No camera looks beyond straight down (90) or straight up (-90).
inline constexpr float kSteepestSavedPitch = 90.0f;
// Reads and applies; a short or non-finite record changes nothing in the camera.
void ReadCameraState(cMemoryStream& stream);
