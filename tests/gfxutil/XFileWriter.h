#pragma once
// Writes .x files for tests and benchmarks: a small document model of data objects written
// as text, as binary (32- or 64-bit floats) or MSZIP-compressed, so that one mesh can be
// loaded from every encoding.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/DeviceTypes.h"

namespace quarn::testing {

// One data member group: integers, floats or a string.
struct XValue {
  enum class Kind { Integers, Floats, String } kind = Kind::Integers;
  std::vector<uint32_t> integers;
  std::vector<float> floats;
  std::string text;

  static XValue Ints(std::vector<uint32_t> values);
  static XValue Floats(std::vector<float> values);
  static XValue String(std::string text);
};

// A data object (type, optional name, data, nested objects) or, with `reference` set, a
// reference {name} to a named object.
struct XObject {
  std::string type;
  std::string name;
  std::vector<XValue> data;
  std::vector<XObject> children;
  std::string reference;

  static XObject Reference(std::string name);
};

struct XDocument {
  bool withTemplates = true;  // a template declaration first, which readers must skip
  std::vector<XObject> objects;
};

std::string WriteTextX(const XDocument& document);
std::string WriteBinaryX(const XDocument& document, bool doubleFloats = false);
// Compresses a text or binary .x file into "tzip" or "bzip" blocks of at most blockSize bytes,
// each deflated with the previous block as its dictionary.
std::string CompressX(const std::string& file, size_t blockSize = 32768);

// A mesh as a test describes it; Build() makes its Mesh object.
struct TestMesh {
  std::vector<platform::Vector3> positions;
  std::vector<std::vector<uint32_t>> faces;
  std::vector<platform::Vector3> normals;  // with faceNormals: MeshNormals
  std::vector<std::vector<uint32_t>> faceNormals;
  std::vector<float> texCoords;  // u, v per position: MeshTextureCoords
  std::vector<std::pair<uint32_t, platform::ColorValue>> colors;  // MeshVertexColors
  bool materialList = false;                                      // MeshMaterialList
  uint32_t materialCount = 0;
  std::vector<uint32_t> faceMaterials;
  std::vector<XObject> materials;  // Material objects or references

  XObject Build(const std::string& name = "") const;
};

XObject MaterialObject(const platform::ColorValue& diffuse, float power,
                       const platform::ColorValue& specular, const platform::ColorValue& emissive,
                       const std::string& texture = "", const std::string& name = "");
XObject FrameObject(const std::string& name, const platform::Matrix4& matrix,
                    std::vector<XObject> children);
platform::Matrix4 Translation(float x, float y, float z);

// A flat grid of (side + 1)^2 vertices and 2 * side^2 triangles with normals and texture
// coordinates, as a large mesh for benchmarks and limits.
TestMesh GridMesh(uint32_t side);

}  // namespace quarn::testing
