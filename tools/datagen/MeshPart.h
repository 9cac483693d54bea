#pragma once
// The triangles of one part of a mesh before it joins the others: shared positions, and
// corners that carry their own texture coordinates (so a seam needs no extra position).
// A triangle's front is the side from which its corners run clockwise, which is where
// Cross(b - a, c - a) points: the outside of a closed part.
#include <cstdint>
#include <vector>

#include "Placement.h"
#include "Vec3.h"

namespace quarn::tools {

class MeshPart {
 public:
  struct Corner {
    uint32_t position = 0;
    double u = 0;
    double v = 0;
  };
  struct Triangle {
    Corner corners[3];
  };

  uint32_t AddPosition(const Vec3& position);
  void AddTriangle(const Corner& a, const Corner& b, const Corner& c);
  // Two triangles; the corners run clockwise seen from the front.
  void AddQuad(const Corner& a, const Corner& b, const Corner& c, const Corner& d);
  // Appends other's positions and triangles.
  void Append(const MeshPart& other);

  // Moves every position; a mirroring map also reverses the windings, so fronts stay outside.
  void Place(const Placement& placement);
  void ReverseWindings();
  // Adds a copy of every triangle facing the other way (a sheet seen from both sides).
  void AddBackFaces();
  void ScaleTextureCoords(double su, double sv);

  const std::vector<Vec3>& Positions() const { return positions_; }
  const std::vector<Triangle>& Triangles() const { return triangles_; }
  bool Empty() const { return triangles_.empty(); }

 private:
  std::vector<Vec3> positions_;
  std::vector<Triangle> triangles_;
};

}  // namespace quarn::tools
