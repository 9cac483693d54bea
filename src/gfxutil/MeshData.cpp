#include "gfxutil/MeshData.h"

#include <cstring>

namespace quarn::gfx {

std::vector<uint8_t> MeshData::PackVertices() const {
  const uint32_t stride = platform::FvfVertexSize(fvf);
  std::vector<uint8_t> bytes(static_cast<size_t>(stride) * positions.size());
  uint8_t* out = bytes.data();
  auto put = [&out](const void* data, size_t size) {
    std::memcpy(out, data, size);
    out += size;
  };
  for (size_t i = 0; i < positions.size(); ++i) {
    put(&positions[i], sizeof(platform::Vector3));
    if (fvf & platform::kFvfNormal)
      put(&normals[i], sizeof(platform::Vector3));
    if (fvf & platform::kFvfDiffuse)
      put(&diffuse[i], sizeof(platform::Argb));
    if (fvf & platform::kFvfTex1)
      put(&texCoords[2 * i], 2 * sizeof(float));
  }
  return bytes;
}

}  // namespace quarn::gfx
