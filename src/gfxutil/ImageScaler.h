#pragma once
// Resizes a picture to fill a new size: bilinear where an axis grows, an area (box) average
// where it shrinks, each axis on its own. Alpha is filtered like the colours.
#include <cstdint>

#include "gfxutil/Image.h"

namespace quarn::gfx {

class ImageScaler {
 public:
  // The source resampled to width x height (both at least 1); the source's file type,
  // format and alpha flag are kept.
  static Image Scale(const Image& source, uint32_t width, uint32_t height);
};

}  // namespace quarn::gfx
