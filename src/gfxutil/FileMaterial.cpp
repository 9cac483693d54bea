#include "gfxutil/FileMaterial.h"

namespace quarn::gfx {

FileMaterial DefaultFileMaterial() {
  FileMaterial result;
  result.material.diffuse = {0.5f, 0.5f, 0.5f, 1.0f};
  result.material.specular = result.material.diffuse;
  return result;
}

}  // namespace quarn::gfx
