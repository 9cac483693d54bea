// TGA decoding of files built here: origins, packets, colour maps and damage.
#include "gfxutil/TgaDecoder.h"

#include <gtest/gtest.h>

#include "gfxutil/ImageTestFiles.h"

namespace quarn::testing {
namespace {

using gfx::Image;
using gfx::TgaDecoder;

struct TgaSpec {
  uint8_t imageType = 2;
  uint16_t width = 2;
  uint16_t height = 2;
  uint8_t pixelBits = 24;
  uint8_t descriptor = 0;
  std::vector<uint8_t> id;
  uint16_t mapFirst = 0;
  uint8_t mapEntryBits = 0;
  std::vector<uint8_t> map;  // entries as stored
  uint16_t mapLength = 0;
  std::vector<uint8_t> data;
};

std::vector<uint8_t> MakeTga(const TgaSpec& s) {
  ByteWriter out;
  out.U8(static_cast<uint32_t>(s.id.size())).U8(s.mapEntryBits != 0 ? 1 : 0).U8(s.imageType);
  out.U16(s.mapFirst).U16(s.mapLength).U8(s.mapEntryBits).U16(0).U16(0);
  out.U16(s.width).U16(s.height).U8(s.pixelBits).U8(s.descriptor);
  out.Bytes(s.id).Bytes(s.map).Bytes(s.data);
  return out.Get();
}

Image Decode(const TgaSpec& spec) {
  Image image;
  std::string reason;
  EXPECT_TRUE(TgaDecoder::Decode(MakeTga(spec), &image, &reason)) << reason;
  return image;
}

TEST(TgaDecoderTest, EachOfTheFourOriginsGivesTheSamePicture) {
  // Stored pixels 1, 2, 3, 4 in file order; where each lands depends on the origin.
  TgaSpec spec;
  spec.data = {1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4};
  const auto grey = [](uint32_t v) { return 0xFF000000u | v << 16 | v << 8 | v; };
  struct Case {
    uint8_t descriptor;
    uint32_t topLeft, topRight, bottomLeft, bottomRight;
  };
  for (const Case& c : {Case{0x00, 3, 4, 1, 2}, Case{0x20, 1, 2, 3, 4}, Case{0x10, 4, 3, 2, 1},
                        Case{0x30, 2, 1, 4, 3}}) {
    spec.descriptor = c.descriptor;
    const Image image = Decode(spec);
    EXPECT_EQ(image.At(0, 0), grey(c.topLeft)) << int{c.descriptor};
    EXPECT_EQ(image.At(1, 0), grey(c.topRight)) << int{c.descriptor};
    EXPECT_EQ(image.At(0, 1), grey(c.bottomLeft)) << int{c.descriptor};
    EXPECT_EQ(image.At(1, 1), grey(c.bottomRight)) << int{c.descriptor};
  }
}

TEST(TgaDecoderTest, RunLengthPacketsMayCrossRowsAndAreCutAtTheEnd) {
  TgaSpec spec;
  spec.imageType = 11;  // grey, run-length
  spec.width = 3;
  spec.pixelBits = 8;
  spec.descriptor = 0x20;
  // Run of 4 sevens (crosses the first row's end), then a raw packet of 4 of which only
  // 2 fit.
  spec.data = {0x83, 7, 0x03, 8, 9, 10, 11};
  const Image image = Decode(spec);
  EXPECT_EQ(image.At(2, 0), 0xFF070707u);
  EXPECT_EQ(image.At(0, 1), 0xFF070707u);
  EXPECT_EQ(image.At(1, 1), 0xFF080808u);
  EXPECT_EQ(image.At(2, 1), 0xFF090909u);
}

TEST(TgaDecoderTest, ColourMapStartingPastZero) {
  TgaSpec spec;
  spec.imageType = 1;
  spec.width = 3;
  spec.height = 1;
  spec.pixelBits = 8;
  spec.id = {'h', 'e', 'l', 'l', 'o'};
  spec.mapFirst = 5;
  spec.mapLength = 2;
  spec.mapEntryBits = 24;
  spec.map = {0x30, 0x20, 0x10, 0x03, 0x02, 0x01};
  spec.data = {5, 6, 4};  // index 4 is below the map's first entry
  const Image image = Decode(spec);
  EXPECT_EQ(image.At(0, 0), 0xFF102030u);
  EXPECT_EQ(image.At(1, 0), 0xFF010203u);
  EXPECT_EQ(image.At(2, 0), 0xFF000000u);
  EXPECT_FALSE(image.hasAlpha);
}

TEST(TgaDecoderTest, ThirtyTwoBitAlphaUnlessZeroEverywhere) {
  TgaSpec spec;
  spec.width = 2;
  spec.height = 1;
  spec.pixelBits = 32;
  spec.descriptor = 8;
  spec.data = {1, 2, 3, 0x40, 4, 5, 6, 0};
  Image image = Decode(spec);
  EXPECT_EQ(image.At(0, 0), 0x40030201u);
  EXPECT_EQ(image.At(1, 0), 0x00060504u);
  EXPECT_TRUE(image.hasAlpha);
  spec.data[3] = 0;
  image = Decode(spec);
  EXPECT_EQ(image.At(0, 0), 0xFF030201u);
  EXPECT_FALSE(image.hasAlpha);
}

TEST(TgaDecoderTest, ShortOrUnknownFilesAreRefused) {
  TgaSpec spec;
  spec.data = {1, 2, 3};  // needs 12 bytes
  Image image;
  std::string reason;
  EXPECT_FALSE(TgaDecoder::Decode(MakeTga(spec), &image, &reason));
  EXPECT_NE(reason.find("cut short"), std::string::npos);
  spec.imageType = 10;  // run-length packets that stop early
  spec.data = {0x80, 1, 2, 3};
  EXPECT_FALSE(TgaDecoder::Decode(MakeTga(spec), &image, &reason));
  // A run-length file claiming a large picture in a few bytes is refused before anything
  // that size is made.
  spec.width = 8000;
  spec.height = 8000;
  Image untouched;
  EXPECT_FALSE(TgaDecoder::Decode(MakeTga(spec), &untouched, &reason));
  EXPECT_TRUE(untouched.pixels.empty());
  spec = TgaSpec{};
  spec.imageType = 2;
  spec.pixelBits = 12;
  EXPECT_FALSE(TgaDecoder::Recognises(MakeTga(spec)));
  EXPECT_FALSE(TgaDecoder::Decode(MakeTga(spec), &image, &reason));
  EXPECT_NE(reason.find("pixel size"), std::string::npos);
  const std::string text = "[Stage]\r\nName=Test\r\nTime=30\r\n";
  EXPECT_FALSE(TgaDecoder::Recognises(std::vector<uint8_t>(text.begin(), text.end())));
}

}  // namespace
}  // namespace quarn::testing
