#pragma once
// The triangles of a mesh prepared for ray tests: each face as a corner and two edges, in
// face order, with a box around them all so that rays that miss it cost almost nothing.
// Intersect tries every face; it is the reference that the faster TriangleTree must match.
#include <cstdint>
#include <vector>

#include "gfxutil/Vector3.h"
#include "platform/DeviceTypes.h"

namespace quarn::gfx {

class TriangleSet {
 public:
  struct Face {
    Vector3 corner, edge1, edge2;
  };

  TriangleSet() = default;
  TriangleSet(const std::vector<Vector3>& positions, const std::vector<uint16_t>& indices);

  // The nearest face that the ray origin + t * direction (t >= 0) meets, from either side.
  // *distance is t, in units of the direction's length. False when no face is met. Of faces
  // met at the same t, the first in face order.
  bool Intersect(const Vector3& origin, const Vector3& direction, uint32_t* face,
                 float* distance) const;

  // One face against the ray. Every search calls this one body, so that they all compute the
  // same t for a face and choose alike.
  static bool HitFace(const Face& f, const Vector3& origin, const Vector3& direction,
                      float* distance) {
    const Vector3 p = Vec3Cross(direction, f.edge2);
    const float det = Vec3Dot(f.edge1, p);
    if (det == 0)
      return false;  // the ray runs parallel to the face (or the face has no area)
    const float inverse = 1.0f / det;
    const Vector3 s = origin - f.corner;
    const float u = Vec3Dot(s, p) * inverse;
    if (!(u >= 0 && u <= 1))
      return false;
    const Vector3 q = Vec3Cross(s, f.edge1);
    const float v = Vec3Dot(direction, q) * inverse;
    if (!(v >= 0 && u + v <= 1))
      return false;
    *distance = Vec3Dot(f.edge2, q) * inverse;
    return *distance >= 0;
  }

  // False when the ray misses the box around every face (widened against rounding).
  bool MayHitBox(const Vector3& origin, const Vector3& direction) const;

  uint32_t FaceCount() const { return static_cast<uint32_t>(faces_.size()); }
  const std::vector<Face>& Faces() const { return faces_; }

 private:
  std::vector<Face> faces_;
  Vector3 boxMin_, boxMax_;
};

}  // namespace quarn::gfx
