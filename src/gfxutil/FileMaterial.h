#pragma once
#include <string>

#include "platform/DeviceTypes.h"

namespace quarn::gfx {

// A material as a mesh file gives it: the device material record and the texture file name
// exactly as written in the file (empty when the material names none).
struct FileMaterial {
  platform::Material material;
  std::string textureFile;
};

// The material of a mesh that has no material list: mid grey, opaque.
FileMaterial DefaultFileMaterial();

}  // namespace quarn::gfx
