// Resampling: bilinear growth, box shrinking, weights that keep flat colours flat.
#include "gfxutil/ImageScaler.h"

#include <gtest/gtest.h>

namespace quarn::testing {
namespace {

using gfx::Image;
using gfx::ImageScaler;

Image Row(std::initializer_list<platform::Argb> pixels) {
  Image image;
  image.width = static_cast<uint32_t>(pixels.size());
  image.height = 1;
  image.pixels = pixels;
  return image;
}

platform::Argb Grey(uint32_t v) {
  return 0xFF000000u | v << 16 | v << 8 | v;
}

TEST(ImageScalerTest, GrowingInterpolatesBetweenPixelCentres) {
  // Destination centres fall at -0.25, 0.25, 0.75 and 1.25 source pixels.
  const Image out = ImageScaler::Scale(Row({Grey(0), Grey(255)}), 4, 1);
  EXPECT_EQ(out.At(0, 0), Grey(0));
  EXPECT_EQ(out.At(1, 0), Grey(64));
  EXPECT_EQ(out.At(2, 0), Grey(191));
  EXPECT_EQ(out.At(3, 0), Grey(255));
}

TEST(ImageScalerTest, ShrinkingAveragesTheCoveredArea) {
  Image out = ImageScaler::Scale(Row({Grey(0), Grey(100), Grey(200), Grey(255)}), 2, 1);
  EXPECT_EQ(out.At(0, 0), Grey(50));
  EXPECT_EQ(out.At(1, 0), Grey(228));
  // Three into two: each output covers one and a half inputs.
  out = ImageScaler::Scale(Row({Grey(0), Grey(90), Grey(180)}), 2, 1);
  EXPECT_EQ(out.At(0, 0), Grey(30));
  EXPECT_EQ(out.At(1, 0), Grey(150));
}

TEST(ImageScalerTest, AlphaIsFilteredLikeTheColours) {
  const Image out = ImageScaler::Scale(Row({0x00000000u, 0xFFFFFFFFu}), 1, 1);
  EXPECT_EQ(out.At(0, 0), 0x80808080u);
}

TEST(ImageScalerTest, FlatPicturesStayFlatAtAnySize) {
  const uint32_t sizes[][4] = {{127, 64, 128, 64}, {33, 33, 64, 64}, {100, 7, 64, 8},
                               {3, 300, 4, 256},   {1, 1, 16, 2},    {640, 480, 1, 1}};
  for (const auto& s : sizes) {
    Image source;
    source.width = s[0];
    source.height = s[1];
    source.pixels.assign(size_t{s[0]} * s[1], 0x80FF4010u);
    source.hasAlpha = true;
    source.format = platform::Format::A8R8G8B8;
    const Image out = ImageScaler::Scale(source, s[2], s[3]);
    ASSERT_EQ(out.pixels.size(), size_t{s[2]} * s[3]);
    for (platform::Argb p : out.pixels)
      ASSERT_EQ(p, 0x80FF4010u) << s[0] << "x" << s[1];
    EXPECT_TRUE(out.hasAlpha);
    EXPECT_EQ(out.format, platform::Format::A8R8G8B8);
  }
}

TEST(ImageScalerTest, EachAxisIsScaledOnItsOwn) {
  // Two rows of different colours, grown only across: each row keeps its colour.
  Image source;
  source.width = 3;
  source.height = 2;
  source.pixels = {Grey(10), Grey(10), Grey(10), Grey(200), Grey(200), Grey(200)};
  const Image out = ImageScaler::Scale(source, 4, 2);
  for (uint32_t x = 0; x < 4; ++x) {
    EXPECT_EQ(out.At(x, 0), Grey(10));
    EXPECT_EQ(out.At(x, 1), Grey(200));
  }
}

TEST(ImageScalerTest, AnEmptySourceGivesTransparentBlackRatherThanReadingNothing) {
  const Image out = ImageScaler::Scale(Image{}, 4, 2);
  ASSERT_EQ(out.pixels.size(), 8u);
  for (platform::Argb p : out.pixels)
    EXPECT_EQ(p, 0u);
}

}  // namespace
}  // namespace quarn::testing
