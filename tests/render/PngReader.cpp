#include "render/PngReader.h"

#include <png.h>

#include <cstdio>
#include <memory>

namespace quarn::testing {

bool ReadPng(const std::string& path, Picture* picture) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (png_image_begin_read_from_file(&image, path.c_str()) == 0)
    return false;
  image.format = PNG_FORMAT_BGRA;  // little-endian 0xAARRGGBB words
  picture->width = image.width;
  picture->height = image.height;
  picture->pixels.assign(size_t{image.width} * image.height, 0);
  const bool read = png_image_finish_read(&image, nullptr, picture->pixels.data(), 0, nullptr) != 0;
  png_image_free(&image);
  return read;
}

}  // namespace quarn::testing
