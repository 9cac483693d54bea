#pragma once
// JPEG pictures through libjpeg: baseline, extended, progressive and arithmetic-coded;
// grey, YCbCr, CMYK and YCCK. A file cut off before its image data ends is refused.
#include <cstdint>
#include <span>
#include <string>

#include "gfxutil/Image.h"

namespace quarn::gfx {

class JpegDecoder {
 public:
  // True when the bytes start the way this format's files do.
  static bool Recognises(std::span<const uint8_t> bytes);
  // Decodes a whole file held in memory. False with a short reason in *reason when the file
  // is damaged, unsupported or beyond the size limits; *image is then unspecified.
  static bool Decode(std::span<const uint8_t> bytes, Image* image, std::string* reason);
};

}  // namespace quarn::gfx
