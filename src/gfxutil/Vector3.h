#pragma once
// Three-component vector over the device's plain record, with the arithmetic the game's math
// needs. Conventions throughout gfxutil: left-handed axes (x right, y up, z forward), row
// vectors multiplied on the left of a matrix (v x M), single precision.
#include "platform/DeviceTypes.h"

namespace quarn::gfx {

struct Vector3 : platform::Vector3 {
  constexpr Vector3() = default;
  constexpr Vector3(float x_, float y_, float z_) : platform::Vector3{x_, y_, z_} {}
  constexpr Vector3(const platform::Vector3& v) : platform::Vector3(v) {}  // NOLINT: widening

  constexpr Vector3& operator+=(const Vector3& v) {
    x += v.x, y += v.y, z += v.z;
    return *this;
  }
  constexpr Vector3& operator-=(const Vector3& v) {
    x -= v.x, y -= v.y, z -= v.z;
    return *this;
  }
  constexpr Vector3& operator*=(float s) {
    x *= s, y *= s, z *= s;
    return *this;
  }
  constexpr Vector3& operator/=(float s) {
    x /= s, y /= s, z /= s;
    return *this;
  }
  constexpr Vector3 operator-() const { return {-x, -y, -z}; }
  friend constexpr Vector3 operator+(Vector3 a, const Vector3& b) { return a += b; }
  friend constexpr Vector3 operator-(Vector3 a, const Vector3& b) { return a -= b; }
  friend constexpr Vector3 operator*(Vector3 v, float s) { return v *= s; }
  friend constexpr Vector3 operator*(float s, Vector3 v) { return v *= s; }
  friend constexpr Vector3 operator/(Vector3 v, float s) { return v /= s; }
  friend constexpr bool operator==(const Vector3& a, const Vector3& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
  }
};

constexpr float Vec3Dot(const Vector3& a, const Vector3& b) {
  return a.x * b.x + a.y * b.y + a.z * b.z;
}

// Component formula a x b; in left-handed axes x cross y gives +z, as in right-handed ones.
constexpr Vector3 Vec3Cross(const Vector3& a, const Vector3& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

float Vec3Length(const Vector3& v);

// v divided by its length; the zero vector gives the zero vector (never NaN).
Vector3 Vec3Normalize(const Vector3& v);

}  // namespace quarn::gfx
