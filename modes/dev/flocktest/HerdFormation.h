// Herd formations: small strategies that turn an anchor pose into one member's
// pose and the anchor pose for the next member. Chained from member to member
// they make lines, random walks and huddles; the select operator mixes them by
// weight. Random numbers come from the game's 15-bit generator.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "math/Types.h"

class tHerdFormationOperator {
 public:
  virtual ~tHerdFormationOperator() = default;
  // Every operator reads all of its inputs before it writes an output, so the
  // next-anchor outputs may be the very variables that hold the anchor.
  virtual void Apply(const Ru::Math::Vector3& anchorPosition, const Ru::Math::Quaternion& anchorOrientation,
                     Ru::Math::Vector3& memberPosition, Ru::Math::Quaternion& memberOrientation,
                     Ru::Math::Vector3& nextPosition, Ru::Math::Quaternion& nextOrientation) = 0;
  // One output pair serves as both the member and the next anchor.
  void Apply(const Ru::Math::Vector3& anchorPosition, const Ru::Math::Quaternion& anchorOrientation,
             Ru::Math::Vector3& position, Ru::Math::Quaternion& orientation) {
    Apply(anchorPosition, anchorOrientation, position, orientation, position, orientation);
  }
  // In place: the pair is the anchor, the member and the next anchor.
  void Apply(Ru::Math::Vector3& position, Ru::Math::Quaternion& orientation) {
    Apply(position, orientation, position, orientation, position, orientation);
  }
};

// A step of minimum to maximum along the anchor's local z axis.
class tHerdFormationOperatorLine : public tHerdFormationOperator {
 public:
  using tHerdFormationOperator::Apply;
  tHerdFormationOperatorLine(float minimum, float maximum) : mMinimum(minimum), mMaximum(maximum) {}
  void Apply(const Ru::Math::Vector3& anchorPosition, const Ru::Math::Quaternion& anchorOrientation,
             Ru::Math::Vector3& memberPosition, Ru::Math::Quaternion& memberOrientation,
             Ru::Math::Vector3& nextPosition, Ru::Math::Quaternion& nextOrientation) override;

 private:
  float mMinimum, mMaximum;
};

// A step of minimum to maximum in a random direction of the anchor's ground
// plane, turned by a random yaw: chained, a random walk.
class tHerdFormationOperatorRandom : public tHerdFormationOperator {
 public:
  using tHerdFormationOperator::Apply;
  tHerdFormationOperatorRandom(float minimum, float maximum) : mMinimum(minimum), mMaximum(maximum) {}
  void Apply(const Ru::Math::Vector3& anchorPosition, const Ru::Math::Quaternion& anchorOrientation,
             Ru::Math::Vector3& memberPosition, Ru::Math::Quaternion& memberOrientation,
             Ru::Math::Vector3& nextPosition, Ru::Math::Quaternion& nextOrientation) override;

 private:
  float mMinimum, mMaximum;
};

// A member on a ring of minimum to maximum round the anchor, upright on the
// planet and facing away from it; the anchor stays where it is.
class tHerdFormationOperatorHuddle : public tHerdFormationOperator {
 public:
  using tHerdFormationOperator::Apply;
  tHerdFormationOperatorHuddle(float minimum, float maximum) : mMinimum(minimum), mMaximum(maximum) {}
  void Apply(const Ru::Math::Vector3& anchorPosition, const Ru::Math::Quaternion& anchorOrientation,
             Ru::Math::Vector3& memberPosition, Ru::Math::Quaternion& memberOrientation,
             Ru::Math::Vector3& nextPosition, Ru::Math::Quaternion& nextOrientation) override;

 private:
  float mMinimum, mMaximum;
};

// With the probability, the first operator moves the anchor and the second
// places the member from there; otherwise the first does both alone.
class tHerdFormationAggregateModOperator : public tHerdFormationOperator {
 public:
  using tHerdFormationOperator::Apply;
  tHerdFormationAggregateModOperator(tHerdFormationOperator* first, tHerdFormationOperator* second,
                                     float probability)
      : mFirst(first), mSecond(second), mProbability(probability) {}
  void Apply(const Ru::Math::Vector3& anchorPosition, const Ru::Math::Quaternion& anchorOrientation,
             Ru::Math::Vector3& memberPosition, Ru::Math::Quaternion& memberOrientation,
             Ru::Math::Vector3& nextPosition, Ru::Math::Quaternion& nextOrientation) override;

 private:
  tHerdFormationOperator* mFirst;   // not owned
  tHerdFormationOperator* mSecond;  // not owned
  float mProbability;
};

// Hands each call to one operator chosen by weight.
class tHerdFormationSelectOperator : public tHerdFormationOperator {
 public:
  using tHerdFormationOperator::Apply;
  void AddOperator(int32_t weight, tHerdFormationOperator* formation);  // not owned
  void SetWeight(size_t index, int32_t weight);  // an index past the end changes nothing
  int32_t GetWeight(size_t index) const { return index < mWeights.size() ? mWeights[index] : 0; }
  int32_t GetTotalWeight() const { return mTotalWeight; }
  size_t GetOperatorCount() const { return mOperators.size(); }
  // Draws one operator by weight; -1 (and no draw) while the total is not
  // positive, or when negative weights keep the draw from reaching any.
  int Choose() const;
  // Writes nothing when Choose finds no operator.
  void Apply(const Ru::Math::Vector3& anchorPosition, const Ru::Math::Quaternion& anchorOrientation,
             Ru::Math::Vector3& memberPosition, Ru::Math::Quaternion& memberOrientation,
             Ru::Math::Vector3& nextPosition, Ru::Math::Quaternion& nextOrientation) override;

 private:
  void SumWeights();

  std::vector<int32_t> mWeights;
  std::vector<tHerdFormationOperator*> mOperators;  // parallel to the weights
  int32_t mTotalWeight = 0;
};
