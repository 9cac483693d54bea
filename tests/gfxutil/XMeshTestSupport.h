#pragma once
// Shared helpers of the .x tests: loading from bytes in memory and comparing results.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gfxutil/MeshData.h"
#include "gfxutil/XFileReader.h"

namespace quarn::testing {

inline bool ReadX(const std::string& bytes, gfx::MeshData* out, std::string* error) {
  return gfx::XFileReader::Read(
      std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), out, error);
}

// Loads bytes that must load; a failure names the reason.
inline gfx::MeshData MustReadX(const std::string& bytes) {
  gfx::MeshData data;
  std::string error;
  EXPECT_TRUE(ReadX(bytes, &data, &error)) << error;
  return data;
}

// Vectors as a flat list of floats, for comparisons with EXPECT_EQ.
inline std::vector<float> Flat(const std::vector<gfx::Vector3>& vectors) {
  std::vector<float> floats;
  for (const auto& v : vectors)
    floats.insert(floats.end(), {v.x, v.y, v.z});
  return floats;
}

inline bool SameColor(const platform::ColorValue& a, const platform::ColorValue& b) {
  return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a;
}

inline bool SameMaterial(const gfx::FileMaterial& a, const gfx::FileMaterial& b) {
  return SameColor(a.material.diffuse, b.material.diffuse) &&
         SameColor(a.material.ambient, b.material.ambient) &&
         SameColor(a.material.specular, b.material.specular) &&
         SameColor(a.material.emissive, b.material.emissive) &&
         a.material.power == b.material.power && a.textureFile == b.textureFile;
}

// Every field of two loaded meshes, bit for bit.
inline void ExpectSameMesh(const gfx::MeshData& a, const gfx::MeshData& b) {
  EXPECT_EQ(a.fvf, b.fvf);
  EXPECT_EQ(Flat(a.positions), Flat(b.positions));
  EXPECT_EQ(Flat(a.normals), Flat(b.normals));
  EXPECT_EQ(a.diffuse, b.diffuse);
  EXPECT_EQ(a.texCoords, b.texCoords);
  EXPECT_EQ(a.indices, b.indices);
  EXPECT_EQ(a.faceMaterials, b.faceMaterials);
  ASSERT_EQ(a.materials.size(), b.materials.size());
  for (size_t i = 0; i < a.materials.size(); ++i) {
    EXPECT_TRUE(SameMaterial(a.materials[i], b.materials[i])) << "material " << i;
  }
}

}  // namespace quarn::testing
