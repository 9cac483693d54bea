#include "gfxutil/XMeshLoader.h"

#include "gfxutil/XFileReader.h"

namespace quarn::gfx {

std::unique_ptr<Mesh> LoadMeshFromX(const std::string& path, platform::RenderDevice& device,
                                    std::string* error) {
  MeshData data;
  if (!XFileReader::ReadFile(path, &data, error))
    return nullptr;
  return Mesh::Create(device, std::move(data), error);
}

}  // namespace quarn::gfx
