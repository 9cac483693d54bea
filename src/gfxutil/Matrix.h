#pragma once
// 4 x 4 single-precision matrix over the device's plain record, and the functions that build
// and apply matrices. Row-major, row vectors on the left (v x M): rows 0-2 of a placement are
// its right, up and forward axes, row 3 its origin; a product A x B applies A first.
#include "gfxutil/Vector3.h"
#include "gfxutil/Vector4.h"
#include "platform/DeviceTypes.h"

namespace quarn::gfx {

struct Matrix : platform::Matrix4 {
  // Identity.
  constexpr Matrix() = default;
  constexpr Matrix(const platform::Matrix4& matrix) : platform::Matrix4(matrix) {}  // NOLINT
  constexpr Matrix(float m00, float m01, float m02, float m03, float m10, float m11, float m12,
                   float m13, float m20, float m21, float m22, float m23, float m30, float m31,
                   float m32, float m33)
      : platform::Matrix4{{{m00, m01, m02, m03},
                           {m10, m11, m12, m13},
                           {m20, m21, m22, m23},
                           {m30, m31, m32, m33}}} {}

  // The first three entries of a row: an axis (rows 0-2) or the position (row 3).
  constexpr Vector3 GetRow(int row) const { return {m[row][0], m[row][1], m[row][2]}; }
  constexpr void SetRow(int row, const Vector3& v) {
    m[row][0] = v.x, m[row][1] = v.y, m[row][2] = v.z;
  }

  Matrix& operator*=(const Matrix& b);
  friend Matrix operator*(Matrix a, const Matrix& b) { return a *= b; }
  friend bool operator==(const Matrix& a, const Matrix& b);
};

Matrix MatrixIdentity();

// a x b: the transformation a followed by b.
Matrix MatrixMultiply(const Matrix& a, const Matrix& b);

// Inverse of m into *out. A singular matrix (determinant exactly 0, or not finite) fails:
// returns false and leaves *out unchanged. The determinant is stored in *determinant when
// that is not null, also on failure.
bool MatrixInverse(Matrix* out, float* determinant, const Matrix& m);

// Moves by (x, y, z): the translation sits in row 3.
Matrix MatrixTranslation(float x, float y, float z);

// Rotations by angle radians. A positive angle about x carries +y toward +z, about y carries
// +z toward +x, about z carries +x toward +y (clockwise seen from the positive axis looking
// toward the origin, as left-handed axes have it).
Matrix MatrixRotationX(float angle);
Matrix MatrixRotationY(float angle);
Matrix MatrixRotationZ(float angle);

// Rotation about an arbitrary axis, which is normalised first (so its length does not
// matter); a zero axis leaves only cos(angle) on the diagonal.
Matrix MatrixRotationAxis(const Vector3& axis, float angle);
// The same rotation about an axis that already has unit length, without normalising it: for
// the coordinate axes, which normalise to themselves exactly, it gives the same matrix.
Matrix MatrixRotationUnitAxis(const Vector3& axis, float angle);

// Left-handed perspective projection: vertical field of view fovY radians, aspect = width /
// height. Camera-space depth zNear maps to 0 and zFar to 1 after the divide by w (w = depth).
Matrix MatrixPerspectiveFovLH(float fovY, float aspect, float zNear, float zFar);

// Left-handed view matrix of a camera at eye looking at at: camera space has +z toward at,
// +y as close to up as perpendicularity allows, +x = up x forward.
Matrix MatrixLookAtLH(const Vector3& eye, const Vector3& at, const Vector3& up);

// (v, 1) x m, the full homogeneous result.
Vector4 Vec3Transform(const Vector3& v, const Matrix& m);

// (v, 1) x m projected back to w = 1: each component is divided by the resulting w (a w of 0
// gives infinities, as for any point on a projection's eye plane).
Vector3 Vec3TransformCoord(const Vector3& v, const Matrix& m);

// (v, 0) x m: a direction, so row 3 (translation) is ignored; not re-normalised.
Vector3 Vec3TransformNormal(const Vector3& v, const Matrix& m);

}  // namespace quarn::gfx
