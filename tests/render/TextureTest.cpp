// The cached texture: loading from files, releasing, and the cache's texture getter.
#include "render/Texture.h"

#include <gtest/gtest.h>

#include "engine/GraphicsDevice.h"
#include "engine/ResourceCache.h"
#include "gfxutil/ImageTestFiles.h"
#include "platform/Diagnostics.h"
#include "platform/NullRenderDevice.h"
#include "platform/Window.h"
#include "render/NullGraphicsTest.h"

namespace quarn::testing {
namespace {

class TextureTest : public ::testing::Test {
 protected:
  void SetUp() override { platform::ForgetReportedProblems(); }
  platform::NullRenderDevice device_;
};

TEST_F(TextureTest, LoadMakesTheTextureAndReleaseDropsIt) {
  Texture texture(&device_);
  EXPECT_EQ(texture.GetTexture(), nullptr);
  ASSERT_TRUE(texture.Load(ImageFixture("jpeg/testorig.jpg"))) << texture.LoadProblem();
  ASSERT_NE(texture.GetTexture(), nullptr);
  EXPECT_EQ(texture.GetTexture()->Width(), 256u);
  EXPECT_EQ(texture.GetTexture()->Height(), 256u);
  EXPECT_TRUE(texture.LoadProblem().empty());
  texture.Release();
  EXPECT_EQ(texture.GetTexture(), nullptr);
  texture.Release();  // twice is harmless
}

TEST_F(TextureTest, LoadReplacesWhatWasLoadedAndAFailureLeavesNothing) {
  Texture texture(&device_);
  ASSERT_TRUE(texture.Load(ImageFixture("pngsuite/basn2c08.png")));
  ASSERT_TRUE(texture.Load(ImageFixture("tga/200x32_rgb_tl_rle.tga")));
  EXPECT_EQ(texture.GetTexture()->Width(), 256u);
  EXPECT_FALSE(texture.Load(ImageFixture("pngsuite/xs1n0g01.png")));
  EXPECT_EQ(texture.GetTexture(), nullptr) << "the old texture is released first";
  EXPECT_NE(texture.LoadProblem().find("signature"), std::string::npos);
}

TEST_F(TextureTest, WithoutAGraphicsDeviceNothingIsLoaded) {
  Texture texture;  // no device given, and no graphics device exists
  EXPECT_FALSE(texture.Load(ImageFixture("pngsuite/basn2c08.png")));
  EXPECT_NE(texture.LoadProblem().find("no graphics device"), std::string::npos);
  EXPECT_EQ(texture.GetTexture(), nullptr);
}

// The scene's cache with the process's graphics device (a null device on a window that
// shows nothing) and no archive, so names are paths.
class TextureCacheTest : public NullGraphicsTest {
 protected:
  void TearDown() override {
    cache_.ClearAll();
    NullGraphicsTest::TearDown();
  }

  ResourceCache cache_{nullptr, nullptr};
};

TEST_F(TextureCacheTest, OneTexturePerNameLoadedOnce) {
  const std::string name = ImageFixture("bmpsuite/g/pal8.bmp");
  Texture* first = cache_.GetTexture(name);
  ASSERT_NE(first, nullptr);
  ASSERT_NE(first->GetTexture(), nullptr);
  EXPECT_EQ(first->GetTexture()->Width(), 128u);
  EXPECT_EQ(cache_.GetTexture(name), first);
  EXPECT_EQ(cache_.Count(ResourceCache::Kind::Texture), 1u);
}

TEST_F(TextureCacheTest, AnUnusableFileIsReportedOnceWithItsReason) {
  ScopedTempDir dir;
  const std::string name = dir.Write("HUD.png", {'n', 'o', 't', ' ', 'a', 'n', ' ', 'i'});
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(cache_.GetTexture(name), nullptr);
  EXPECT_EQ(cache_.GetTexture(name), nullptr) << "failures are not cached";
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(err,
            "quarn: " + name + ": not an image file of a known kind (PNG, JPEG, BMP, TGA, DDS)\n");
  EXPECT_EQ(cache_.Count(ResourceCache::Kind::Texture), 0u);
}

TEST_F(TextureCacheTest, AMissingFileIsReportedAsNotFound) {
  const std::string name = ImageFixture("nothing-here.png");
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(cache_.GetTexture(name), nullptr);
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("nothing-here.png: not found"), std::string::npos) << err;
}

}  // namespace
}  // namespace quarn::testing
