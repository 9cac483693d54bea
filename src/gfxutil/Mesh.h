#pragma once
// A mesh on the render device: static vertex and index buffers, one subset per material
// (drawn with DrawSubset), and CPU copies of its vertices and faces for bounds and ray tests.
// Faces keep the file's order everywhere except inside the device's index buffer, where
// they are grouped per material so that each subset is one draw.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gfxutil/MeshData.h"
#include "gfxutil/TriangleTree.h"
#include "platform/RenderDevice.h"

namespace quarn::gfx {

class Mesh {
 public:
  // Creates the device buffers. Null with the reason in *error when the data cannot be a
  // device mesh or the device refuses the buffers.
  static std::unique_ptr<Mesh> Create(platform::RenderDevice& device, MeshData data,
                                      std::string* error);

  Mesh(const Mesh&) = delete;
  Mesh& operator=(const Mesh&) = delete;

  // Draws the faces of material `subset` with the device's current states: sets the vertex
  // format, stream source and indices, then one indexed triangle list. A subset without faces
  // draws nothing and succeeds; an unknown subset fails.
  bool DrawSubset(uint32_t subset);

  uint32_t GetFvf() const { return data_.fvf; }
  uint32_t VertexSize() const { return vertexSize_; }
  uint32_t VertexCount() const { return data_.VertexCount(); }
  uint32_t FaceCount() const { return data_.FaceCount(); }
  uint32_t SubsetCount() const { return static_cast<uint32_t>(subsets_.size()); }
  uint32_t SubsetFaceCount(uint32_t subset) const;
  const std::vector<FileMaterial>& Materials() const { return data_.materials; }

  // VertexCount() vertices of VertexSize() bytes each, laid out as GetFvf() says.
  const uint8_t* VertexData() const { return vertices_.data(); }
  // Three 16-bit indices per face, in the file's face order (the order Intersect reports).
  const uint16_t* IndexData() const { return data_.indices.data(); }
  // The material of each face, in the file's face order.
  const std::vector<uint32_t>& FaceMaterials() const { return data_.faceMaterials; }
  const std::vector<Vector3>& Positions() const { return data_.positions; }

  bool ComputeBoundingSphere(Vector3* center, float* radius) const;
  bool ComputeBoundingBox(Vector3* min, Vector3* max) const;

  // Casts origin + t * direction (t >= 0) at every face, front and back. Succeeds unless an
  // output is missing; *hit tells whether a face was met, and for the nearest one *faceIndex
  // (file order) and *distance (t, in units of the direction's length) are written.
  bool Intersect(const Vector3& origin, const Vector3& direction, bool* hit, uint32_t* faceIndex,
                 float* distance) const;
  // The faces prepared for ray tests (built once, with the mesh).
  const TriangleTree& Triangles() const { return triangles_; }

 private:
  struct Subset {
    uint32_t firstFace = 0;  // in the device index buffer
    uint32_t faceCount = 0;
  };

  Mesh(platform::RenderDevice& device, MeshData data);
  bool CreateBuffers(std::string* error);

  platform::RenderDevice& device_;
  MeshData data_;
  uint32_t vertexSize_ = 0;
  std::vector<uint8_t> vertices_;
  std::vector<Subset> subsets_;
  TriangleTree triangles_;
  std::unique_ptr<platform::VertexBuffer> vertexBuffer_;
  std::unique_ptr<platform::IndexBuffer> indexBuffer_;
};

}  // namespace quarn::gfx
