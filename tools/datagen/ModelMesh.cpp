#include "ModelMesh.h"

#include <algorithm>
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

  // Faces with area, their normals and corner angles, and the corners at each welded
  // position. Normals are summed by corner angle, so how a quad is split does not matter.
  struct Kept {
    const MeshPart::Triangle* triangle;
    Vec3 unit;
    double angles[3];
  };
  std::vector<Kept> kept;
  for (const MeshPart::Triangle& t : part.Triangles()) {
    const Vec3& a = positions[t.corners[0].position];
    const Vec3& b = positions[t.corners[1].position];
    const Vec3& c = positions[t.corners[2].position];
    const Vec3 n = Cross(b - a, c - a);
    if (Length(n) < 1e-9)
      continue;
    Kept k{&t, Normalized(n), {0, 0, 0}};
    const Vec3* p[3] = {&a, &b, &c};
    for (int i = 0; i < 3; ++i) {
      const Vec3 e1 = Normalized(*p[(i + 1) % 3] - *p[i]);
      const Vec3 e2 = Normalized(*p[(i + 2) % 3] - *p[i]);
      k.angles[i] = std::acos(std::clamp(Dot(e1, e2), -1.0, 1.0));
    }
    kept.push_back(k);
  }
  auto less = [](const Vec3& l, const Vec3& r) { return Less(l, r); };
  std::map<Vec3, std::vector<std::pair<size_t, int>>, decltype(less)> around(less);
  if (creaseDegrees > 0) {
    for (size_t f = 0; f < kept.size(); ++f) {
      for (int k = 0; k < 3; ++k)
        around[positions[kept[f].triangle->corners[k].position]].push_back({f, k});
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
        for (const auto& [other, at] : around[vertex.position]) {
          if (Dot(kept[other].unit, kept[f].unit) >= minCos - 1e-12)
            sum = sum + kept[other].unit * kept[other].angles[at];
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
