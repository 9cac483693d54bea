#include "gfxutil/Image.h"

#include <algorithm>

#include "gfxutil/ImageLimits.h"

namespace quarn::gfx {

std::string_view FileTypeName(ImageFileType type) {
  switch (type) {
    case ImageFileType::Png:
      return "PNG";
    case ImageFileType::Jpeg:
      return "JPEG";
    case ImageFileType::Bmp:
      return "BMP";
    case ImageFileType::Tga:
      return "TGA";
    case ImageFileType::Dds:
      return "DDS";
    case ImageFileType::Unknown:
      break;
  }
  return "unknown";
}

std::string_view FormatName(platform::Format format) {
  using platform::Format;
  switch (format) {
    case Format::A8R8G8B8:
      return "A8R8G8B8";
    case Format::X8R8G8B8:
      return "X8R8G8B8";
    case Format::R8G8B8:
      return "R8G8B8";
    case Format::R5G6B5:
      return "R5G6B5";
    case Format::X1R5G5B5:
      return "X1R5G5B5";
    case Format::A1R5G5B5:
      return "A1R5G5B5";
    case Format::A4R4G4B4:
      return "A4R4G4B4";
    case Format::A8:
      return "A8";
    case Format::L8:
      return "L8";
    case Format::A8L8:
      return "A8L8";
    case Format::Dxt1:
      return "DXT1";
    case Format::Dxt3:
      return "DXT3";
    case Format::Dxt5:
      return "DXT5";
    default:
      break;
  }
  return "UNKNOWN";
}

bool Image::Allocate(uint32_t newWidth, uint32_t newHeight, std::string* reason) {
  if (!CheckImageSize(newWidth, newHeight, reason))
    return false;
  width = newWidth;
  height = newHeight;
  pixels.assign(static_cast<size_t>(newWidth) * newHeight, 0u);
  return true;
}

void Image::SetAlpha(bool alpha) {
  hasAlpha = alpha;
  format = alpha ? platform::Format::A8R8G8B8 : platform::Format::X8R8G8B8;
}

void Image::DropUnusedAlpha() {
  const bool anyAlpha =
      std::any_of(pixels.begin(), pixels.end(), [](platform::Argb p) { return (p >> 24) != 0; });
  if (anyAlpha)
    return;
  for (platform::Argb& p : pixels)
    p |= 0xFF000000u;
  SetAlpha(false);
}

}  // namespace quarn::gfx
