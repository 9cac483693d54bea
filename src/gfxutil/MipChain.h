#pragma once
// The mip levels of a texture: each level half the size of the one above (a side of 1 stays
// 1), each pixel the rounded average of the 2 x 2 (or 2 x 1) pixels it covers.
#include <cstdint>
#include <vector>

#include "gfxutil/Image.h"

namespace quarn::gfx {

class MipChain {
 public:
  // The top image followed by its smaller levels, levels in all (0: down to 1 x 1; never
  // more than the full chain).
  static std::vector<Image> Build(Image top, uint32_t levels = 0);
  // The next level below image.
  static Image HalfSize(const Image& image);
};

}  // namespace quarn::gfx
