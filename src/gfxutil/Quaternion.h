#pragma once
// Rotation quaternion (x, y, z, w): a rotation by angle about the unit axis a is
// (a sin(angle/2), cos(angle/2)), with the same sense as MatrixRotationAxis(a, angle).
// None of these functions normalise their input unless the name says so.
#include "gfxutil/Matrix.h"
#include "gfxutil/Vector3.h"

namespace quarn::gfx {

struct Quaternion {
  float x = 0, y = 0, z = 0, w = 1;  // identity

  friend constexpr Quaternion operator+(const Quaternion& a, const Quaternion& b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z, a.w + b.w};
  }
  friend constexpr Quaternion operator*(const Quaternion& q, float s) {
    return {q.x * s, q.y * s, q.z * s, q.w * s};
  }
  friend constexpr Quaternion operator*(float s, const Quaternion& q) { return q * s; }
  constexpr Quaternion operator-() const { return {-x, -y, -z, -w}; }
  friend constexpr bool operator==(const Quaternion&, const Quaternion&) = default;
};

constexpr float QuaternionDot(const Quaternion& a, const Quaternion& b) {
  return a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w;
}

float QuaternionLength(const Quaternion& q);

// q divided by its length; the zero quaternion gives the zero quaternion.
Quaternion QuaternionNormalize(const Quaternion& q);

// Rotation by angle radians about axis, which is normalised first.
Quaternion QuaternionRotationAxis(const Vector3& axis, float angle);

// Rotation matrix of q, used as given: an unnormalised q also scales and shears. Row 3 and
// column 3 are those of the identity.
Matrix MatrixRotationQuaternion(const Quaternion& q);

// Quaternion of the rotation in m. Only the upper-left 3 x 3 is read. The fast branch is
// taken only when m00 + m11 + m22 > 0; otherwise the largest diagonal entry (the first of
// equals) chooses the branch. The result is not normalised, so a scaled matrix gives a
// scaled quaternion.
Quaternion QuaternionRotationMatrix(const Matrix& m);

// Spherical interpolation from a (t = 0) to b (t = 1). When a . b < 0, b is negated so the
// shorter arc is taken. Within 0.001 of parallel the blend is linear. Inputs are used as
// given (not normalised), and neither is t clamped.
Quaternion QuaternionSlerp(const Quaternion& a, const Quaternion& b, float t);

}  // namespace quarn::gfx
