#include "gfxutil/Bounds.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "gfxutil/MathExpect.h"

namespace quarn::gfx {
namespace {

// Positions interleaved with other vertex data, at an arbitrary (unaligned) offset.
class PackedVertices {
 public:
  PackedVertices(const std::vector<Vector3>& positions, size_t stride, size_t offset)
      : bytes_(offset + positions.size() * stride, 0xCD), offset_(offset) {
    for (size_t i = 0; i < positions.size(); ++i) {
      const float xyz[3] = {positions[i].x, positions[i].y, positions[i].z};
      std::memcpy(bytes_.data() + offset + i * stride, xyz, sizeof xyz);
    }
  }
  const void* First() const { return bytes_.data() + offset_; }

 private:
  std::vector<unsigned char> bytes_;
  size_t offset_;
};

TEST(BoundsTest, SphereCentreIsTheAverageAndRadiusTheFarthestPosition) {
  // The box middle would be (2, 0, 0); the average of the four positions is (1, 0, 0).
  const PackedVertices vertices({{0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {4, 0, 0}}, 24, 1);
  Vector3 centre;
  float radius = -1;
  ASSERT_TRUE(ComputeBoundingSphere(vertices.First(), 4, 24, &centre, &radius));
  EXPECT_TRUE(VectorNear(centre, {1, 0, 0}));
  EXPECT_FLOAT_EQ(radius, 3.0f);
}

TEST(BoundsTest, BoxSpansEveryPositionOfAStridedArray) {
  const PackedVertices vertices({{1, -2, 3}, {-4, 5, 0.5f}, {2, 2, -6}}, 32, 3);
  Vector3 min, max;
  ASSERT_TRUE(ComputeBoundingBox(vertices.First(), 3, 32, &min, &max));
  EXPECT_EQ(min, Vector3(-4, -2, -6));
  EXPECT_EQ(max, Vector3(2, 5, 3));
  // Tightly packed positions, a single vertex: a point-sized box and sphere.
  const float one[3] = {7, 8, 9};
  ASSERT_TRUE(ComputeBoundingBox(one, 1, 12, &min, &max));
  EXPECT_EQ(min, Vector3(7, 8, 9));
  EXPECT_EQ(max, Vector3(7, 8, 9));
  Vector3 centre;
  float radius = -1;
  ASSERT_TRUE(ComputeBoundingSphere(one, 1, 12, &centre, &radius));
  EXPECT_EQ(centre, Vector3(7, 8, 9));
  EXPECT_EQ(radius, 0.0f);
}

TEST(BoundsTest, NothingToBoundFailsWithZeroResults) {
  const float xyz[3] = {1, 2, 3};
  Vector3 centre(5, 5, 5), min(5, 5, 5), max(5, 5, 5);
  float radius = 5;
  EXPECT_FALSE(ComputeBoundingSphere(xyz, 0, 12, &centre, &radius));
  EXPECT_EQ(centre, Vector3());
  EXPECT_EQ(radius, 0.0f);
  EXPECT_FALSE(ComputeBoundingBox(xyz, 0, 12, &min, &max));
  EXPECT_EQ(min, Vector3());
  EXPECT_EQ(max, Vector3());
  EXPECT_FALSE(ComputeBoundingSphere(nullptr, 3, 12, &centre, &radius));
  EXPECT_FALSE(ComputeBoundingBox(xyz, 1, 8, &min, &max));  // stride shorter than a position
  EXPECT_FALSE(ComputeBoundingBox(xyz, 1, 12, nullptr, &max));
}

}  // namespace
}  // namespace quarn::gfx
