#pragma once
// Truevision TGA pictures: colour-mapped, true-colour and grey, raw or run-length encoded,
// in any of the four origins. The format has no signature, so Recognises checks that the
// header is one this reader could decode.
#include <cstdint>
#include <span>
#include <string>

#include "gfxutil/Image.h"

namespace quarn::gfx {

class TgaDecoder {
 public:
  // True when the bytes start the way this format's files do.
  static bool Recognises(std::span<const uint8_t> bytes);
  // Decodes a whole file held in memory. False with a short reason in *reason when the file
  // is damaged, unsupported or beyond the size limits; *image is then unspecified.
  static bool Decode(std::span<const uint8_t> bytes, Image* image, std::string* reason);
};

}  // namespace quarn::gfx
