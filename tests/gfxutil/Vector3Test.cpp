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

TEST(Vector3Test, ArithmeticIsComponentwiseAndConvertsToTheDeviceRecord) {
  const Vector3 a(1, 2, 3), b(0.5f, -1, 4);
  EXPECT_EQ(a + b, Vector3(1.5f, 1, 7));
  EXPECT_EQ(a - b, Vector3(0.5f, 3, -1));
  EXPECT_EQ(2.0f * a, a * 2.0f);
  EXPECT_EQ(a / 2.0f, Vector3(0.5f, 1, 1.5f));
  EXPECT_FLOAT_EQ(Vec3Dot(a, b), 0.5f - 2 + 12);
  EXPECT_FLOAT_EQ(Vec3Length({2, 3, 6}), 7.0f);
  const platform::Vector3 record = a;
  EXPECT_EQ(Vector3(record), a);
}

}  // namespace
}  // namespace quarn::gfx
