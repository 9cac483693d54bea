// Meshes from recipes: the .x text the game's own reader takes back with every channel, parts
// placed, mirrored and coloured as the recipe says, and the place named for each mistake.
#include <gtest/gtest.h>

#include "DatagenTestSupport.h"
#include "MeshChecks.h"
#include "MeshRecipe.h"
#include "MeshShapes.h"
#include "XMeshWriter.h"
#include "gfxutil/XFileReader.h"

namespace quarn::testing {
namespace {

using tools::MeshRecipe;
using tools::MeshShapes;
using tools::ModelMesh;
using tools::RecipeFile;
using tools::XMeshWriter;

gfx::MeshData ReadBack(const std::string& text) {
  gfx::MeshData data;
  std::string error;
  EXPECT_TRUE(gfx::XFileReader::Read({reinterpret_cast<const uint8_t*>(text.data()), text.size()},
                                     &data, &error))
      << error;
  return data;
}

TEST(XMeshWriterTest, TheGamesReaderTakesBackPositionsNormalsCoordinatesColoursAndMaterials) {
  ModelMesh mesh;
  ModelMesh::Material glass;
  glass.name = "Glass";
  glass.color = 0x8040A0FFu;
  glass.power = 20;
  glass.specular = 0xFFFFFFFFu;
  glass.emissive = 0xFF102030u;
  ModelMesh::Material painted;
  painted.name = "Painted";
  painted.texture = "Falcon.png";
  tools::MeshPart quad = MeshShapes::Quad(2, 1);
  quad.Place(tools::Placement::Move({0.125, -3, 7.5}));
  mesh.Add(quad, glass, 0);
  mesh.Add(MeshShapes::Box(1, 1, 1), painted, 0);
  const std::string text = XMeshWriter::Text(mesh, "Test Mesh");
  EXPECT_EQ(text.rfind("xof 0303txt 0032\n", 0), 0u);
  EXPECT_EQ(text, XMeshWriter::Text(mesh, "Test Mesh")) << "the same mesh, the same bytes";

  const gfx::MeshData data = ReadBack(text);
  ASSERT_EQ(data.VertexCount(), mesh.Vertices().size());
  ASSERT_EQ(data.FaceCount(), mesh.Faces().size());
  ASSERT_FALSE(data.normals.empty());
  ASSERT_FALSE(data.diffuse.empty());
  ASSERT_FALSE(data.texCoords.empty());
  for (uint32_t i = 0; i < data.VertexCount(); ++i) {
    const ModelMesh::Vertex& v = mesh.Vertices()[i];
    EXPECT_FLOAT_EQ(data.positions[i].x, float(v.position.x));
    EXPECT_FLOAT_EQ(data.positions[i].z, float(v.position.z));
    EXPECT_FLOAT_EQ(data.normals[i].y, float(v.normal.y));
    EXPECT_FLOAT_EQ(data.texCoords[2 * i], float(v.u));
    EXPECT_FLOAT_EQ(data.texCoords[2 * i + 1], float(v.v));
    EXPECT_EQ(data.diffuse[i], v.color);
  }
  for (uint32_t f = 0; f < data.FaceCount(); ++f) {
    EXPECT_EQ(data.faceMaterials[f], mesh.Faces()[f].material);
    for (int k = 0; k < 3; ++k)
      EXPECT_EQ(data.indices[3 * f + k], mesh.Faces()[f].vertices[k]) << "winding kept";
  }
  ASSERT_EQ(data.materials.size(), 2u);
  EXPECT_NEAR(data.materials[0].material.diffuse.a, 0x80 / 255.0, 1e-4);
  EXPECT_NEAR(data.materials[0].material.diffuse.b, 1.0, 1e-4);
  EXPECT_EQ(data.materials[0].material.power, 20);
  EXPECT_NEAR(data.materials[0].material.emissive.g, 0x20 / 255.0, 1e-4);
  EXPECT_EQ(data.materials[0].textureFile, "");
  EXPECT_EQ(data.materials[1].textureFile, "Falcon.png");
}

TEST(XMeshWriterTest, EmptyOrTooLargeMeshesAreRefused) {
  std::string error;
  EXPECT_FALSE(XMeshWriter::Write(ModelMesh(), "/nonexistent/Empty.x", &error));
  EXPECT_NE(error.find("no triangles"), std::string::npos) << error;
  tools::MeshPart many;
  for (int i = 0; i < 22000; ++i) {
    const double x = i;
    many.AddTriangle({many.AddPosition({x, 0, 0})}, {many.AddPosition({x, 1, 0})},
                     {many.AddPosition({x + 0.5, 0, 0})});
  }
  ModelMesh big;
  big.Add(many, ModelMesh::Material(), 0);
  EXPECT_FALSE(XMeshWriter::Write(big, "/nonexistent/Big.x", &error));
  EXPECT_NE(error.find("65535"), std::string::npos) << error;
}

const char kRecipe[] =
    "[Materials]\n"
    "Grey=FF808080\nRed=FFFF0000\nBlue=FF0000FF texture Blue.png\nBad=FF00FF00 sparkle\n"
    "[Wing]\nMaterial=Blue\nPart_0=box 4 0.2 1 at 3 0 0\n"
    "[Plain]\nPart_0=box 1 1 1 at 0 0 5\n"
    "[Plane]\nFile=Plane.x\nMaterial=Grey\n"
    "Part_0=box 1 1 4\n"
    "Part_1=use Wing mirror\n"
    "Part_2=use Wing mat Red turn 0 0 90\n"
    "Part_3=use Plain\n"
    "[Bare]\nFile=Bare.x\nPart_0=box 1 1 1\n"
    "[Typo]\nFile=Typo.x\nMaterial=Grey\nPart_0=box 1 1 1\nPart_1=blob 1 2 3\n"
    "[Nested]\nFile=Nested.x\nMaterial=Grey\nPart_0=use Typo\n"
    "[Loop]\nFile=Loop.x\nMaterial=Grey\nPart_0=use Loop\n"
    "[Sparkly]\nFile=Sparkly.x\nPart_0=box 1 1 1 mat Bad\n"
    "[Odd]\nFile=Odd.x\nMaterial=Grey\nPart_0=cylinder 1 2 2\n";

TEST(MeshRecipeTest, PartsArePlacedMirroredAndGivenTheirSectionsOrTheirOwnMaterials) {
  const RecipeFile recipe = Recipe("Meshes.txt", kRecipe);
  ModelMesh mesh;
  std::string error;
  ASSERT_TRUE(MeshRecipe(&recipe, nullptr).Build("Plane", &mesh, &error)) << error;
  // The fuselage, the wing and its mirror image, the wing turned up in red, the plain box.
  EXPECT_EQ(mesh.Faces().size(), 5u * 12u);
  const Soup soup = SoupOf(mesh);
  EXPECT_TRUE(OpenEdges(soup).empty());
  EXPECT_GT(SignedVolume(soup), 0) << "the mirrored wing still faces out";
  ASSERT_EQ(mesh.Materials().size(), 3u);
  EXPECT_EQ(mesh.Materials()[0].name, "Grey");
  EXPECT_EQ(mesh.Materials()[1].name, "Blue") << "the group's own material";
  EXPECT_EQ(mesh.Materials()[1].texture, "Blue.png");
  EXPECT_EQ(mesh.Materials()[2].name, "Red") << "the use line's stands in for it";
  double minX = 0, maxY = 0, maxZ = 0;
  for (const auto& v : mesh.Vertices()) {
    minX = std::min(minX, v.position.x);
    if (mesh.Materials()[2].color == v.color)
      maxY = std::max(maxY, v.position.y);
    maxZ = std::max(maxZ, v.position.z);
  }
  EXPECT_DOUBLE_EQ(minX, -5) << "mirrored to the left";
  EXPECT_DOUBLE_EQ(maxY, 5) << "banked 90 degrees the right wing points up";
  EXPECT_DOUBLE_EQ(maxZ, 5.5) << "a group without a material takes the user's";
}

TEST(MeshRecipeTest, MistakesNameTheirPlace) {
  const RecipeFile recipe = Recipe("Meshes.txt", kRecipe);
  const MeshRecipe meshes(&recipe, nullptr);
  const std::pair<const char*, const char*> cases[] = {
      {"Bare", "Meshes.txt [Bare] Part_0: no material"},
      {"Typo", "Meshes.txt [Typo] Part_1: unknown shape 'blob'"},
      {"Nested", "Meshes.txt [Typo] Part_1: unknown shape 'blob'"},
      {"Loop", "too deeply"},
      {"Sparkly", "Meshes.txt [Materials] Bad: 'sparkle' is none of shine, glow, texture"},
      {"Odd", "Meshes.txt [Odd] Part_0: segments must lie between 3 and 256"},
      {"Missing", "Meshes.txt [Missing]: no Part_N"},
  };
  for (const auto& [section, message] : cases) {
    ModelMesh mesh;
    std::string error;
    EXPECT_FALSE(meshes.Build(section, &mesh, &error)) << section;
    EXPECT_NE(error.find(message), std::string::npos) << section << ": " << error;
  }
  const RecipeFile options = Recipe("Meshes.txt",
                                    "[Materials]\nGrey=FF808080\n[A]\nFile=A.x\nMaterial=Grey\n"
                                    "Part_0=box 1 1 1 scale 0\nPart_1=box 1 1 1 spin 3\n");
  ModelMesh mesh;
  std::string error;
  EXPECT_FALSE(MeshRecipe(&options, nullptr).Build("A", &mesh, &error));
  EXPECT_NE(error.find("Part_0: a scale of 0"), std::string::npos) << error;
}

}  // namespace
}  // namespace quarn::testing
