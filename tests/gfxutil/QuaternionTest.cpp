#include "gfxutil/Quaternion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "gfxutil/MathExpect.h"

namespace quarn::gfx {
namespace {

constexpr float kPi = std::numbers::pi_v<float>;

// q and -q are the same rotation.
::testing::AssertionResult SameRotation(const Quaternion& a, const Quaternion& b) {
  if (QuaternionDot(a, b) < 0)
    return QuaternionNear(a, -b);
  return QuaternionNear(a, b);
}

TEST(QuaternionTest, AxisQuaternionsGiveTheSameMatricesAsAxisRotations) {
  for (const Vector3& axis :
       {Vector3(1, 0, 0), Vector3(0, 1, 0), Vector3(0, 0, 1), Vector3(1, -2, 0.5f)}) {
    for (float angle : {-2.0f, 0.4f, 1.5f, 3.1f}) {
      EXPECT_TRUE(MatrixNear(MatrixRotationQuaternion(QuaternionRotationAxis(axis, angle)),
                             MatrixRotationAxis(axis, angle)));
    }
  }
}

TEST(QuaternionTest, MatrixOfAnUnnormalisedQuaternionIsNotARotation) {
  // (1, 0, 0, 1) has length sqrt(2); its normalised form would be a quarter turn about x.
  const Matrix m = MatrixRotationQuaternion({1, 0, 0, 1});
  EXPECT_TRUE(MatrixNear(m, Matrix(1, 0, 0, 0, 0, -1, 2, 0, 0, -2, -1, 0, 0, 0, 0, 1)));
  EXPECT_TRUE(MatrixNear(MatrixRotationQuaternion(QuaternionNormalize({1, 0, 0, 1})),
                         MatrixRotationX(kPi / 2)));
}

TEST(QuaternionTest, RotationMatrixRoundTripsThroughEveryBranch) {
  // Small angles take the trace branch; half turns about each axis make that axis's
  // diagonal entry the largest with a negative trace.
  const Quaternion cases[] = {
      QuaternionRotationAxis({1, 2, 3}, 0.5f), QuaternionRotationAxis({1, 0.1f, 0}, kPi),
      QuaternionRotationAxis({0.1f, 1, 0}, kPi), QuaternionRotationAxis({0, 0.1f, 1}, kPi),
      QuaternionRotationAxis({-1, 1, 1}, 2.5f)};
  for (const Quaternion& q : cases) {
    EXPECT_TRUE(SameRotation(QuaternionRotationMatrix(MatrixRotationQuaternion(q)), q));
  }
}

TEST(QuaternionTest, RotationMatrixTakesTheTraceBranchOnlyForAPositiveTrace) {
  // Trace exactly 0 with an entry the two branches read differently: the trace branch would
  // give (0.5, 0.5, 1, 0.5); the largest-diagonal branch (the first, all being 0) gives this.
  Matrix m(0, 2, 0, 0, 0, 0, 1, 0, 1, 0, 0, 0, 0, 0, 0, 1);
  EXPECT_TRUE(QuaternionNear(QuaternionRotationMatrix(m), {0.5f, 1, 0.5f, 0.5f}));
}

TEST(QuaternionTest, RotationMatrixReadsOnlyTheUpperLeftAndDoesNotNormalise) {
  Matrix rotation = MatrixRotationY(0.8f);
  const Quaternion expected = QuaternionRotationMatrix(rotation);
  rotation.SetRow(3, {100, -50, 7});
  rotation.m[0][3] = 5, rotation.m[1][3] = -3, rotation.m[3][3] = 9;
  EXPECT_EQ(QuaternionRotationMatrix(rotation), expected);
  Matrix doubled;
  doubled.m[0][0] = doubled.m[1][1] = doubled.m[2][2] = 2;
  EXPECT_TRUE(QuaternionNear(QuaternionRotationMatrix(doubled), {0, 0, 0, std::sqrt(7.0f) / 2}));
}

TEST(QuaternionTest, SlerpWeightsTheSecondByTAndFollowsTheArc) {
  const Quaternion identity;
  const Quaternion quarter = QuaternionRotationAxis({0, 1, 0}, kPi / 2);
  EXPECT_TRUE(QuaternionNear(QuaternionSlerp(identity, quarter, 0), identity));
  EXPECT_TRUE(QuaternionNear(QuaternionSlerp(identity, quarter, 1), quarter));
  EXPECT_TRUE(QuaternionNear(QuaternionSlerp(identity, quarter, 0.25f),
                             QuaternionRotationAxis({0, 1, 0}, kPi / 8)));
  // On the arc the result keeps unit length, unlike a straight blend.
  EXPECT_NEAR(QuaternionLength(QuaternionSlerp(identity, quarter, 0.5f)), 1.0f, 1e-6f);
}

TEST(QuaternionTest, SlerpTakesTheShorterArcByNegatingTheSecond) {
  const Quaternion from = QuaternionRotationAxis({0, 1, 0}, 0.2f);
  const Quaternion to = QuaternionRotationAxis({1, 0, 1}, 1.2f);
  for (float t : {0.0f, 0.3f, 0.7f, 1.0f}) {
    EXPECT_TRUE(QuaternionNear(QuaternionSlerp(from, -to, t), QuaternionSlerp(from, to, t)));
  }
  EXPECT_TRUE(QuaternionNear(QuaternionSlerp(from, -to, 1), to));
  // The same rotation written with the opposite sign stays put instead of turning a full turn.
  EXPECT_TRUE(QuaternionNear(QuaternionSlerp(from, -from, 0.5f), from));
}

TEST(QuaternionTest, SlerpAndNormalizeKeepTheScaleTheyAreGiven) {
  const Quaternion doubled{0, 0, 0, 2};
  EXPECT_TRUE(QuaternionNear(QuaternionSlerp(doubled, doubled, 0.5f), doubled));
  EXPECT_TRUE(QuaternionNear(QuaternionNormalize(doubled), Quaternion()));
  EXPECT_EQ(QuaternionNormalize({0, 0, 0, 0}), (Quaternion{0, 0, 0, 0}));
  EXPECT_NEAR(QuaternionLength(QuaternionNormalize({3, -1, 2, 0.5f})), 1.0f, 1e-6f);
}

}  // namespace
}  // namespace quarn::gfx
