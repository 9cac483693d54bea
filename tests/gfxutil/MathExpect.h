#pragma once
// Tolerant comparisons of math values for tests, with readable failure messages.
#include <gtest/gtest.h>

#include <cmath>
#include <ostream>

#include "gfxutil/Matrix.h"
#include "gfxutil/Plane.h"
#include "gfxutil/Quaternion.h"
#include "gfxutil/Vector3.h"

namespace quarn::gfx {

inline void PrintTo(const Vector3& v, std::ostream* os) {
  *os << "(" << v.x << ", " << v.y << ", " << v.z << ")";
}
inline void PrintTo(const Quaternion& q, std::ostream* os) {
  *os << "(" << q.x << ", " << q.y << ", " << q.z << ", " << q.w << ")";
}
inline void PrintTo(const Plane& p, std::ostream* os) {
  *os << "(" << p.a << ", " << p.b << ", " << p.c << ", " << p.d << ")";
}
inline void PrintTo(const Matrix& m, std::ostream* os) {
  for (const auto& row : m.m) {
    *os << "[" << row[0] << " " << row[1] << " " << row[2] << " " << row[3] << "]";
  }
}

inline ::testing::AssertionResult VectorNear(const Vector3& actual, const Vector3& expected,
                                             float tolerance = 1e-5f) {
  if (std::fabs(actual.x - expected.x) <= tolerance &&
      std::fabs(actual.y - expected.y) <= tolerance &&
      std::fabs(actual.z - expected.z) <= tolerance) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << ::testing::PrintToString(actual) << " is not within "
                                       << tolerance << " of " << ::testing::PrintToString(expected);
}

inline ::testing::AssertionResult QuaternionNear(const Quaternion& actual,
                                                 const Quaternion& expected,
                                                 float tolerance = 1e-5f) {
  if (std::fabs(actual.x - expected.x) <= tolerance &&
      std::fabs(actual.y - expected.y) <= tolerance &&
      std::fabs(actual.z - expected.z) <= tolerance &&
      std::fabs(actual.w - expected.w) <= tolerance) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << ::testing::PrintToString(actual) << " is not within "
                                       << tolerance << " of " << ::testing::PrintToString(expected);
}

inline ::testing::AssertionResult MatrixNear(const Matrix& actual, const Matrix& expected,
                                             float tolerance = 1e-5f) {
  for (int row = 0; row < 4; ++row) {
    for (int col = 0; col < 4; ++col) {
      if (!(std::fabs(actual.m[row][col] - expected.m[row][col]) <= tolerance)) {
        return ::testing::AssertionFailure() << "entry [" << row << "][" << col
                                             << "] differs: " << ::testing::PrintToString(actual)
                                             << " vs " << ::testing::PrintToString(expected);
      }
    }
  }
  return ::testing::AssertionSuccess();
}

}  // namespace quarn::gfx
