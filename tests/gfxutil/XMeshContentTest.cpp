// What a loaded mesh holds: triangles from polygons, vertices split by normal, frame
// transforms, materials and their subsets, the vertex format, and the limits of 16-bit
// indices.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "gfxutil/XFileWriter.h"
#include "gfxutil/XMeshTestSupport.h"

namespace quarn::testing {
namespace {

using gfx::Vector3;
using platform::ColorValue;

XDocument DocumentOf(std::vector<XObject> objects) {
  XDocument document;
  document.objects = std::move(objects);
  return document;
}

gfx::MeshData LoadText(std::vector<XObject> objects) {
  return MustReadX(WriteTextX(DocumentOf(std::move(objects))));
}

TestMesh Square() {
  TestMesh mesh;
  mesh.positions = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
  mesh.faces = {{0, 1, 2, 3}};
  return mesh;
}

TEST(XMeshContentTest, PolygonsBecomeFansInFileOrder) {
  TestMesh mesh;
  mesh.positions = {{0, 0, 0}, {1, 0, 0}, {2, 1, 0}, {1, 2, 0}, {0, 1, 0}, {5, 5, 5}};
  mesh.faces = {{4, 0, 1, 2, 3}, {5, 1, 0}, {2, 3, 5, 4}};
  mesh.materialList = true;
  mesh.materialCount = 3;
  mesh.faceMaterials = {2, 0, 1};
  mesh.materials = {MaterialObject({1, 0, 0, 1}, 0, {}, {}),
                    MaterialObject({0, 1, 0, 1}, 0, {}, {}),
                    MaterialObject({0, 0, 1, 1}, 0, {}, {})};
  const gfx::MeshData data = LoadText({mesh.Build()});
  EXPECT_EQ(data.indices,
            (std::vector<uint16_t>{4, 0, 1, 4, 1, 2, 4, 2, 3, 5, 1, 0, 2, 3, 5, 2, 5, 4}));
  EXPECT_EQ(data.faceMaterials, (std::vector<uint32_t>{2, 2, 2, 0, 1, 1}));
  EXPECT_EQ(data.VertexCount(), 6u);  // unused and reused vertices are all kept
  EXPECT_EQ(data.fvf, platform::kFvfXyz);
}

TEST(XMeshContentTest, APositionWithAnotherNormalBecomesANewVertexInOrderOfFirstUse) {
  TestMesh mesh;
  mesh.positions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}};
  mesh.faces = {{0, 1, 2}, {2, 1, 3}, {0, 2, 1}, {3, 2, 1}};
  // Normals 0 and 3 are equal in value: the same vertex serves both.
  mesh.normals = {{0, 0, 1}, {0, 0, -1}, {1, 0, 0}, {0, 0, 1}};
  mesh.faceNormals = {{0, 0, 0}, {3, 1, 1}, {1, 2, 1}, {2, 0, 0}};
  const gfx::MeshData data = LoadText({mesh.Build()});
  // Corner by corner: 0/n0 keeps 0, 1/n0 keeps 1, 2/n0 keeps 2, 2/n3 (= n0) is 2, 1/n1 new 4,
  // 3/n1 keeps 3, 0/n1 new 5, 2/n2 new 6, 1/n1 is 4, 3/n2 new 7, 2/n0 is 2, 1/n0 is 1.
  EXPECT_EQ(data.indices, (std::vector<uint16_t>{0, 1, 2, 2, 4, 3, 5, 6, 4, 7, 2, 1}));
  ASSERT_EQ(data.VertexCount(), 8u);
  EXPECT_EQ(Flat(data.positions), Flat({{0, 0, 0},
                                        {1, 0, 0},
                                        {0, 1, 0},
                                        {1, 1, 0},
                                        {1, 0, 0},
                                        {0, 0, 0},
                                        {0, 1, 0},
                                        {1, 1, 0}}));
  EXPECT_EQ(Flat(data.normals), Flat({{0, 0, 1},
                                      {0, 0, 1},
                                      {0, 0, 1},
                                      {0, 0, -1},
                                      {0, 0, -1},
                                      {0, 0, -1},
                                      {1, 0, 0},
                                      {1, 0, 0}}));
  EXPECT_EQ(data.fvf, platform::kFvfXyz | platform::kFvfNormal);
}

TEST(XMeshContentTest, SplitVerticesKeepTheirTextureCoordinatesAndColours) {
  TestMesh mesh = Square();
  mesh.faces = {{0, 1, 2}, {0, 2, 3}};
  mesh.normals = {{0, 0, 1}, {0, 1, 0}};
  mesh.faceNormals = {{0, 0, 0}, {1, 1, 1}};
  mesh.texCoords = {0, 0, 1, 0, 1, 1, 0, 1};
  mesh.colors = {{0, ColorValue{1, 0, 0, 1}}, {3, ColorValue{0, 0, 1, 0.5f}}};
  const gfx::MeshData data = LoadText({mesh.Build()});
  EXPECT_EQ(data.fvf,
            platform::kFvfXyz | platform::kFvfNormal | platform::kFvfDiffuse | platform::kFvfTex1);
  ASSERT_EQ(data.VertexCount(), 6u);  // 0 and 2 are split for the second normal
  EXPECT_EQ(data.indices, (std::vector<uint16_t>{0, 1, 2, 4, 5, 3}));
  EXPECT_EQ(data.texCoords, (std::vector<float>{0, 0, 1, 0, 1, 1, 0, 1, 0, 0, 1, 1}));
  // Colours the file does not give are white.
  EXPECT_EQ(data.diffuse, (std::vector<platform::Argb>{0xFFFF0000, 0xFFFFFFFF, 0xFFFFFFFF,
                                                       0x800000FF, 0xFFFF0000, 0xFFFFFFFF}));
  // Interleaved in the format's order: position, normal, colour, texture coordinates.
  const std::vector<uint8_t> packed = data.PackVertices();
  ASSERT_EQ(packed.size(), 6u * platform::FvfVertexSize(data.fvf));
  float v[9];
  std::memcpy(v, packed.data() + 3 * 36, sizeof v);  // vertex 3: (0, 1, 0), n (0, 1, 0)
  uint32_t color;
  std::memcpy(&color, packed.data() + 3 * 36 + 24, sizeof color);
  EXPECT_EQ(std::vector<float>(v, v + 6), (std::vector<float>{0, 1, 0, 0, 1, 0}));
  EXPECT_EQ(color, 0x800000FFu);
  float uv[2];
  std::memcpy(uv, packed.data() + 3 * 36 + 28, sizeof uv);
  EXPECT_EQ(uv[0], 0);
  EXPECT_EQ(uv[1], 1);
}

TEST(XMeshContentTest, FramesTransformVerticesFromTheInsideOut) {
  TestMesh inner;
  inner.positions = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
  inner.faces = {{0, 1, 2}};
  inner.normals = {{1, 0, 0}};
  inner.faceNormals = {{0, 0, 0}};
  platform::Matrix4 turn;  // a quarter turn about z: x -> y, y -> -x
  turn.m[0][0] = 0;
  turn.m[0][1] = 1;
  turn.m[1][0] = -1;
  turn.m[1][1] = 0;
  platform::Matrix4 scale;
  scale.m[0][0] = scale.m[1][1] = scale.m[2][2] = 2;
  TestMesh outside = inner;
  XObject child = FrameObject("Child", turn, {inner.Build()});
  platform::Matrix4 scaleAndMove = scale;
  scaleAndMove.m[3][0] = 5;  // and a move along x
  const XObject parent = FrameObject("Parent", scaleAndMove, {child});
  const gfx::MeshData data = LoadText({parent, outside.Build()});
  ASSERT_EQ(data.VertexCount(), 6u);
  // v x turn x (scale, move): (1,0,0) -> (0,1,0) -> (5,2,0).
  EXPECT_EQ(Flat(data.positions),
            Flat({{5, 2, 0}, {3, 0, 0}, {5, 0, 2}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}}));
  // Normals turn with the frame and keep their length.
  ASSERT_EQ(data.normals.size(), 6u);
  EXPECT_NEAR(data.normals[0].x, 0, 1e-6);
  EXPECT_NEAR(data.normals[0].y, 1, 1e-6);
  EXPECT_NEAR(data.normals[0].z, 0, 1e-6);
  EXPECT_EQ(data.normals[3].x, 1);
}

TEST(XMeshContentTest, AFrameTransformAppliesToWhatFollowsItAndSeveralAddUp) {
  TestMesh point;  // one triangle whose first corner is the point (1, 0, 0)
  point.positions = {{1, 0, 0}, {1, 1, 0}, {1, 0, 1}};
  point.faces = {{0, 1, 2}};
  platform::Matrix4 doubled;
  doubled.m[0][0] = doubled.m[1][1] = doubled.m[2][2] = 2;
  const XObject move = FrameObject("", Translation(5, 0, 0), {}).children[0];
  const XObject grow = FrameObject("", doubled, {}).children[0];
  // Frame Outer { move(0, 0, 10); Frame Inner { A; move(5); B; grow; Frame { move(0, 7, 0); C }; D
  // } }
  XObject inner{"Frame", "Inner", {}, {}, {}};
  inner.children = {point.Build("A"),
                    move,
                    point.Build("B"),
                    grow,
                    FrameObject("Leaf", Translation(0, 7, 0), {point.Build("C")}),
                    point.Build("D")};
  const XObject outer = FrameObject("Outer", Translation(0, 0, 10), {inner});
  const gfx::MeshData data = LoadText({outer});
  ASSERT_EQ(data.VertexCount(), 12u);
  const auto firstCorner = [&](size_t mesh) { return Flat({data.positions[3 * mesh]}); };
  EXPECT_EQ(firstCorner(0), Flat({{1, 0, 10}})) << "before any matrix of its frame: the parent's";
  EXPECT_EQ(firstCorner(1), Flat({{6, 0, 10}})) << "the move only";
  // Later matrices act first, as a child frame's would: grow, then move, then the parent's.
  EXPECT_EQ(firstCorner(3), Flat({{7, 0, 10}}));
  EXPECT_EQ(firstCorner(2), Flat({{7, 14, 10}})) << "child frame x (grow, move) x parent";
}

TEST(XMeshContentTest, NormalsFollowNonUniformScaleAsSurfaceNormals) {
  TestMesh mesh;
  mesh.positions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
  mesh.faces = {{0, 1, 2}};
  const float r = std::sqrt(0.5f);
  mesh.normals = {{r, r, 0}};  // the normal of the plane x + y = c
  mesh.faceNormals = {{0, 0, 0}};
  platform::Matrix4 stretch;
  stretch.m[0][0] = 4;  // x stretched four times: the plane becomes x / 4 + y = c
  const gfx::MeshData data = LoadText({FrameObject("Stretch", stretch, {mesh.Build()})});
  const Vector3 n = data.normals[0];
  const float length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
  EXPECT_NEAR(length, 1, 1e-5);
  EXPECT_NEAR(n.y / n.x, 4, 1e-4);
}

TEST(XMeshContentTest, MaterialsComeInFileOrderWithDefaultsForGaps) {
  TestMesh mesh = Square();
  mesh.faces = {{0, 1, 2}, {0, 2, 3}, {1, 2, 3}, {3, 2, 1}};
  mesh.materialList = true;
  mesh.materialCount = 3;       // one more than given: the default material
  mesh.faceMaterials = {1, 0};  // fewer than faces: the last index holds for the rest
  mesh.materials = {XObject::Reference("Later"),
                    MaterialObject({0.5f, 0.25f, 0.125f, 0.75f}, 20, {1, 0.5f, 0, 1},
                                   {0, 0.25f, 0.5f, 1}, "..\\\\maps\\\\Hull.PNG")};
  const gfx::MeshData data = LoadText(
      {mesh.Build(), MaterialObject({0.75f, 0.75f, 0.75f, 1}, 2, {}, {}, "later.png", "Later")});
  ASSERT_EQ(data.materials.size(), 3u);
  EXPECT_EQ(data.faceMaterials, (std::vector<uint32_t>{1, 0, 0, 0}));
  EXPECT_EQ(data.materials[0].textureFile, "later.png");
  EXPECT_EQ(data.materials[0].material.power, 2);
  const platform::Material& second = data.materials[1].material;
  EXPECT_TRUE(SameColor(second.diffuse, {0.5f, 0.25f, 0.125f, 0.75f}));
  EXPECT_TRUE(SameColor(second.specular, {1, 0.5f, 0, 1}));
  EXPECT_TRUE(SameColor(second.emissive, {0, 0.25f, 0.5f, 1}));
  EXPECT_TRUE(SameColor(second.ambient, {0, 0, 0, 0}));
  EXPECT_EQ(second.power, 20);
  EXPECT_EQ(data.materials[1].textureFile, "..\\\\maps\\\\Hull.PNG");  // as written
  EXPECT_TRUE(SameMaterial(data.materials[2], gfx::DefaultFileMaterial()));
}

TEST(XMeshContentTest, AMeshWithoutMaterialsGetsTheDefaultMaterial) {
  const gfx::MeshData data = LoadText({Square().Build()});
  ASSERT_EQ(data.materials.size(), 1u);
  EXPECT_TRUE(SameColor(data.materials[0].material.diffuse, {0.5f, 0.5f, 0.5f, 1}));
  EXPECT_TRUE(data.materials[0].textureFile.empty());
  EXPECT_EQ(data.faceMaterials, (std::vector<uint32_t>{0, 0}));
}

TEST(XMeshContentTest, MergedMeshesChainTheirMaterials) {
  TestMesh red = Square();
  red.materialList = true;
  red.materialCount = 1;
  red.faceMaterials = {0};
  red.materials = {MaterialObject({1, 0, 0, 1}, 0, {}, {})};
  TestMesh blue = red;
  blue.materials = {MaterialObject({0, 0, 1, 1}, 0, {}, {})};
  // Two meshes without a list share one default material, placed where it is first needed.
  const gfx::MeshData data =
      LoadText({red.Build(), Square().Build(), blue.Build(), Square().Build()});
  ASSERT_EQ(data.materials.size(), 3u);
  EXPECT_EQ(data.materials[0].material.diffuse.r, 1);
  EXPECT_TRUE(SameMaterial(data.materials[1], gfx::DefaultFileMaterial()));
  EXPECT_EQ(data.materials[2].material.diffuse.b, 1);
  EXPECT_EQ(data.faceMaterials, (std::vector<uint32_t>{0, 0, 1, 1, 2, 2, 1, 1}));
  EXPECT_EQ(data.VertexCount(), 16u);
  EXPECT_EQ(data.indices[18], 12);  // the fourth mesh's first corner: its own vertex 0
}

TEST(XMeshContentTest, InconsistentMeshesFailWithTheReason) {
  struct Case {
    const char* name;
    TestMesh mesh;
    const char* reasonPart;
  };
  std::vector<Case> cases;
  {
    TestMesh m = Square();
    m.faces = {{0, 1, 4}};
    cases.push_back({"corner beyond the vertices", m, "uses vertex 4"});
  }
  {
    TestMesh m = Square();
    m.normals = {{0, 0, 1}};
    m.faceNormals = {{0, 0, 0, 0}, {0, 0, 0}};
    cases.push_back({"normal faces differ in count", m, "MeshNormals has 2 faces"});
  }
  {
    TestMesh m = Square();
    m.normals = {{0, 0, 1}};
    m.faceNormals = {{0, 0, 0}};
    cases.push_back({"normal face differs in corners", m, "corner count"});
  }
  {
    TestMesh m = Square();
    m.normals = {{0, 0, 1}};
    m.faceNormals = {{0, 0, 1, 0}};
    cases.push_back({"normal index beyond the normals", m, "uses normal 1"});
  }
  {
    TestMesh m = Square();
    m.texCoords = {0, 0, 1, 1};
    cases.push_back({"too few texture coordinates", m, "MeshTextureCoords"});
  }
  {
    TestMesh m = Square();
    m.colors = {{4, ColorValue{1, 1, 1, 1}}};
    cases.push_back({"colour for a vertex that does not exist", m, "MeshVertexColors"});
  }
  {
    TestMesh m = Square();
    m.materialList = true;
    m.materialCount = 1;
    m.faceMaterials = {1};
    m.materials = {MaterialObject({1, 1, 1, 1}, 0, {}, {})};
    cases.push_back({"material beyond the list", m, "uses material 1"});
  }
  {
    TestMesh m = Square();
    m.materialList = true;
    m.materialCount = 1;
    m.faceMaterials = {0};
    m.materials = {XObject::Reference("Nowhere")};
    cases.push_back({"reference to nothing", m, "Nowhere"});
  }
  {
    TestMesh m = Square();
    m.materialList = true;
    m.materialCount = 4000000000u;
    m.faceMaterials = {0};
    m.materials = {MaterialObject({1, 1, 1, 1}, 0, {}, {})};
    cases.push_back({"an absurd material count", m, "4000000000 materials"});
  }
  {
    TestMesh m = Square();
    m.faces = {{0, 1}};
    cases.push_back({"only a line", m, "no triangles"});
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (const std::string& file :
         {WriteTextX(DocumentOf({c.mesh.Build()})), WriteBinaryX(DocumentOf({c.mesh.Build()}))}) {
      gfx::MeshData data;
      std::string error;
      EXPECT_FALSE(ReadX(file, &data, &error));
      EXPECT_NE(error.find(c.reasonPart), std::string::npos) << error;
    }
  }
}

TEST(XMeshContentTest, SixteenBitIndicesLimitTheVertexCount) {
  // 255 x 255 squares: 256 * 256 = 65,536 vertices, one too many.
  TestMesh big = GridMesh(255);
  gfx::MeshData data;
  std::string error;
  EXPECT_FALSE(ReadX(WriteBinaryX(DocumentOf({big.Build()})), &data, &error));
  EXPECT_NE(error.find("65535"), std::string::npos) << error;

  // Exactly 65,535 vertices load, the last one addressed by index 65534.
  TestMesh full;
  for (uint32_t i = 0; i < 65535; ++i) {
    full.positions.push_back({static_cast<float>(i % 256), static_cast<float>(i / 256), 0});
  }
  full.faces = {{0, 1, 65534}};
  const gfx::MeshData loaded = MustReadX(WriteBinaryX(DocumentOf({full.Build()})));
  EXPECT_EQ(loaded.VertexCount(), 65535u);
  EXPECT_EQ(loaded.indices[2], 65534);

  // Splitting by normal can push a mesh past the limit as well.
  TestMesh split = full;
  split.normals = {{0, 0, 1}, {0, 0, -1}};
  split.faces = {{0, 1, 2}, {2, 1, 0}};
  split.faceNormals = {{0, 0, 0}, {1, 1, 1}};
  EXPECT_FALSE(ReadX(WriteBinaryX(DocumentOf({split.Build()})), &data, &error));
  EXPECT_NE(error.find("65538 vertices"), std::string::npos) << error;
}

TEST(XMeshContentTest, TextSyntaxVariantsRead) {
  // Comments of both kinds, separators in any mix, GUIDs, a numeric object name, a reference
  // with a GUID, and '+' signs and exponents in numbers.
  const std::string text =
      "xof 0302txt 0064\n"
      "// comment { with a brace\n"
      "Material Red { <11111111-2222-3333-4444-555555555555> 1;0;0;1;; 5; 0;0;0;; 0;0;0;; }\n"
      "Frame 1 { Mesh m1{\n"
      "  3; 0.0;0.0;0.0;, +1e0;0;0;, 0;2.5E-1;0;;  # vertices\n"
      "  1; 3;0,1,2;;\n"
      "  MeshMaterialList { 1; 1; 0;; { Red <aaaaaaaa-bbbb-cccc-dddd-eeeeeeeeeeee> } }\n"
      "} }\n";
  const gfx::MeshData data = MustReadX(text);
  EXPECT_EQ(Flat(data.positions), Flat({{0, 0, 0}, {1, 0, 0}, {0, 0.25f, 0}}));
  ASSERT_EQ(data.materials.size(), 1u);
  EXPECT_EQ(data.materials[0].material.diffuse.r, 1);
  EXPECT_EQ(data.materials[0].material.power, 5);
}

}  // namespace
}  // namespace quarn::testing
