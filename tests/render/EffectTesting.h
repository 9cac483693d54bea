#pragma once
// Helpers of the particle and trail tests: a definition section from a few lines of text, and
// the vertices a draw call handed to the null device.
#include <cstring>
#include <string>
#include <vector>

#include "engine/DefinitionFile.h"
#include "platform/NullRenderDevice.h"

namespace quarn::testing {

struct DrawnVertex {  // XYZ | DIFFUSE | TEX1
  float x, y, z;
  uint32_t colour;
  float u, v;
};

// Replaces the content of file with "[name_index]" followed by lines ("Key=Value", one per line)
// and selects it.
inline void ParseSection(DefinitionFile& file, const std::string& name, unsigned index,
                         const std::string& lines) {
  std::string text = "[" + DefinitionFile::IndexedName(name, index) + "]\r\n";
  for (char c : lines)
    text += c == '\n' ? std::string("\r\n") : std::string(1, c);
  file.Clear();
  file.Parse(text + "\r\n");
  file.SelectSection(name, index);
}

inline std::vector<DrawnVertex> VerticesOf(const platform::DrawRecord& draw) {
  std::vector<DrawnVertex> vertices(draw.vertices.size() / sizeof(DrawnVertex));
  std::memcpy(vertices.data(), draw.vertices.data(), vertices.size() * sizeof(DrawnVertex));
  return vertices;
}

}  // namespace quarn::testing
