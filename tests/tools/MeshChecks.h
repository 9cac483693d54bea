#pragma once
// Checks of triangle meshes shared by the generator's tests and the tests of the built meshes:
// whether a surface is sealed and wound consistently, and which way it faces.
#include <array>
#include <cstdint>
#include <map>
#include <tuple>
#include <vector>

#include "MeshPart.h"
#include "ModelMesh.h"
#include "gfxutil/MeshData.h"

namespace quarn::testing {

struct Soup {
  std::vector<tools::Vec3> positions;
  std::vector<std::array<uint32_t, 3>> triangles;
};

inline Soup SoupOf(const tools::MeshPart& part) {
  Soup soup{part.Positions(), {}};
  for (const auto& t : part.Triangles())
    soup.triangles.push_back({t.corners[0].position, t.corners[1].position, t.corners[2].position});
  return soup;
}

inline Soup SoupOf(const tools::ModelMesh& mesh) {
  Soup soup;
  for (const auto& v : mesh.Vertices())
    soup.positions.push_back(v.position);
  for (const auto& f : mesh.Faces())
    soup.triangles.push_back({f.vertices[0], f.vertices[1], f.vertices[2]});
  return soup;
}

inline Soup SoupOf(const std::vector<gfx::Vector3>& positions, const uint16_t* indices,
                   uint32_t faces) {
  Soup soup;
  for (const auto& p : positions)
    soup.positions.push_back({p.x, p.y, p.z});
  for (uint32_t f = 0; f < faces; ++f)
    soup.triangles.push_back({indices[3 * f], indices[3 * f + 1], indices[3 * f + 2]});
  return soup;
}

// Cross(b - a, c - a): where the front of the triangle faces, twice its area long.
inline tools::Vec3 FaceNormal(const Soup& soup, const std::array<uint32_t, 3>& t) {
  const tools::Vec3& a = soup.positions[t[0]];
  return tools::Cross(soup.positions[t[1]] - a, soup.positions[t[2]] - a);
}

// Positive when the fronts face outwards.
inline double SignedVolume(const Soup& soup) {
  double sum = 0;
  for (const auto& t : soup.triangles) {
    sum +=
        tools::Dot(soup.positions[t[0]], tools::Cross(soup.positions[t[1]], soup.positions[t[2]]));
  }
  return sum / 6;
}

// Edges a -> b (positions welded where equal) that no triangle runs b -> a: none on a sealed
// surface whose triangles are all wound the same way.
inline std::vector<std::pair<tools::Vec3, tools::Vec3>> OpenEdges(const Soup& soup) {
  std::map<std::tuple<double, double, double>, uint32_t> weld;
  std::vector<uint32_t> id;
  for (const auto& p : soup.positions)
    id.push_back(weld.emplace(std::tuple{p.x, p.y, p.z}, uint32_t(weld.size())).first->second);
  std::map<std::pair<uint32_t, uint32_t>, int> count;
  std::map<std::pair<uint32_t, uint32_t>, std::pair<tools::Vec3, tools::Vec3>> where;
  for (const auto& t : soup.triangles) {
    for (int k = 0; k < 3; ++k) {
      const uint32_t a = id[t[k]], b = id[t[(k + 1) % 3]];
      if (a == b)
        continue;
      ++count[{a, b}];
      where[{a, b}] = {soup.positions[t[k]], soup.positions[t[(k + 1) % 3]]};
    }
  }
  std::vector<std::pair<tools::Vec3, tools::Vec3>> open;
  for (const auto& [edge, n] : count) {
    const auto back = count.find({edge.second, edge.first});
    for (int k = back == count.end() ? 0 : back->second; k < n; ++k)
      open.push_back(where[edge]);
  }
  return open;
}

inline tools::Vec3 Centroid(const Soup& soup) {
  tools::Vec3 sum;
  for (const auto& p : soup.positions)
    sum = sum + p;
  return sum * (1.0 / soup.positions.size());
}

}  // namespace quarn::testing
