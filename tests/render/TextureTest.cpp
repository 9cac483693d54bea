// The cached texture: loading from files, releasing, and reporting files it cannot use.
#include "render/Texture.h"

#include <gtest/gtest.h>

#include "gfxutil/ImageTestFiles.h"
#include "platform/Diagnostics.h"
#include "platform/NullRenderDevice.h"

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
  ASSERT_TRUE(texture.Load(ImageFixture("jpeg/testorig.jpg"))) << texture.LastProblem();
  ASSERT_NE(texture.GetTexture(), nullptr);
  EXPECT_EQ(texture.GetTexture()->Width(), 256u);
  EXPECT_EQ(texture.GetTexture()->Height(), 256u);
  EXPECT_TRUE(texture.LastProblem().empty());
  texture.Release();
  EXPECT_EQ(texture.GetTexture(), nullptr);
  texture.Release();  // twice is harmless
}

TEST_F(TextureTest, LoadReplacesWhatWasLoadedAndAFailureLeavesNothing) {
  Texture texture(&device_);
  ASSERT_TRUE(texture.Load(ImageFixture("pngsuite/basn2c08.png")));
  ASSERT_TRUE(texture.Load(ImageFixture("tga/200x32_rgb_tl_rle.tga")));
  EXPECT_EQ(texture.GetTexture()->Width(), 256u);
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(texture.Load(ImageFixture("pngsuite/xs1n0g01.png")));
  ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(texture.GetTexture(), nullptr) << "the old texture is released first";
}

TEST_F(TextureTest, AFileThatCannotBeUsedIsReportedOnceByName) {
  ScopedTempDir dir;
  const std::string path = dir.Write("hud.png", {'n', 'o', 't', ' ', 'a', 'n', ' ', 'i'});
  Texture texture(&device_);
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(texture.Load(path));
  EXPECT_FALSE(texture.Load(path));
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(err, "quarn: hud.png: " + texture.LastProblem() + "\n");
  EXPECT_NE(texture.LastProblem().find("not an image"), std::string::npos);
}

TEST_F(TextureTest, WithoutAGraphicsDeviceNothingIsLoaded) {
  Texture texture;  // no device given, and no graphics device exists
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(texture.Load(ImageFixture("pngsuite/basn2c08.png")));
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("basn2c08.png: no graphics device"), std::string::npos) << err;
  EXPECT_EQ(texture.GetTexture(), nullptr);
}

}  // namespace
}  // namespace quarn::testing
