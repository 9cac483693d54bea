#include "gfxutil/Plane.h"

namespace quarn::gfx {

Plane PlaneFromPoints(const Vector3& p1, const Vector3& p2, const Vector3& p3) {
  const Vector3 n = Vec3Normalize(Vec3Cross(p2 - p1, p3 - p1));
  return {n.x, n.y, n.z, -Vec3Dot(n, p1)};
}

Plane PlaneNormalize(const Plane& plane) {
  const float length = Vec3Length(plane.Normal());
  if (length == 0.0f)
    return {};
  const float k = 1.0f / length;
  return {plane.a * k, plane.b * k, plane.c * k, plane.d * k};
}

}  // namespace quarn::gfx
