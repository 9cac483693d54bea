#pragma once
// Four-component vector: the homogeneous result of transforming a point by a matrix.
namespace quarn::gfx {

struct Vector4 {
  float x = 0, y = 0, z = 0, w = 0;

  friend constexpr bool operator==(const Vector4&, const Vector4&) = default;
};

}  // namespace quarn::gfx
