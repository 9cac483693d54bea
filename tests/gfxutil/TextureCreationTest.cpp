// Textures from files through the null device, and the upload of every level.
#include "gfxutil/TextureCreation.h"

#include <gtest/gtest.h>

#include "gfxutil/ImageDecoder.h"
#include "gfxutil/ImageTestFiles.h"
#include "gfxutil/MipChain.h"
#include "platform/NullRenderDevice.h"

namespace quarn::testing {
namespace {

using gfx::Image;
using platform::Format;
using platform::NullRenderDevice;

// A texture that keeps what was uploaded, and can refuse one level.
class RecordingTexture final : public platform::Texture {
 public:
  RecordingTexture(uint32_t width, uint32_t height, uint32_t levels) {
    for (uint32_t i = 0; i < levels; ++i) {
      sizes_.push_back({width, height});
      width = std::max(1u, width / 2);
      height = std::max(1u, height / 2);
    }
    uploads.resize(levels);
  }
  uint32_t Width(uint32_t level) const override { return sizes_.at(level)[0]; }
  uint32_t Height(uint32_t level) const override { return sizes_.at(level)[1]; }
  uint32_t Levels() const override { return static_cast<uint32_t>(sizes_.size()); }
  Format GetFormat() const override { return Format::A8R8G8B8; }
  uint32_t Usage() const override { return 0; }
  platform::Pool GetPool() const override { return platform::Pool::Managed; }
  bool UpdateLevel(uint32_t level, const void* pixels, uint32_t pitch) override {
    if (level == refusedLevel)
      return false;
    EXPECT_EQ(pitch, Width(level) * 4);
    const auto* first = static_cast<const platform::Argb*>(pixels);
    uploads[level].assign(first, first + size_t{Width(level)} * Height(level));
    return true;
  }
  platform::Surface* GetSurfaceLevel(uint32_t) override { return nullptr; }

  std::vector<std::vector<platform::Argb>> uploads;
  uint32_t refusedLevel = ~0u;

 private:
  std::vector<std::array<uint32_t, 2>> sizes_;
};

TEST(TextureCreationTest, FileBecomesAPowerOfTwoManagedTextureWithAFullChain) {
  NullRenderDevice device;
  std::string reason;
  auto texture = gfx::CreateTextureFromFile(device, ImageFixture("bmpsuite/g/rgb24.bmp"), &reason);
  ASSERT_NE(texture, nullptr) << reason;
  EXPECT_EQ(texture->Width(), 128u);  // 127 x 64 in the file
  EXPECT_EQ(texture->Height(), 64u);
  EXPECT_EQ(texture->Levels(), 8u);
  EXPECT_EQ(texture->Width(7), 1u);
  EXPECT_EQ(texture->GetFormat(), Format::X8R8G8B8);
  EXPECT_EQ(texture->GetPool(), platform::Pool::Managed);
  EXPECT_EQ(texture->Usage(), 0u);
}

TEST(TextureCreationTest, FormatFollowsTheFilesAlpha) {
  NullRenderDevice device;
  const auto formatOf = [&](const std::string& file) {
    std::string reason;
    auto texture = gfx::CreateTextureFromFile(device, ImageFixture(file), &reason);
    EXPECT_NE(texture, nullptr) << file << ": " << reason;
    return texture ? texture->GetFormat() : Format::Unknown;
  };
  EXPECT_EQ(formatOf("pngsuite/basn6a08.png"), Format::A8R8G8B8);
  EXPECT_EQ(formatOf("pngsuite/tbrn2c08.png"), Format::A8R8G8B8);
  EXPECT_EQ(formatOf("pngsuite/basn2c08.png"), Format::X8R8G8B8);
  EXPECT_EQ(formatOf("jpeg/testorig.jpg"), Format::X8R8G8B8);
  EXPECT_EQ(formatOf("tga/200x32_rgba_tl_raw.tga"), Format::A8R8G8B8);
  EXPECT_EQ(formatOf("tga/200x32_rgb_tl_rle.tga"), Format::X8R8G8B8);
  EXPECT_EQ(formatOf("dds/dxt1-rgb-4bbp-noalpha_MipMaps-1.dds"), Format::Dxt1);
  EXPECT_EQ(formatOf("dds/dxt5-argb-8bbp-interpolatedalpha_MipMaps-1.dds"), Format::Dxt5);
  EXPECT_EQ(formatOf("dds/uncompressed_la.dds"), Format::A8R8G8B8);
}

TEST(TextureCreationTest, FailuresGiveNoTextureAndAReason) {
  NullRenderDevice device;
  std::string reason;
  EXPECT_EQ(gfx::CreateTextureFromFile(device, ImageFixture("missing.png"), &reason), nullptr);
  EXPECT_NE(reason.find("cannot open"), std::string::npos);
  EXPECT_EQ(gfx::CreateTextureFromFile(device, ImageFixture("pngsuite/xd0n2c08.png"), &reason),
            nullptr);
  EXPECT_FALSE(reason.empty());
  EXPECT_EQ(gfx::CreateTextureFromFile(device, ImageFixture("pngsuite/xd0n2c08.png")), nullptr)
      << "no reason asked for";
}

TEST(TextureCreationTest, EveryLevelIsUploadedScaledAndAveraged) {
  Image image = DecodeFixture("tga/200x32_rgba_tl_raw.tga");
  const gfx::TexturePlan plan = gfx::TexturePlan::For(image, 4096, 4096);
  ASSERT_EQ(plan.width, 256u);
  ASSERT_EQ(plan.height, 32u);
  const std::vector<Image> levels = gfx::BuildTextureLevels(image, plan);
  RecordingTexture texture(plan.width, plan.height, plan.levels);
  ASSERT_TRUE(gfx::UploadLevels(texture, levels));
  ASSERT_EQ(texture.uploads.size(), 9u);
  for (uint32_t i = 0; i < 9; ++i)
    EXPECT_EQ(texture.uploads[i], levels[i].pixels) << i;
  // The last level is the average of the whole picture (within rounding at each step).
  double alpha = 0;
  for (platform::Argb p : levels[0].pixels)
    alpha += p >> 24;
  alpha /= static_cast<double>(levels[0].pixels.size());
  EXPECT_NEAR(static_cast<double>(texture.uploads[8][0] >> 24), alpha, 2.0);
}

TEST(TextureCreationTest, UploadStopsWhenATextureRefusesOrDoesNotMatch) {
  Image image;
  image.width = 8;
  image.height = 8;
  image.pixels.assign(64, 0xFF00FF00u);
  const auto levels = gfx::MipChain::Build(image);
  RecordingTexture refusing(8, 8, 4);
  refusing.refusedLevel = 2;
  EXPECT_FALSE(gfx::UploadLevels(refusing, levels));
  RecordingTexture larger(16, 16, 5);
  EXPECT_FALSE(gfx::UploadLevels(larger, levels)) << "level sizes differ";
  RecordingTexture fewerLevels(8, 8, 2);
  EXPECT_TRUE(gfx::UploadLevels(fewerLevels, levels)) << "a shorter chain takes the top levels";
}

TEST(TextureCreationTest, RenderTargetTextureIsMadeAsAsked) {
  NullRenderDevice device;
  auto target = gfx::CreateTexture(device, 1024, 512, 1, platform::kUsageRenderTarget,
                                   Format::X8R8G8B8, platform::Pool::Default);
  ASSERT_NE(target, nullptr);
  EXPECT_EQ(target->Levels(), 1u);
  EXPECT_EQ(target->Width(), 1024u);
  EXPECT_EQ(target->Height(), 512u);
  EXPECT_EQ(target->Usage(), platform::kUsageRenderTarget);
  EXPECT_NE(target->GetSurfaceLevel(0), nullptr);
  EXPECT_EQ(device.LiveDefaultPoolTextures(), 1);
  target.reset();
  EXPECT_EQ(device.LiveDefaultPoolTextures(), 0);
}

}  // namespace
}  // namespace quarn::testing
