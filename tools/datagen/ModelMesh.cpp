#include "ModelMesh.h"

#include <cmath>
#include <numbers>

namespace quarn::tools {

namespace {
// Values are kept as they will be written, so that corners written alike are one vertex and
// a second run gives the same bytes.
double Rounded(double value, double step) {
  const double r = std::round(value / step) * step;
  return r == 0 ? 0.0 : r;  // no "-0"
}

Vec3 Rounded(const Vec3& v, double step) {
  return {Rounded(v.x, step), Rounded(v.y, step), Rounded(v.z, step)};
}

constexpr double kPositionStep = 1e-4;
constexpr double kNormalStep = 1e-4;
constexpr double kTexStep = 1e-4;

bool Less(const Vec3& a, const Vec3& b) {
  return std::tie(a.x, a.y, a.z) < std::tie(b.x, b.y, b.z);
}
}  // namespace

uint32_t ModelMesh::MaterialIndex(const Material& material) {
  for (size_t i = 0; i < materials_.size(); ++i) {
    if (materials_[i].name == material.name)
      return static_cast<uint32_t>(i);
  }
  materials_.push_back(material);
  return static_cast<uint32_t>(materials_.size() - 1);
}

uint32_t ModelMesh::VertexIndex(const Vertex& vertex, uint32_t material) {
  const Key key{vertex.position.x, vertex.position.y, vertex.position.z,
                vertex.normal.x,   vertex.normal.y,   vertex.normal.z,
                vertex.u,          vertex.v,          material};
  const auto [found, added] = index_.emplace(key, static_cast<uint32_t>(vertices_.size()));
  if (added)
    vertices_.push_back(vertex);
  return found->second;
}

void ModelMesh::Add(const MeshPart& part, const Material& material, double creaseDegrees) {
  const uint32_t materialIndex = MaterialIndex(material);
  std::vector<Vec3> positions;
  positions.reserve(part.Positions().size());
  for (const Vec3& p : part.Positions())
    positions.push_back(Rounded(p, kPositionStep));

  // Faces with area, their normals scaled by area, and the faces at each welded position.
  struct Kept {
    const MeshPart::Triangle* triangle;
    Vec3 weighted;  // twice the area along the unit normal
    Vec3 unit;
  };
  std::vector<Kept> kept;
  for (const MeshPart::Triangle& t : part.Triangles()) {
    const Vec3& a = positions[t.corners[0].position];
    const Vec3& b = positions[t.corners[1].position];
    const Vec3& c = positions[t.corners[2].position];
    const Vec3 n = Cross(b - a, c - a);
    if (Length(n) < 1e-9)
      continue;
    kept.push_back({&t, n, Normalized(n)});
  }
  auto less = [](const Vec3& l, const Vec3& r) { return Less(l, r); };
  std::map<Vec3, std::vector<size_t>, decltype(less)> around(less);
  if (creaseDegrees > 0) {
    for (size_t f = 0; f < kept.size(); ++f) {
      for (const MeshPart::Corner& corner : kept[f].triangle->corners)
        around[positions[corner.position]].push_back(f);
    }
  }
  const double minCos = std::cos(creaseDegrees * std::numbers::pi / 180.0);
  for (size_t f = 0; f < kept.size(); ++f) {
    Face face;
    face.material = materialIndex;
    for (int k = 0; k < 3; ++k) {
      const MeshPart::Corner& corner = kept[f].triangle->corners[k];
      Vertex vertex;
      vertex.position = positions[corner.position];
      Vec3 normal = kept[f].unit;
      if (creaseDegrees > 0) {
        Vec3 sum;
        for (size_t other : around[vertex.position]) {
          if (Dot(kept[other].unit, kept[f].unit) >= minCos - 1e-12)
            sum = sum + kept[other].weighted;
        }
        normal = Normalized(sum);
      }
      vertex.normal = Rounded(normal, kNormalStep);
      vertex.u = Rounded(corner.u, kTexStep);
      vertex.v = Rounded(corner.v, kTexStep);
      vertex.color = material.color;
      face.vertices[k] = VertexIndex(vertex, materialIndex);
    }
    faces_.push_back(face);
  }
}

}  // namespace quarn::tools
