#include "gfxutil/TriangleSet.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace quarn::gfx {

TriangleSet::TriangleSet(const std::vector<Vector3>& positions,
                         const std::vector<uint16_t>& indices) {
  faces_.reserve(indices.size() / 3);
  constexpr float kInf = std::numeric_limits<float>::infinity();
  boxMin_ = {kInf, kInf, kInf};
  boxMax_ = {-kInf, -kInf, -kInf};
  for (size_t i = 0; i + 2 < indices.size(); i += 3) {
    const Vector3& a = positions[indices[i]];
    const Vector3& b = positions[indices[i + 1]];
    const Vector3& c = positions[indices[i + 2]];
    faces_.push_back({a, b - a, c - a});
    for (const Vector3* p : {&a, &b, &c}) {
      boxMin_ = {std::min(boxMin_.x, p->x), std::min(boxMin_.y, p->y), std::min(boxMin_.z, p->z)};
      boxMax_ = {std::max(boxMax_.x, p->x), std::max(boxMax_.y, p->y), std::max(boxMax_.z, p->z)};
    }
  }
  // Widen the box a little so that rounding in the slab test never rejects a ray that the
  // triangle test would accept.
  const float margin =
      1e-4f * std::max({boxMax_.x - boxMin_.x, boxMax_.y - boxMin_.y, boxMax_.z - boxMin_.z}) +
      1e-6f;
  if (!faces_.empty() && std::isfinite(margin)) {
    boxMin_ = {boxMin_.x - margin, boxMin_.y - margin, boxMin_.z - margin};
    boxMax_ = {boxMax_.x + margin, boxMax_.y + margin, boxMax_.z + margin};
  }
}

bool TriangleSet::MayHitBox(const Vector3& origin, const Vector3& direction) const {
  float near = 0;
  float far = std::numeric_limits<float>::infinity();
  const float o[3] = {origin.x, origin.y, origin.z};
  const float d[3] = {direction.x, direction.y, direction.z};
  const float lo[3] = {boxMin_.x, boxMin_.y, boxMin_.z};
  const float hi[3] = {boxMax_.x, boxMax_.y, boxMax_.z};
  for (int axis = 0; axis < 3; ++axis) {
    if (d[axis] == 0) {
      if (o[axis] < lo[axis] || o[axis] > hi[axis])
        return false;
      continue;
    }
    const float inverse = 1.0f / d[axis];
    float t0 = (lo[axis] - o[axis]) * inverse;
    float t1 = (hi[axis] - o[axis]) * inverse;
    if (t0 > t1)
      std::swap(t0, t1);
    near = std::max(near, t0);
    far = std::min(far, t1);
    if (near > far)
      return false;
  }
  return true;
}

bool TriangleSet::Intersect(const Vector3& origin, const Vector3& direction, uint32_t* face,
                            float* distance) const {
  // A box test that cannot be trusted (a NaN in the ray or the mesh) falls through to the
  // triangle tests, which then decide.
  if (!faces_.empty() && !MayHitBox(origin, direction))
    return false;
  float best = std::numeric_limits<float>::infinity();
  uint32_t bestFace = 0;
  bool hit = false;
  for (uint32_t i = 0; i < faces_.size(); ++i) {
    float t = 0;
    if (HitFace(faces_[i], origin, direction, &t) && t < best) {
      best = t;
      bestFace = i;
      hit = true;
    }
  }
  if (!hit)
    return false;
  *face = bestFace;
  *distance = best;
  return true;
}

}  // namespace quarn::gfx
