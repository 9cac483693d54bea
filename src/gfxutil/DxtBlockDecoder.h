#pragma once
// Decoding of 4 x 4 block-compressed pixels (DXT1, DXT3, DXT5) into 0xAARRGGBB.
#include <array>
#include <cstdint>
#include <span>

#include "platform/DeviceTypes.h"
#include "platform/RenderDevice.h"

namespace quarn::gfx {

struct Image;

class DxtBlockDecoder {
 public:
  using Block = std::array<platform::Argb, 16>;  // rows of four, top row first

  // Bytes of one block: 8 for DXT1, 16 for DXT3 and DXT5; 0 for other formats.
  static uint32_t BlockBytes(platform::Format format);
  // Bytes of a width x height picture in the format (partial blocks count whole).
  static uint64_t SurfaceBytes(platform::Format format, uint32_t width, uint32_t height);

  // The colour half of a block. With allowTransparent (DXT1) a block whose first endpoint is
  // not above the second has three colours and transparent black; DXT3 and DXT5 colour
  // blocks always have four opaque colours.
  static Block DecodeColor(const uint8_t* block, bool allowTransparent);
  // Replaces the alpha of every pixel from an explicit (DXT3) or interpolated (DXT5) block.
  static void DecodeExplicitAlpha(const uint8_t* block, Block* pixels);
  static void DecodeInterpolatedAlpha(const uint8_t* block, Block* pixels);

  // Decodes a whole surface into image (already allocated to its size); data must hold
  // SurfaceBytes of it.
  static void DecodeSurface(platform::Format format, std::span<const uint8_t> data, Image* image);
};

}  // namespace quarn::gfx
