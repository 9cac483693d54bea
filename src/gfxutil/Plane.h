#pragma once
// Plane a x + b y + c z + d = 0; (a, b, c) is its normal. Points with a positive
// PlaneDotCoord lie on the side the normal points to.
#include "gfxutil/Vector3.h"

namespace quarn::gfx {

struct Plane {
  float a = 0, b = 0, c = 0, d = 0;

  Vector3 Normal() const { return {a, b, c}; }
  friend constexpr bool operator==(const Plane&, const Plane&) = default;
};

// Plane through three points with the unit normal (p2 - p1) x (p3 - p1). Collinear or equal
// points give the zero plane.
Plane PlaneFromPoints(const Vector3& p1, const Vector3& p2, const Vector3& p3);

// a x + b y + c z + d: the signed distance of p when the plane is normalised.
constexpr float PlaneDotCoord(const Plane& plane, const Vector3& p) {
  return plane.a * p.x + plane.b * p.y + plane.c * p.z + plane.d;
}

// The plane scaled so its normal has unit length; a zero normal gives the zero plane.
Plane PlaneNormalize(const Plane& plane);

}  // namespace quarn::gfx
