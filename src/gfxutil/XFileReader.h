#pragma once
// Reads a DirectX .x file into MeshData: the 16-byte header ("xof ", version, "txt ", "bin ",
// "tzip" or "bzip", float size "0032" or "0064"), then the text or binary body, inflated
// first when compressed. Every mesh of the file is merged into one.
#include <cstdint>
#include <span>
#include <string>

#include "gfxutil/MeshData.h"

namespace quarn::gfx {

class XFileReader {
 public:
  // False with the reason in *error when the bytes are not a loadable mesh.
  static bool Read(std::span<const uint8_t> bytes, MeshData* out, std::string* error);
  static bool ReadFile(const std::string& path, MeshData* out, std::string* error);
};

}  // namespace quarn::gfx
