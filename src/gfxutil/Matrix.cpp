#include "gfxutil/Matrix.h"

#include <cmath>

namespace quarn::gfx {

Matrix& Matrix::operator*=(const Matrix& b) {
  *this = MatrixMultiply(*this, b);
  return *this;
}

bool operator==(const Matrix& a, const Matrix& b) {
  for (int row = 0; row < 4; ++row) {
    for (int col = 0; col < 4; ++col) {
      if (a.m[row][col] != b.m[row][col])
        return false;
    }
  }
  return true;
}

Matrix MatrixIdentity() {
  return Matrix();
}

Matrix MatrixMultiply(const Matrix& a, const Matrix& b) {
  Matrix out;
  for (int row = 0; row < 4; ++row) {
    for (int col = 0; col < 4; ++col) {
      out.m[row][col] = a.m[row][0] * b.m[0][col] + a.m[row][1] * b.m[1][col] +
                        a.m[row][2] * b.m[2][col] + a.m[row][3] * b.m[3][col];
    }
  }
  return out;
}

bool MatrixInverse(Matrix* out, float* determinant, const Matrix& matrix) {
  const auto& a = matrix.m;
  // 2 x 2 minors of the top two rows (s) and the bottom two rows (c), shared by every cofactor.
  const float s0 = a[0][0] * a[1][1] - a[1][0] * a[0][1];
  const float s1 = a[0][0] * a[1][2] - a[1][0] * a[0][2];
  const float s2 = a[0][0] * a[1][3] - a[1][0] * a[0][3];
  const float s3 = a[0][1] * a[1][2] - a[1][1] * a[0][2];
  const float s4 = a[0][1] * a[1][3] - a[1][1] * a[0][3];
  const float s5 = a[0][2] * a[1][3] - a[1][2] * a[0][3];
  const float c5 = a[2][2] * a[3][3] - a[3][2] * a[2][3];
  const float c4 = a[2][1] * a[3][3] - a[3][1] * a[2][3];
  const float c3 = a[2][1] * a[3][2] - a[3][1] * a[2][2];
  const float c2 = a[2][0] * a[3][3] - a[3][0] * a[2][3];
  const float c1 = a[2][0] * a[3][2] - a[3][0] * a[2][2];
  const float c0 = a[2][0] * a[3][1] - a[3][0] * a[2][1];
  const float det = s0 * c5 - s1 * c4 + s2 * c3 + s3 * c2 - s4 * c1 + s5 * c0;
  if (determinant)
    *determinant = det;
  if (det == 0.0f || !std::isfinite(det))
    return false;
  if (!out)
    return true;

  // Built apart from *out, which may be the input itself.
  const float k = 1.0f / det;
  Matrix r;
  r.m[0][0] = (a[1][1] * c5 - a[1][2] * c4 + a[1][3] * c3) * k;
  r.m[0][1] = (-a[0][1] * c5 + a[0][2] * c4 - a[0][3] * c3) * k;
  r.m[0][2] = (a[3][1] * s5 - a[3][2] * s4 + a[3][3] * s3) * k;
  r.m[0][3] = (-a[2][1] * s5 + a[2][2] * s4 - a[2][3] * s3) * k;
  r.m[1][0] = (-a[1][0] * c5 + a[1][2] * c2 - a[1][3] * c1) * k;
  r.m[1][1] = (a[0][0] * c5 - a[0][2] * c2 + a[0][3] * c1) * k;
  r.m[1][2] = (-a[3][0] * s5 + a[3][2] * s2 - a[3][3] * s1) * k;
  r.m[1][3] = (a[2][0] * s5 - a[2][2] * s2 + a[2][3] * s1) * k;
  r.m[2][0] = (a[1][0] * c4 - a[1][1] * c2 + a[1][3] * c0) * k;
  r.m[2][1] = (-a[0][0] * c4 + a[0][1] * c2 - a[0][3] * c0) * k;
  r.m[2][2] = (a[3][0] * s4 - a[3][1] * s2 + a[3][3] * s0) * k;
  r.m[2][3] = (-a[2][0] * s4 + a[2][1] * s2 - a[2][3] * s0) * k;
  r.m[3][0] = (-a[1][0] * c3 + a[1][1] * c1 - a[1][2] * c0) * k;
  r.m[3][1] = (a[0][0] * c3 - a[0][1] * c1 + a[0][2] * c0) * k;
  r.m[3][2] = (-a[3][0] * s3 + a[3][1] * s1 - a[3][2] * s0) * k;
  r.m[3][3] = (a[2][0] * s3 - a[2][1] * s1 + a[2][2] * s0) * k;
  *out = r;
  return true;
}

Matrix MatrixTranslation(float x, float y, float z) {
  Matrix out;
  out.SetRow(3, {x, y, z});
  return out;
}

Matrix MatrixRotationX(float angle) {
  const float s = std::sin(angle), c = std::cos(angle);
  Matrix out;
  out.m[1][1] = c, out.m[1][2] = s;
  out.m[2][1] = -s, out.m[2][2] = c;
  return out;
}

Matrix MatrixRotationY(float angle) {
  const float s = std::sin(angle), c = std::cos(angle);
  Matrix out;
  out.m[0][0] = c, out.m[0][2] = -s;
  out.m[2][0] = s, out.m[2][2] = c;
  return out;
}

Matrix MatrixRotationZ(float angle) {
  const float s = std::sin(angle), c = std::cos(angle);
  Matrix out;
  out.m[0][0] = c, out.m[0][1] = s;
  out.m[1][0] = -s, out.m[1][1] = c;
  return out;
}

Matrix MatrixRotationAxis(const Vector3& axis, float angle) {
  return MatrixRotationUnitAxis(Vec3Normalize(axis), angle);
}

Matrix MatrixRotationUnitAxis(const Vector3& v, float angle) {
  const float s = std::sin(angle), c = std::cos(angle), d = 1.0f - c;
  Matrix out;
  out.m[0][0] = d * v.x * v.x + c;
  out.m[0][1] = d * v.x * v.y + s * v.z;
  out.m[0][2] = d * v.x * v.z - s * v.y;
  out.m[1][0] = d * v.y * v.x - s * v.z;
  out.m[1][1] = d * v.y * v.y + c;
  out.m[1][2] = d * v.y * v.z + s * v.x;
  out.m[2][0] = d * v.z * v.x + s * v.y;
  out.m[2][1] = d * v.z * v.y - s * v.x;
  out.m[2][2] = d * v.z * v.z + c;
  return out;
}

Matrix MatrixPerspectiveFovLH(float fovY, float aspect, float zNear, float zFar) {
  const float yScale = 1.0f / std::tan(fovY * 0.5f);
  const float depth = zFar / (zFar - zNear);
  Matrix out;
  out.m[0][0] = yScale / aspect;
  out.m[1][1] = yScale;
  out.m[2][2] = depth;
  out.m[2][3] = 1.0f;
  out.m[3][2] = -zNear * depth;
  out.m[3][3] = 0.0f;
  return out;
}

Matrix MatrixLookAtLH(const Vector3& eye, const Vector3& at, const Vector3& up) {
  const Vector3 z = Vec3Normalize(at - eye);
  const Vector3 x = Vec3Normalize(Vec3Cross(up, z));
  const Vector3 y = Vec3Cross(z, x);
  return Matrix(x.x, y.x, z.x, 0.0f,  //
                x.y, y.y, z.y, 0.0f,  //
                x.z, y.z, z.z, 0.0f,  //
                -Vec3Dot(x, eye), -Vec3Dot(y, eye), -Vec3Dot(z, eye), 1.0f);
}

Vector4 Vec3Transform(const Vector3& v, const Matrix& m) {
  const auto& a = m.m;
  return {v.x * a[0][0] + v.y * a[1][0] + v.z * a[2][0] + a[3][0],
          v.x * a[0][1] + v.y * a[1][1] + v.z * a[2][1] + a[3][1],
          v.x * a[0][2] + v.y * a[1][2] + v.z * a[2][2] + a[3][2],
          v.x * a[0][3] + v.y * a[1][3] + v.z * a[2][3] + a[3][3]};
}

Vector3 Vec3TransformCoord(const Vector3& v, const Matrix& m) {
  const Vector4 h = Vec3Transform(v, m);
  return {h.x / h.w, h.y / h.w, h.z / h.w};
}

Vector3 Vec3TransformNormal(const Vector3& v, const Matrix& m) {
  const auto& a = m.m;
  return {v.x * a[0][0] + v.y * a[1][0] + v.z * a[2][0],
          v.x * a[0][1] + v.y * a[1][1] + v.z * a[2][1],
          v.x * a[0][2] + v.y * a[1][2] + v.z * a[2][2]};
}

}  // namespace quarn::gfx
