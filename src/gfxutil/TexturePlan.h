#pragma once
// The texture an image becomes: each side rounded up to a power of two (within the device's
// largest texture), a full mip chain down to 1 x 1, and the image's format.
#include <cstdint>

#include "gfxutil/Image.h"
#include "platform/RenderDevice.h"

namespace quarn::gfx {

struct TexturePlan {
  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t levels = 0;
  platform::Format format = platform::Format::X8R8G8B8;

  // maxWidth and maxHeight: the device's limits (at least 1).
  static TexturePlan For(const Image& image, uint32_t maxWidth, uint32_t maxHeight);
  static TexturePlan For(const Image& image, const platform::DeviceCaps& caps) {
    return For(image, caps.maxTextureWidth, caps.maxTextureHeight);
  }
};

// The smallest power of two not below value (1 for 0); values above 2^31 give 2^31.
uint32_t RoundUpToPowerOfTwo(uint32_t value);
// A side rounded up to a power of two, then brought down to the largest power of two within
// limit when it exceeds it.
uint32_t TextureSide(uint32_t side, uint32_t limit);
// Levels of a full chain: halving each side (down to 1) until both are 1.
uint32_t FullMipLevels(uint32_t width, uint32_t height);

}  // namespace quarn::gfx
