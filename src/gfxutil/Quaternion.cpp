#include "gfxutil/Quaternion.h"

#include <cmath>

namespace quarn::gfx {

float QuaternionLength(const Quaternion& q) {
  return std::sqrt(QuaternionDot(q, q));
}

Quaternion QuaternionNormalize(const Quaternion& q) {
  const float length = QuaternionLength(q);
  if (length == 0.0f)
    return {0, 0, 0, 0};
  return q * (1.0f / length);
}

Quaternion QuaternionRotationAxis(const Vector3& axis, float angle) {
  const Vector3 v = Vec3Normalize(axis) * std::sin(angle * 0.5f);
  return {v.x, v.y, v.z, std::cos(angle * 0.5f)};
}

Matrix MatrixRotationQuaternion(const Quaternion& q) {
  const float xx = q.x * q.x, yy = q.y * q.y, zz = q.z * q.z;
  const float xy = q.x * q.y, xz = q.x * q.z, yz = q.y * q.z;
  const float xw = q.x * q.w, yw = q.y * q.w, zw = q.z * q.w;
  Matrix out;
  out.m[0][0] = 1.0f - 2.0f * (yy + zz);
  out.m[0][1] = 2.0f * (xy + zw);
  out.m[0][2] = 2.0f * (xz - yw);
  out.m[1][0] = 2.0f * (xy - zw);
  out.m[1][1] = 1.0f - 2.0f * (xx + zz);
  out.m[1][2] = 2.0f * (yz + xw);
  out.m[2][0] = 2.0f * (xz + yw);
  out.m[2][1] = 2.0f * (yz - xw);
  out.m[2][2] = 1.0f - 2.0f * (xx + yy);
  return out;
}

Quaternion QuaternionRotationMatrix(const Matrix& matrix) {
  const auto& m = matrix.m;
  const float trace = m[0][0] + m[1][1] + m[2][2];
  if (trace > 0.0f) {
    const float s = 2.0f * std::sqrt(trace + 1.0f);
    return {(m[1][2] - m[2][1]) / s, (m[2][0] - m[0][2]) / s, (m[0][1] - m[1][0]) / s, 0.25f * s};
  }
  int largest = 0;
  for (int i = 1; i < 3; ++i) {
    if (m[i][i] > m[largest][largest])
      largest = i;
  }
  switch (largest) {
    case 0: {
      const float s = 2.0f * std::sqrt(1.0f + m[0][0] - m[1][1] - m[2][2]);
      return {0.25f * s, (m[0][1] + m[1][0]) / s, (m[0][2] + m[2][0]) / s, (m[1][2] - m[2][1]) / s};
    }
    case 1: {
      const float s = 2.0f * std::sqrt(1.0f + m[1][1] - m[0][0] - m[2][2]);
      return {(m[0][1] + m[1][0]) / s, 0.25f * s, (m[1][2] + m[2][1]) / s, (m[2][0] - m[0][2]) / s};
    }
    default: {
      const float s = 2.0f * std::sqrt(1.0f + m[2][2] - m[0][0] - m[1][1]);
      return {(m[0][2] + m[2][0]) / s, (m[1][2] + m[2][1]) / s, 0.25f * s, (m[0][1] - m[1][0]) / s};
    }
  }
}

Quaternion QuaternionSlerp(const Quaternion& a, const Quaternion& b, float t) {
  float dot = QuaternionDot(a, b);
  float sign = 1.0f;
  if (dot < 0.0f) {
    sign = -1.0f;
    dot = -dot;
  }
  float weightA = 1.0f - t;
  float weightB = t;
  if (1.0f - dot > 0.001f) {
    const float theta = std::acos(dot);
    const float sinTheta = std::sin(theta);
    weightA = std::sin(theta * weightA) / sinTheta;
    weightB = std::sin(theta * weightB) / sinTheta;
  }
  return a * weightA + b * (sign * weightB);
}

}  // namespace quarn::gfx
