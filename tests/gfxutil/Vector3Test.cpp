#include "gfxutil/Vector3.h"

#include <gtest/gtest.h>

#include <cmath>

#include "gfxutil/MathExpect.h"

namespace quarn::gfx {
namespace {

TEST(Vector3Test, NormalizeGivesUnitLengthAndKeepsTheZeroVector) {
  EXPECT_TRUE(VectorNear(Vec3Normalize({3, 0, -4}), {0.6f, 0, -0.8f}));
  EXPECT_NEAR(Vec3Length(Vec3Normalize({1e-3f, 2e-3f, -5e-4f})), 1.0f, 1e-6f);
  EXPECT_NEAR(Vec3Length(Vec3Normalize({1e4f, -3e4f, 7e3f})), 1.0f, 1e-6f);
  // The zero vector (and one too small to have a length in floats) stays zero, never NaN.
  EXPECT_EQ(Vec3Normalize({0, 0, 0}), Vector3(0, 0, 0));
  EXPECT_EQ(Vec3Normalize({1e-30f, 0, 0}), Vector3(0, 0, 0));
}

TEST(Vector3Test, CrossFollowsTheAxisCycleAndAnticommutes) {
  EXPECT_EQ(Vec3Cross({1, 0, 0}, {0, 1, 0}), Vector3(0, 0, 1));
  EXPECT_EQ(Vec3Cross({0, 1, 0}, {0, 0, 1}), Vector3(1, 0, 0));
  EXPECT_EQ(Vec3Cross({0, 0, 1}, {1, 0, 0}), Vector3(0, 1, 0));
  const Vector3 a(1, 2, 3), b(-4, 0.5f, 2);
  EXPECT_EQ(Vec3Cross(a, b), -Vec3Cross(b, a));
  EXPECT_FLOAT_EQ(Vec3Dot(Vec3Cross(a, b), a), 0.0f);
  EXPECT_FLOAT_EQ(Vec3Dot(Vec3Cross(a, b), b), 0.0f);
}

}  // namespace
}  // namespace quarn::gfx
