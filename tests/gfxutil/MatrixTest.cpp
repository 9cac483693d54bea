#include "gfxutil/Matrix.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "gfxutil/MathExpect.h"

namespace quarn::gfx {
namespace {

constexpr float kHalfPi = std::numbers::pi_v<float> / 2;

TEST(MatrixTest, RotationsTurnEachAxisTowardTheNextInLeftHandedSense) {
  EXPECT_TRUE(VectorNear(Vec3TransformNormal({0, 0, 1}, MatrixRotationY(kHalfPi)), {1, 0, 0}));
  EXPECT_TRUE(VectorNear(Vec3TransformNormal({0, 1, 0}, MatrixRotationX(kHalfPi)), {0, 0, 1}));
  EXPECT_TRUE(VectorNear(Vec3TransformNormal({1, 0, 0}, MatrixRotationZ(kHalfPi)), {0, 1, 0}));
  // A small positive yaw moves the forward axis partly toward +x, not -x.
  const Vector3 turned = Vec3TransformNormal({0, 0, 1}, MatrixRotationY(0.1f));
  EXPECT_NEAR(turned.x, std::sin(0.1f), 1e-6f);
  EXPECT_NEAR(turned.z, std::cos(0.1f), 1e-6f);
}

TEST(MatrixTest, RotationAxisNormalisesItsAxisAndMatchesTheAxisRotations) {
  for (float angle : {-2.5f, -0.3f, 0.7f, 3.0f}) {
    EXPECT_TRUE(MatrixNear(MatrixRotationAxis({1, 0, 0}, angle), MatrixRotationX(angle)));
    EXPECT_TRUE(MatrixNear(MatrixRotationAxis({0, 1, 0}, angle), MatrixRotationY(angle)));
    EXPECT_TRUE(MatrixNear(MatrixRotationAxis({0, 0, 1}, angle), MatrixRotationZ(angle)));
    EXPECT_TRUE(MatrixNear(MatrixRotationAxis({0, -7, 0}, angle), MatrixRotationY(-angle)));
    EXPECT_TRUE(
        MatrixNear(MatrixRotationAxis({3, 3, 3}, angle), MatrixRotationAxis({1, 1, 1}, angle)));
    // The coordinate axes normalise to themselves: the unit-axis form is the same, bit for bit.
    for (const Vector3& axis : {Vector3(1, 0, 0), Vector3(0, 1, 0), Vector3(0, 0, 1)})
      EXPECT_EQ(MatrixRotationUnitAxis(axis, angle), MatrixRotationAxis(axis, angle));
  }
  // A third of a turn about the diagonal cycles the axes x -> y -> z -> x.
  const Matrix cycle = MatrixRotationAxis({1, 1, 1}, 2.0f * std::numbers::pi_v<float> / 3);
  EXPECT_TRUE(VectorNear(Vec3TransformNormal({1, 0, 0}, cycle), {0, 1, 0}));
  EXPECT_TRUE(VectorNear(Vec3TransformNormal({0, 1, 0}, cycle), {0, 0, 1}));
  EXPECT_TRUE(VectorNear(Vec3TransformNormal({0, 0, 1}, cycle), {1, 0, 0}));
}

TEST(MatrixTest, ProductsApplyTheLeftOperandFirst) {
  const Matrix move = MatrixTranslation(0, 0, 5);
  const Matrix turn = MatrixRotationY(kHalfPi);
  // Moved to (1, 0, 5), then turned about the origin.
  EXPECT_TRUE(VectorNear(Vec3TransformCoord({1, 0, 0}, move * turn), {5, 0, -1}));
  // Turned to (0, 0, -1), then moved.
  EXPECT_TRUE(VectorNear(Vec3TransformCoord({1, 0, 0}, turn * move), {0, 0, 4}));
  EXPECT_EQ(MatrixMultiply(move, turn), move * turn);
  Matrix accumulated = move;
  accumulated *= turn;
  EXPECT_EQ(accumulated, move * turn);
  EXPECT_EQ(MatrixTranslation(1, 2, 3).GetRow(3), Vector3(1, 2, 3));
  EXPECT_EQ(MatrixIdentity() * turn, turn);
}

TEST(MatrixTest, TransformsTreatPointsDirectionsAndHomogeneousResultsApart) {
  const Matrix m = MatrixRotationZ(kHalfPi) * MatrixTranslation(10, 20, 30);
  EXPECT_TRUE(VectorNear(Vec3TransformCoord({1, 0, 0}, m), {10, 21, 30}));
  EXPECT_TRUE(VectorNear(Vec3TransformNormal({1, 0, 0}, m), {0, 1, 0}));
  Matrix projective;  // w picks up 2z + 1
  projective.m[2][3] = 2;
  const Vector4 h = Vec3Transform({4, 6, 1.5f}, projective);
  EXPECT_EQ(h, (Vector4{4, 6, 1.5f, 4}));
  EXPECT_TRUE(VectorNear(Vec3TransformCoord({4, 6, 1.5f}, projective), {1, 1.5f, 0.375f}));
  EXPECT_TRUE(VectorNear(Vec3TransformNormal({4, 6, 1.5f}, projective), {4, 6, 1.5f}));
}

TEST(MatrixTest, InverseUndoesGeneralAndRigidMatrices) {
  const Matrix general(2, 0.5f, -1, 0.1f,  //
                       0, 3, 0.25f, 0,     //
                       1, -2, 4, 0.3f,     //
                       5, 6, -7, 1);
  const Matrix rigid = MatrixRotationAxis({1, 2, 3}, 0.9f) * MatrixTranslation(-40, 12, 300);
  for (const Matrix& m : {general, rigid}) {
    Matrix inverse;
    ASSERT_TRUE(MatrixInverse(&inverse, nullptr, m));
    EXPECT_TRUE(MatrixNear(m * inverse, MatrixIdentity(), 1e-4f));
    EXPECT_TRUE(MatrixNear(inverse * m, MatrixIdentity(), 1e-4f));
  }
  float determinant = 0;
  Matrix scaled;
  scaled.m[0][0] = 2, scaled.m[1][1] = 3, scaled.m[2][2] = 4;
  ASSERT_TRUE(MatrixInverse(&scaled, &determinant, scaled));  // the output may be the input
  EXPECT_FLOAT_EQ(determinant, 24.0f);
  EXPECT_TRUE(VectorNear(scaled.GetRow(0), {0.5f, 0, 0}));
  EXPECT_FLOAT_EQ(scaled.m[2][2], 0.25f);
}

TEST(MatrixTest, InverseOfASingularMatrixFailsAndLeavesTheOutputAlone) {
  Matrix flattened;  // every point onto the plane y = 0
  flattened.m[1][1] = 0;
  Matrix repeatedRow(1, 2, 3, 0, 1, 2, 3, 0, 0, 0, 1, 0, 0, 0, 0, 1);
  const Matrix sentinel = MatrixTranslation(7, 8, 9);
  for (const Matrix& m : {flattened, repeatedRow, Matrix(platform::Matrix4{{}})}) {
    Matrix out = sentinel;
    float determinant = 99;
    EXPECT_FALSE(MatrixInverse(&out, &determinant, m));
    EXPECT_EQ(out, sentinel);
    EXPECT_EQ(determinant, 0.0f);
  }
  Matrix notANumber;
  notANumber.m[0][0] = std::nanf("");
  Matrix out = sentinel;
  EXPECT_FALSE(MatrixInverse(&out, nullptr, notANumber));
  EXPECT_EQ(out, sentinel);
}

TEST(MatrixTest, PerspectiveMapsNearToDepthZeroFarToOneAndTheFieldOfViewToTheEdges) {
  const float fov = 0.7853982f, aspect = 1.3333334f, zNear = 1.0f, zFar = 8000.0f;
  const Matrix projection = MatrixPerspectiveFovLH(fov, aspect, zNear, zFar);
  EXPECT_NEAR(Vec3TransformCoord({0, 0, zNear}, projection).z, 0.0f, 1e-6f);
  EXPECT_NEAR(Vec3TransformCoord({0, 0, zFar}, projection).z, 1.0f, 1e-6f);
  const float middle = Vec3TransformCoord({0, 0, 50}, projection).z;
  EXPECT_GT(middle, 0.0f);
  EXPECT_LT(middle, 1.0f);
  // w is the camera-space depth, so the picture is divided by distance.
  EXPECT_FLOAT_EQ(Vec3Transform({0, 0, 250}, projection).w, 250.0f);
  const float halfHeight = std::tan(fov / 2) * 100;
  EXPECT_NEAR(Vec3TransformCoord({0, halfHeight, 100}, projection).y, 1.0f, 1e-5f);
  EXPECT_NEAR(Vec3TransformCoord({-halfHeight * aspect, 0, 100}, projection).x, -1.0f, 1e-5f);
}

TEST(MatrixTest, LookAtPutsTheTargetStraightAheadOnThePositiveDepthAxis) {
  EXPECT_TRUE(
      VectorNear(Vec3TransformCoord({0, 0, 0}, MatrixLookAtLH({0, 0, -10}, {0, 0, 0}, {0, 1, 0})),
                 {0, 0, 10}));
  // From +x looking back at the origin, world +z is on the camera's right.
  const Matrix view = MatrixLookAtLH({10, 0, 0}, {0, 0, 0}, {0, 1, 0});
  EXPECT_TRUE(VectorNear(Vec3TransformCoord({0, 0, 0}, view), {0, 0, 10}));
  EXPECT_TRUE(VectorNear(Vec3TransformNormal({0, 0, 1}, view), {1, 0, 0}));
  // The view undone is the camera's placement: right, up, forward rows and the eye.
  const Vector3 eye(3, 4, -5), at(-2, 1, 7);
  Matrix placement;
  ASSERT_TRUE(MatrixInverse(&placement, nullptr, MatrixLookAtLH(eye, at, {0, 1, 0})));
  EXPECT_TRUE(VectorNear(placement.GetRow(3), eye, 1e-4f));
  EXPECT_TRUE(VectorNear(placement.GetRow(2), Vec3Normalize(at - eye)));
  EXPECT_NEAR(placement.GetRow(0).y, 0.0f, 1e-6f);  // no roll with a world-up hint
}

}  // namespace
}  // namespace quarn::gfx
