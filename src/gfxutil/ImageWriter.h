#pragma once
// Writes pictures of 0xAARRGGBB pixels (rows top to bottom) as PNG files.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/DeviceTypes.h"

namespace quarn::gfx {

class ImageWriter {
 public:
  // Writes width x height pixels (pitchPixels apart, row after row) as an 8-bit RGB PNG, or RGBA
  // when keepAlpha is set. The file appears only when it is complete: a failure leaves no file
  // (and no damaged one). False with the reason in *error.
  static bool WritePng(const std::string& path, const platform::Argb* pixels, uint32_t width,
                       uint32_t height, uint32_t pitchPixels, bool keepAlpha, std::string* error);
  // The same into memory.
  static bool EncodePng(const platform::Argb* pixels, uint32_t width, uint32_t height,
                        uint32_t pitchPixels, bool keepAlpha, std::vector<uint8_t>* out,
                        std::string* error);
};

}  // namespace quarn::gfx
