// BMP decoding of files built here: layouts, bit fields, run-length data and damage.
#include "gfxutil/BmpDecoder.h"

#include <gtest/gtest.h>

#include "gfxutil/ImageTestFiles.h"

namespace quarn::testing {
namespace {

using gfx::BmpDecoder;
using gfx::Image;

struct BmpSpec {
  int32_t width = 1;
  int32_t height = 1;
  uint16_t bitCount = 24;
  uint32_t compression = 0;
  uint32_t headerSize = 40;
  std::vector<uint32_t> masks;    // written inside a long header or after a 40-byte one
  std::vector<uint32_t> palette;  // 0x00RRGGBB entries
  uint32_t colorsUsed = 0;
  std::vector<uint8_t> pixels;  // as stored
};

std::vector<uint8_t> MakeBmp(const BmpSpec& s) {
  ByteWriter info;
  info.U32(s.headerSize).U32(static_cast<uint32_t>(s.width)).U32(static_cast<uint32_t>(s.height));
  info.U16(1).U16(s.bitCount).U32(s.compression).U32(0).U32(2835).U32(2835);
  info.U32(s.colorsUsed).U32(0);
  for (uint32_t mask : s.masks)
    info.U32(mask);
  while (info.Size() < s.headerSize && s.headerSize > 40)
    info.U8(0);
  for (uint32_t entry : s.palette)
    info.U32(entry);
  const uint32_t offset = static_cast<uint32_t>(14 + info.Size());
  ByteWriter file;
  file.Text("BM").U32(static_cast<uint32_t>(offset + s.pixels.size())).U32(0).U32(offset);
  file.Bytes(info.Get()).Bytes(s.pixels);
  return file.Get();
}

Image Decode(const BmpSpec& spec) {
  Image image;
  std::string reason;
  EXPECT_TRUE(BmpDecoder::Decode(MakeBmp(spec), &image, &reason)) << reason;
  return image;
}

std::string Refusal(const BmpSpec& spec) {
  Image image;
  std::string reason;
  EXPECT_FALSE(BmpDecoder::Decode(MakeBmp(spec), &image, &reason));
  return reason;
}

TEST(BmpDecoderTest, RowsAreStoredBottomUpWithFourBytePadding) {
  BmpSpec spec;
  spec.width = 1;
  spec.height = 2;
  spec.pixels = {1, 2, 3, 0, 4, 5, 6, 0};  // bottom row first, each padded to 4 bytes
  Image image = Decode(spec);
  EXPECT_EQ(image.At(0, 0), 0xFF060504u);
  EXPECT_EQ(image.At(0, 1), 0xFF030201u);
  spec.height = -2;  // top-down
  image = Decode(spec);
  EXPECT_EQ(image.At(0, 0), 0xFF030201u);
  EXPECT_FALSE(image.hasAlpha);
}

TEST(BmpDecoderTest, OneBitPixelsReadFromTheHighestBit) {
  BmpSpec spec;
  spec.width = 10;
  spec.bitCount = 1;
  spec.palette = {0x000000, 0xFFFFFF};
  spec.pixels = {0b10000001, 0b01000000, 0, 0};
  const Image image = Decode(spec);
  EXPECT_EQ(image.At(0, 0), 0xFFFFFFFFu);
  EXPECT_EQ(image.At(1, 0), 0xFF000000u);
  EXPECT_EQ(image.At(7, 0), 0xFFFFFFFFu);
  EXPECT_EQ(image.At(9, 0), 0xFFFFFFFFu);
}

TEST(BmpDecoderTest, BitFieldsWithAlphaKeepAlphaUnlessItIsZeroEverywhere) {
  BmpSpec spec;
  spec.width = 2;
  spec.bitCount = 32;
  spec.compression = 3;
  spec.headerSize = 124;
  spec.masks = {0x0000FF00, 0x00FF0000, 0xFF000000, 0x000000FF};  // A R G B in memory
  spec.pixels = {0x80, 0x30, 0x20, 0x10, 0x00, 0x03, 0x02, 0x01};
  Image image = Decode(spec);
  EXPECT_EQ(image.At(0, 0), 0x80302010u);
  EXPECT_EQ(image.At(1, 0), 0x00030201u);
  EXPECT_TRUE(image.hasAlpha);
  EXPECT_EQ(image.format, platform::Format::A8R8G8B8);
  spec.pixels[0] = 0;  // no pixel with any alpha: the channel was never filled in
  image = Decode(spec);
  EXPECT_EQ(image.At(0, 0), 0xFF302010u);
  EXPECT_FALSE(image.hasAlpha);
  EXPECT_EQ(image.format, platform::Format::X8R8G8B8);
}

TEST(BmpDecoderTest, ThirtyTwoBitWithoutBitFieldsIgnoresTheFourthByte) {
  BmpSpec spec;
  spec.bitCount = 32;
  spec.pixels = {3, 2, 1, 0x40};
  const Image image = Decode(spec);
  EXPECT_EQ(image.At(0, 0), 0xFF010203u);
  EXPECT_FALSE(image.hasAlpha);
}

TEST(BmpDecoderTest, RunLengthEightWithDeltaAbsoluteAndClipping) {
  BmpSpec spec;
  spec.width = 4;
  spec.height = 3;
  spec.bitCount = 8;
  spec.compression = 1;
  spec.palette = {0x000000, 0x110000, 0x002200, 0x000033};
  spec.colorsUsed = 4;
  spec.pixels = {
      3, 1,              // bottom row: 1 1 1
      0, 0,              // end of line
      0, 3, 2, 3, 2, 0,  // absolute 2 3 2, padded to an even count
      0, 2, 0, 1,        // delta: none right, one up (from the fourth column to the top row)
      9, 3,              // a run of 9 is cut at the right edge, not wrapped
      0, 1,              // end of bitmap
  };
  const Image image = Decode(spec);
  const platform::Argb k0 = 0xFF000000, k1 = 0xFF110000, k2 = 0xFF002200, k3 = 0xFF000033;
  EXPECT_EQ(image.At(0, 2), k1);
  EXPECT_EQ(image.At(2, 2), k1);
  EXPECT_EQ(image.At(3, 2), k0) << "untouched pixels take the first colour";
  EXPECT_EQ(image.At(0, 1), k2);
  EXPECT_EQ(image.At(1, 1), k3);
  EXPECT_EQ(image.At(2, 1), k2);
  EXPECT_EQ(image.At(3, 0), k3);
  EXPECT_EQ(image.At(0, 0), k0);
  EXPECT_EQ(image.At(2, 0), k0) << "the run starts where the delta left off";
}

TEST(BmpDecoderTest, RunLengthFourAlternatesNibbles) {
  BmpSpec spec;
  spec.width = 5;
  spec.bitCount = 4;
  spec.compression = 2;
  spec.palette = {0x000000, 0x0000FF, 0x00FF00};
  spec.colorsUsed = 3;
  spec.pixels = {2, 0x12, 0, 3, 0x21, 0x20, 0, 0, 0, 1};  // run 1 2; absolute 2 1 2
  const Image image = Decode(spec);
  EXPECT_EQ(image.At(0, 0), 0xFF0000FFu);
  EXPECT_EQ(image.At(1, 0), 0xFF00FF00u);
  EXPECT_EQ(image.At(2, 0), 0xFF00FF00u);
  EXPECT_EQ(image.At(3, 0), 0xFF0000FFu);
  EXPECT_EQ(image.At(4, 0), 0xFF00FF00u);
}

TEST(BmpDecoderTest, IndicesPastThePaletteReadAsBlack) {
  BmpSpec spec;
  spec.width = 2;
  spec.bitCount = 8;
  spec.colorsUsed = 1;
  spec.palette = {0x123456};
  spec.pixels = {0, 200, 0, 0};
  const Image image = Decode(spec);
  EXPECT_EQ(image.At(0, 0), 0xFF123456u);
  EXPECT_EQ(image.At(1, 0), 0xFF000000u);
}

TEST(BmpDecoderTest, DamagedHeadersAndDataAreRefused) {
  BmpSpec spec;
  spec.width = 4;
  spec.height = 4;
  spec.pixels.assign(4 * 12, 0);
  spec.pixels.resize(20);
  EXPECT_NE(Refusal(spec).find("cut short"), std::string::npos);
  spec.pixels.assign(4 * 12, 0);
  spec.bitCount = 7;
  EXPECT_NE(Refusal(spec).find("bit count"), std::string::npos);
  spec.bitCount = 24;
  spec.compression = 4;  // an embedded JPEG
  EXPECT_NE(Refusal(spec).find("compression"), std::string::npos);
  spec.compression = 1;  // run-length with 24-bit pixels
  EXPECT_FALSE(Refusal(spec).empty());
  spec.compression = 0;
  spec.height = 0;
  EXPECT_NE(Refusal(spec).find("no pixels"), std::string::npos);
  spec.height = 4;
  spec.bitCount = 8;
  spec.palette = {};
  spec.colorsUsed = 200;  // the palette would run past the end of the file
  spec.pixels.resize(10);
  EXPECT_FALSE(Refusal(spec).empty());
  // Header cut off.
  std::vector<uint8_t> bytes = MakeBmp(BmpSpec{});
  bytes.resize(30);
  Image image;
  std::string reason;
  EXPECT_FALSE(BmpDecoder::Decode(bytes, &image, &reason));
  EXPECT_NE(reason.find("header"), std::string::npos);
}

}  // namespace
}  // namespace quarn::testing
