#pragma once
// Loads a .x file into a device mesh in one step (the loader of the game's mesh resource).
#include <memory>
#include <string>

#include "gfxutil/Mesh.h"

namespace quarn::gfx {

// Null with the reason in *error when the file cannot be read, parsed or put on the device.
std::unique_ptr<Mesh> LoadMeshFromX(const std::string& path, platform::RenderDevice& device,
                                    std::string* error);

}  // namespace quarn::gfx
