#pragma once
// One Mesh object of a .x file as written: polygons with their corner indices, the optional
// per-corner normals, per-vertex texture coordinates and colours, and the material list.
#include <cstdint>
#include <string>
#include <vector>

#include "gfxutil/FileMaterial.h"
#include "gfxutil/Matrix.h"
#include "gfxutil/Vector3.h"
#include "platform/DeviceTypes.h"

namespace quarn::gfx {

struct RawXMesh {
  std::vector<Vector3> positions;
  // Polygon k has the corners polygonStarts[k] .. polygonStarts[k + 1] - 1 of corners.
  std::vector<uint32_t> polygonStarts{0};
  std::vector<uint32_t> corners;  // position index of each corner

  bool hasNormals = false;
  std::vector<Vector3> normals;
  std::vector<uint32_t> cornerNormals;  // normal index of each corner

  bool hasTexCoords = false;
  std::vector<float> texCoords;  // u, v per position

  bool hasColors = false;
  std::vector<platform::Argb> colors;  // per position; white where the file gives none

  bool hasMaterialList = false;
  std::vector<uint32_t> polygonMaterials;  // one per polygon
  std::vector<FileMaterial> materials;
  // For each material: the name of the Material object it refers to, or empty when the
  // material was given in place.
  std::vector<std::string> materialReferences;

  // Product of the frame transforms around the mesh, innermost first.
  Matrix transform;

  uint32_t PolygonCount() const { return static_cast<uint32_t>(polygonStarts.size() - 1); }
};

}  // namespace quarn::gfx
