#pragma once
// Files for the mesh tests: a cube as a .x file with chosen materials, PNG textures, and an
// archive written into a private folder and opened as the process's archive.
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/Archive.h"
#include "platform/DeviceTypes.h"

namespace quarn::testing {

// A material of a .x file: its diffuse colour (specular and emissive black, power 0) and
// the texture it names, if any.
struct CubeMaterial {
  platform::ColorValue diffuse;
  std::string texture;
};
CubeMaterial ColourMaterial(float r, float g, float b, const std::string& texture = "",
                            float alpha = 1);

// A cube of side 2 around the origin as a text .x file: 24 vertices with normals and
// texture coordinates, 12 triangles, two per side in the order +x, -x, +y, -y, +z, -z,
// each wound so that (p1 - p0) x (p2 - p1) points out of the cube. Face f uses material
// faceMaterials[f] (12 entries).
std::string CubeFile(const std::vector<CubeMaterial>& materials,
                     const std::vector<uint32_t>& faceMaterials);

// A size x size checkerboard of two colours, as a PNG file's bytes.
std::string CheckerPng(int size, platform::Argb first, platform::Argb second);

// An archive of the given records (name, bytes) in a fresh folder, open as the process's
// archive while this object lives; the folder goes with it.
class TestArchive {
 public:
  explicit TestArchive(const std::vector<std::pair<std::string, std::string>>& records);
  ~TestArchive();
  TestArchive(const TestArchive&) = delete;
  TestArchive& operator=(const TestArchive&) = delete;

  Archive& Get() { return *archive_; }
  // Deletes Data.acv: any later read of an entry not already copied out fails.
  void RemoveArchiveFile() const;
  // Names of the copies now in the archive's private folder.
  std::vector<std::string> Copies() const;

 private:
  std::string root_;
  std::unique_ptr<Archive> archive_;
};

}  // namespace quarn::testing
