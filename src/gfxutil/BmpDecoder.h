#pragma once
// Windows and OS/2 bitmaps: 1, 4 and 8-bit palettes (also RLE4 and RLE8), 16, 24 and 32-bit
// pixels with default layouts or bit-field masks, bottom-up or top-down.
#include <cstdint>
#include <span>
#include <string>

#include "gfxutil/Image.h"

namespace quarn::gfx {

class BmpDecoder {
 public:
  // True when the bytes start the way this format's files do.
  static bool Recognises(std::span<const uint8_t> bytes);
  // Decodes a whole file held in memory. False with a short reason in *reason when the file
  // is damaged, unsupported or beyond the size limits; *image is then unspecified.
  static bool Decode(std::span<const uint8_t> bytes, Image* image, std::string* reason);
};

}  // namespace quarn::gfx
