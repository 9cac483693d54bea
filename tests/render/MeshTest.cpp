// The shared mesh: loading through the archive, materials and textures, bounds, face
// normals, drawing and ray tests; and the cache's mesh getter.
#include "render/Mesh.h"

#include <gtest/gtest.h>

#include <cmath>

#include "engine/ExtractedFile.h"
#include "engine/GraphicsDevice.h"
#include "engine/ResourceCache.h"
#include "gfxutil/MathExpect.h"
#include "platform/Diagnostics.h"
#include "platform/NullRenderDevice.h"
#include "platform/Window.h"
#include "render/MeshTestFiles.h"
#include "render/NullGraphicsTest.h"

namespace quarn::testing {
namespace {

using gfx::Vector3;
using gfx::VectorNear;
using platform::ColorValue;

bool SameColour(const ColorValue& a, const ColorValue& b) {
  return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a;
}

// Sides +x, -x, +y, -y in the textured red material; +z, -z in plain blue.
const std::vector<uint32_t> kTwoMaterials = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1};

std::string TwoMaterialCube(const std::string& textureName) {
  return CubeFile({ColourMaterial(1, 0, 0, textureName), ColourMaterial(0, 0, 1)}, kTwoMaterials);
}

class MeshTest : public ::testing::Test {
 protected:
  void SetUp() override { platform::ForgetReportedProblems(); }

  // Loads an archive entry as the cache would: from its extracted copy.
  bool LoadEntry(Mesh* mesh, TestArchive* archive, const std::string& name) {
    const ExtractedFile file(name, true, &archive->Get());
    return mesh->Load(file.GetPath());
  }

  platform::NullRenderDevice device_;
};

TEST_F(MeshTest, MaterialsKeepFileOrderWithAmbientAsDiffuseAndTexturesFromTheArchive) {
  TestArchive archive({{"Cube.x", TwoMaterialCube("Checker.PNG")},
                       {"checker.png", CheckerPng(4, 0xFFFFFFFFu, 0xFF000000u)}});
  Mesh mesh(&device_, &archive.Get());
  ASSERT_TRUE(LoadEntry(&mesh, &archive, "Cube.x")) << mesh.LoadProblem();
  const std::vector<MeshMaterial>& materials = mesh.GetMaterials();
  ASSERT_EQ(materials.size(), 2u);
  EXPECT_TRUE(SameColour(materials[0].material.diffuse, {1, 0, 0, 1}));
  EXPECT_TRUE(SameColour(materials[0].material.ambient, {1, 0, 0, 1}));
  EXPECT_TRUE(SameColour(materials[1].material.diffuse, {0, 0, 1, 1}));
  EXPECT_TRUE(SameColour(materials[1].material.ambient, {0, 0, 1, 1}));
  ASSERT_NE(materials[0].texture, nullptr) << "the name is looked up without regard to case";
  EXPECT_EQ(materials[0].texture->Width(), 4u);
  EXPECT_EQ(materials[1].texture, nullptr);
  EXPECT_TRUE(archive.Copies().empty()) << "the texture's copy is released after loading";
}

TEST_F(MeshTest, AMissingTextureLeavesTheMaterialUntexturedAndIsReportedOnce) {
  TestArchive archive(
      {{"a.x", TwoMaterialCube("Missing.png")}, {"b.x", TwoMaterialCube("Missing.png")}});
  Mesh first(&device_, &archive.Get()), second(&device_, &archive.Get());
  ::testing::internal::CaptureStderr();
  ASSERT_TRUE(LoadEntry(&first, &archive, "a.x")) << first.LoadProblem();
  ASSERT_TRUE(LoadEntry(&second, &archive, "b.x")) << second.LoadProblem();
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(err, "quarn: Missing.png: texture of a.x: not found (looked for " +
                     archive.Get().LooseDirectory() + "missing.png); drawn without it\n");
  EXPECT_EQ(first.GetMaterials()[0].texture, nullptr);

  // Drawn in its material colours, with no texture bound.
  ASSERT_TRUE(first.Draw());
  ASSERT_EQ(device_.Draws().size(), 2u);
  const platform::DeviceStateBlock& state = device_.Draws()[0].state;
  EXPECT_EQ(state.textures[0], nullptr);
  EXPECT_TRUE(SameColour(state.material.diffuse, {1, 0, 0, 1}));
  EXPECT_TRUE(SameColour(state.material.ambient, {1, 0, 0, 1}));
}

TEST_F(MeshTest, ATextureThatIsNoImageIsReportedWithItsReason) {
  TestArchive archive({{"a.x", TwoMaterialCube("sky.png")}, {"sky.png", "not a picture"}});
  Mesh mesh(&device_, &archive.Get());
  ::testing::internal::CaptureStderr();
  ASSERT_TRUE(LoadEntry(&mesh, &archive, "a.x"));
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(err,
            "quarn: sky.png: texture of a.x: not an image file of a known kind (PNG, JPEG, "
            "BMP, TGA, DDS); drawn without it\n");
  EXPECT_EQ(mesh.GetMaterials()[0].texture, nullptr);
}

TEST_F(MeshTest, DrawSetsEachMaterialAndTextureBeforeItsFacesAndNoOtherState) {
  TestArchive archive({{"Cube.x", TwoMaterialCube("checker.png")},
                       {"checker.png", CheckerPng(2, 0xFFFFFFFFu, 0xFF000000u)}});
  Mesh mesh(&device_, &archive.Get());
  ASSERT_TRUE(LoadEntry(&mesh, &archive, "Cube.x"));
  // A texture left bound by an earlier draw must not leak into the untextured material.
  auto stale =
      device_.CreateTexture(1, 1, 1, 0, platform::Format::A8R8G8B8, platform::Pool::Managed);
  device_.SetTexture(0, stale.get());
  const auto statesBefore = device_.State().renderStates;

  ASSERT_TRUE(mesh.Draw());
  const std::vector<platform::DrawRecord>& draws = device_.Draws();
  ASSERT_EQ(draws.size(), 2u);
  EXPECT_EQ(draws[0].primitiveCount, 8u);
  EXPECT_EQ(draws[0].state.textures[0], mesh.GetMaterials()[0].texture.get());
  EXPECT_TRUE(SameColour(draws[0].state.material.diffuse, {1, 0, 0, 1}));
  EXPECT_EQ(draws[1].primitiveCount, 4u);
  EXPECT_EQ(draws[1].state.textures[0], nullptr);
  EXPECT_TRUE(SameColour(draws[1].state.material.diffuse, {0, 0, 1, 1}));
  EXPECT_EQ(device_.State().renderStates, statesBefore);
}

TEST_F(MeshTest, BoundsAndOneOutwardNormalPerFaceInFileOrder) {
  TestArchive archive(
      {{"Cube.x", CubeFile({ColourMaterial(1, 1, 1)}, std::vector<uint32_t>(12, 0))}});
  Mesh mesh(&device_, &archive.Get());
  ASSERT_TRUE(LoadEntry(&mesh, &archive, "Cube.x")) << mesh.LoadProblem();
  EXPECT_TRUE(VectorNear(mesh.GetSphereCentre(), {0, 0, 0}));
  EXPECT_NEAR(mesh.GetSphereRadius(), std::sqrt(3.0f), 1e-5f);
  EXPECT_TRUE(VectorNear(mesh.GetBoxMin(), {-1, -1, -1}));
  EXPECT_TRUE(VectorNear(mesh.GetBoxMax(), {1, 1, 1}));

  const Vector3 sides[6] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
  const std::vector<Vector3>& normals = mesh.GetFaceNormals();
  ASSERT_EQ(normals.size(), 12u);
  for (size_t face = 0; face < normals.size(); ++face)
    EXPECT_TRUE(VectorNear(normals[face], sides[face / 2])) << "face " << face;
}

TEST_F(MeshTest, ARayReportsTheNearestFaceItsNormalAndTheRayParameter) {
  TestArchive archive(
      {{"Cube.x", CubeFile({ColourMaterial(1, 1, 1)}, std::vector<uint32_t>(12, 0))}});
  Mesh mesh(&device_, &archive.Get());
  ASSERT_TRUE(LoadEntry(&mesh, &archive, "Cube.x"));
  float distance = 0;
  Vector3 normal;
  ASSERT_TRUE(mesh.IntersectRay({0.2f, 0.3f, -5}, {0, 0, 1}, &distance, &normal));
  EXPECT_NEAR(distance, 4.0f, 1e-5f);
  EXPECT_TRUE(VectorNear(normal, {0, 0, -1}));
  // In units of the direction's length.
  ASSERT_TRUE(mesh.IntersectRay({0.2f, 0.3f, -5}, {0, 0, 2}, &distance, &normal));
  EXPECT_NEAR(distance, 2.0f, 1e-5f);
  // From inside, the far wall is met from behind; its own normal is reported.
  ASSERT_TRUE(mesh.IntersectRay({0, 0.1f, 0.2f}, {1, 0, 0}, &distance, &normal));
  EXPECT_NEAR(distance, 1.0f, 1e-5f);
  EXPECT_TRUE(VectorNear(normal, {1, 0, 0}));
}

TEST_F(MeshTest, ARayThatMissesLeavesDistanceAndNormalAsTheyWere) {
  TestArchive archive(
      {{"Cube.x", CubeFile({ColourMaterial(1, 1, 1)}, std::vector<uint32_t>(12, 0))}});
  Mesh mesh(&device_, &archive.Get());
  ASSERT_TRUE(LoadEntry(&mesh, &archive, "Cube.x"));
  float distance = 123;
  Vector3 normal{7, 8, 9};
  EXPECT_FALSE(mesh.IntersectRay({5, 5, -5}, {0, 0, 1}, &distance, &normal));
  EXPECT_FALSE(mesh.IntersectRay({0, 0, -5}, {0, 0, -1}, &distance, &normal)) << "behind";
  EXPECT_EQ(distance, 123);
  EXPECT_EQ(normal, (Vector3{7, 8, 9}));
}

TEST_F(MeshTest, ReleaseAndFailedLoadsLeaveNothingBehind) {
  TestArchive archive({{"Cube.x", TwoMaterialCube("")}, {"broken.x", "xof 0303txt 0032\nMesh {"}});
  Mesh mesh(&device_, &archive.Get());
  EXPECT_FALSE(mesh.Draw()) << "nothing loaded yet";
  float distance = 0;
  Vector3 normal;
  EXPECT_FALSE(mesh.IntersectRay({0, 0, -5}, {0, 0, 1}, &distance, &normal));

  ASSERT_TRUE(LoadEntry(&mesh, &archive, "Cube.x"));
  EXPECT_FALSE(LoadEntry(&mesh, &archive, "broken.x"));
  EXPECT_FALSE(mesh.LoadProblem().empty());
  EXPECT_FALSE(mesh.IsLoaded());
  EXPECT_TRUE(mesh.GetMaterials().empty());
  EXPECT_TRUE(mesh.GetFaceNormals().empty());
  EXPECT_EQ(mesh.GetSphereRadius(), 0);
  EXPECT_FALSE(mesh.Draw());

  ASSERT_TRUE(LoadEntry(&mesh, &archive, "Cube.x"));
  EXPECT_TRUE(mesh.LoadProblem().empty());
  mesh.Release();
  EXPECT_FALSE(mesh.IsLoaded());
  EXPECT_TRUE(mesh.GetMaterials().empty());
  mesh.Release();  // twice is harmless
}

TEST_F(MeshTest, WithoutAGraphicsDeviceNothingIsLoaded) {
  TestArchive archive({{"Cube.x", TwoMaterialCube("")}});
  Mesh mesh;  // no device given, and no graphics device exists
  EXPECT_FALSE(LoadEntry(&mesh, &archive, "Cube.x"));
  EXPECT_NE(mesh.LoadProblem().find("no graphics device"), std::string::npos);
}

// The scene's cache on the process's graphics device (a null device on a window that shows
// nothing) and the process's archive.
class MeshCacheTest : public NullGraphicsTest {
 protected:
  void TearDown() override {
    cache_.ClearAll();
    NullGraphicsTest::TearDown();
  }

  TestArchive archive_{{{"Cube.x", TwoMaterialCube("checker.png")},
                        {"checker.png", CheckerPng(2, 0xFFFFFFFFu, 0xFF000000u)},
                        {"broken.x", "xof 0303txt 0032\nMesh {"}}};
  ResourceCache cache_{&archive_.Get(), nullptr};
};

TEST_F(MeshCacheTest, TwoUsersOfOneFileShareOneMeshReadOnce) {
  Mesh* first = cache_.GetMesh("Cube.x");
  ASSERT_NE(first, nullptr);
  ASSERT_NE(first->GetMaterials()[0].texture, nullptr) << "texture found through the archive";
  EXPECT_TRUE(archive_.Copies().empty()) << "mesh and texture copies are released";
  // A second read could not succeed any more.
  archive_.RemoveArchiveFile();
  EXPECT_EQ(cache_.GetMesh("Cube.x"), first);
  EXPECT_EQ(cache_.Count(ResourceCache::Kind::Mesh), 1u);
  EXPECT_EQ(cache_.Count(ResourceCache::Kind::Texture), 0u) << "mesh textures are its own";
}

TEST_F(MeshCacheTest, AMeshFileThatFailsIsNullAndReportedOnce) {
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(cache_.GetMesh("broken.x"), nullptr);
  EXPECT_EQ(cache_.GetMesh("broken.x"), nullptr) << "failures are not cached";
  EXPECT_EQ(cache_.GetMesh("absent.x"), nullptr);
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 2) << err;
  EXPECT_EQ(err.rfind("quarn: broken.x: ", 0), 0u) << err;
  EXPECT_NE(err.find("quarn: absent.x: not found"), std::string::npos) << err;
  EXPECT_EQ(cache_.Count(ResourceCache::Kind::Mesh), 0u);
}

}  // namespace
}  // namespace quarn::testing
