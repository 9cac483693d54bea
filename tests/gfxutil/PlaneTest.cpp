#include "gfxutil/Plane.h"

#include <gtest/gtest.h>

#include "gfxutil/MathExpect.h"
#include "gfxutil/Matrix.h"

namespace quarn::gfx {
namespace {

TEST(PlaneTest, FromPointsGivesAUnitNormalByTheOrderOfThePoints) {
  // (p2 - p1) x (p3 - p1) = x x y = +z; the large triangle still gives a unit normal.
  const Plane plane = PlaneFromPoints({0, 0, 5}, {300, 0, 5}, {0, 200, 5});
  EXPECT_TRUE(VectorNear(plane.Normal(), {0, 0, 1}));
  EXPECT_FLOAT_EQ(plane.d, -5.0f);
  const Plane reversed = PlaneFromPoints({0, 0, 5}, {0, 200, 5}, {300, 0, 5});
  EXPECT_TRUE(VectorNear(reversed.Normal(), {0, 0, -1}));
  EXPECT_FLOAT_EQ(reversed.d, 5.0f);
  // The three points lie on the plane they define.
  const Vector3 p1(1, 2, 3), p2(-4, 0, 2), p3(2, -3, 8);
  const Plane slanted = PlaneFromPoints(p1, p2, p3);
  EXPECT_NEAR(Vec3Length(slanted.Normal()), 1.0f, 1e-6f);
  for (const Vector3& p : {p1, p2, p3})
    EXPECT_NEAR(PlaneDotCoord(slanted, p), 0.0f, 1e-5f);
}

TEST(PlaneTest, CollinearPointsGiveTheZeroPlane) {
  EXPECT_EQ(PlaneFromPoints({0, 0, 0}, {1, 1, 1}, {2, 2, 2}), Plane{});
  EXPECT_EQ(PlaneFromPoints({3, 3, 3}, {3, 3, 3}, {3, 3, 3}), Plane{});
}

TEST(PlaneTest, DotCoordIsTheSignedDistanceOfANormalisedPlane) {
  const Plane plane = PlaneNormalize({0, 2, 0, -6});  // y = 3
  EXPECT_EQ(plane, (Plane{0, 1, 0, -3}));
  EXPECT_FLOAT_EQ(PlaneDotCoord(plane, {7, 10, -2}), 7.0f);
  EXPECT_FLOAT_EQ(PlaneDotCoord(plane, {0, -1, 0}), -4.0f);
  EXPECT_EQ(PlaneNormalize({0, 0, 0, 4}), Plane{});
}

TEST(PlaneTest, FrustumPlanesFromUnprojectedCornersFaceInward) {
  // A camera at (0, 0, -10) looking down +z: the eight clip-space corners taken back to the
  // world, and planes through them in the order a view frustum is built.
  const Matrix view = MatrixLookAtLH({0, 0, -10}, {0, 0, 0}, {0, 1, 0});
  const Matrix projection = MatrixPerspectiveFovLH(0.7853982f, 1.3333334f, 1.0f, 100.0f);
  Matrix unproject;
  ASSERT_TRUE(MatrixInverse(&unproject, nullptr, view * projection));
  const Vector3 clip[8] = {{-1, -1, 0}, {1, -1, 0}, {-1, 1, 0}, {1, 1, 0},
                           {-1, -1, 1}, {1, -1, 1}, {-1, 1, 1}, {1, 1, 1}};
  Vector3 c[8];
  for (int i = 0; i < 8; ++i)
    c[i] = Vec3TransformCoord(clip[i], unproject);
  const Plane planes[6] = {PlaneFromPoints(c[0], c[1], c[2]), PlaneFromPoints(c[6], c[7], c[5]),
                           PlaneFromPoints(c[2], c[6], c[4]), PlaneFromPoints(c[7], c[3], c[5]),
                           PlaneFromPoints(c[2], c[3], c[6]), PlaneFromPoints(c[1], c[0], c[4])};
  const Vector3 ahead(0, 0, 20);
  for (const Plane& plane : planes)
    EXPECT_GT(PlaneDotCoord(plane, ahead), 0.0f);
  const Vector3 outside[6] = {{0, 0, -10.5f}, {0, 0, 95},  {-30, 0, 20},
                              {30, 0, 20},    {0, 30, 20}, {0, -30, 20}};
  for (int i = 0; i < 6; ++i) {
    EXPECT_LT(PlaneDotCoord(planes[i], outside[i]), 0.0f) << "plane " << i;
    EXPECT_NEAR(PlaneDotCoord(planes[0], c[i % 4]), 0.0f, 1e-3f);
  }
}

}  // namespace
}  // namespace quarn::gfx
