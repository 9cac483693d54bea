#include "render/MeshTestFiles.h"

#include <stdlib.h>

#include <filesystem>
#include <sstream>

#include "engine/ArchiveFixture.h"
#include "gfxutil/ImageWriter.h"

namespace quarn::testing {

namespace {

struct CubeVertex {
  platform::Vector3 position, normal;
  float u, v;
};

// Vertices and triangles (index triples) of the cube, side by side.
void BuildCube(std::vector<CubeVertex>* vertices, std::vector<uint32_t>* triangles) {
  const platform::Vector3 normals[6] = {{1, 0, 0},  {-1, 0, 0}, {0, 1, 0},
                                        {0, -1, 0}, {0, 0, 1},  {0, 0, -1}};
  for (const platform::Vector3& n : normals) {
    // Two axes across the side, chosen so that u x v = n.
    const platform::Vector3 u = n.x != 0   ? platform::Vector3{0, 0, -n.x}
                                : n.y != 0 ? platform::Vector3{n.y, 0, 0}
                                           : platform::Vector3{n.z, 0, 0};
    const platform::Vector3 v = {n.y * u.z - n.z * u.y, n.z * u.x - n.x * u.z,
                                 n.x * u.y - n.y * u.x};
    const auto base = static_cast<uint32_t>(vertices->size());
    for (int corner = 0; corner < 4; ++corner) {
      const float su = (corner & 1) != 0 ? 1.0f : -1.0f;
      const float sv = (corner & 2) != 0 ? 1.0f : -1.0f;
      vertices->push_back(
          {{n.x + su * u.x + sv * v.x, n.y + su * u.y + sv * v.y, n.z + su * u.z + sv * v.z},
           n,
           (su + 1) / 2,
           (1 - sv) / 2});
    }
    // Corners 0 (-u -v), 1 (+u -v), 2 (-u +v), 3 (+u +v): as u x v = n, (0, 1, 2) and
    // (1, 3, 2) give (p1 - p0) x (p2 - p1) along +n, clockwise seen from outside.
    triangles->insert(triangles->end(), {base, base + 1, base + 2, base + 1, base + 3, base + 2});
  }
}

void WriteVector(std::ostringstream& out, const platform::Vector3& v, bool last) {
  out << "  " << v.x << ";" << v.y << ";" << v.z << ";" << (last ? ";" : ",") << "\n";
}

void WriteTriangles(std::ostringstream& out, const std::vector<uint32_t>& triangles) {
  const size_t count = triangles.size() / 3;
  out << "  " << count << ";\n";
  for (size_t t = 0; t < count; ++t) {
    out << "  3;" << triangles[3 * t] << "," << triangles[3 * t + 1] << "," << triangles[3 * t + 2]
        << ";" << (t + 1 == count ? ";" : ",") << "\n";
  }
}

void WriteMaterial(std::ostringstream& out, const CubeMaterial& material) {
  const platform::ColorValue& d = material.diffuse;
  out << "  Material {\n   " << d.r << ";" << d.g << ";" << d.b << ";" << d.a
      << ";;\n   0.0;\n   0.0;0.0;0.0;;\n   0.0;0.0;0.0;;\n";
  if (!material.texture.empty())
    out << "   TextureFilename { \"" << material.texture << "\"; }\n";
  out << "  }\n";
}

}  // namespace

std::string CubeFile(const std::vector<CubeMaterial>& materials,
                     const std::vector<uint32_t>& faceMaterials) {
  std::vector<CubeVertex> vertices;
  std::vector<uint32_t> triangles;
  BuildCube(&vertices, &triangles);
  std::ostringstream out;
  out << "xof 0303txt 0032\nMesh Cube {\n  " << vertices.size() << ";\n";
  for (size_t i = 0; i < vertices.size(); ++i)
    WriteVector(out, vertices[i].position, i + 1 == vertices.size());
  WriteTriangles(out, triangles);
  out << " MeshNormals {\n  " << vertices.size() << ";\n";
  for (size_t i = 0; i < vertices.size(); ++i)
    WriteVector(out, vertices[i].normal, i + 1 == vertices.size());
  WriteTriangles(out, triangles);
  out << " }\n MeshTextureCoords {\n  " << vertices.size() << ";\n";
  for (size_t i = 0; i < vertices.size(); ++i) {
    out << "  " << vertices[i].u << ";" << vertices[i].v << ";"
        << (i + 1 == vertices.size() ? ";" : ",") << "\n";
  }
  out << " }\n MeshMaterialList {\n  " << materials.size() << ";\n  " << faceMaterials.size()
      << ";\n";
  for (size_t f = 0; f < faceMaterials.size(); ++f)
    out << "  " << faceMaterials[f] << (f + 1 == faceMaterials.size() ? ";" : ",") << "\n";
  for (const CubeMaterial& material : materials)
    WriteMaterial(out, material);
  out << " }\n}\n";
  return out.str();
}

CubeMaterial ColourMaterial(float r, float g, float b, const std::string& texture, float alpha) {
  return {{r, g, b, alpha}, texture};
}

std::string CheckerPng(int size, platform::Argb first, platform::Argb second) {
  std::vector<platform::Argb> pixels(static_cast<size_t>(size) * size);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x)
      pixels[static_cast<size_t>(y) * size + x] = (x + y) % 2 == 0 ? first : second;
  }
  std::vector<uint8_t> bytes;
  std::string error;
  const auto side = static_cast<uint32_t>(size);
  EXPECT_TRUE(gfx::ImageWriter::EncodePng(pixels.data(), side, side, side, false, &bytes, &error))
      << error;
  return std::string(bytes.begin(), bytes.end());
}

TestArchive::TestArchive(const std::vector<std::pair<std::string, std::string>>& records) {
  std::string pattern = ::testing::TempDir() + "quarn-mesh-test-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) {
    ADD_FAILURE() << "cannot make a temporary folder";
    return;
  }
  root_ = pattern;
  std::filesystem::create_directory(root_ + "/tmp");
  WriteFile(root_ + "/Data.acv", ArchiveBytes(records));
  archive_ = std::make_unique<Archive>(root_ + "/tmp");
  archive_->Open(root_ + "/Data");
}

TestArchive::~TestArchive() {
  archive_.reset();
  std::error_code ignored;
  if (!root_.empty())
    std::filesystem::remove_all(root_, ignored);
}

void TestArchive::RemoveArchiveFile() const {
  std::filesystem::remove(root_ + "/Data.acv");
}

std::vector<std::string> TestArchive::Copies() const {
  const std::string& folder = archive_->TempDirectory();
  return folder.empty() ? std::vector<std::string>{} : FolderNames(folder);
}

}  // namespace quarn::testing
