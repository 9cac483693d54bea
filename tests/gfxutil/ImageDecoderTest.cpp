// Choosing the decoder by content, and reading files.
#include "gfxutil/ImageDecoder.h"

#include <gtest/gtest.h>

#include "gfxutil/ImageTestFiles.h"

namespace quarn::testing {
namespace {

using gfx::Image;
using gfx::ImageDecoder;
using gfx::ImageFileType;

TEST(ImageDecoderTest, RecognisesEachKindByContent) {
  EXPECT_EQ(ImageDecoder::Recognise(ReadAll(ImageFixture("pngsuite/basn2c08.png"))),
            ImageFileType::Png);
  EXPECT_EQ(ImageDecoder::Recognise(ReadAll(ImageFixture("jpeg/testorig.jpg"))),
            ImageFileType::Jpeg);
  EXPECT_EQ(ImageDecoder::Recognise(ReadAll(ImageFixture("bmpsuite/g/rgb24.bmp"))),
            ImageFileType::Bmp);
  EXPECT_EQ(ImageDecoder::Recognise(ReadAll(ImageFixture("tga/200x32_rgb_bl_raw.tga"))),
            ImageFileType::Tga);
  EXPECT_EQ(ImageDecoder::Recognise(ReadAll(ImageFixture("dds/hopper.dds"))), ImageFileType::Dds);
  const std::string text = "xof 0302txt 0032\nMesh {\n}\n";
  EXPECT_EQ(ImageDecoder::Recognise(std::vector<uint8_t>(text.begin(), text.end())),
            ImageFileType::Unknown);
}

TEST(ImageDecoderTest, TheFileNameExtensionDoesNotMatter) {
  ScopedTempDir dir;
  const std::string pngAsBmp =
      dir.Write("picture.bmp", ReadAll(ImageFixture("pngsuite/basn6a08.png")));
  const std::string tgaAsPng =
      dir.Write("picture.png", ReadAll(ImageFixture("tga/200x32_rgb_tl_rle.tga")));
  Image image;
  std::string reason;
  ASSERT_TRUE(ImageDecoder::DecodeFile(pngAsBmp, &image, &reason)) << reason;
  EXPECT_EQ(image.fileType, ImageFileType::Png);
  ASSERT_TRUE(ImageDecoder::DecodeFile(tgaAsPng, &image, &reason)) << reason;
  EXPECT_EQ(image.fileType, ImageFileType::Tga);
  EXPECT_EQ(image.width, 200u);
}

TEST(ImageDecoderTest, UnreadableFilesGiveAReason) {
  ScopedTempDir dir;
  Image image;
  std::string reason;
  EXPECT_FALSE(ImageDecoder::DecodeFile(dir.Path() + "/missing.png", &image, &reason));
  EXPECT_NE(reason.find("cannot open"), std::string::npos) << reason;
  EXPECT_FALSE(ImageDecoder::DecodeFile(dir.Path(), &image, &reason));
  EXPECT_NE(reason.find("not a regular file"), std::string::npos) << reason;
  EXPECT_FALSE(ImageDecoder::DecodeFile(dir.Write("empty.png", {}), &image, &reason));
  EXPECT_NE(reason.find("empty"), std::string::npos) << reason;
  const std::string text = "[Stage]\r\nName=Test\r\n";
  EXPECT_FALSE(ImageDecoder::DecodeFile(
      dir.Write("stage.png", std::vector<uint8_t>(text.begin(), text.end())), &image, &reason));
  EXPECT_NE(reason.find("not an image"), std::string::npos) << reason;
}

}  // namespace
}  // namespace quarn::testing
