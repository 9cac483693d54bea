#pragma once
// A point or direction of the generator's 3D work, in doubles so that meshes made on any
// machine round to the same written numbers. Axes as the game's: x right, y up, z forward.
#include <cmath>

namespace quarn::tools {

struct Vec3 {
  double x = 0;
  double y = 0;
  double z = 0;
};

inline Vec3 operator+(const Vec3& a, const Vec3& b) {
  return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline Vec3 operator-(const Vec3& a, const Vec3& b) {
  return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline Vec3 operator*(const Vec3& a, double s) {
  return {a.x * s, a.y * s, a.z * s};
}
inline bool operator==(const Vec3& a, const Vec3& b) {
  return a.x == b.x && a.y == b.y && a.z == b.z;
}
inline double Dot(const Vec3& a, const Vec3& b) {
  return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline Vec3 Cross(const Vec3& a, const Vec3& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline double Length(const Vec3& v) {
  return std::sqrt(Dot(v, v));
}
// The unit vector along v; zero stays zero.
inline Vec3 Normalized(const Vec3& v) {
  const double length = Length(v);
  return length > 0 ? v * (1.0 / length) : Vec3{};
}

}  // namespace quarn::tools
