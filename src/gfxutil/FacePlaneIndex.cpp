#include "gfxutil/FacePlaneIndex.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace quarn::gfx {

namespace {
constexpr uint32_t kLeafSize = 4;
}  // namespace

FacePlaneIndex::FacePlaneIndex(std::vector<Plane> planes, double scale) {
  std::vector<std::array<double, 4>> centres;
  centres.reserve(planes.size());
  for (const Plane& p : planes) {
    centres.push_back({p.normal[0], p.normal[1], p.normal[2], p.offset / scale});
    maxEdgeProduct_ = std::max(maxEdgeProduct_, p.edgeProduct);
  }
  SplitTree tree = SplitTree::Build(centres, kLeafSize);
  nodes_ = std::move(tree.nodes);
  planes_.reserve(planes.size());
  for (uint32_t item : tree.order)
    planes_.push_back(planes[item]);
  bounds_.resize(nodes_.size());
  // Children come after their parents: fill the bounds from the last node back.
  for (size_t n = nodes_.size(); n-- > 0;) {
    Bounds& b = bounds_[n];
    const SplitTree::Node& node = nodes_[n];
    b.lo.fill(std::numeric_limits<double>::infinity());
    b.hi.fill(-std::numeric_limits<double>::infinity());
    const auto take = [&b](const Bounds& other) {
      for (int k = 0; k < 4; ++k) {
        b.lo[k] = std::min(b.lo[k], other.lo[k]);
        b.hi[k] = std::max(b.hi[k], other.hi[k]);
      }
      b.edgeProduct = std::max(b.edgeProduct, other.edgeProduct);
      b.edgeSquare = std::max(b.edgeSquare, other.edgeSquare);
      b.edgeLength = std::max(b.edgeLength, other.edgeLength);
    };
    if (node.count == 0) {
      take(bounds_[node.first]);
      take(bounds_[node.first + 1]);
      continue;
    }
    for (uint32_t i = node.first; i < node.first + node.count; ++i) {
      const Plane& p = planes_[i];
      const std::array<double, 4> point{p.normal[0], p.normal[1], p.normal[2], p.offset};
      take({point, point, p.edgeProduct, p.edgeSquare, p.edgeLength});
    }
  }
}

void FacePlaneIndex::Prepare(Query* query) const {
  const double widest = Tolerance(*query, maxEdgeProduct_);
  query->stretch =
      widest < 0.5 ? 2 / std::sqrt(1 - widest * widest) : std::numeric_limits<double>::infinity();
}

// Interval arithmetic over the node's box: the ranges of normal . direction and of
// normal . origin - offset.
bool FacePlaneIndex::MayHold(const Bounds& b, const Query& query) const {
  double alongLo = 0, alongHi = 0, apartLo = -b.hi[3], apartHi = -b.lo[3];
  for (int k = 0; k < 3; ++k) {
    const double d = query.direction[k], o = query.origin[k];
    alongLo += (d >= 0 ? b.lo[k] : b.hi[k]) * d;
    alongHi += (d >= 0 ? b.hi[k] : b.lo[k]) * d;
    apartLo += (o >= 0 ? b.lo[k] : b.hi[k]) * o;
    apartHi += (o >= 0 ? b.hi[k] : b.lo[k]) * o;
  }
  const double tolerance = Tolerance(query, b.edgeProduct);
  if (alongLo > tolerance || alongHi < -tolerance)
    return false;
  const double reach = Reach(query, tolerance, b.edgeProduct, b.edgeSquare, b.edgeLength);
  return apartLo <= reach && apartHi >= -reach;
}

}  // namespace quarn::gfx
