// One mesh written as text, binary (32- and 64-bit floats) and compressed text and binary
// must load to the same data; damage anywhere must fail with a reason, never half-load.
#include <gtest/gtest.h>

#include "gfxutil/XFileWriter.h"
#include "gfxutil/XMeshTestSupport.h"

namespace quarn::testing {
namespace {

using platform::ColorValue;

// A document that uses every part the loader reads: frames, polygons, normals, texture
// coordinates, colours, inline and referenced materials, and objects it must skip.
XDocument RichDocument() {
  TestMesh quads;
  quads.positions = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 0, 1}, {1.5f, 0.25f, 1}};
  quads.faces = {{0, 1, 2, 3}, {1, 5, 4, 0, 2}, {3, 2, 5}};
  quads.normals = {{0, 0, -1}, {0, -1, 0}, {0.6f, 0.8f, 0}};
  quads.faceNormals = {{0, 0, 0, 0}, {1, 1, 1, 1, 1}, {2, 2, 2}};
  quads.texCoords = {0, 0, 1, 0, 1, 1, 0, 1, 0.125f, 0.5f, 0.75f, 0.25f};
  quads.colors = {{2, ColorValue{1, 0, 0, 1}}, {4, ColorValue{0, 0.5f, 1, 0.25f}}};
  quads.materialList = true;
  quads.materialCount = 2;
  quads.faceMaterials = {1, 0, 1};
  quads.materials = {MaterialObject({0.25f, 0.5f, 0.75f, 1}, 12.5f, {0.1f, 0.2f, 0.3f, 1},
                                    {0, 0, 0.0625f, 1}, "hull.png"),
                     XObject::Reference("Paint")};
  XObject skinned{"SkinWeights", "", {XValue::String("bone { }"), XValue::Ints({1, 2})}, {}, {}};
  XObject quadsObject = quads.Build("Quads");
  quadsObject.children.insert(quadsObject.children.begin(), skinned);

  TestMesh triangle;
  triangle.positions = {{0, 0, 0}, {0, 0, 2}, {2, 0, 0}};
  triangle.faces = {{0, 1, 2}};

  XDocument document;
  document.objects.push_back(XObject{"Header", "", {XValue::Ints({1, 0, 1})}, {}, {}});
  platform::Matrix4 spin;  // a quarter turn about y, then a move along x
  spin.m[0][0] = 0;
  spin.m[0][2] = -1;
  spin.m[2][0] = 1;
  spin.m[2][2] = 0;
  document.objects.push_back(FrameObject(
      "Root", Translation(10, 0, 0),
      {FrameObject("Body", spin, {quadsObject}),
       XObject{
           "AnimationSet", "", {}, {XObject{"Animation", "", {XValue::Ints({4})}, {}, {}}}, {}}}));
  document.objects.push_back(triangle.Build());
  document.objects.push_back(MaterialObject({0.9f, 0.8f, 0.7f, 0.5f}, 3, {1, 1, 1, 1},
                                            {0.25f, 0.25f, 0.25f, 1}, "", "Paint"));
  return document;
}

TEST(XFileEncodingTest, EveryEncodingLoadsTheSameMesh) {
  const XDocument document = RichDocument();
  const std::string text = WriteTextX(document);
  const gfx::MeshData reference = MustReadX(text);
  ASSERT_EQ(reference.FaceCount(), 2u + 3u + 1u + 1u);

  const std::pair<const char*, std::string> encodings[] = {
      {"binary", WriteBinaryX(document)},
      {"binary with 64-bit floats", WriteBinaryX(document, true)},
      {"compressed text", CompressX(text)},
      {"compressed binary in small blocks", CompressX(WriteBinaryX(document), 48)},
  };
  for (const auto& [name, file] : encodings) {
    SCOPED_TRACE(name);
    ExpectSameMesh(reference, MustReadX(file));
  }
}

TEST(XFileEncodingTest, SmallBlocksUseThePreviousBlockAsDictionary) {
  // Repeated content compresses into back references that reach into the previous block;
  // without its dictionary the second block cannot be inflated.
  TestMesh grid = GridMesh(6);
  XDocument document;
  document.objects.push_back(grid.Build());
  const std::string binary = WriteBinaryX(document);
  const std::string compressed = CompressX(binary, 256);
  ASSERT_LT(compressed.size(), binary.size() / 2);
  ExpectSameMesh(MustReadX(binary), MustReadX(compressed));
}

// Every prefix of a file either fails with a reason or, when only trailing bytes are
// missing, loads the whole mesh: nothing half-read is ever accepted.
void ExpectEveryPrefixFailsCleanly(const std::string& file, const gfx::MeshData& whole) {
  for (size_t length = 0; length < file.size(); ++length) {
    gfx::MeshData data;
    std::string error;
    if (ReadX(file.substr(0, length), &data, &error)) {
      SCOPED_TRACE("prefix of " + std::to_string(length) + " bytes loaded");
      ExpectSameMesh(whole, data);
    } else {
      EXPECT_FALSE(error.empty()) << "prefix of " << length << " bytes";
    }
  }
}

TEST(XFileEncodingTest, CutFilesFailWithAReason) {
  const XDocument document = RichDocument();
  const std::string text = WriteTextX(document);
  const gfx::MeshData whole = MustReadX(text);
  {
    SCOPED_TRACE("text");
    ExpectEveryPrefixFailsCleanly(text, whole);
  }
  {
    SCOPED_TRACE("binary");
    ExpectEveryPrefixFailsCleanly(WriteBinaryX(document), whole);
  }
  {
    SCOPED_TRACE("compressed");
    ExpectEveryPrefixFailsCleanly(CompressX(WriteBinaryX(document), 64), whole);
  }
}

TEST(XFileEncodingTest, DamagedCompressedDataFails) {
  const std::string compressed = CompressX(WriteBinaryX(RichDocument()), 128);
  gfx::MeshData data;
  std::string error;

  std::string flipped = compressed;
  flipped[16 + 4 + 6 + 3] ^= 0x55;  // inside the first block's deflate data
  EXPECT_FALSE(ReadX(flipped, &data, &error));
  EXPECT_FALSE(error.empty());

  std::string unsigned_ = compressed;
  unsigned_[16 + 4 + 4] = 'X';  // the first block's "CK"
  EXPECT_FALSE(ReadX(unsigned_, &data, &error));
  EXPECT_NE(error.find("CK"), std::string::npos) << error;

  std::string longer = compressed;
  longer[16] = static_cast<char>(static_cast<uint8_t>(longer[16]) + 1);  // total one too big
  EXPECT_FALSE(ReadX(longer, &data, &error));

  std::string shorter = compressed;
  shorter[16] = static_cast<char>(static_cast<uint8_t>(shorter[16]) - 1);  // one too small
  EXPECT_FALSE(ReadX(shorter, &data, &error));
}

TEST(XFileEncodingTest, HeadersThatAreNotMeshFilesFail) {
  gfx::MeshData data;
  std::string error;
  EXPECT_FALSE(ReadX("", &data, &error));
  EXPECT_EQ(error, "empty file");
  EXPECT_FALSE(ReadX("xof 0303txt", &data, &error));
  EXPECT_NE(error.find("xof"), std::string::npos);
  EXPECT_FALSE(
      ReadX("xyz 0303txt 0032 Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }", &data, &error));
  EXPECT_FALSE(ReadX("xof 0303zip 0032", &data, &error));
  EXPECT_NE(error.find("format"), std::string::npos);
  EXPECT_FALSE(ReadX("xof 0303txt 0016", &data, &error));
  EXPECT_NE(error.find("float size"), std::string::npos);
  EXPECT_FALSE(ReadX("xof 0303txt 0032\ntemplate Mesh { <a-b> DWORD n; }\n", &data, &error));
  EXPECT_EQ(error, "no mesh in the file");
}

TEST(XFileEncodingTest, BinaryTokensOutOfPlaceFail) {
  gfx::MeshData data;
  std::string error;
  // An unknown token code.
  std::string file = "xof 0303bin 0032";
  file += std::string("\x63\x00", 2);
  EXPECT_FALSE(ReadX(file, &data, &error));
  EXPECT_NE(error.find("unknown token"), std::string::npos) << error;
  // A float list where the vertex count (an integer) belongs.
  TestMesh triangle;
  triangle.positions = {{0, 0, 0}, {0, 0, 2}, {2, 0, 0}};
  triangle.faces = {{0, 1, 2}};
  XObject mesh = triangle.Build();
  mesh.data[0] = XValue::Floats({3});
  XDocument document;
  document.objects.push_back(mesh);
  EXPECT_FALSE(ReadX(WriteBinaryX(document), &data, &error));
  EXPECT_NE(error.find("integer"), std::string::npos) << error;
}

}  // namespace
}  // namespace quarn::testing
