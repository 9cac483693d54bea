#pragma once
// One material of a loaded mesh: the device material (ambient equal to diffuse, so that the
// scene's ambient light tints a surface in its own colour) and its texture, if it has one.
#include <memory>

#include "platform/DeviceTypes.h"
#include "platform/RenderDevice.h"

namespace quarn {

struct MeshMaterial {
  platform::Material material;
  std::unique_ptr<platform::Texture> texture;  // null: drawn in the material colours only
};

}  // namespace quarn
