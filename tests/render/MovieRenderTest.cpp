// A movie drawn into the back buffer of a render device: the OpenGL device on an off-screen
// window, and the null device. Time is the sound's, mixed by a loopback device.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "TestMedia.h"
#include "engine/LoopbackSound.h"
#include "engine/MoviePlayer.h"
#include "engine/SoundDevice.h"
#include "platform/NullRenderDevice.h"
#include "platform/RenderDevice.h"
#include "platform/Window.h"

namespace quarn {
namespace {

using quarn::testing::FrameColour;
using quarn::testing::Near;
using Container = platform::MediaEncoder::Container;

constexpr int kRate = 48000;
constexpr int kWidth = 640, kHeight = 480;
constexpr int kMovieWidth = 320, kMovieHeight = 240;
constexpr platform::Argb kClearColour = 0xFF336699;

enum class Backend { OpenGl, Null };

std::string BackendName(const ::testing::TestParamInfo<Backend>& info) {
  return info.param == Backend::OpenGl ? "OpenGl" : "Null";
}

class MovieRenderTest : public ::testing::TestWithParam<Backend> {
 protected:
  void SetUp() override {
    platform::PresentParameters parameters;
    parameters.backBufferWidth = kWidth;
    parameters.backBufferHeight = kHeight;
    parameters.windowed = true;
    std::string error;
    if (GetParam() == Backend::OpenGl) {
      platform::WindowDesc desc;
      desc.videoDriver = "offscreen";
      window_ = platform::Window::Create(desc, &error);
      ASSERT_NE(window_, nullptr) << error;
      device_ = platform::CreateGlRenderDevice(*window_, parameters, &error);
    } else {
      device_ = std::make_unique<platform::NullRenderDevice>(parameters);
    }
    ASSERT_NE(device_, nullptr) << error;
    sound_ = quarn::testing::CreateLoopbackSound(kRate, &loopback_);
    ASSERT_NE(sound_, nullptr);
    movie_ = folder_.File("movie.avi");
    ASSERT_TRUE(quarn::testing::WriteMovie(movie_, Container::Avi, kMovieWidth, kMovieHeight, 10,
                                           10, kRate));
    player_.SetRenderDevice(device_.get());
  }
  void TearDown() override { player_.Close(); }

  void Clear() {
    ASSERT_TRUE(device_->Clear(0, nullptr, platform::kClearTarget, kClearColour, 1.0f, 0));
  }
  // One game frame of sound; then the game asks whether the movie still runs.
  bool NextFrame() {
    std::vector<float> mix(kRate / 30 * 2);
    EXPECT_TRUE(loopback_->Render(mix.data(), kRate / 30));
    return player_.IsRunning();
  }

  quarn::testing::TempFolder folder_;
  std::unique_ptr<platform::Window> window_;
  std::unique_ptr<platform::RenderDevice> device_;
  std::unique_ptr<SoundDevice> sound_;
  platform::AudioDevice* loopback_ = nullptr;
  std::string movie_;
  MoviePlayer player_;
};

TEST_P(MovieRenderTest, FramesCoverExactlyTheTopLeftCornerInOrder) {
  ASSERT_TRUE(player_.Open(movie_));
  ASSERT_TRUE(player_.Play(false));
  Clear();
  int frames = 0;
  int last = -1;
  do {
    Clear();
    ASSERT_TRUE(player_.DrawFrame()) << "game frame " << frames;
    std::vector<platform::Argb> pixels;
    uint32_t width = 0, height = 0;
    ASSERT_TRUE(device_->ReadBackBuffer(pixels, &width, &height));
    ASSERT_EQ(width, static_cast<uint32_t>(kWidth));
    ASSERT_EQ(height, static_cast<uint32_t>(kHeight));
    // 10 pictures a second against 30 game frames: picture n is due in game frame 3n.
    const int expected = frames / 3;
    int inside = 0, outside = 0;
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) {
        const platform::Argb pixel = pixels[static_cast<size_t>(y) * kWidth + x];
        if (x < kMovieWidth && y < kMovieHeight) {
          inside += Near(pixel, FrameColour(expected), 12) ? 0 : 1;
        } else {
          outside += pixel == kClearColour ? 0 : 1;
        }
      }
    }
    EXPECT_EQ(inside, 0) << "pixels of the picture off its colour, game frame " << frames;
    EXPECT_EQ(outside, 0) << "pixels outside the picture changed, game frame " << frames;
    EXPECT_GE(expected, last) << "pictures come in order";
    last = expected;
    ++frames;
  } while (NextFrame() && frames < 100);
  EXPECT_EQ(last, 9) << "every picture was shown";
  EXPECT_EQ(frames, 30);
  Clear();
  EXPECT_FALSE(player_.DrawFrame()) << "the movie has ended";
}

INSTANTIATE_TEST_SUITE_P(Devices, MovieRenderTest,
                         ::testing::Values(Backend::OpenGl, Backend::Null), BackendName);

}  // namespace
}  // namespace quarn
