// The GL device's back buffer and window: reading and writing the picture, scaling it into
// windows of other shapes, and device loss while a full-screen window is minimised.
#include "platform/PictureFit.h"
#include "render/RenderTest.h"

namespace quarn::testing {
namespace {

using namespace platform;

constexpr Argb kBlack = 0xFF000000u, kWhite = 0xFFFFFFFFu, kRed = 0xFFFF0000u;

class PresentTest : public RenderTest {
 protected:
  // The off-screen driver cannot resize a window's GL surface: make a new window and device.
  void UseWindow(int width, int height, bool fullscreen) {
    device_.reset();
    window_ = MakeWindow(width, height, fullscreen);
    ASSERT_NE(window_, nullptr);
    device_ = MakeDevice(*window_, GlDeviceOptions{});
    ASSERT_NE(device_, nullptr);
  }
  // A white picture with a red 2 x 2 mark at its top-left corner.
  void DrawMarkedPicture() {
    device_->Clear(0, nullptr, kClearTarget, kWhite, 1.0f, 0);
    const Rect mark{0, 0, 2, 2};
    device_->Clear(1, &mark, kClearTarget, kRed, 1.0f, 0);
  }
  struct Shown {
    std::vector<Argb> pixels;
    int width = 0, height = 0;
    Argb At(int x, int y) const { return pixels.at(static_cast<size_t>(y) * width + x); }
  };
  Shown Presented() {
    Shown shown;
    EXPECT_TRUE(device_->ReadPresentedPicture(shown.pixels, &shown.width, &shown.height));
    return shown;
  }
};

TEST_F(PresentTest, WriteBackBufferCopiesUnscaledAndClipped) {
  const Argb frame[6] = {0x00000001u, 0x00000002u, 0x00000003u,
                         0x00000004u, 0x00000005u, 0x00000006u};
  ASSERT_TRUE(device_->WriteBackBuffer(638, 478, 3, 2, frame, 3));
  ASSERT_TRUE(device_->WriteBackBuffer(-1, -1, 3, 2, frame, 3));
  EXPECT_EQ(Pixel(638, 478), 0xFF000001u) << "alpha reads 1 in a back buffer without it";
  EXPECT_EQ(Pixel(639, 479), 0xFF000005u);
  EXPECT_EQ(Pixel(0, 0), 0xFF000005u);
  EXPECT_EQ(Pixel(1, 0), 0xFF000006u);
  EXPECT_EQ(Pixel(2, 0), kBlack);
  EXPECT_FALSE(device_->WriteBackBuffer(0, 0, 3, 2, nullptr, 3));
}

TEST_F(PresentTest, PresentKeepsTheBackBuffer) {
  DrawMarkedPicture();
  EXPECT_EQ(device_->Present(nullptr), DeviceResult::Ok);
  EXPECT_EQ(Pixel(0, 0), kRed) << "copy swap: the picture stays for reading";
  EXPECT_EQ(Pixel(2, 2), kWhite);
}

TEST_F(PresentTest, AWindowOfThePicturesSizeShowsItAsItIs) {
  DrawMarkedPicture();
  const Shown shown = Presented();
  ASSERT_EQ(shown.width, 640);
  ASSERT_EQ(shown.height, 480);
  ReadBack();
  EXPECT_EQ(shown.pixels, pixels_);
}

TEST_F(PresentTest, AWiderWindowGetsBarsLeftAndRight) {
  UseWindow(800, 480, false);
  DrawMarkedPicture();
  const Shown shown = Presented();
  ASSERT_EQ(shown.width, 800);
  EXPECT_EQ(shown.At(79, 0), kBlack);
  EXPECT_EQ(shown.At(80, 0), kRed) << "the picture's top-left corner, upright";
  EXPECT_EQ(shown.At(81, 1), kRed);
  EXPECT_EQ(shown.At(82, 2), kWhite);
  EXPECT_EQ(shown.At(719, 479), kWhite);
  EXPECT_EQ(shown.At(720, 479), kBlack);
}

TEST_F(PresentTest, ATallerWindowGetsBarsAboveAndBelow) {
  UseWindow(640, 600, false);
  DrawMarkedPicture();
  const Shown shown = Presented();
  ASSERT_EQ(shown.height, 600);
  EXPECT_EQ(shown.At(0, 59), kBlack);
  EXPECT_EQ(shown.At(0, 60), kRed);
  EXPECT_EQ(shown.At(639, 539), kWhite);
  EXPECT_EQ(shown.At(639, 540), kBlack);
}

TEST_F(PresentTest, AWholeScaleBlowsEachPixelUpSharply) {
  UseWindow(1280, 960, false);
  DrawMarkedPicture();
  const Rect dot{5, 5, 6, 6};
  device_->Clear(1, &dot, kClearTarget, kBlack, 1.0f, 0);
  const Shown shown = Presented();
  ASSERT_EQ(shown.width, 1280);
  EXPECT_EQ(shown.At(3, 3), kRed);
  EXPECT_EQ(shown.At(4, 4), kWhite);
  for (int y = 10; y < 12; ++y) {
    for (int x = 10; x < 12; ++x)
      EXPECT_EQ(shown.At(x, y), kBlack) << "no blur at " << x << ", " << y;
  }
  EXPECT_EQ(shown.At(12, 10), kWhite);
  EXPECT_EQ(shown.At(9, 10), kWhite);
}

TEST_F(PresentTest, FullScreenFillsTheDesktopKeepingTheShape) {
  UseWindow(640, 480, true);
  DrawMarkedPicture();
  const Shown shown = Presented();
  ASSERT_GT(shown.width, 0);
  const PictureFit fit = FitPicture(640, 480, shown.width, shown.height);
  EXPECT_EQ(fit.width * 3, fit.height * 4) << "4:3 kept";
  EXPECT_EQ(shown.At(fit.left, fit.top), kRed);
  EXPECT_EQ(shown.At(fit.left + fit.width - 1, fit.top + fit.height - 1), kWhite);
  EXPECT_EQ(device_->Present(nullptr), DeviceResult::Ok);
}

TEST_F(PresentTest, MinimisedFullScreenIsALostDeviceUntilRestoredAndReset) {
  UseWindow(640, 480, true);
  MessageQueue queue(Thread::CurrentId());
  ASSERT_TRUE(window_->PostNotice(Window::Notice::Minimized));
  window_->PumpInto(queue);
  ASSERT_TRUE(window_->IsMinimized());
  EXPECT_EQ(device_->Present(nullptr), DeviceResult::DeviceLost);
  EXPECT_EQ(device_->TestCooperativeLevel(), DeviceResult::DeviceLost);
  EXPECT_EQ(device_->Reset(), DeviceResult::DeviceLost) << "not while still minimised";
  ASSERT_TRUE(window_->PostNotice(Window::Notice::Restored));
  window_->PumpInto(queue);
  EXPECT_EQ(device_->TestCooperativeLevel(), DeviceResult::DeviceNotReset);
  EXPECT_EQ(device_->Present(nullptr), DeviceResult::DeviceLost) << "lost until reset";
  // The game's render target in the default pool must go before a reset succeeds.
  auto target =
      device_->CreateTexture(64, 64, 1, kUsageRenderTarget, Format::X8R8G8B8, Pool::Default);
  auto managed = device_->CreateTexture(64, 64, 1, 0, Format::A8R8G8B8, Pool::Managed);
  auto kept = device_->CreateTexture(8, 8, 1, kUsageRenderTarget, Format::X8R8G8B8, Pool::Managed);
  device_->SetRenderState(RenderState::Lighting, 0u);
  device_->SetTexture(0, managed.get());
  ASSERT_TRUE(device_->SetRenderTarget(kept->GetSurfaceLevel(0)));
  EXPECT_EQ(device_->Reset(), DeviceResult::InvalidCall);
  target.reset();
  EXPECT_EQ(device_->Reset(), DeviceResult::Ok);
  EXPECT_EQ(device_->GetRenderTarget(), nullptr) << "drawing goes to the back buffer again";
  device_->Clear(0, nullptr, kClearTarget, kRed, 1.0f, 0);
  EXPECT_EQ(Pixel(639, 479), kRed);
  EXPECT_EQ(device_->TestCooperativeLevel(), DeviceResult::Ok);
  EXPECT_EQ(device_->GetRenderState(RenderState::Lighting), 1u) << "states are the defaults";
  EXPECT_EQ(device_->GetTexture(0), nullptr);
  EXPECT_EQ(device_->Present(nullptr), DeviceResult::Ok);
  // Textures survive the reset.
  const Argb pixel = kRed;
  EXPECT_TRUE(managed->UpdateLevel(0, std::vector<Argb>(64 * 64, pixel).data(), 256));
}

TEST_F(PresentTest, AMinimisedWindowIsNotALostDevice) {
  MessageQueue queue(Thread::CurrentId());
  ASSERT_TRUE(window_->PostNotice(Window::Notice::Minimized));
  window_->PumpInto(queue);
  EXPECT_EQ(device_->Present(nullptr), DeviceResult::Ok);
  EXPECT_EQ(device_->TestCooperativeLevel(), DeviceResult::Ok);
  Message message;
  ASSERT_TRUE(queue.Peek(message));
  EXPECT_EQ(message.message, kWmSize);
  EXPECT_EQ(message.wParam, kSizeMinimized);
}

}  // namespace
}  // namespace quarn::testing
