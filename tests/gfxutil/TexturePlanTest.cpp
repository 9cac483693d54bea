// Texture sizes: powers of two within the device's limits, and the format of the file.
#include "gfxutil/TexturePlan.h"

#include <gtest/gtest.h>

namespace quarn::testing {
namespace {

using gfx::Image;
using gfx::TexturePlan;
using platform::Format;

TEST(TexturePlanTest, SidesRoundUpToPowersOfTwo) {
  EXPECT_EQ(gfx::RoundUpToPowerOfTwo(0), 1u);
  EXPECT_EQ(gfx::RoundUpToPowerOfTwo(1), 1u);
  EXPECT_EQ(gfx::RoundUpToPowerOfTwo(3), 4u);
  EXPECT_EQ(gfx::RoundUpToPowerOfTwo(127), 128u);
  EXPECT_EQ(gfx::RoundUpToPowerOfTwo(128), 128u);
  EXPECT_EQ(gfx::RoundUpToPowerOfTwo(129), 256u);
  EXPECT_EQ(gfx::RoundUpToPowerOfTwo(0x80000001u), 0x80000000u);
}

TEST(TexturePlanTest, SidesBeyondTheDeviceLimitComeDownToIt) {
  EXPECT_EQ(gfx::TextureSide(5000, 4096), 4096u);
  EXPECT_EQ(gfx::TextureSide(4096, 4096), 4096u);
  EXPECT_EQ(gfx::TextureSide(2000, 3000), 2048u);
  EXPECT_EQ(gfx::TextureSide(2100, 3000), 2048u) << "largest power of two within the limit";
}

TEST(TexturePlanTest, PlanHasAFullChainAndTheImageFormat) {
  Image image;
  image.width = 227;
  image.height = 149;
  image.SetAlpha(true);
  TexturePlan plan = TexturePlan::For(image, 4096, 4096);
  EXPECT_EQ(plan.width, 256u);
  EXPECT_EQ(plan.height, 256u);
  EXPECT_EQ(plan.levels, 9u);
  EXPECT_EQ(plan.format, Format::A8R8G8B8);
  image.SetAlpha(false);
  EXPECT_EQ(TexturePlan::For(image, 4096, 4096).format, Format::X8R8G8B8);
  image.format = Format::Dxt5;
  plan = TexturePlan::For(image, 128, 64);
  EXPECT_EQ(plan.width, 128u);
  EXPECT_EQ(plan.height, 64u);
  EXPECT_EQ(plan.levels, 8u);
  EXPECT_EQ(plan.format, Format::Dxt5);
}

}  // namespace
}  // namespace quarn::testing
