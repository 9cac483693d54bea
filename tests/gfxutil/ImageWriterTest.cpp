// PNG files written from 0xAARRGGBB pictures read back the same; failures leave no file.
#include "gfxutil/ImageWriter.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>

#include "render/PngReader.h"

namespace quarn::gfx {
namespace {

class ImageWriterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Inside the program's scratch folder, which goes when the program ends.
    dir_ = ::testing::TempDir() + "png-XXXXXX";
    ASSERT_NE(mkdtemp(dir_.data()), nullptr);
  }
  std::string dir_;
};

TEST_F(ImageWriterTest, PixelsComeBackInTheirPlacesWithOrWithoutAlpha) {
  // 3 x 2 taken out of rows 4 pixels apart.
  const platform::Argb pixels[8] = {0xFF102030u, 0x80FF0000u, 0x0000FF00u, 0xDEADBEEFu,
                                    0xFF0000FFu, 0xFFFFFFFFu, 0x12345678u, 0xDEADBEEFu};
  std::string error;
  ASSERT_TRUE(ImageWriter::WritePng(dir_ + "/rgb.png", pixels, 3, 2, 4, false, &error)) << error;
  testing::Picture picture;
  ASSERT_TRUE(testing::ReadPng(dir_ + "/rgb.png", &picture));
  ASSERT_EQ(picture.width, 3u);
  ASSERT_EQ(picture.height, 2u);
  EXPECT_EQ(picture.pixels, (std::vector<platform::Argb>{0xFF102030u, 0xFFFF0000u, 0xFF00FF00u,
                                                         0xFF0000FFu, 0xFFFFFFFFu, 0xFF345678u}))
      << "without alpha every pixel is opaque";
  ASSERT_TRUE(ImageWriter::WritePng(dir_ + "/rgba.png", pixels, 3, 2, 4, true, &error)) << error;
  ASSERT_TRUE(testing::ReadPng(dir_ + "/rgba.png", &picture));
  EXPECT_EQ(picture.pixels[1], 0x80FF0000u);
  EXPECT_EQ(picture.pixels[5], 0x12345678u);
}

TEST_F(ImageWriterTest, FailuresSayWhyAndLeaveNoFile) {
  const platform::Argb pixel = 0xFF000000u;
  std::string error;
  EXPECT_FALSE(ImageWriter::WritePng(dir_ + "/none/x.png", &pixel, 1, 1, 1, false, &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(ImageWriter::WritePng(dir_ + "/empty.png", &pixel, 0, 1, 1, false, &error));
  EXPECT_FALSE(ImageWriter::WritePng(dir_ + "/short.png", &pixel, 2, 1, 1, false, &error))
      << "rows shorter than the width";
  struct stat info;
  EXPECT_NE(stat((dir_ + "/empty.png").c_str(), &info), 0);
  EXPECT_NE(stat((dir_ + "/short.png").c_str(), &info), 0);
}

TEST_F(ImageWriterTest, AFailedWriteKeepsTheOldFile) {
  const platform::Argb red = 0xFFFF0000u;
  std::string error;
  ASSERT_TRUE(ImageWriter::WritePng(dir_ + "/keep.png", &red, 1, 1, 1, false, &error));
  EXPECT_FALSE(ImageWriter::WritePng(dir_ + "/keep.png", nullptr, 1, 1, 1, false, &error));
  testing::Picture picture;
  ASSERT_TRUE(testing::ReadPng(dir_ + "/keep.png", &picture));
  EXPECT_EQ(picture.pixels[0], red);
}

}  // namespace
}  // namespace quarn::gfx
