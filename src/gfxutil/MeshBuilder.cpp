#include "gfxutil/MeshBuilder.h"

#include <cmath>
#include <limits>

namespace quarn::gfx {

namespace {

constexpr uint32_t kNone = std::numeric_limits<uint32_t>::max();

bool IsIdentity(const Matrix& m) {
  return m == MatrixIdentity();
}

// The matrix that carries normals along with the positions: the transpose of the inverse
// (the transform itself for rotations). A singular transform carries them as it is.
Matrix NormalMatrix(const Matrix& transform) {
  Matrix inverse;
  if (!MatrixInverse(&inverse, nullptr, transform))
    return transform;
  Matrix transposed;
  for (int r = 0; r < 4; ++r) {
    for (int c = 0; c < 4; ++c)
      transposed.m[r][c] = inverse.m[c][r];
  }
  return transposed;
}

// The normal carried by the matrix, keeping the length it had (unit normals stay unit).
Vector3 TransformNormal(const Vector3& v, const Matrix& normalMatrix) {
  const Vector3 r = Vec3TransformNormal(v, normalMatrix);
  const float length = Vec3Length(r);
  if (!(length > 0) || !std::isfinite(length))
    return r;
  return r * (Vec3Length(v) / length);
}

bool SameVector(const Vector3& a, const Vector3& b) {
  return a.x == b.x && a.y == b.y && a.z == b.z;
}

}  // namespace

uint32_t MeshBuilder::AddVertex(const Vector3& position, const Vector3& normal,
                                platform::Argb color, float u, float v) {
  data_.positions.push_back(position);
  data_.normals.push_back(normal);
  data_.diffuse.push_back(color);
  data_.texCoords.push_back(u);
  data_.texCoords.push_back(v);
  return static_cast<uint32_t>(data_.positions.size() - 1);
}

void MeshBuilder::Add(const RawXMesh& mesh) {
  anyNormals_ = anyNormals_ || mesh.hasNormals;
  anyColors_ = anyColors_ || mesh.hasColors;
  anyTexCoords_ = anyTexCoords_ || mesh.hasTexCoords;

  uint32_t materialBase = 0;
  if (mesh.hasMaterialList) {
    materialBase = static_cast<uint32_t>(data_.materials.size());
    data_.materials.insert(data_.materials.end(), mesh.materials.begin(), mesh.materials.end());
  } else {
    if (defaultMaterial_ < 0) {
      defaultMaterial_ = static_cast<int64_t>(data_.materials.size());
      data_.materials.push_back(DefaultFileMaterial());
    }
    materialBase = static_cast<uint32_t>(defaultMaterial_);
  }

  // The file's vertices first, in their order; each takes the normal of its first use.
  const bool identity = IsIdentity(mesh.transform);
  const uint32_t base = static_cast<uint32_t>(data_.positions.size());
  const uint32_t count = static_cast<uint32_t>(mesh.positions.size());
  for (uint32_t i = 0; i < count; ++i) {
    AddVertex(identity ? mesh.positions[i] : Vec3TransformCoord(mesh.positions[i], mesh.transform),
              Vector3{}, mesh.hasColors ? mesh.colors[i] : 0xFFFFFFFFu,
              mesh.hasTexCoords ? mesh.texCoords[2 * i] : 0.0f,
              mesh.hasTexCoords ? mesh.texCoords[2 * i + 1] : 0.0f);
  }
  std::vector<Vector3> normals;
  if (mesh.hasNormals) {
    const Matrix normalMatrix = NormalMatrix(mesh.transform);
    normals.reserve(mesh.normals.size());
    for (const Vector3& n : mesh.normals)
      normals.push_back(identity ? n : TransformNormal(n, normalMatrix));
  }
  // For each vertex of this mesh: whether it has its normal yet, and the next vertex that
  // copies the same file position with another normal.
  std::vector<bool> hasNormal(count, false);
  std::vector<uint32_t> nextCopy(count, kNone);
  auto resolve = [&](uint32_t position, const Vector3& normal) {
    uint32_t vertex = base + position;
    if (!hasNormal[position]) {
      hasNormal[position] = true;
      data_.normals[vertex] = normal;
      return vertex;
    }
    for (uint32_t at = vertex;;) {
      if (SameVector(data_.normals[at], normal))
        return at;
      const uint32_t next = nextCopy[at - base];
      if (next == kNone)
        break;
      at = next;
    }
    const uint32_t copy = AddVertex(data_.positions[vertex], normal, data_.diffuse[vertex],
                                    data_.texCoords[2 * vertex], data_.texCoords[2 * vertex + 1]);
    // Link the copy at the end of the chain, so that searches meet copies in order of use.
    uint32_t last = vertex;
    while (nextCopy[last - base] != kNone)
      last = nextCopy[last - base];
    nextCopy[last - base] = copy;
    nextCopy.push_back(kNone);
    return copy;
  };

  std::vector<uint32_t> polygon;
  for (uint32_t p = 0; p < mesh.PolygonCount(); ++p) {
    const uint32_t begin = mesh.polygonStarts[p];
    const uint32_t end = mesh.polygonStarts[p + 1];
    polygon.clear();
    for (uint32_t k = begin; k < end; ++k) {
      const uint32_t position = mesh.corners[k];
      polygon.push_back(mesh.hasNormals ? resolve(position, normals[mesh.cornerNormals[k]])
                                        : base + position);
    }
    const uint32_t material = materialBase + (mesh.hasMaterialList ? mesh.polygonMaterials[p] : 0);
    for (size_t k = 1; k + 1 < polygon.size(); ++k) {
      indices_.push_back(polygon[0]);
      indices_.push_back(polygon[k]);
      indices_.push_back(polygon[k + 1]);
      data_.faceMaterials.push_back(material);
    }
  }
}

bool MeshBuilder::Finish(MeshData* out, std::string* error) {
  if (data_.positions.empty() || data_.faceMaterials.empty()) {
    *error = data_.positions.empty() ? "no mesh in the file" : "the mesh has no triangles";
    return false;
  }
  if (data_.positions.size() > kMaxMeshVertices) {
    *error = "the mesh needs " + std::to_string(data_.positions.size()) +
             " vertices, more than the " + std::to_string(kMaxMeshVertices) +
             " that 16-bit indices address";
    return false;
  }
  data_.fvf = platform::kFvfXyz;
  if (anyNormals_) {
    data_.fvf |= platform::kFvfNormal;
  } else {
    data_.normals.clear();
  }
  if (anyColors_) {
    data_.fvf |= platform::kFvfDiffuse;
  } else {
    data_.diffuse.clear();
  }
  if (anyTexCoords_) {
    data_.fvf |= platform::kFvfTex1;
  } else {
    data_.texCoords.clear();
  }
  data_.indices.assign(indices_.begin(), indices_.end());
  *out = std::move(data_);
  data_ = MeshData{};
  indices_.clear();
  return true;
}

}  // namespace quarn::gfx
