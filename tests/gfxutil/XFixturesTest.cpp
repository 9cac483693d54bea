// Real .x files made by other exporters (tests/fixtures/x, see its README): which load, with
// what, and which fail cleanly.
#include <gtest/gtest.h>

#include "gfxutil/XMeshLoader.h"
#include "gfxutil/XMeshTestSupport.h"
#include "platform/NullRenderDevice.h"

namespace quarn::testing {
namespace {

std::string Fixture(const std::string& name) {
  return std::string(QUARN_SOURCE_DIR) + "/tests/fixtures/x/" + name;
}

gfx::MeshData MustRead(const std::string& name) {
  gfx::MeshData data;
  std::string error;
  EXPECT_TRUE(gfx::XFileReader::ReadFile(Fixture(name), &data, &error)) << name << ": " << error;
  return data;
}

constexpr uint32_t kPositionNormalTexture =
    platform::kFvfXyz | platform::kFvfNormal | platform::kFvfTex1;

TEST(XFixturesTest, TheCubeLoadsAlikeFromTextBinaryAndCompressed) {
  const gfx::MeshData text = MustRead("test_cube_text.x");
  EXPECT_EQ(text.VertexCount(), 24u);
  EXPECT_EQ(text.FaceCount(), 12u);
  EXPECT_EQ(text.fvf, kPositionNormalTexture);
  ASSERT_EQ(text.materials.size(), 1u);  // referred to by name from the material list
  EXPECT_NEAR(text.materials[0].material.diffuse.r, 0.639216, 1e-6);
  EXPECT_NEAR(text.materials[0].material.power, 96.07843, 1e-4);

  const gfx::MeshData binary = MustRead("test_cube_binary.x");
  ExpectSameMesh(binary, MustRead("test_cube_compressed.x"));
  // The text file rounds its numbers to six places; the structure is the same.
  EXPECT_EQ(binary.indices, text.indices);
  EXPECT_EQ(binary.faceMaterials, text.faceMaterials);
  ASSERT_EQ(binary.positions.size(), text.positions.size());
  for (size_t i = 0; i < text.positions.size(); ++i) {
    EXPECT_NEAR(binary.positions[i].x, text.positions[i].x, 1e-5);
    EXPECT_NEAR(binary.positions[i].y, text.positions[i].y, 1e-5);
    EXPECT_NEAR(binary.positions[i].z, text.positions[i].z, 1e-5);
  }
}

TEST(XFixturesTest, ExportedFilesLoad) {
  struct Expected {
    const char* name;
    uint32_t faces;
    uint32_t fvf;
    size_t materials;
  };
  const Expected files[] = {
      {"test.x", 12, kPositionNormalTexture, 1},
      {"TestFormatDetection", 12, kPositionNormalTexture, 1},
      {"kwxport_test_cubewithvcolors.x", 12, kPositionNormalTexture | platform::kFvfDiffuse, 3},
      {"fromtruespace_bin32.x", 6656, kPositionNormalTexture, 1},
      {"anim_test.x", 840, kPositionNormalTexture, 1},
      {"BCN_Epileptic.X", 5126, kPositionNormalTexture, 1},
      {"Testwuson.X", 3732, kPositionNormalTexture, 1},
  };
  for (const Expected& e : files) {
    SCOPED_TRACE(e.name);
    const gfx::MeshData data = MustRead(e.name);
    EXPECT_EQ(data.FaceCount(), e.faces);
    EXPECT_EQ(data.fvf, e.fvf);
    EXPECT_EQ(data.materials.size(), e.materials);
    EXPECT_LE(data.VertexCount(), gfx::kMaxMeshVertices);
  }
}

TEST(XFixturesTest, TextureNamesAreKeptAsWritten) {
  EXPECT_EQ(MustRead("test.x").materials[0].textureFile, ".\\\\test.png");
  const gfx::MeshData kw = MustRead("kwxport_test_cubewithvcolors.x");
  ASSERT_EQ(kw.materials.size(), 3u);
  EXPECT_NE(kw.materials[0].textureFile.find("bottom.tga"), std::string::npos);
  // An empty TextureFilename names no texture.
  EXPECT_TRUE(MustRead("anim_test.x").materials[0].textureFile.empty());
  // Files without materials get the default one.
  EXPECT_TRUE(SameMaterial(MustRead("Testwuson.X").materials[0], gfx::DefaultFileMaterial()));
}

TEST(XFixturesTest, SkinWeightsOutOfRangeAreSkippedSafely) {
  // The skin data is not read at all, so its broken index cannot do harm: the cube loads.
  ExpectSameMesh(MustRead("test_cube_text.x"), MustRead("malformed_skinweights_oob.x"));
}

TEST(XFixturesTest, BrokenFilesFailCleanly) {
  platform::NullRenderDevice device;
  for (const char* name : {"OV_GetNextToken", "empty.x", "no_such_file.x"}) {
    std::string error;
    EXPECT_FALSE(gfx::LoadMeshFromX(Fixture(name), device, &error)) << name;
    EXPECT_FALSE(error.empty()) << name;
  }
}

}  // namespace
}  // namespace quarn::testing
