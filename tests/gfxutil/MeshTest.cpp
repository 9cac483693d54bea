// The device mesh: buffers and subsets on the render device, drawing, bounds and ray tests.
#include "gfxutil/Mesh.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "gfxutil/XFileWriter.h"
#include "gfxutil/XMeshTestSupport.h"
#include "platform/NullRenderDevice.h"

namespace quarn::testing {
namespace {

using gfx::Vector3;

// Two unit squares facing -z, one at z = 0 and one at z = 5, and a floor at y = -1; faces
// alternate between two materials so that the file order differs from the draw order.
gfx::MeshData Panels() {
  TestMesh mesh;
  mesh.positions = {{0, 0, 0},      {1, 0, 0},     {1, 1, 0},    {0, 1, 0},
                    {0, 0, 5},      {1, 0, 5},     {1, 1, 5},    {0, 1, 5},
                    {-10, -1, -10}, {10, -1, -10}, {10, -1, 10}, {-10, -1, 10}};
  mesh.faces = {{4, 7, 6}, {0, 3, 2}, {4, 6, 5}, {0, 2, 1}, {8, 11, 10}, {8, 10, 9}};
  mesh.materialList = true;
  mesh.materialCount = 3;
  mesh.faceMaterials = {1, 0, 1, 0, 1, 1};
  mesh.materials = {MaterialObject({1, 0, 0, 1}, 0, {}, {}),
                    MaterialObject({0, 1, 0, 1}, 0, {}, {}),
                    MaterialObject({0, 0, 1, 1}, 0, {}, {})};
  XDocument document;
  document.objects.push_back(mesh.Build());
  return MustReadX(WriteTextX(document));
}

std::unique_ptr<gfx::Mesh> MakeMesh(platform::RenderDevice& device, gfx::MeshData data) {
  std::string error;
  std::unique_ptr<gfx::Mesh> mesh = gfx::Mesh::Create(device, std::move(data), &error);
  EXPECT_TRUE(mesh) << error;
  return mesh;
}

TEST(MeshTest, EachSubsetDrawsItsFacesInOneCall) {
  platform::NullRenderDevice device;
  const gfx::MeshData data = Panels();
  std::unique_ptr<gfx::Mesh> mesh = MakeMesh(device, data);
  ASSERT_TRUE(mesh);
  ASSERT_EQ(mesh->SubsetCount(), 3u);
  EXPECT_EQ(mesh->SubsetFaceCount(0), 2u);
  EXPECT_EQ(mesh->SubsetFaceCount(1), 4u);
  EXPECT_EQ(mesh->SubsetFaceCount(2), 0u);

  for (uint32_t subset = 0; subset < 2; ++subset) {
    device.ClearDraws();
    ASSERT_TRUE(mesh->DrawSubset(subset));
    ASSERT_EQ(device.Draws().size(), 1u);
    const platform::DrawRecord& draw = device.Draws()[0];
    EXPECT_TRUE(draw.fromBuffers);
    EXPECT_EQ(draw.type, platform::PrimitiveType::TriangleList);
    EXPECT_EQ(draw.stride, mesh->VertexSize());
    EXPECT_EQ(draw.state.fvf, mesh->GetFvf());
    // The subset's faces in their file order.
    std::vector<uint16_t> expected;
    for (uint32_t face = 0; face < data.FaceCount(); ++face) {
      if (data.faceMaterials[face] != subset)
        continue;
      expected.insert(expected.end(), &data.indices[3 * face], &data.indices[3 * face + 3]);
    }
    EXPECT_EQ(draw.indexList, expected) << "subset " << subset;
    EXPECT_EQ(draw.primitiveCount, expected.size() / 3);
  }

  device.ClearDraws();
  EXPECT_TRUE(mesh->DrawSubset(2));  // a material without faces draws nothing
  EXPECT_FALSE(mesh->DrawSubset(3));
  EXPECT_TRUE(device.Draws().empty());
}

TEST(MeshTest, ReadAccessKeepsTheFileOrder) {
  platform::NullRenderDevice device;
  const gfx::MeshData data = Panels();
  std::unique_ptr<gfx::Mesh> mesh = MakeMesh(device, data);
  ASSERT_TRUE(mesh);
  EXPECT_EQ(mesh->GetFvf(), platform::kFvfXyz);
  EXPECT_EQ(mesh->VertexSize(), 12u);
  EXPECT_EQ(mesh->VertexCount(), 12u);
  EXPECT_EQ(mesh->FaceCount(), 6u);
  EXPECT_EQ(std::vector<uint16_t>(mesh->IndexData(), mesh->IndexData() + 18), data.indices);
  Vector3 seventh;
  std::memcpy(&seventh, mesh->VertexData() + 6 * mesh->VertexSize(), sizeof seventh);
  EXPECT_EQ(seventh.x, 1);
  EXPECT_EQ(seventh.z, 5);
}

TEST(MeshTest, BoundsCoverThePositions) {
  platform::NullRenderDevice device;
  TestMesh tetra;
  tetra.positions = {{0, 0, 0}, {4, 0, 0}, {0, 2, 0}, {0, 0, 6}};
  tetra.faces = {{0, 1, 2}, {0, 3, 1}};
  tetra.normals = {{0, 0, 1}};
  tetra.faceNormals = {{0, 0, 0}, {0, 0, 0}};
  XDocument document;
  document.objects.push_back(tetra.Build());
  std::unique_ptr<gfx::Mesh> mesh = MakeMesh(device, MustReadX(WriteBinaryX(document)));
  ASSERT_TRUE(mesh);
  Vector3 min, max, center;
  float radius = 0;
  mesh->ComputeBoundingBox(&min, &max);
  mesh->ComputeBoundingSphere(&center, &radius);
  EXPECT_EQ(Flat({min, max}), Flat({{0, 0, 0}, {4, 2, 6}}));
  // The centre is the average of the vertices; the radius reaches the farthest one.
  EXPECT_FLOAT_EQ(center.x, 1);
  EXPECT_FLOAT_EQ(center.y, 0.5f);
  EXPECT_FLOAT_EQ(center.z, 1.5f);
  EXPECT_FLOAT_EQ(radius, std::sqrt(1 + 0.25f + 4.5f * 4.5f));
}

struct Hit {
  bool hit = false;
  uint32_t face = 99;
  float distance = -1;
};

Hit Cast(const gfx::Mesh& mesh, Vector3 origin, Vector3 direction) {
  Hit h;
  EXPECT_TRUE(mesh.Intersect(origin, direction, &h.hit, &h.face, &h.distance));
  return h;
}

TEST(MeshTest, RaysFindTheNearestFaceFromEitherSide) {
  platform::NullRenderDevice device;
  std::unique_ptr<gfx::Mesh> mesh = MakeMesh(device, Panels());
  ASSERT_TRUE(mesh);
  // From the front (-z side): the near panel, face 1 or 3 in file order.
  Hit front = Cast(*mesh, {0.25f, 0.5f, -2}, {0, 0, 1});
  EXPECT_TRUE(front.hit);
  EXPECT_EQ(front.face, 1u);
  EXPECT_FLOAT_EQ(front.distance, 2);
  Hit lower = Cast(*mesh, {0.75f, 0.25f, -2}, {0, 0, 1});
  EXPECT_EQ(lower.face, 3u);
  // From behind (+z side), through the back of the far panel first.
  Hit back = Cast(*mesh, {0.25f, 0.5f, 9}, {0, 0, -1});
  EXPECT_TRUE(back.hit);
  EXPECT_EQ(back.face, 0u);
  EXPECT_FLOAT_EQ(back.distance, 4);
  // Between the panels, looking back: only the near panel is ahead.
  Hit between = Cast(*mesh, {0.25f, 0.5f, 3}, {0, 0, -1});
  EXPECT_EQ(between.face, 1u);
  EXPECT_FLOAT_EQ(between.distance, 3);
  // Straight down onto the floor.
  Hit floor = Cast(*mesh, {3, 4, 3}, {0, -1, 0});
  EXPECT_EQ(floor.face, 4u);
  EXPECT_FLOAT_EQ(floor.distance, 5);
}

TEST(MeshTest, DistanceIsInUnitsOfTheDirectionLength) {
  platform::NullRenderDevice device;
  std::unique_ptr<gfx::Mesh> mesh = MakeMesh(device, Panels());
  ASSERT_TRUE(mesh);
  Hit h = Cast(*mesh, {0.25f, 0.5f, -2}, {0, 0, 4});
  EXPECT_TRUE(h.hit);
  EXPECT_FLOAT_EQ(h.distance, 0.5f);
  // A slanted ray: origin + t * d lands on the panel.
  const Vector3 origin{-0.75f, 0.5f, -2};
  const Vector3 direction{0.5f, 0, 1};
  Hit slanted = Cast(*mesh, origin, direction);
  ASSERT_TRUE(slanted.hit);
  EXPECT_FLOAT_EQ(slanted.distance, 2);
  EXPECT_FLOAT_EQ(origin.x + slanted.distance * direction.x, 0.25f);
}

TEST(MeshTest, MissesLeaveTheOutputsUntouched) {
  platform::NullRenderDevice device;
  std::unique_ptr<gfx::Mesh> mesh = MakeMesh(device, Panels());
  ASSERT_TRUE(mesh);
  const struct {
    const char* name;
    Vector3 origin, direction;
  } misses[] = {
      {"beside the mesh", {50, 0.5f, -2}, {0, 0, 1}},
      {"pointing away", {0.5f, 0.5f, -2}, {0, 0, -1}},
      {"parallel to the panels", {-5, 0.5f, 2}, {1, 0, 0}},
      {"past the panel's edge", {1.01f, 0.5f, -2}, {0, 0, 1}},
      {"no direction", {0.5f, 0.5f, -2}, {0, 0, 0}},
  };
  for (const auto& m : misses) {
    Hit h = Cast(*mesh, m.origin, m.direction);
    EXPECT_FALSE(h.hit) << m.name;
    EXPECT_EQ(h.face, 99u) << m.name;
    EXPECT_EQ(h.distance, -1) << m.name;
  }
  bool hit = false;
  uint32_t face = 0;
  EXPECT_FALSE(mesh->Intersect({0, 0, -1}, {0, 0, 1}, &hit, &face, nullptr));
}

TEST(MeshTest, EdgesAndCornersCount) {
  platform::NullRenderDevice device;
  std::unique_ptr<gfx::Mesh> mesh = MakeMesh(device, Panels());
  ASSERT_TRUE(mesh);
  // On the diagonal shared by faces 1 and 3: the first in file order wins.
  Hit diagonal = Cast(*mesh, {0.5f, 0.5f, -1}, {0, 0, 1});
  EXPECT_TRUE(diagonal.hit);
  EXPECT_EQ(diagonal.face, 1u);
  Hit corner = Cast(*mesh, {1, 1, -1}, {0, 0, 1});
  EXPECT_TRUE(corner.hit);
  // A ray that starts on the surface meets it at distance 0.
  Hit onSurface = Cast(*mesh, {0.25f, 0.5f, 0}, {0, 0, 1});
  EXPECT_TRUE(onSurface.hit);
  EXPECT_EQ(onSurface.distance, 0);
}

TEST(MeshTest, CreateRefusesInconsistentData) {
  platform::NullRenderDevice device;
  std::string error;
  gfx::MeshData data = Panels();
  data.indices[4] = 12;
  EXPECT_FALSE(gfx::Mesh::Create(device, data, &error));
  EXPECT_FALSE(error.empty());
  data = Panels();
  data.faceMaterials[0] = 3;
  EXPECT_FALSE(gfx::Mesh::Create(device, data, &error));
  data = Panels();
  data.fvf |= platform::kFvfNormal;  // without the normals
  EXPECT_FALSE(gfx::Mesh::Create(device, data, &error));
  EXPECT_FALSE(gfx::Mesh::Create(device, gfx::MeshData{}, &error));
}

}  // namespace
}  // namespace quarn::testing
