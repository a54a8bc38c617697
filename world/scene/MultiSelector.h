// Rubber-band selection: every game object within a radius of the ground
// point under the mouse is offered to a client (the city, tribe and civ
// input code), and a twelve-sided band shows the circle on the ground.
#pragma once

#include "math/Types.h"

namespace Ko {
class cGameData;
}

class cIMultiSelectClient {
 public:
  virtual ~cIMultiSelectClient() = default;
  virtual bool CanSelect(Ko::cGameData* owner) = 0;
  virtual void Select(Ko::cGameData* owner) = 0;
};

class cMultiSelector {
 public:
  explicit cMultiSelector(cIMultiSelectClient* client) : mClient(client) {}
  virtual ~cMultiSelector() = default;
  // Offers the objects around the ground point under (x, y); false when the
  // point is off the planet or nothing lies near it.
  virtual bool SelectAt(int x, int y);
  // The band around the ground point of the last SelectAt ((0, 0) before any);
  // nothing when that point is off the planet.
  virtual void Draw();
  virtual void SetRadius(float radius) { mRadius = radius; }
  virtual void SetColour(float r, float g, float b) { mColour = Ru::Math::Vector3{r, g, b}; }
  virtual Ru::Math::Vector3 GetColour() { return mColour; }
  virtual float GetRadius() { return mRadius; }

 protected:
  // The ground point under a window point; a mode that picks through a view
  // of its own (headless in tests) answers it there.
  virtual bool GroundUnder(int x, int y, Ru::Math::Vector3& ground);

 private:

  cIMultiSelectClient* mClient;  // not owned
  float mRadius = 3.0f;
  int mLastX = 0, mLastY = 0;
  Ru::Math::Vector3 mColour{1.0f, 1.0f, 1.0f};
};
