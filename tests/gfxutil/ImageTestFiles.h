#pragma once
// Helpers of the image tests: the fixture files kept in the repository, and small writers
// that build image files byte by byte, so that every stored value is known.
#include <cstdint>
#include <string>
#include <vector>

#include "gfxutil/Image.h"

namespace quarn::testing {

// tests/fixtures/images/RELATIVE in the source tree.
std::string ImageFixture(const std::string& relative);
std::vector<uint8_t> ReadAll(const std::string& path);

// Decodes a fixture or fails the current test with the reason.
gfx::Image DecodeFixture(const std::string& relative);

// Mean of the absolute channel differences (alpha included) of two equally sized pictures.
double MeanChannelDifference(const gfx::Image& a, const gfx::Image& b);
// The same over red, green and blue only.
double MeanColourDifference(const gfx::Image& a, const gfx::Image& b);
// Largest channel difference.
int MaxChannelDifference(const gfx::Image& a, const gfx::Image& b);

// Appends little-endian fields.
class ByteWriter {
 public:
  ByteWriter& U8(uint32_t v) {
    bytes_.push_back(static_cast<uint8_t>(v));
    return *this;
  }
  ByteWriter& U16(uint32_t v) { return U8(v).U8(v >> 8); }
  ByteWriter& U32(uint32_t v) { return U16(v).U16(v >> 16); }
  ByteWriter& Bytes(const std::vector<uint8_t>& more) {
    bytes_.insert(bytes_.end(), more.begin(), more.end());
    return *this;
  }
  ByteWriter& Text(const std::string& text) {
    bytes_.insert(bytes_.end(), text.begin(), text.end());
    return *this;
  }
  const std::vector<uint8_t>& Get() const { return bytes_; }
  size_t Size() const { return bytes_.size(); }

 private:
  std::vector<uint8_t> bytes_;
};

// A PNG of the given header whose image data is the given filtered scanlines (each row
// starts with its filter byte), with optional PLTE, tRNS and gAMA chunks.
struct PngParts {
  uint32_t width = 1;
  uint32_t height = 1;
  uint8_t bitDepth = 8;
  uint8_t colorType = 2;
  std::vector<uint8_t> scanlines;
  std::vector<uint8_t> palette;  // R, G, B triples
  std::vector<uint8_t> transparency;
  uint32_t gamma = 0;  // 0: no gAMA chunk
};
std::vector<uint8_t> MakePng(const PngParts& parts);

// A private temporary folder, removed with everything in it when the object goes.
class ScopedTempDir {
 public:
  ScopedTempDir();
  ~ScopedTempDir();
  ScopedTempDir(const ScopedTempDir&) = delete;
  ScopedTempDir& operator=(const ScopedTempDir&) = delete;
  const std::string& Path() const { return path_; }
  // Writes bytes to a file of the folder and returns its path.
  std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) const;

 private:
  std::string path_;
};

}  // namespace quarn::testing
