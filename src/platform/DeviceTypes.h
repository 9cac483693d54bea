#pragma once
// Plain data records shared by the render device and the math library: vectors, matrices,
// colours, materials, lights, viewports and rectangles, laid out as the game's data expects.
#include <cstdint>
#include <cstring>

namespace quarn::platform {

struct Vector3 {
  float x = 0, y = 0, z = 0;
};

// 4 x 4 single-precision matrix, row-major; row vectors multiply on the left (v x M).
// Its memory layout equals that of the column-major OpenGL matrix of the same transform.
struct Matrix4 {
  float m[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
};

struct ColorValue {
  float r = 0, g = 0, b = 0, a = 0;
};

// Packed 32-bit colour, 0xAARRGGBB.
using Argb = uint32_t;

constexpr Argb MakeArgb(uint32_t a, uint32_t r, uint32_t g, uint32_t b) {
  return (a & 0xFF) << 24 | (r & 0xFF) << 16 | (g & 0xFF) << 8 | (b & 0xFF);
}

struct Material {
  ColorValue diffuse, ambient, specular, emissive;
  float power = 0;
};

enum class LightType : uint32_t { Point = 1, Spot = 2, Directional = 3 };

struct Light {
  LightType type = LightType::Directional;
  ColorValue diffuse, specular, ambient;
  Vector3 position, direction;
  float range = 0, falloff = 0;
  float attenuation0 = 0, attenuation1 = 0, attenuation2 = 0;
  float theta = 0, phi = 0;
};

struct Viewport {
  uint32_t x = 0, y = 0, width = 0, height = 0;
  float minZ = 0, maxZ = 1;
};

struct Rect {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
};

// Float render states (fog start and end) travel as the bits of the float.
inline uint32_t FloatBits(float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

inline float BitsFloat(uint32_t bits) {
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

}  // namespace quarn::platform
