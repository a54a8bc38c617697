// What an interaction may act on. The target travels as one pointer-sized word:
// either the address of a cIInteractionTarget (a plant, a location, a creature)
// or a plain value that the interaction's own class interprets; 0 means none.
#pragma once

#include <cstdint>

using tTargetWord = uintptr_t;

// Marks things an interaction may target.
class cIInteractionTarget {
 public:
  virtual ~cIInteractionTarget() = default;
};

class cILocation {
 public:
  virtual ~cILocation() = default;
  virtual const float* GetPosition() = 0;  // x, y, z
};

// A bare point, for interactions that go somewhere rather than to something.
class cLocation : public cILocation, public cIInteractionTarget {
 public:
  cLocation(float x, float y, float z) : mPosition{x, y, z} {}
  const float* GetPosition() override { return mPosition; }

 private:
  float mPosition[3];
};

// The word form of a target object, and back. The cast goes through
// cIInteractionTarget so that the address is the same on both sides.
inline tTargetWord TargetWordOf(cIInteractionTarget* target) { return reinterpret_cast<tTargetWord>(target); }
inline cIInteractionTarget* TargetOfWord(tTargetWord word) { return reinterpret_cast<cIInteractionTarget*>(word); }
