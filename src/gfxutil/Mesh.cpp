#include "gfxutil/Mesh.h"

#include "gfxutil/Bounds.h"

namespace quarn::gfx {

Mesh::Mesh(platform::RenderDevice& device, MeshData data)
    : device_(device), data_(std::move(data)) {}

std::unique_ptr<Mesh> Mesh::Create(platform::RenderDevice& device, MeshData data,
                                   std::string* error) {
  const size_t vertexCount = data.positions.size();
  const size_t faceCount = data.faceMaterials.size();
  const uint32_t fvf = data.fvf;
  const bool consistent =
      vertexCount > 0 && vertexCount <= kMaxMeshVertices && faceCount > 0 &&
      data.indices.size() == 3 * faceCount && platform::FvfVertexSize(fvf) != 0 &&
      (fvf & platform::kFvfXyz) != 0 &&
      data.normals.size() == ((fvf & platform::kFvfNormal) ? vertexCount : 0) &&
      data.diffuse.size() == ((fvf & platform::kFvfDiffuse) ? vertexCount : 0) &&
      data.texCoords.size() == ((fvf & platform::kFvfTex1) ? 2 * vertexCount : 0);
  if (!consistent) {
    *error = "inconsistent mesh data";
    return nullptr;
  }
  for (uint16_t index : data.indices) {
    if (index >= vertexCount) {
      *error = "a face uses a vertex the mesh does not have";
      return nullptr;
    }
  }
  for (uint32_t material : data.faceMaterials) {
    if (material >= data.materials.size()) {
      *error = "a face uses a material the mesh does not have";
      return nullptr;
    }
  }
  std::unique_ptr<Mesh> mesh(new Mesh(device, std::move(data)));
  if (!mesh->CreateBuffers(error))
    return nullptr;
  return mesh;
}

bool Mesh::CreateBuffers(std::string* error) {
  vertexSize_ = platform::FvfVertexSize(data_.fvf);
  vertices_ = data_.PackVertices();
  triangles_ = TriangleTree(TriangleSet(data_.positions, data_.indices));

  // Group the faces per material for drawing, keeping their order within each material.
  subsets_.assign(data_.materials.size(), Subset{});
  for (uint32_t material : data_.faceMaterials)
    ++subsets_[material].faceCount;
  uint32_t first = 0;
  for (Subset& subset : subsets_) {
    subset.firstFace = first;
    first += subset.faceCount;
  }
  std::vector<uint16_t> grouped(data_.indices.size());
  std::vector<uint32_t> next(subsets_.size());
  for (size_t s = 0; s < subsets_.size(); ++s)
    next[s] = subsets_[s].firstFace;
  for (size_t face = 0; face < data_.faceMaterials.size(); ++face) {
    const uint32_t at = next[data_.faceMaterials[face]]++;
    for (int k = 0; k < 3; ++k)
      grouped[3 * at + k] = data_.indices[3 * face + k];
  }

  vertexBuffer_ = device_.CreateVertexBuffer(static_cast<uint32_t>(vertices_.size()), data_.fvf);
  indexBuffer_ = device_.CreateIndexBuffer(static_cast<uint32_t>(grouped.size()));
  if (!vertexBuffer_ || !indexBuffer_ ||
      !vertexBuffer_->Update(0, vertices_.data(), static_cast<uint32_t>(vertices_.size())) ||
      !indexBuffer_->Update(0, grouped.data(), static_cast<uint32_t>(grouped.size()))) {
    *error = "the device refused the mesh buffers";
    return false;
  }
  return true;
}

uint32_t Mesh::SubsetFaceCount(uint32_t subset) const {
  return subset < subsets_.size() ? subsets_[subset].faceCount : 0;
}

bool Mesh::DrawSubset(uint32_t subset) {
  if (subset >= subsets_.size())
    return false;
  const Subset& range = subsets_[subset];
  if (range.faceCount == 0)
    return true;
  return device_.SetFvf(data_.fvf) && device_.SetStreamSource(vertexBuffer_.get(), vertexSize_) &&
         device_.SetIndices(indexBuffer_.get()) &&
         device_.DrawIndexedPrimitive(platform::PrimitiveType::TriangleList, 0, 0, VertexCount(),
                                      3 * range.firstFace, range.faceCount);
}

bool Mesh::ComputeBoundingSphere(Vector3* center, float* radius) const {
  return gfx::ComputeBoundingSphere(vertices_.data(), VertexCount(), vertexSize_, center, radius);
}

bool Mesh::ComputeBoundingBox(Vector3* min, Vector3* max) const {
  return gfx::ComputeBoundingBox(vertices_.data(), VertexCount(), vertexSize_, min, max);
}

bool Mesh::Intersect(const Vector3& origin, const Vector3& direction, bool* hit,
                     uint32_t* faceIndex, float* distance) const {
  if (hit == nullptr || faceIndex == nullptr || distance == nullptr)
    return false;
  uint32_t face = 0;
  float t = 0;
  *hit = triangles_.Intersect(origin, direction, &face, &t);
  if (*hit) {
    *faceIndex = face;
    *distance = t;
  }
  return true;
}

}  // namespace quarn::gfx
