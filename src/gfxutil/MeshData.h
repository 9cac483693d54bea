#pragma once
// A mesh on the CPU side, as read from a file: per-vertex arrays, triangles in the file's
// face order with their material, and the materials in the file's order.
#include <cstdint>
#include <vector>

#include "gfxutil/FileMaterial.h"
#include "gfxutil/Vector3.h"
#include "platform/DeviceTypes.h"
#include "platform/RenderDevice.h"

namespace quarn::gfx {

// Meshes use 16-bit indices, so a mesh holds at most this many vertices.
inline constexpr uint32_t kMaxMeshVertices = 65535;

struct MeshData {
  // Vertex format flags: XYZ always; NORMAL, DIFFUSE and TEX1 when the file gives them.
  uint32_t fvf = platform::kFvfXyz;
  std::vector<Vector3> positions;
  std::vector<Vector3> normals;         // empty without NORMAL
  std::vector<platform::Argb> diffuse;  // empty without DIFFUSE
  std::vector<float> texCoords;         // u, v per vertex; empty without TEX1
  std::vector<uint16_t> indices;        // three per triangle, in the file's face order
  std::vector<uint32_t> faceMaterials;  // one material index per triangle
  std::vector<FileMaterial> materials;  // one subset each, in the file's order

  uint32_t VertexCount() const { return static_cast<uint32_t>(positions.size()); }
  uint32_t FaceCount() const { return static_cast<uint32_t>(faceMaterials.size()); }
  // Interleaved vertices in the order the vertex format lays them out.
  std::vector<uint8_t> PackVertices() const;
};

}  // namespace quarn::gfx
