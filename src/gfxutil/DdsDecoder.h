#pragma once
// DirectDraw surfaces: DXT1, DXT3 and DXT5 blocks and uncompressed pixels described by masks
// (RGB, luminance, alpha). Only the top level is read; textures build their own mip chain.
#include <cstdint>
#include <span>
#include <string>

#include "gfxutil/Image.h"

namespace quarn::gfx {

class DdsDecoder {
 public:
  // True when the bytes start the way this format's files do.
  static bool Recognises(std::span<const uint8_t> bytes);
  // Decodes a whole file held in memory. False with a short reason in *reason when the file
  // is damaged, unsupported or beyond the size limits; *image is then unspecified.
  static bool Decode(std::span<const uint8_t> bytes, Image* image, std::string* reason);
};

}  // namespace quarn::gfx
