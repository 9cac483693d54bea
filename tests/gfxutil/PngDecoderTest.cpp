// PNG decoding of files built here, so that every stored sample is known.
#include "gfxutil/PngDecoder.h"

#include <gtest/gtest.h>

#include "gfxutil/ImageTestFiles.h"

namespace quarn::testing {
namespace {

using gfx::Image;
using gfx::PngDecoder;

Image Decode(const std::vector<uint8_t>& bytes) {
  Image image;
  std::string reason;
  EXPECT_TRUE(PngDecoder::Decode(bytes, &image, &reason)) << reason;
  return image;
}

TEST(PngDecoderTest, ReturnsStoredSamplesWhateverTheGammaChunkSays) {
  PngParts parts;
  parts.width = 2;
  parts.colorType = 2;
  parts.scanlines = {0, 10, 128, 250, 1, 2, 3};
  for (uint32_t gamma : {0u, 45455u, 100000u, 250000u}) {
    parts.gamma = gamma;
    const Image image = Decode(MakePng(parts));
    ASSERT_EQ(image.width, 2u);
    EXPECT_EQ(image.At(0, 0), 0xFF0A80FAu) << "gamma " << gamma;
    EXPECT_EQ(image.At(1, 0), 0xFF010203u) << "gamma " << gamma;
    EXPECT_FALSE(image.hasAlpha);
  }
}

TEST(PngDecoderTest, SixteenBitSamplesAreRoundedToEightBits) {
  // 0x01C0 / 257 = 1.74: rounding gives 2 where dropping the low byte would give 1.
  PngParts parts;
  parts.width = 3;
  parts.colorType = 0;
  parts.bitDepth = 16;
  parts.scanlines = {0, 0x01, 0xC0, 0x80, 0x80, 0xFF, 0xFF};
  const Image image = Decode(MakePng(parts));
  EXPECT_EQ(image.At(0, 0), 0xFF020202u);
  EXPECT_EQ(image.At(1, 0), 0xFF808080u);
  EXPECT_EQ(image.At(2, 0), 0xFFFFFFFFu);
}

TEST(PngDecoderTest, PaletteWithTransparencyGivesAlphaPerEntry) {
  // Two-bit indices 0, 1, 2, 3; tRNS covers entries 0 and 1 only.
  PngParts parts;
  parts.width = 4;
  parts.colorType = 3;
  parts.bitDepth = 2;
  parts.palette = {255, 0, 0, 0, 255, 0, 0, 0, 255, 9, 9, 9};
  parts.transparency = {0, 128};
  parts.scanlines = {0, 0b00011011};
  const Image image = Decode(MakePng(parts));
  EXPECT_TRUE(image.hasAlpha);
  EXPECT_EQ(image.format, platform::Format::A8R8G8B8);
  EXPECT_EQ(image.At(0, 0), 0x00FF0000u);
  EXPECT_EQ(image.At(1, 0), 0x8000FF00u);
  EXPECT_EQ(image.At(2, 0), 0xFF0000FFu);
  EXPECT_EQ(image.At(3, 0), 0xFF090909u);
}

TEST(PngDecoderTest, GreyWithTransparentValueAndLowBitDepths) {
  // One-bit grey: 0 is black, 1 is white; the tRNS grey value 1 makes white see-through.
  PngParts parts;
  parts.width = 3;
  parts.height = 2;
  parts.colorType = 0;
  parts.bitDepth = 1;
  parts.scanlines = {0, 0b10100000, 0, 0b01000000};
  Image image = Decode(MakePng(parts));
  EXPECT_EQ(image.At(0, 0), 0xFFFFFFFFu);
  EXPECT_EQ(image.At(1, 0), 0xFF000000u);
  EXPECT_EQ(image.At(1, 1), 0xFFFFFFFFu);
  EXPECT_FALSE(image.hasAlpha);
  parts.transparency = {0, 1};
  image = Decode(MakePng(parts));
  EXPECT_TRUE(image.hasAlpha);
  EXPECT_EQ(image.At(0, 0) >> 24, 0u);
  EXPECT_EQ(image.At(1, 0), 0xFF000000u);
}

TEST(PngDecoderTest, RgbaKeepsItsAlphaEvenWhenOpaque) {
  PngParts parts;
  parts.colorType = 6;
  parts.scanlines = {0, 1, 2, 3, 255};
  const Image image = Decode(MakePng(parts));
  EXPECT_EQ(image.At(0, 0), 0xFF010203u);
  EXPECT_TRUE(image.hasAlpha) << "the file has an alpha channel";
}

TEST(PngDecoderTest, DamagedFilesAreRefusedWithAReason) {
  PngParts parts;
  parts.width = 8;
  parts.height = 8;
  parts.colorType = 2;
  parts.scanlines.assign(8 * (1 + 8 * 3), 7);
  for (size_t row = 0; row < 8; ++row)
    parts.scanlines[row * 25] = 0;
  const std::vector<uint8_t> good = MakePng(parts);
  Image image;
  std::string reason;
  ASSERT_TRUE(PngDecoder::Decode(good, &image, &reason)) << reason;
  for (size_t cut : {size_t{8}, size_t{20}, good.size() / 2, good.size() - 13}) {
    const std::vector<uint8_t> truncated(good.begin(), good.begin() + cut);
    reason.clear();
    EXPECT_FALSE(PngDecoder::Decode(truncated, &image, &reason)) << "cut at " << cut;
    EXPECT_FALSE(reason.empty()) << "cut at " << cut;
  }
  std::vector<uint8_t> badSignature = good;
  badSignature[1] = 'Q';
  EXPECT_FALSE(PngDecoder::Decode(badSignature, &image, &reason));
  EXPECT_FALSE(PngDecoder::Recognises(badSignature));
}

TEST(PngDecoderTest, HugeDeclaredSizesAreRefusedBeforeDecoding) {
  PngParts parts;
  parts.width = 20000;
  parts.height = 1;
  parts.colorType = 0;
  parts.scanlines = {0, 0};
  Image image;
  std::string reason;
  EXPECT_FALSE(PngDecoder::Decode(MakePng(parts), &image, &reason));
  EXPECT_NE(reason.find("limit"), std::string::npos) << reason;
  // Within each side's limit, but far more rows than the compressed data could hold.
  parts.width = 16000;
  parts.height = 16000;
  reason.clear();
  EXPECT_FALSE(PngDecoder::Decode(MakePng(parts), &image, &reason));
  EXPECT_NE(reason.find("too short"), std::string::npos) << reason;
  // Data enough for the rows (one bit a pixel), but beyond the decoded-size limit.
  parts.bitDepth = 1;
  parts.scanlines.assign(size_t{16000} * (1 + 2000), 0);
  reason.clear();
  EXPECT_FALSE(PngDecoder::Decode(MakePng(parts), &image, &reason));
  EXPECT_NE(reason.find("too large"), std::string::npos) << reason;
}

}  // namespace
}  // namespace quarn::testing
