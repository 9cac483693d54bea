#pragma once
// Turns the meshes of a file into one MeshData: frame transforms applied, polygons split into
// triangles (a, b, c), (a, c, d), ..., a position used with different normals split into
// separate vertices (new ones appended in order of first use), faces in file order with
// their material, and the materials of all meshes one after another.
#include <string>
#include <vector>

#include "gfxutil/MeshData.h"
#include "gfxutil/RawXMesh.h"

namespace quarn::gfx {

class MeshBuilder {
 public:
  void Add(const RawXMesh& mesh);
  // False with the reason when the result cannot be a device mesh (no triangles, or more
  // vertices than 16-bit indices address).
  bool Finish(MeshData* out, std::string* error);

 private:
  uint32_t AddVertex(const Vector3& position, const Vector3& normal, platform::Argb color, float u,
                     float v);

  MeshData data_;
  std::vector<uint32_t> indices_;  // 32-bit while building; the limit is checked at the end
  bool anyNormals_ = false;
  bool anyColors_ = false;
  bool anyTexCoords_ = false;
  int64_t defaultMaterial_ = -1;  // the shared material of meshes without a material list
};

}  // namespace quarn::gfx
