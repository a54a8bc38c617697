// Capabilities that interactions look for on their targets: something with a
// place and a heading in the world, and something that can be eaten.
#pragma once

#include "math/Types.h"

class cISpatialObject {
 public:
  virtual ~cISpatialObject() = default;
  virtual void SetPosition(const Ru::Math::Vector3& position) = 0;
  virtual Ru::Math::Vector3 GetPosition() = 0;
  virtual void SetOrientation(const Ru::Math::Quaternion& orientation) = 0;
  virtual Ru::Math::Quaternion GetOrientation() = 0;
};

class cIEdible {
 public:
  virtual ~cIEdible() = default;
  virtual bool IsMeat() = 0;
  virtual float GetFoodValue() = 0;
  virtual void SetFoodValue(float food) = 0;
  virtual cISpatialObject* GetSpatialObject() = 0;  // where the food stands
};
