#include "gfxutil/TriangleTree.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace quarn::gfx {

// Why the tree finds the face that trying every face finds. The single-precision face test
// computes u, v and t from four triple products, each off by at most k |x| |y| |z| (k = 8u,
// u = 2^-24). With S a bound on |origin - corner|, the point origin + t direction of a
// reported hit then lies within 4 k S g / (c - k g) of the face (plus a few u S), where c is
// the cosine between the ray and the face's normal and g = |edge1| |edge2| / |edge1 x edge2|.
// For c > spread g, spread = 1.1 k (1 + 8 S / margin), that is less than half the margin, so
// the hit lies inside the face's widened box, after where the ray enters it: a box is skipped
// only if the ray misses it or enters it beyond the nearest hit so far, and neither can
// happen to a box that holds the nearest face. Faces with c <= spread g can report a hit far
// from themselves, but only when their plane passes close to the origin; the plane index
// finds those (FacePlaneIndex::Reach). Faces with a large g are tried on every ray.
namespace {

constexpr double kTriple = FacePlaneIndex::kTriple;
constexpr uint32_t kLeafSize = 4;
// Below this many faces trying them all is as quick.
constexpr uint32_t kFewFaces = 8;
// The boxes' margin, as a share of the mesh's diagonal.
constexpr double kMarginShare = 2e-3;
// Faces thinner than this (g) are tried on every ray.
constexpr double kSlender = 16;
// Numbers beyond this keep every product of the face test finite; rays or meshes with them
// try every face.
constexpr double kLargest = 1e8;
// The widest slab of normals the plane index is asked for (a cosine).
constexpr double kWidestSpread = 0.25;

using Point = std::array<double, 3>;

Point ToPoint(const Vector3& v) {
  return {v.x, v.y, v.z};
}

double Length(const Point& v) {
  return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
}

bool Finite(const Vector3& v) {
  return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

}  // namespace

TriangleTree::TriangleTree(TriangleSet triangles) : triangles_(std::move(triangles)) {
  const std::vector<TriangleSet::Face>& faces = triangles_.Faces();
  if (faces.size() < kFewFaces)
    return;
  // The corners as the face test sees them: corner, corner + edge1, corner + edge2.
  std::vector<std::array<Point, 3>> corners(faces.size());
  constexpr double kInf = std::numeric_limits<double>::infinity();
  Point lo{kInf, kInf, kInf}, hi{-kInf, -kInf, -kInf};
  for (size_t i = 0; i < faces.size(); ++i) {
    const Point c = ToPoint(faces[i].corner), e1 = ToPoint(faces[i].edge1),
                e2 = ToPoint(faces[i].edge2);
    for (int k = 0; k < 3; ++k) {
      corners[i][0][k] = c[k];
      corners[i][1][k] = c[k] + e1[k];
      corners[i][2][k] = c[k] + e2[k];
    }
    for (const Point& p : corners[i]) {
      for (int k = 0; k < 3; ++k) {
        if (!(std::fabs(p[k]) <= kLargest) || !(std::fabs(e1[k]) <= kLargest) ||
            !(std::fabs(e2[k]) <= kLargest))
          return;  // also NaN
        lo[k] = std::min(lo[k], p[k]);
        hi[k] = std::max(hi[k], p[k]);
      }
    }
  }
  const Point span{hi[0] - lo[0], hi[1] - lo[1], hi[2] - lo[2]};
  const double diagonal = Length(span);
  for (int k = 0; k < 3; ++k)
    centre_[k] = (lo[k] + hi[k]) / 2;
  // A mesh that is one point, or tiny beside its distance from the origin, gets no tree.
  if (!(diagonal > 0) || std::max({std::fabs(centre_[0]), std::fabs(centre_[1]),
                                   std::fabs(centre_[2])}) > 1e6 * diagonal)
    return;
  margin_ = kMarginShare * diagonal;

  std::vector<FacePlaneIndex::Plane> planes;
  std::vector<uint32_t> held;  // faces in the box tree
  std::vector<std::array<double, 3>> middles;
  planes.reserve(faces.size());
  held.reserve(faces.size());
  middles.reserve(faces.size());
  // Every corner lies within half the diagonal of the centre.
  radius_ = diagonal / 2 * (1 + 1e-9);
  for (uint32_t i = 0; i < faces.size(); ++i) {
    const Point e1 = ToPoint(faces[i].edge1), e2 = ToPoint(faces[i].edge2);
    // Products of two floats are exact in double precision.
    Point n{e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2],
            e1[0] * e2[1] - e1[1] * e2[0]};
    const double area = Length(n);
    const double l1 = Length(e1), l2 = Length(e2), longest = std::max(l1, l2);
    const double thinness = l1 * l2 / area;
    if (!(area > 1e-12) || !(thinness <= kSlender)) {
      everyRay_.push_back(i);
      continue;
    }
    for (double& value : n)
      value /= area;
    // Either sign serves; one sign keeps similar planes together.
    if (n[1] < 0 || (n[1] == 0 && (n[0] < 0 || (n[0] == 0 && n[2] < 0)))) {
      for (double& value : n)
        value = -value;
    }
    const Point& c = corners[i][0];
    const double offset =
        n[0] * (c[0] - centre_[0]) + n[1] * (c[1] - centre_[1]) + n[2] * (c[2] - centre_[2]);
    planes.push_back({n, offset, thinness, longest * longest / area, longest, i});
    held.push_back(i);
    std::array<double, 3> middle{};
    for (int k = 0; k < 3; ++k) {
      middle[k] = (corners[i][0][k] + corners[i][1][k] + corners[i][2][k]) / 3 - centre_[k];
    }
    middles.push_back(middle);
  }
  planes_ = FacePlaneIndex(std::move(planes), diagonal);

  SplitTree tree = SplitTree::Build(middles, kLeafSize);
  nodes_ = std::move(tree.nodes);
  leafFaces_.reserve(held.size());
  leafIndices_.reserve(held.size());
  for (uint32_t item : tree.order) {
    leafFaces_.push_back(faces[held[item]]);
    leafIndices_.push_back(held[item]);
  }
  boxes_.resize(nodes_.size());
  for (size_t n = nodes_.size(); n-- > 0;) {
    Box& box = boxes_[n];
    const SplitTree::Node& node = nodes_[n];
    if (node.count == 0) {
      const Box& a = boxes_[node.first];
      const Box& b = boxes_[node.first + 1];
      for (int k = 0; k < 3; ++k) {
        box.lo[k] = std::min(a.lo[k], b.lo[k]);
        box.hi[k] = std::max(a.hi[k], b.hi[k]);
      }
      continue;
    }
    Point boxLo{kInf, kInf, kInf}, boxHi{-kInf, -kInf, -kInf};
    for (uint32_t i = node.first; i < node.first + node.count; ++i) {
      for (const Point& p : corners[leafIndices_[i]]) {
        for (int k = 0; k < 3; ++k) {
          boxLo[k] = std::min(boxLo[k], p[k] - centre_[k]);
          boxHi[k] = std::max(boxHi[k], p[k] - centre_[k]);
        }
      }
    }
    // The margin dwarfs the rounding to single precision.
    for (int k = 0; k < 3; ++k) {
      box.lo[k] = static_cast<float>(boxLo[k] - margin_);
      box.hi[k] = static_cast<float>(boxHi[k] + margin_);
    }
  }
}

bool TriangleTree::Enter(const Box& box, const Slabs& ray, double* entry) {
  double near = 0;
  double far = std::numeric_limits<double>::infinity();
  for (int k = 0; k < 3; ++k) {
    if (ray.parallel[k]) {
      if (ray.origin[k] < box.lo[k] || ray.origin[k] > box.hi[k])
        return false;
      continue;
    }
    double t0 = (box.lo[k] - ray.origin[k]) * ray.inverse[k];
    double t1 = (box.hi[k] - ray.origin[k]) * ray.inverse[k];
    if (t0 > t1)
      std::swap(t0, t1);
    near = std::max(near, t0);
    far = std::min(far, t1);
    if (near > far)
      return false;
  }
  *entry = near;
  return true;
}

// Whether the bounds above hold for this ray; *farthest is S.
bool TriangleTree::Searchable(const Vector3& origin, const Vector3& direction,
                              double* farthest) const {
  if (!Finite(origin) || !Finite(direction))
    return false;
  const double length = Length(ToPoint(direction));
  if (!(length >= 1e-6 && length <= kLargest))
    return false;
  const Point o = ToPoint(origin);
  const double away = Length({o[0] - centre_[0], o[1] - centre_[1], o[2] - centre_[2]});
  *farthest = (away + radius_) * (1 + 1e-9);
  return std::max({std::fabs(o[0]), std::fabs(o[1]), std::fabs(o[2])}) <= kLargest;
}

bool TriangleTree::Intersect(const Vector3& origin, const Vector3& direction, uint32_t* face,
                             float* distance) const {
  if (nodes_.empty())
    return triangles_.Intersect(origin, direction, face, distance);
  // The same first test as trying every face, so that both refuse the same rays.
  if (!triangles_.MayHitBox(origin, direction))
    return false;
  // With no direction every face is parallel to the ray (the determinant is exactly 0).
  if (direction.x == 0 && direction.y == 0 && direction.z == 0)
    return false;
  double farthest = 0;
  if (!Searchable(origin, direction, &farthest))
    return triangles_.Intersect(origin, direction, face, distance);
  const double spread = kTriple * (1 + 8 * farthest / margin_) * 1.1;
  if (spread * planes_.MaxEdgeProduct() > kWidestSpread)
    return triangles_.Intersect(origin, direction, face, distance);

  float best = std::numeric_limits<float>::infinity();
  uint32_t bestFace = 0;
  bool hit = false;
  // The nearest hit; of equal ones the first in face order, as when trying every face.
  const auto consider = [&](uint32_t index, const TriangleSet::Face& f) {
    float t = 0;
    if (TriangleSet::HitFace(f, origin, direction, &t) &&
        (t < best || (hit && t == best && index < bestFace))) {
      best = t;
      bestFace = index;
      hit = true;
    }
  };
  const std::vector<TriangleSet::Face>& faces = triangles_.Faces();
  for (uint32_t index : everyRay_)
    consider(index, faces[index]);

  const Point d = ToPoint(direction);
  const double length = Length(d);
  FacePlaneIndex::Query query;
  for (int k = 0; k < 3; ++k) {
    query.origin[k] = static_cast<double>(ToPoint(origin)[k]) - centre_[k];
    query.direction[k] = d[k] / length;
  }
  query.farthest = farthest;
  query.spread = spread;
  planes_.Prepare(&query);
  planes_.ForEachCandidate(query, [&](uint32_t index) { consider(index, faces[index]); });

  Slabs ray;
  for (int k = 0; k < 3; ++k) {
    ray.origin[k] = query.origin[k];
    // Nearly parallel to a slab: within the margin the ray keeps its distance to it.
    ray.parallel[k] = std::fabs(d[k]) <= 1e-20 * length;
    ray.inverse[k] = ray.parallel[k] ? 0 : 1 / d[k];
  }
  struct Pending {
    uint32_t node;
    double entry;
  };
  Pending stack[SplitTree::kMaxDepth];
  int depth = 0;
  double entry = 0;
  if (Enter(boxes_[0], ray, &entry))
    stack[depth++] = {0, entry};
  while (depth > 0) {
    const Pending pending = stack[--depth];
    if (hit && pending.entry > best)
      continue;
    const SplitTree::Node& node = nodes_[pending.node];
    if (node.count > 0) {
      for (uint32_t i = node.first; i < node.first + node.count; ++i)
        consider(leafIndices_[i], leafFaces_[i]);
      continue;
    }
    double entries[2];
    const bool enters[2] = {Enter(boxes_[node.first], ray, &entries[0]),
                            Enter(boxes_[node.first + 1], ray, &entries[1])};
    // The nearer child is taken first, so that its hits cut the other short.
    const int nearer = enters[0] && enters[1] ? (entries[1] < entries[0] ? 1 : 0) : 0;
    for (int c : {1 - nearer, nearer}) {
      if (enters[c])
        stack[depth++] = {node.first + static_cast<uint32_t>(c), entries[c]};
    }
  }
  if (!hit)
    return false;
  *face = bestFace;
  *distance = best;
  return true;
}

}  // namespace quarn::gfx
