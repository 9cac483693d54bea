#pragma once
// Decodes an image file of any supported kind, recognised by its content (never by its
// name's extension): PNG, JPEG, DDS, BMP, then TGA, which has no signature of its own.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "gfxutil/Image.h"

namespace quarn::gfx {

class ImageDecoder {
 public:
  // The kind of file the bytes hold; Unknown when no decoder claims them.
  static ImageFileType Recognise(std::span<const uint8_t> bytes);
  // False with a short reason in *reason (an unknown kind, a damaged or unsupported file).
  static bool Decode(std::span<const uint8_t> bytes, Image* image, std::string* reason);
  // Reads the whole file, then decodes it. Files larger than any picture within the limits
  // are refused unread.
  static bool DecodeFile(const std::string& path, Image* image, std::string* reason);
  static bool ReadFile(const std::string& path, std::vector<uint8_t>* bytes, std::string* reason);
};

}  // namespace quarn::gfx
