#pragma once
// PNG pictures through libpng: every colour type and bit depth, interlaced or not, with
// transparency from the alpha channel or a tRNS chunk. Stored samples are returned (no gamma
// correction); 16-bit samples are rounded to 8 bits.
#include <cstdint>
#include <span>
#include <string>

#include "gfxutil/Image.h"

namespace quarn::gfx {

class PngDecoder {
 public:
  // True when the bytes start the way this format's files do.
  static bool Recognises(std::span<const uint8_t> bytes);
  // Decodes a whole file held in memory. False with a short reason in *reason when the file
  // is damaged, unsupported or beyond the size limits; *image is then unspecified.
  static bool Decode(std::span<const uint8_t> bytes, Image* image, std::string* reason);
};

}  // namespace quarn::gfx
