#include "gfxutil/ImageWriter.h"

#include <png.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace quarn::gfx {

namespace {

struct PngError {
  std::string message;
};

void OnError(png_structp png, png_const_charp message) {
  static_cast<PngError*>(png_get_error_ptr(png))->message = message;
  png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

void OnWrite(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}

void OnFlush(png_structp) {}

// Runs libpng over prepared rows; kept free of C++ objects with destructors, since libpng
// reports errors with longjmp.
bool RunEncoder(png_structp png, png_infop info, uint32_t width, uint32_t height, bool keepAlpha,
                png_bytepp rows) {
  if (setjmp(png_jmpbuf(png)))
    return false;
  png_set_IHDR(png, info, width, height, 8, keepAlpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  png_write_image(png, rows);
  png_write_end(png, nullptr);
  return true;
}

}  // namespace

bool ImageWriter::EncodePng(const platform::Argb* pixels, uint32_t width, uint32_t height,
                            uint32_t pitchPixels, bool keepAlpha, std::vector<uint8_t>* out,
                            std::string* error) {
  if (pixels == nullptr || width == 0 || height == 0 || pitchPixels < width ||
      width > 0x7FFFFFFFu / 4) {
    if (error != nullptr)
      *error = "no picture to write";
    return false;
  }
  const size_t channels = keepAlpha ? 4 : 3;
  std::vector<uint8_t> bytes(size_t{width} * height * channels);
  std::vector<png_bytep> rows(height);
  for (uint32_t y = 0; y < height; ++y) {
    uint8_t* row = &bytes[size_t{y} * width * channels];
    rows[y] = row;
    const platform::Argb* from = pixels + size_t{y} * pitchPixels;
    for (uint32_t x = 0; x < width; ++x) {
      const platform::Argb pixel = from[x];
      row[x * channels + 0] = static_cast<uint8_t>(pixel >> 16);
      row[x * channels + 1] = static_cast<uint8_t>(pixel >> 8);
      row[x * channels + 2] = static_cast<uint8_t>(pixel);
      if (keepAlpha)
        row[x * channels + 3] = static_cast<uint8_t>(pixel >> 24);
    }
  }
  PngError pngError;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &pngError, OnError, OnWarning);
  png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
  if (png == nullptr || info == nullptr) {
    png_destroy_write_struct(&png, &info);
    if (error != nullptr)
      *error = "out of memory";
    return false;
  }
  out->clear();
  png_set_write_fn(png, out, OnWrite, OnFlush);
  const bool written = RunEncoder(png, info, width, height, keepAlpha, rows.data());
  png_destroy_write_struct(&png, &info);
  if (!written && error != nullptr)
    *error = pngError.message.empty() ? "cannot encode the picture" : pngError.message;
  return written;
}

bool ImageWriter::WritePng(const std::string& path, const platform::Argb* pixels, uint32_t width,
                           uint32_t height, uint32_t pitchPixels, bool keepAlpha,
                           std::string* error) {
  std::vector<uint8_t> encoded;
  if (!EncodePng(pixels, width, height, pitchPixels, keepAlpha, &encoded, error))
    return false;
  // Written beside the target under a temporary name, then renamed over it when complete.
  const std::string temporary = path + ".part" + std::to_string(getpid());
  FILE* file = std::fopen(temporary.c_str(), "wb");
  if (file == nullptr) {
    if (error != nullptr)
      *error = std::strerror(errno);
    return false;
  }
  const bool complete = std::fwrite(encoded.data(), 1, encoded.size(), file) == encoded.size();
  const int savedErrno = errno;
  const bool closed = std::fclose(file) == 0;
  if (!complete || !closed || std::rename(temporary.c_str(), path.c_str()) != 0) {
    if (error != nullptr)
      *error = std::strerror(complete && closed ? errno : savedErrno);
    std::remove(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace quarn::gfx
