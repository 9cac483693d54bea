#pragma once
// A decoded picture: 0xAARRGGBB pixels, top row first, plus what the file said about itself
// (its container, the texture format it maps to and whether its alpha carries anything).
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/DeviceTypes.h"
#include "platform/RenderDevice.h"

namespace quarn::gfx {

enum class ImageFileType { Unknown, Png, Jpeg, Bmp, Tga, Dds };

std::string_view FileTypeName(ImageFileType type);
// "A8R8G8B8", "X8R8G8B8", "DXT1", ...; "UNKNOWN" for a format without a name here.
std::string_view FormatName(platform::Format format);

struct Image {
  uint32_t width = 0;
  uint32_t height = 0;
  std::vector<platform::Argb> pixels;  // width x height, rows top to bottom
  ImageFileType fileType = ImageFileType::Unknown;
  // The texture format the file maps to: A8R8G8B8 with alpha, X8R8G8B8 without, the block
  // format for block-compressed files.
  platform::Format format = platform::Format::X8R8G8B8;
  bool hasAlpha = false;

  // Sizes the pixel array (all transparent black) after checking the limits; false with the
  // reason when the size is refused.
  bool Allocate(uint32_t newWidth, uint32_t newHeight, std::string* reason);
  platform::Argb& At(uint32_t x, uint32_t y) { return pixels[static_cast<size_t>(y) * width + x]; }
  platform::Argb At(uint32_t x, uint32_t y) const {
    return pixels[static_cast<size_t>(y) * width + x];
  }
  // hasAlpha and the matching plain format (A8R8G8B8 or X8R8G8B8).
  void SetAlpha(bool alpha);
  // For files whose alpha channel is often left unfilled (32-bit BMP and TGA): alpha that is
  // zero everywhere makes the picture opaque rather than invisible.
  void DropUnusedAlpha();
};

}  // namespace quarn::gfx
