// A shared mesh placed at a node: drawing with the node's world matrix, world-space ray
// tests, bounds in world space.
#include "render/MeshInstance.h"

#include <gtest/gtest.h>

#include <numbers>

#include "engine/ExtractedFile.h"
#include "gfxutil/MathExpect.h"
#include "platform/Diagnostics.h"
#include "platform/NullRenderDevice.h"
#include "render/Mesh.h"
#include "render/MeshTestFiles.h"
#include "render/Transform.h"

namespace quarn::testing {
namespace {

using gfx::Vector3;
using gfx::VectorNear;

constexpr float kQuarterTurn = std::numbers::pi_v<float> / 2;

class MeshInstanceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const ExtractedFile file("Cube.x", true, &archive_.Get());
    ASSERT_TRUE(mesh_.Load(file.GetPath())) << mesh_.LoadProblem();
    instance_.SetMesh(&mesh_);
    instance_.SetFrame(&node_);
  }

  platform::NullRenderDevice device_;
  TestArchive archive_{{{"Cube.x", CubeFile({ColourMaterial(1, 1, 1), ColourMaterial(0, 1, 0)},
                                            {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1})}}};
  Mesh mesh_{&device_, &archive_.Get()};
  Transform node_;
  MeshInstance instance_{&device_};
};

TEST_F(MeshInstanceTest, DrawPutsTheMeshAtTheNodesWorldPlacement) {
  Transform parent;
  parent.SetPosition({0, 5, 0});
  ASSERT_TRUE(parent.AddChild(&node_));
  node_.SetPosition({1, 2, 3});
  node_.RotateY(CombineMode::LocalAxes, 0.5f);

  ASSERT_TRUE(instance_.Draw());
  ASSERT_EQ(device_.Draws().size(), 2u) << "one draw per material";
  for (const platform::DrawRecord& draw : device_.Draws()) {
    EXPECT_TRUE(gfx::MatrixNear(draw.state.world, node_.GetWorldMatrix()));
  }
  EXPECT_TRUE(VectorNear(gfx::Matrix(device_.Draws()[0].state.world).GetRow(3), {1, 7, 3}));
}

TEST_F(MeshInstanceTest, WithoutMeshOrNodeNothingIsDrawnOrHit) {
  MeshInstance noMesh(&device_), noFrame(&device_);
  noMesh.SetFrame(&node_);
  noFrame.SetMesh(&mesh_);
  EXPECT_FALSE(noMesh.Draw());
  EXPECT_FALSE(noFrame.Draw());
  EXPECT_TRUE(device_.Draws().empty());

  float distance = 1;
  Vector3 normal{1, 2, 3};
  EXPECT_FALSE(noMesh.IntersectRay({0, 0, -5}, {0, 0, 1}, &distance, &normal));
  EXPECT_FALSE(noFrame.IntersectRay({0, 0, -5}, {0, 0, 1}, &distance, &normal));

  Vector3 centre{4, 4, 4};
  float radius = 4;
  noMesh.GetBoundingSphere(&centre, &radius);
  EXPECT_EQ(centre, (Vector3{0, 0, 0}));
  EXPECT_EQ(radius, 0);

  BoxCorners corners;
  corners.fill({9, 9, 9});
  EXPECT_FALSE(noFrame.GetBoxCorners(&corners));
  for (const Vector3& corner : corners)
    EXPECT_EQ(corner, (Vector3{9, 9, 9})) << "nothing is written";
  EXPECT_EQ(distance, 1);
  EXPECT_EQ(normal, (Vector3{1, 2, 3}));
}

TEST_F(MeshInstanceTest, ARayAgainstARotatedNodeReturnsTheNormalRotatedTheSameWay) {
  node_.SetPosition({10, 0, 0});
  node_.RotateY(CombineMode::LocalAxes, kQuarterTurn);  // local -z now faces world -x
  float distance = 0;
  Vector3 normal;
  ASSERT_TRUE(instance_.IntersectRay({5, 0.3f, 0.2f}, {1, 0, 0}, &distance, &normal));
  EXPECT_NEAR(distance, 4.0f, 1e-5f);
  EXPECT_TRUE(VectorNear(normal, {-1, 0, 0}));

  // A tilted node too: the normal follows the node's axes, whatever they are.
  node_.RotateX(CombineMode::LocalAxes, 0.4f);
  const Vector3 aim = node_.LocalToWorldPoint({0, 0, 0}) - Vector3{5, 0, 0};
  ASSERT_TRUE(instance_.IntersectRay({5, 0, 0}, aim, &distance, &normal));
  const Vector3 hitLocal = node_.WorldToLocalPoint(Vector3{5, 0, 0} + aim * distance);
  EXPECT_NEAR(std::max({std::fabs(hitLocal.x), std::fabs(hitLocal.y), std::fabs(hitLocal.z)}), 1.0f,
              1e-4f)
      << "the hit lies on the cube's surface";
  const Vector3 localNormal = node_.WorldToLocalVector(normal);
  EXPECT_NEAR(gfx::Vec3Length(normal), 1.0f, 1e-5f);
  EXPECT_LT(gfx::Vec3Dot(normal, aim), 0) << "the face hit first faces the ray";
  EXPECT_NEAR(
      std::max({std::fabs(localNormal.x), std::fabs(localNormal.y), std::fabs(localNormal.z)}),
      1.0f, 1e-5f)
      << "in the node's axes the normal is one of the cube's sides";
}

TEST_F(MeshInstanceTest, AMissLeavesDistanceAndNormalAsTheyWere) {
  node_.SetPosition({10, 0, 0});
  node_.RotateY(CombineMode::LocalAxes, kQuarterTurn);
  float distance = 55;
  Vector3 normal{3, 2, 1};
  EXPECT_FALSE(instance_.IntersectRay({5, 0, 0}, {-1, 0, 0}, &distance, &normal));
  EXPECT_FALSE(instance_.IntersectRay({5, 3, 0}, {1, 0, 0}, &distance, &normal));
  EXPECT_EQ(distance, 55);
  EXPECT_EQ(normal, (Vector3{3, 2, 1}));
}

TEST_F(MeshInstanceTest, BoundsAreTheMeshBoundsCarriedIntoWorldSpace) {
  node_.SetPosition({10, 0, 0});
  Vector3 centre;
  float radius = 0;
  instance_.GetBoundingSphere(&centre, &radius);
  EXPECT_TRUE(VectorNear(centre, {10, 0, 0}));
  EXPECT_NEAR(radius, std::sqrt(3.0f), 1e-5f);

  BoxCorners corners;
  ASSERT_TRUE(instance_.GetBoxCorners(&corners));
  const BoxCorners expected = {Vector3{9, -1, -1}, {11, -1, -1}, {11, 1, -1}, {9, 1, -1},
                               {9, 1, 1},          {9, -1, 1},   {11, -1, 1}, {11, 1, 1}};
  for (size_t i = 0; i < corners.size(); ++i)
    EXPECT_TRUE(VectorNear(corners[i], expected[i])) << "corner " << i;

  // Turned a quarter about y: the corner (min x, min y, min z) goes to world (9, -1, 1).
  node_.RotateY(CombineMode::LocalAxes, kQuarterTurn);
  ASSERT_TRUE(instance_.GetBoxCorners(&corners));
  EXPECT_TRUE(VectorNear(corners[0], {9, -1, 1}));
  EXPECT_TRUE(VectorNear(corners[7], {11, 1, -1}));
}

}  // namespace
}  // namespace quarn::testing
