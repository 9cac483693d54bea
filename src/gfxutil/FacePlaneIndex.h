#pragma once
// Finds the faces whose plane nearly holds a given ray. For such a face the ray test's
// rounding can report a hit anywhere along the ray, far from the face itself, so a search
// that skips faces by where they are must try these faces as well. Faces are points
// (unit normal, plane offset) in a four-dimensional tree; a ray asks for the slab of normals
// nearly at right angles to it and of offsets nearly through its origin.
#include <array>
#include <cstdint>
#include <vector>

#include "gfxutil/SplitTree.h"

namespace quarn::gfx {

class FacePlaneIndex {
 public:
  // One face: its unit normal (either sign), its plane's offset from the mesh's centre, and the
  // shape measures that widen the slab (see TriangleTree.cpp).
  struct Plane {
    std::array<double, 3> normal;
    double offset;       // normal . corner, the corner taken from the mesh's centre
    double edgeProduct;  // |edge1| |edge2| / |edge1 x edge2|
    double edgeSquare;   // max(|edge1|, |edge2|)^2 / |edge1 x edge2|
    double edgeLength;   // max(|edge1|, |edge2|)
    uint32_t face;
  };
  // The limits of one query: a face is a candidate when |normal . direction| <= spread *
  // edgeProduct and the plane passes within the distance Reach(...) of the origin.
  struct Query {
    std::array<double, 3> origin;     // from the mesh's centre
    std::array<double, 3> direction;  // unit length
    double farthest;                  // bound on the distance from the origin to any vertex
    double spread;
    double stretch = 0;  // set by Prepare: 2 / sqrt(1 - c^2) for the widest tolerance c
  };

  // The rounding of the single-precision face test: u, and the bound k of a triple product's
  // error, |error| <= k |x| |y| |z|.
  static constexpr double kUnitRoundoff = 1.0 / (1 << 24);
  static constexpr double kTriple = 8 * kUnitRoundoff;

  FacePlaneIndex() = default;
  // scale: the mesh's size, to weigh offsets against normals when grouping faces.
  FacePlaneIndex(std::vector<Plane> planes, double scale);

  // Completes a query before ForEachCandidate.
  void Prepare(Query* query) const;
  // Calls found(face) for every candidate face (and perhaps a few more).
  template <class Found>
  void ForEachCandidate(const Query& query, Found found) const;

  // The largest edgeProduct of the faces held.
  double MaxEdgeProduct() const { return maxEdgeProduct_; }

  // Bounds for a face (or a node, with the largest measures of its faces).
  static double Tolerance(const Query& query, double edgeProduct) {
    // Widened a little for the double arithmetic of the query.
    return query.spread * edgeProduct * (1 + 1e-9) + 1e-12;
  }
  // How far from the ray's origin the plane of a face can pass when the face is at most
  // `tolerance` (a cosine c) off parallel to the ray and the face test still reports a hit:
  // with the rounding of its four triple products bounded by kTriple, a hit means
  // |(origin - corner) . n| <= 2 / sqrt(1 - c^2) ((1 + 4u)(c + k g) e + (k + c) S q), plus the
  // rounding of origin - corner (g, q, e: edgeProduct, edgeSquare, edgeLength; S: farthest).
  // Widened for the double arithmetic of the query itself.
  static double Reach(const Query& query, double tolerance, double edgeProduct, double edgeSquare,
                      double edgeLength) {
    const double reach = query.stretch * ((1 + 4 * kUnitRoundoff) *
                                              (tolerance + kTriple * edgeProduct) * edgeLength +
                                          (kTriple + tolerance) * query.farthest * edgeSquare) +
                         2 * kUnitRoundoff * query.farthest;
    return reach * 1.01 + 1e-12 * query.farthest;
  }

 private:
  // A node's faces: their normals and offsets within the box lo..hi (x, y, z, offset), and
  // their largest shape measures.
  struct Bounds {
    std::array<double, 4> lo, hi;
    double edgeProduct = 0, edgeSquare = 0, edgeLength = 0;
  };
  bool MayHold(const Bounds& bounds, const Query& query) const;

  std::vector<Plane> planes_;  // in the tree's leaf order
  std::vector<SplitTree::Node> nodes_;
  std::vector<Bounds> bounds_;
  double maxEdgeProduct_ = 0;
};

template <class Found>
void FacePlaneIndex::ForEachCandidate(const Query& query, Found found) const {
  if (nodes_.empty())
    return;
  uint32_t stack[SplitTree::kMaxDepth];
  int depth = 0;
  stack[depth++] = 0;
  while (depth > 0) {
    const uint32_t index = stack[--depth];
    if (!MayHold(bounds_[index], query))
      continue;
    const SplitTree::Node& node = nodes_[index];
    if (node.count == 0) {
      stack[depth++] = node.first;
      stack[depth++] = node.first + 1;
      continue;
    }
    for (uint32_t i = node.first; i < node.first + node.count; ++i) {
      const Plane& p = planes_[i];
      const double along = p.normal[0] * query.direction[0] + p.normal[1] * query.direction[1] +
                           p.normal[2] * query.direction[2];
      const double tolerance = Tolerance(query, p.edgeProduct);
      if (along > tolerance || along < -tolerance)
        continue;
      const double apart = p.normal[0] * query.origin[0] + p.normal[1] * query.origin[1] +
                           p.normal[2] * query.origin[2] - p.offset;
      const double reach = Reach(query, tolerance, p.edgeProduct, p.edgeSquare, p.edgeLength);
      if (apart > reach || apart < -reach)
        continue;
      found(p.face);
    }
  }
}

}  // namespace quarn::gfx
