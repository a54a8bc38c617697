#include "camera/CameraRecord.h"

#include <algorithm>
#include <cmath>

#include "camera/Camera.h"
#include "sim/gamedata/MemoryStream.h"
#include "world/planet/SavedValueRepair.h"

namespace {

// The record's fields, in file order, as pointers into the camera state; one
// table serves capture and apply so the two can never disagree.
struct FieldTable {
  float* fields[cCameraRecord::kFloatCount];
};

FieldTable Fields(cCameraState& c) {
  return FieldTable{{&c.targetAnchor[0], &c.targetAnchor[1], &c.targetAnchor[2], &c.targetFrame[0],
                     &c.targetFrame[1], &c.targetFrame[2], &c.targetFrame[3], &c.targetYaw, &c.targetPitch,
                     &c.targetDistance, &c.anchor[0], &c.anchor[1], &c.anchor[2], &c.baseOrientation[0],
                     &c.baseOrientation[1], &c.baseOrientation[2], &c.baseOrientation[3], &c.currentYaw,
                     &c.currentPitch, &c.currentDistance}};
}

}  // namespace

cCameraRecord CaptureCameraRecord() {
  cCameraRecord record;
  FieldTable table = Fields(GetCameraState());
  for (uint32_t i = 0; i < cCameraRecord::kFloatCount; ++i) record.values[i] = *table.fields[i];
  return record;
}

void ApplyCameraRecord(const cCameraRecord& record) {
  FieldTable table = Fields(GetCameraState());
  for (uint32_t i = 0; i < cCameraRecord::kFloatCount; ++i) *table.fields[i] = record.values[i];
}

void WriteCameraState(cMemoryStream& stream, uint32_t /*version*/) {
  cCameraRecord record = CaptureCameraRecord();
  for (float value : record.values) stream.WriteFloat(&value);
}

void ReadCameraRecord(cMemoryStream& stream, cCameraRecord& record) {
  if (stream.GetRemaining() < cCameraRecord::kSize) {
    stream.ReadBytes(record.values, cCameraRecord::kSize);  // fails cleanly: zeros, position at the end
    record = cCameraRecord{};
    return;
  }
  for (float& value : record.values) stream.ReadFloat(&value);
  // A NaN or infinity would leave the view black until the next load: such a
  // record is as unusable as a short one.
  for (float value : record.values) {
    if (!std::isfinite(value)) {
      stream.MarkFailed("not a finite number");
      record = cCameraRecord{};
      return;
    }
  }
}

// Finite but absurd values are mended and counted. An anchor at the centre
// and a zero frame are a camera not placed yet, and stay.
void RepairCameraRecord(cCameraRecord& record) {
  float* v = record.values;
  for (int at : {0, 10}) {
    Ru::Math::Vector3 anchor{v[at], v[at + 1], v[at + 2]};
    if (GetPlanetModel().CheckSavedPoint(anchor) != cPlanetModel::eSavedPoint::BroughtDown) continue;
    v[at] = anchor.x, v[at + 1] = anchor.y, v[at + 2] = anchor.z;
    GetDataManager()->CountLoadRepair("camera anchor");
  }
  for (int at : {3, 13})
    if (MendSavedFacing(v[at], v[at + 1], v[at + 2], v[at + 3])) GetDataManager()->CountLoadRepair("camera frame");
  for (int at : {9, 19}) RepairSavedDistance(v[at], "camera distance");
  for (int at : {7, 17}) {
    if (std::fabs(v[at]) <= kFarSavedYaw) continue;
    v[at] = std::remainder(v[at], 360.0f);
    GetDataManager()->CountLoadRepair("camera yaw");
  }
  for (int at : {8, 18}) {
    if (std::fabs(v[at]) <= kSteepestSavedPitch) continue;
    v[at] = std::clamp(v[at], -kSteepestSavedPitch, kSteepestSavedPitch);
    GetDataManager()->CountLoadRepair("camera pitch");
  }
}

void ReadCameraState(cMemoryStream& stream) {
  cCameraRecord record;
  ReadCameraRecord(stream, record);
  if (!stream.HasFailed()) ApplyCameraRecord(record);
}
