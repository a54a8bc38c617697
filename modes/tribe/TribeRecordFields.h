// Reading helpers shared by the tribe records: every value of a record is read
// into a local first and applied only when the whole record was there and
// every real in it is finite, so a damaged record changes nothing.
#pragma once

#include "math/Scalar.h"
#include "math/Vector.h"
#include "math/Types.h"
#include "sim/gamedata/MemoryStream.h"

inline bool IsFiniteQuaternion(const Ru::Math::Quaternion& q) {
  return Ru::Math::IsValidFloat(q.x) && Ru::Math::IsValidFloat(q.y) && Ru::Math::IsValidFloat(q.z) &&
         Ru::Math::IsValidFloat(q.w);
}

// The unit vector of v, or the zero vector for a (near) zero v.
inline Ru::Math::Vector3 TribeUnitOrZero(const Ru::Math::Vector3& v) {
  Ru::Math::Vector3 unit;
  return Ru::Math::Vector3NormalizeSafe(v, unit) > 0.0f ? unit : Ru::Math::Vector3{};
}

// True when the stream is still sound and `valid` holds; otherwise marks the
// stream failed for `reason` (damage like a short record) and false.
inline bool AcceptRecord(cMemoryStream& stream, bool valid, const char* reason = "not a finite number") {
  if (!valid) stream.MarkFailed(reason);
  return !stream.HasFailed();
}
