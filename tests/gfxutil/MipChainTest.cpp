// Mip levels: the sizes of a full chain and the box average of each step.
#include "gfxutil/MipChain.h"

#include <gtest/gtest.h>

#include "gfxutil/TexturePlan.h"

namespace quarn::testing {
namespace {

using gfx::Image;
using gfx::MipChain;

Image Filled(uint32_t width, uint32_t height, platform::Argb colour) {
  Image image;
  image.width = width;
  image.height = height;
  image.pixels.assign(size_t{width} * height, colour);
  return image;
}

TEST(MipChainTest, FullChainHalvesDownToOneByOne) {
  const auto chain = MipChain::Build(Filled(256, 64, 0xFF123456u));
  ASSERT_EQ(chain.size(), 9u);
  const uint32_t sizes[9][2] = {{256, 64}, {128, 32}, {64, 16}, {32, 8}, {16, 4},
                                {8, 2},    {4, 1},    {2, 1},   {1, 1}};
  for (size_t i = 0; i < chain.size(); ++i) {
    EXPECT_EQ(chain[i].width, sizes[i][0]) << i;
    EXPECT_EQ(chain[i].height, sizes[i][1]) << i;
    EXPECT_EQ(chain[i].pixels.size(), size_t{sizes[i][0]} * sizes[i][1]) << i;
    EXPECT_EQ(chain[i].At(0, 0), 0xFF123456u) << i;
  }
  EXPECT_EQ(chain.size(), gfx::FullMipLevels(256, 64));
}

TEST(MipChainTest, TwoByTwoBecomesTheRoundedAverageOfEachChannel) {
  Image square;
  square.width = 2;
  square.height = 2;
  square.pixels = {0xFF000000u, 0x00FF0000u, 0x0000FF01u, 0x02000000u};
  const auto chain = MipChain::Build(square);
  ASSERT_EQ(chain.size(), 2u);
  // Alpha (255 + 0 + 0 + 2) / 4 = 64.25; red 63.75; green 63.75; blue 0.25.
  EXPECT_EQ(chain[1].At(0, 0), 0x40404000u);
}

TEST(MipChainTest, SingleRowsAverageNeighbourPairs) {
  Image row;
  row.width = 4;
  row.height = 1;
  row.pixels = {0xFF000000u, 0xFF000002u, 0xFF000010u, 0xFF000020u};
  const auto chain = MipChain::Build(row);
  ASSERT_EQ(chain.size(), 3u);
  EXPECT_EQ(chain[1].At(0, 0), 0xFF000001u);
  EXPECT_EQ(chain[1].At(1, 0), 0xFF000018u);
  EXPECT_EQ(chain[2].At(0, 0), 0xFF00000Du);  // (1 + 24) / 2 = 12.5, rounded up
}

TEST(MipChainTest, ALevelLimitStopsTheChainEarly) {
  EXPECT_EQ(MipChain::Build(Filled(64, 64, 0), 3).size(), 3u);
  EXPECT_EQ(MipChain::Build(Filled(64, 64, 0), 50).size(), 7u);
  EXPECT_EQ(MipChain::Build(Filled(1, 1, 0)).size(), 1u);
}

}  // namespace
}  // namespace quarn::testing
