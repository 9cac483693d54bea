#include "render/MeshTestFiles.h"

#include <stdlib.h>

#include <filesystem>

#include "engine/ArchiveFixture.h"
#include "gfxutil/ImageWriter.h"

namespace quarn::testing {

TestMesh CubeMesh() {
  TestMesh mesh;
  const platform::Vector3 normals[6] = {{1, 0, 0},  {-1, 0, 0}, {0, 1, 0},
                                        {0, -1, 0}, {0, 0, 1},  {0, 0, -1}};
  for (uint32_t side = 0; side < 6; ++side) {
    const platform::Vector3 n = normals[side];
    // Two axes across the side, chosen so that u x v = n.
    const platform::Vector3 u = n.x != 0   ? platform::Vector3{0, 0, -n.x}
                                : n.y != 0 ? platform::Vector3{n.y, 0, 0}
                                           : platform::Vector3{n.z, 0, 0};
    const platform::Vector3 v = {n.y * u.z - n.z * u.y, n.z * u.x - n.x * u.z,
                                 n.x * u.y - n.y * u.x};
    const auto base = static_cast<uint32_t>(mesh.positions.size());
    for (int corner = 0; corner < 4; ++corner) {
      const float su = (corner & 1) != 0 ? 1.0f : -1.0f;
      const float sv = (corner & 2) != 0 ? 1.0f : -1.0f;
      mesh.positions.push_back(
          {n.x + su * u.x + sv * v.x, n.y + su * u.y + sv * v.y, n.z + su * u.z + sv * v.z});
      mesh.texCoords.push_back((su + 1) / 2);
      mesh.texCoords.push_back((1 - sv) / 2);
      mesh.normals.push_back(n);
    }
    // Corners 0 (-u -v), 1 (+u -v), 2 (-u +v), 3 (+u +v): as u x v = n, (0, 1, 2) and
    // (1, 3, 2) give (p1 - p0) x (p2 - p1) along +n, clockwise seen from outside.
    const std::vector<uint32_t> first = {base, base + 1, base + 2};
    const std::vector<uint32_t> second = {base + 1, base + 3, base + 2};
    mesh.faces.push_back(first);
    mesh.faces.push_back(second);
    mesh.faceNormals.push_back(first);
    mesh.faceNormals.push_back(second);
  }
  return mesh;
}

std::string CubeFile(const std::vector<XObject>& materials,
                     const std::vector<uint32_t>& faceMaterials) {
  TestMesh mesh = CubeMesh();
  mesh.materialList = true;
  mesh.materialCount = static_cast<uint32_t>(materials.size());
  mesh.faceMaterials = faceMaterials;
  mesh.materials = materials;
  XDocument document;
  document.objects.push_back(mesh.Build("Cube"));
  return WriteTextX(document);
}

XObject ColourMaterial(float r, float g, float b, const std::string& texture, float alpha) {
  return MaterialObject({r, g, b, alpha}, 0, {0, 0, 0, 1}, {0, 0, 0, 1}, texture);
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
