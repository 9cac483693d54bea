// JPEG decoding: files cut short and headers that promise more than the file holds.
#include "gfxutil/JpegDecoder.h"

#include <gtest/gtest.h>

#include <set>

#include "gfxutil/ImageTestFiles.h"

namespace quarn::testing {
namespace {

using gfx::Image;
using gfx::JpegDecoder;

// testorig.jpg with the frame header's height and width replaced.
std::vector<uint8_t> WithDeclaredSize(uint16_t width, uint16_t height) {
  std::vector<uint8_t> bytes = ReadAll(ImageFixture("jpeg/testorig.jpg"));
  for (size_t i = 0; i + 8 < bytes.size(); ++i) {
    if (bytes[i] == 0xFF && bytes[i + 1] == 0xC0) {  // baseline frame header
      bytes[i + 5] = static_cast<uint8_t>(height >> 8);
      bytes[i + 6] = static_cast<uint8_t>(height);
      bytes[i + 7] = static_cast<uint8_t>(width >> 8);
      bytes[i + 8] = static_cast<uint8_t>(width);
      return bytes;
    }
  }
  ADD_FAILURE() << "no frame header";
  return bytes;
}

TEST(JpegDecoderTest, AFileCutShortIsRefused) {
  const std::vector<uint8_t> whole = ReadAll(ImageFixture("jpeg/testorig.jpg"));
  Image image;
  std::string reason;
  ASSERT_TRUE(JpegDecoder::Decode(whole, &image, &reason)) << reason;
  const std::vector<uint8_t> half(whole.begin(), whole.begin() + whole.size() / 2);
  EXPECT_FALSE(JpegDecoder::Decode(half, &image, &reason));
  EXPECT_NE(reason.find("ends before"), std::string::npos) << reason;
  const std::vector<uint8_t> headerOnly(whole.begin(), whole.begin() + 40);
  EXPECT_FALSE(JpegDecoder::Decode(headerOnly, &image, &reason));
  EXPECT_FALSE(reason.empty());
}

TEST(JpegDecoderTest, ADeclaredSizeTheDataCannotFillIsRefusedBeforeDecoding) {
  Image image;
  std::string reason;
  EXPECT_FALSE(JpegDecoder::Decode(WithDeclaredSize(8000, 8000), &image, &reason));
  EXPECT_NE(reason.find("too short for a 8000 x 8000"), std::string::npos) << reason;
  EXPECT_TRUE(image.pixels.empty());
  // The same file with a size its data can cover still decodes (to whatever it holds).
  EXPECT_TRUE(JpegDecoder::Decode(WithDeclaredSize(200, 100), &image, &reason)) << reason;
  EXPECT_EQ(image.width, 200u);
}

TEST(JpegDecoderTest, OtherBytesAreNotTakenForJpeg) {
  const std::vector<uint8_t> png = ReadAll(ImageFixture("pngsuite/basn2c08.png"));
  Image image;
  std::string reason;
  EXPECT_FALSE(JpegDecoder::Recognises(png));
  EXPECT_FALSE(JpegDecoder::Decode(png, &image, &reason));
  EXPECT_NE(reason.find("not a JPEG"), std::string::npos);
}

TEST(JpegDecoderTest, CmykFilesComeOutAsOpaqueRgb) {
  const Image image = DecodeFixture("jpeg/pil_sample_cmyk.jpg");
  ASSERT_EQ(image.width, 100u);
  EXPECT_FALSE(image.hasAlpha);
  std::set<platform::Argb> colours;
  for (platform::Argb p : image.pixels) {
    ASSERT_EQ(p >> 24, 0xFFu);
    colours.insert(p);
  }
  EXPECT_GT(colours.size(), 100u) << "a picture, not a flat fill";
}

}  // namespace
}  // namespace quarn::testing
