// DDS decoding of files built here: the three block formats, masks and damage.
#include "gfxutil/DdsDecoder.h"

#include <gtest/gtest.h>

#include "gfxutil/DxtBlockDecoder.h"
#include "gfxutil/ImageTestFiles.h"

namespace quarn::testing {
namespace {

using gfx::DdsDecoder;
using gfx::DxtBlockDecoder;
using gfx::Image;
using platform::Format;

constexpr uint32_t kFourCcFlag = 0x4;
constexpr uint32_t kRgbFlag = 0x40;
constexpr uint32_t kAlphaPixelsFlag = 0x1;

struct DdsSpec {
  uint32_t width = 4;
  uint32_t height = 4;
  uint32_t formatFlags = kFourCcFlag;
  std::string fourCc = "DXT1";
  uint32_t bitCount = 0;
  std::array<uint32_t, 4> masks{};
  std::vector<uint8_t> data;
  uint32_t headerSize = 124;
};

std::vector<uint8_t> MakeDds(const DdsSpec& s) {
  ByteWriter out;
  out.Text("DDS ").U32(s.headerSize).U32(0x1007).U32(s.height).U32(s.width).U32(0).U32(0).U32(1);
  for (int i = 0; i < 11; ++i)
    out.U32(0);
  out.U32(32).U32(s.formatFlags);
  if (s.fourCc.size() == 4)
    out.Text(s.fourCc);
  else
    out.U32(0);
  out.U32(s.bitCount);
  for (uint32_t mask : s.masks)
    out.U32(mask);
  out.U32(0x1000).U32(0).U32(0).U32(0).U32(0);
  out.Bytes(s.data);
  return out.Get();
}

Image Decode(const DdsSpec& spec) {
  Image image;
  std::string reason;
  EXPECT_TRUE(DdsDecoder::Decode(MakeDds(spec), &image, &reason)) << reason;
  return image;
}

// Colour block: endpoints c0, c1 (5:6:5), then the 2-bit indices of the 16 pixels.
std::vector<uint8_t> ColourBlock(uint16_t c0, uint16_t c1, uint32_t indices) {
  return ByteWriter().U16(c0).U16(c1).U32(indices).Get();
}

TEST(DdsDecoderTest, Dxt1FourColourBlockInterpolatesThirds) {
  // Red then blue; pixel i uses index i % 4.
  DdsSpec spec;
  spec.data = ColourBlock(0xF800, 0x001F, 0xE4E4E4E4);
  const Image image = Decode(spec);
  EXPECT_EQ(image.At(0, 0), 0xFFFF0000u);
  EXPECT_EQ(image.At(1, 0), 0xFF0000FFu);
  EXPECT_EQ(image.At(2, 0), 0xFFAA0055u);  // 2/3 red + 1/3 blue
  EXPECT_EQ(image.At(3, 0), 0xFF5500AAu);
  EXPECT_EQ(image.At(3, 3), 0xFF5500AAu);
  EXPECT_EQ(image.format, Format::Dxt1);
  EXPECT_FALSE(image.hasAlpha);
}

TEST(DdsDecoderTest, Dxt1ThreeColourBlockHasTransparentBlack) {
  DdsSpec spec;
  spec.data = ColourBlock(0x001F, 0xF800, 0xE4E4E4E4);  // c0 below c1
  const Image image = Decode(spec);
  EXPECT_EQ(image.At(2, 0), 0xFF800080u);  // the midpoint
  EXPECT_EQ(image.At(3, 0), 0x00000000u);
  EXPECT_TRUE(image.hasAlpha);
  EXPECT_EQ(image.format, Format::Dxt1);
}

TEST(DdsDecoderTest, Dxt3ExplicitAlphaAndAlwaysFourColours) {
  DdsSpec spec;
  spec.fourCc = "DXT3";
  // Alpha nibbles 0..15 in pixel order, low nibble first.
  ByteWriter block;
  for (uint32_t i = 0; i < 8; ++i)
    block.U8((2 * i) | (2 * i + 1) << 4);
  block.Bytes(ColourBlock(0x001F, 0xF800, 0xE4E4E4E4));
  spec.data = block.Get();
  const Image image = Decode(spec);
  EXPECT_EQ(image.At(0, 0), 0x000000FFu);
  EXPECT_EQ(image.At(1, 0), 0x11FF0000u);
  EXPECT_EQ(image.At(3, 0), 0x33AA0055u) << "c0 <= c1 still gives four colours";
  EXPECT_EQ(image.At(3, 3) >> 24, 0xFFu);
  EXPECT_EQ(image.format, Format::Dxt3);
  EXPECT_TRUE(image.hasAlpha);
}

TEST(DdsDecoderTest, Dxt5AlphaInBothModes) {
  DxtBlockDecoder::Block pixels{};
  // a0 > a1: six interpolated steps. Indices 0..7 for the first eight pixels.
  const uint8_t eightStep[8] = {255, 3, 0b10001000, 0b11000110, 0b11111010, 0, 0, 0};
  DxtBlockDecoder::DecodeInterpolatedAlpha(eightStep, &pixels);
  const uint32_t expected8[8] = {255, 3, 219, 183, 147, 111, 75, 39};
  for (int i = 0; i < 8; ++i)
    EXPECT_EQ(pixels[i] >> 24, expected8[i]) << i;
  // a0 <= a1: four interpolated steps, then 0 and 255.
  const uint8_t sixStep[8] = {10, 210, 0b10001000, 0b11000110, 0b11111010, 0, 0, 0};
  DxtBlockDecoder::DecodeInterpolatedAlpha(sixStep, &pixels);
  const uint32_t expected6[8] = {10, 210, 50, 90, 130, 170, 0, 255};
  for (int i = 0; i < 8; ++i)
    EXPECT_EQ(pixels[i] >> 24, expected6[i]) << i;
}

TEST(DdsDecoderTest, PartialBlocksAtTheEdgesAreClipped) {
  // 5 x 3: two blocks across, one down.
  DdsSpec spec;
  spec.width = 5;
  spec.height = 3;
  ByteWriter blocks;
  blocks.Bytes(ColourBlock(0xF800, 0xF800, 0)).Bytes(ColourBlock(0x07E0, 0x07E0, 0));
  spec.data = blocks.Get();
  const Image image = Decode(spec);
  ASSERT_EQ(image.width, 5u);
  ASSERT_EQ(image.height, 3u);
  EXPECT_EQ(image.At(3, 2), 0xFFFF0000u);
  EXPECT_EQ(image.At(4, 2), 0xFF00FF00u);
  EXPECT_EQ(DxtBlockDecoder::SurfaceBytes(Format::Dxt5, 5, 3), 32u);
  spec.data.resize(12);
  Image image2;
  std::string reason;
  EXPECT_FALSE(DdsDecoder::Decode(MakeDds(spec), &image2, &reason));
  EXPECT_NE(reason.find("cut short"), std::string::npos);
}

TEST(DdsDecoderTest, UncompressedMasksGiveChannels) {
  DdsSpec spec;
  spec.width = 2;
  spec.height = 1;
  spec.formatFlags = kRgbFlag | kAlphaPixelsFlag;
  spec.fourCc = "";
  spec.bitCount = 16;
  spec.masks = {0x7C00, 0x03E0, 0x001F, 0x8000};  // A1R5G5B5
  spec.data = ByteWriter().U16(0xFFFF).U16(0x7C00).Get();
  Image image = Decode(spec);
  EXPECT_EQ(image.At(0, 0), 0xFFFFFFFFu);
  EXPECT_EQ(image.At(1, 0), 0x00FF0000u);
  EXPECT_TRUE(image.hasAlpha);
  EXPECT_EQ(image.format, Format::A8R8G8B8);
  spec.formatFlags = kRgbFlag;
  spec.bitCount = 24;
  spec.masks = {0xFF0000, 0x00FF00, 0x0000FF, 0};
  spec.data = {0x03, 0x02, 0x01, 0x30, 0x20, 0x10};
  image = Decode(spec);
  EXPECT_EQ(image.At(0, 0), 0xFF010203u);
  EXPECT_EQ(image.At(1, 0), 0xFF102030u);
  EXPECT_FALSE(image.hasAlpha);
}

TEST(DdsDecoderTest, UnsupportedOrDamagedFilesAreRefused) {
  const auto refusal = [](const DdsSpec& spec) {
    Image image;
    std::string reason;
    EXPECT_FALSE(DdsDecoder::Decode(MakeDds(spec), &image, &reason));
    return reason;
  };
  DdsSpec spec;
  spec.data = ColourBlock(0, 0, 0);
  spec.fourCc = "ATI2";
  EXPECT_NE(refusal(spec).find("'ATI2'"), std::string::npos);
  spec.fourCc = "DX10";
  EXPECT_NE(refusal(spec).find("DX10"), std::string::npos);
  spec.fourCc = "DXT1";
  spec.headerSize = 100;
  EXPECT_NE(refusal(spec).find("header size"), std::string::npos);
  spec.headerSize = 124;
  spec.width = 1u << 30;
  EXPECT_NE(refusal(spec).find("too large"), std::string::npos);
  spec.width = 4;
  spec.formatFlags = kRgbFlag;
  spec.bitCount = 16;
  spec.masks = {0xFF0000, 0, 0, 0};  // wider than the pixel
  EXPECT_NE(refusal(spec).find("mask"), std::string::npos);
  std::vector<uint8_t> cut = MakeDds(DdsSpec{});
  cut.resize(60);
  Image image;
  std::string reason;
  EXPECT_FALSE(DdsDecoder::Decode(cut, &image, &reason));
  EXPECT_NE(reason.find("header"), std::string::npos);
}

}  // namespace
}  // namespace quarn::testing
