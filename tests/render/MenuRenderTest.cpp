// A menu's cross-fade drawn by the OpenGL device: the state being left, with the state being
// entered drawn into the transition texture and laid over it at half strength.
#include <gtest/gtest.h>

#include <filesystem>

#include "TestMedia.h"
#include "engine/Archive.h"
#include "engine/GraphicsDevice.h"
#include "engine/Window.h"
#include "game/MenuScene.h"
#include "game/SceneRig.h"
#include "gfxutil/ImageWriter.h"
#include "render/RenderTest.h"

namespace quarn::testing {
namespace {

constexpr float kStep = 0.0333f;

// A gradient, so that a texel out of place shows.
Argb GradientTexel(uint32_t x, uint32_t y) {
  return platform::MakeArgb(255, x * 2, y * 2, 128);
}
// Squares of 8 pixels, blue and yellow.
Argb CheckerTexel(uint32_t x, uint32_t y) {
  return ((x / 8 + y / 8) % 2 == 0) ? 0xFF2040FFu : 0xFFFFE020u;
}

class MenuRenderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string data = folder_.File("Data");
    std::filesystem::create_directories(data);
    std::filesystem::create_directories(folder_.File("tmp"));
    WriteImage(data + "/a.png", 128, 128, GradientTexel);
    WriteImage(data + "/b.png", 128, 128, CheckerTexel);
    // State 0 shows a at (64, 64) and its corner at (400, 300); after its timeout state 1
    // keeps a, removes the corner and adds b at (160, 112), fading in over one second.
    WriteText(data + "/menu.txt",
              "[State_0]\r\nImageFile_0=a.png\r\nImageSrcW_0=128\r\nImageSrcH_0=96\r\n"
              "ImageDstX_0=64\r\nImageDstY_0=64\r\nImageFile_2=a.png\r\nImageSrcX_2=96\r\n"
              "ImageSrcY_2=64\r\nImageSrcW_2=32\r\nImageSrcH_2=32\r\nImageDstX_2=400\r\n"
              "ImageDstY_2=300\r\nTimeoutTime=0\r\n:Timeout=1\r\n"
              "[State_1]\r\nTransitTime=1\r\nImageFile_1=b.png\r\nImageSrcW_1=96\r\n"
              "ImageSrcH_1=96\r\nImageDstX_1=160\r\nImageDstY_1=112\r\nImageFile_2=rm\r\n");
    archive_ = std::make_unique<Archive>(folder_.File("tmp"));
    ASSERT_TRUE(archive_->Open(data));
    WindowParams params;
    params.fullscreen = false;
    params.videoDriver = "offscreen";
    ASSERT_NE(window_.Create(params), nullptr) << window_.LastError();
    ASSERT_TRUE(graphics_.Create(window_.GetHandle(), GraphicsParams{0, 640, 480}))
        << graphics_.LastError();
    menu_ = std::make_unique<MenuScene>(&owner_);
    menu_->Load("menu.txt");
    menu_->Start();
    menu_->SetActive(true);
  }
  void TearDown() override {
    if (menu_ != nullptr)
      menu_->Finish();
    menu_.reset();
    graphics_.Release();
  }
  static void WriteImage(const std::string& path, uint32_t width, uint32_t height,
                         Argb (*texel)(uint32_t, uint32_t)) {
    std::vector<Argb> pixels;
    for (uint32_t y = 0; y < height; ++y) {
      for (uint32_t x = 0; x < width; ++x)
        pixels.push_back(texel(x, y));
    }
    std::string error;
    ASSERT_TRUE(
        gfx::ImageWriter::WritePng(path, pixels.data(), width, height, width, false, &error))
        << error;
  }
  static void WriteText(const std::string& path, const std::string& text) {
    FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
  }
  void Frames(int count) {
    for (int i = 0; i < count; ++i)
      menu_->Update();
  }
  Argb Pixel(int x, int y) {
    std::vector<Argb> pixels;
    EXPECT_TRUE(graphics_.GetDevice()->ReadBackBuffer(pixels, nullptr, nullptr));
    return pixels.at(static_cast<size_t>(y) * 640 + static_cast<size_t>(x)) | 0xFF000000u;
  }
  // colour at strength alpha over black, as the blend gives it.
  static Argb Faded(Argb colour, float alpha) {
    return PackColor(Red(colour) / 255.0f * alpha, Green(colour) / 255.0f * alpha,
                     Blue(colour) / 255.0f * alpha);
  }

  TempFolder folder_;
  std::unique_ptr<Archive> archive_;
  Window window_;
  GraphicsDevice graphics_;
  RecordingOwner owner_;
  std::unique_ptr<MenuScene> menu_;
};

TEST_F(MenuRenderTest, ACrossFadeAtItsMidpoint) {
  // One frame into state 0, then 15 steps of the fade: 0.4995 s of one second.
  Frames(16);
  ASSERT_EQ(menu_->TargetState(), 1);
  ASSERT_NEAR(menu_->TransitionTimer(), 15 * kStep, 1e-5f);
  menu_->Render();
  const float alpha = 127.0f / 255.0f;  // the byte of 0.4995
  EXPECT_TRUE(ColorNear(Pixel(64, 64), GradientTexel(0, 0), 2)) << "a is in both states";
  EXPECT_TRUE(ColorNear(Pixel(159, 159), GradientTexel(95, 95), 2));
  EXPECT_TRUE(ColorNear(Pixel(250, 200), Faded(CheckerTexel(90, 88), alpha), 2))
      << "b comes in where nothing was";
  EXPECT_TRUE(ColorNear(
      Pixel(161, 113),
      Faded(CheckerTexel(1, 1), alpha) + Faded(GradientTexel(97, 49), 1.0f - alpha) - 0xFF000000u,
      3))
      << "b over a";
  EXPECT_TRUE(ColorNear(Pixel(415, 315), Faded(GradientTexel(111, 79), 1.0f - alpha), 2))
      << "the removed corner fades out";
  EXPECT_TRUE(BackBufferMatchesReference(*graphics_.GetDevice(), "menu-crossfade", 640, 480, 2));
}

TEST_F(MenuRenderTest, TheFadeEndsOnTheStateEntered) {
  Frames(32);
  ASSERT_EQ(menu_->CurrentState(), 1);
  menu_->Render();
  EXPECT_TRUE(ColorNear(Pixel(161, 113), CheckerTexel(1, 1), 1));
  EXPECT_TRUE(ColorNear(Pixel(100, 100), GradientTexel(36, 36), 1));
  EXPECT_TRUE(ColorNear(Pixel(415, 315), 0xFF000000u, 0));
}

}  // namespace
}  // namespace quarn::testing
