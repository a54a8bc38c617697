// The save interface of the five saved tribe classes: each writes and reads
// only its own fields; the links between tribe objects (hut, members, tools,
// the creature's body record) are written as ids by the tribe serializer.
#pragma once

#include <cstdint>

class cMemoryStream;

class cISerializableObject {
 public:
  virtual ~cISerializableObject() = default;
  // Appends the object's own fields, always in the newest layout.
  virtual void Write(cMemoryStream& stream, uint32_t version) = 0;
  // Reads the fields that a file of `version` holds. A short stream sets its
  // failure flag and the object keeps every value it had.
  virtual void Read(cMemoryStream& stream, uint32_t version) = 0;
};
