#include "gfxutil/ImageTestFiles.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "gfxutil/ImageDecoder.h"

namespace quarn::testing {

std::string ImageFixture(const std::string& relative) {
  return std::string(QUARN_SOURCE_DIR) + "/tests/fixtures/images/" + relative;
}

std::vector<uint8_t> ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

gfx::Image DecodeFixture(const std::string& relative) {
  gfx::Image image;
  std::string reason;
  EXPECT_TRUE(gfx::ImageDecoder::DecodeFile(ImageFixture(relative), &image, &reason))
      << relative << ": " << reason;
  return image;
}

namespace {
int ChannelDifference(platform::Argb a, platform::Argb b, int shift) {
  return std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
}
}  // namespace

namespace {
double MeanDifference(const gfx::Image& a, const gfx::Image& b, int channels) {
  if (a.width != b.width || a.height != b.height || a.pixels.empty())
    return 1e9;
  double sum = 0;
  for (size_t i = 0; i < a.pixels.size(); ++i) {
    for (int shift = 0; shift < 8 * channels; shift += 8) {
      sum += ChannelDifference(a.pixels[i], b.pixels[i], shift);
    }
  }
  return sum / (static_cast<double>(a.pixels.size()) * channels);
}
}  // namespace

double MeanChannelDifference(const gfx::Image& a, const gfx::Image& b) {
  return MeanDifference(a, b, 4);
}

double MeanColourDifference(const gfx::Image& a, const gfx::Image& b) {
  return MeanDifference(a, b, 3);
}

int MaxChannelDifference(const gfx::Image& a, const gfx::Image& b) {
  if (a.width != b.width || a.height != b.height)
    return 1 << 20;
  int largest = 0;
  for (size_t i = 0; i < a.pixels.size(); ++i) {
    for (int shift = 0; shift < 32; shift += 8) {
      largest = std::max(largest, ChannelDifference(a.pixels[i], b.pixels[i], shift));
    }
  }
  return largest;
}

namespace {
void Chunk(ByteWriter& out, const std::string& type, const std::vector<uint8_t>& data) {
  ByteWriter body;
  body.Text(type).Bytes(data);
  const uint32_t length = static_cast<uint32_t>(data.size());
  out.U8(length >> 24).U8(length >> 16).U8(length >> 8).U8(length);
  out.Bytes(body.Get());
  const uint32_t crc =
      static_cast<uint32_t>(crc32(0, body.Get().data(), static_cast<uInt>(body.Get().size())));
  out.U8(crc >> 24).U8(crc >> 16).U8(crc >> 8).U8(crc);
}

std::vector<uint8_t> BigEndian32(uint32_t v) {
  return {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)};
}
}  // namespace

std::vector<uint8_t> MakePng(const PngParts& parts) {
  ByteWriter out;
  out.Bytes({0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'});
  std::vector<uint8_t> header = BigEndian32(parts.width);
  const std::vector<uint8_t> height = BigEndian32(parts.height);
  header.insert(header.end(), height.begin(), height.end());
  header.insert(header.end(), {parts.bitDepth, parts.colorType, 0, 0, 0});
  Chunk(out, "IHDR", header);
  if (parts.gamma != 0)
    Chunk(out, "gAMA", BigEndian32(parts.gamma));
  if (!parts.palette.empty())
    Chunk(out, "PLTE", parts.palette);
  if (!parts.transparency.empty())
    Chunk(out, "tRNS", parts.transparency);
  uLongf packedSize = compressBound(static_cast<uLong>(parts.scanlines.size()));
  std::vector<uint8_t> packed(packedSize);
  compress2(packed.data(), &packedSize, parts.scanlines.data(),
            static_cast<uLong>(parts.scanlines.size()), 9);
  packed.resize(packedSize);
  Chunk(out, "IDAT", packed);
  Chunk(out, "IEND", {});
  return out.Get();
}

ScopedTempDir::ScopedTempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "quarn-image-test-XXXXXX");
  if (mkdtemp(pattern.data()) != nullptr)
    path_ = pattern;
  EXPECT_FALSE(path_.empty()) << "mkdtemp failed";
}

ScopedTempDir::~ScopedTempDir() {
  std::error_code ignored;
  if (!path_.empty())
    std::filesystem::remove_all(path_, ignored);
}

std::string ScopedTempDir::Write(const std::string& name, const std::vector<uint8_t>& bytes) const {
  const std::string path = path_ + "/" + name;
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  return path;
}

}  // namespace quarn::testing
