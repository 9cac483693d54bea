// The graphics device service over the null render device: presenting and noticing loss,
// restoring with the resources told in registration order, and the debug text of a reset.
#include "engine/GraphicsDevice.h"

#include <gtest/gtest.h>

#include "engine/DeviceResource.h"
#include "engine/Window.h"
#include "platform/NullRenderDevice.h"

namespace quarn {
namespace {

class LoggingResource : public DeviceResource {
 public:
  LoggingResource(GraphicsDevice* device, std::string name, std::vector<std::string>* log)
      : DeviceResource(device), name_(std::move(name)), log_(log) {}
  int OnDeviceLost() override {
    log_->push_back("lost " + name_);
    if (onLost)
      onLost();
    return 1;
  }
  int OnDeviceReset() override {
    log_->push_back("reset " + name_);
    return 1;
  }
  std::function<void()> onLost;

 private:
  std::string name_;
  std::vector<std::string>* log_;
};

class GraphicsDeviceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WindowParams params;
    params.backend = platform::WindowBackend::None;
    ASSERT_NE(window_.Create(params), nullptr);
    ASSERT_TRUE(graphics_.Create(window_.GetHandle(), GraphicsParams{1, 640, 480}));
    device_ = dynamic_cast<platform::NullRenderDevice*>(graphics_.GetDevice());
    ASSERT_NE(device_, nullptr) << "a window without a screen gets the null device";
  }

  Window window_;
  GraphicsDevice graphics_;
  platform::NullRenderDevice* device_ = nullptr;
  std::vector<std::string> log_;
};

TEST_F(GraphicsDeviceTest, CreateNeedsAWindowAndSaysWhy) {
  GraphicsDevice other;
  EXPECT_FALSE(other.Create(nullptr, GraphicsParams{}));
  EXPECT_EQ(other.GetDevice(), nullptr);
  EXPECT_FALSE(other.LastError().empty());
  EXPECT_FALSE(other.Clear(nullptr, platform::kClearTarget, 0, 1, 0)) << "no device";
  int lost = 7;
  EXPECT_FALSE(other.Present(nullptr, &lost));
  EXPECT_EQ(lost, 7);
  EXPECT_FALSE(other.Restore());
}

TEST_F(GraphicsDeviceTest, PresentReportsALostDevice) {
  int lost = 5;
  EXPECT_TRUE(graphics_.Present(nullptr, &lost));
  EXPECT_EQ(lost, 0);
  device_->SetLost(true);
  EXPECT_FALSE(graphics_.Present(nullptr, &lost));
  EXPECT_EQ(lost, 1);
}

TEST_F(GraphicsDeviceTest, ClearOfOneRectangleOrAll) {
  const platform::Rect rect{0, 0, 2, 1};
  ASSERT_TRUE(graphics_.Clear(nullptr, platform::kClearTarget, 0xFF0000FFu, 1, 0));
  ASSERT_TRUE(graphics_.Clear(&rect, platform::kClearTarget, 0xFFFF0000u, 1, 0));
  std::vector<platform::Argb> pixels;
  ASSERT_TRUE(device_->ReadBackBuffer(pixels, nullptr, nullptr));
  EXPECT_EQ(pixels[1], 0xFFFF0000u);
  EXPECT_EQ(pixels[2], 0xFF0000FFu);
  EXPECT_EQ(pixels[640], 0xFF0000FFu);
}

TEST_F(GraphicsDeviceTest, RestoreOfAWorkingDeviceTellsNobody) {
  LoggingResource a(&graphics_, "a", &log_);
  EXPECT_TRUE(graphics_.Restore());
  EXPECT_TRUE(log_.empty());
}

TEST_F(GraphicsDeviceTest, RestoreWaitsQuietlyWhileTheDeviceCannotBeReset) {
  LoggingResource a(&graphics_, "a", &log_);
  device_->SetLost(true, 2);
  EXPECT_FALSE(graphics_.Restore());
  EXPECT_FALSE(graphics_.Restore());
  EXPECT_TRUE(log_.empty()) << "resources hear of the loss only when a reset is tried";
  EXPECT_EQ(device_->ResetCount(), 0);
  EXPECT_TRUE(graphics_.Restore());
  EXPECT_EQ(log_, (std::vector<std::string>{"lost a", "reset a"}));
}

TEST_F(GraphicsDeviceTest, RestoreTellsEveryResourceInRegistrationOrderAndWritesDebugText) {
  LoggingResource first(&graphics_, "first", &log_);
  LoggingResource second(&graphics_, "second", &log_);
  LoggingResource third(&graphics_, "third", &log_);
  EXPECT_FALSE(graphics_.AddResource(&second)) << "no duplicates";
  EXPECT_TRUE(graphics_.RemoveResource(&second));
  EXPECT_FALSE(graphics_.RemoveResource(&second));
  EXPECT_TRUE(graphics_.AddResource(&second));  // now last
  device_->SetLost(true);
  ::testing::internal::CaptureStderr();
  EXPECT_TRUE(graphics_.Restore());
  const std::string debug = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(log_, (std::vector<std::string>{"lost first", "lost third", "lost second",
                                            "reset first", "reset third", "reset second"}));
  EXPECT_EQ(debug, "D3DERR_DEVICENOTRESET\nD3D_OK\n");
  EXPECT_FALSE(device_->IsLost());
}

TEST_F(GraphicsDeviceTest, AFailedResetTellsTheLossAgainOnTheNextTry) {
  LoggingResource a(&graphics_, "a", &log_);
  LoggingResource b(&graphics_, "b", &log_);
  device_->SetLost(true);
  device_->FailNextResets(1);
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(graphics_.Restore());
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "D3DERR_DEVICENOTRESET\n");
  EXPECT_EQ(log_, (std::vector<std::string>{"lost a", "lost b"}));
  EXPECT_TRUE(graphics_.Restore());
  EXPECT_EQ(log_, (std::vector<std::string>{"lost a", "lost b", "lost a", "lost b", "reset a",
                                            "reset b"}));
}

TEST_F(GraphicsDeviceTest, ARenderTargetKeptOverTheLossMakesTheResetFail) {
  std::unique_ptr<platform::Texture> target;
  LoggingResource menu(&graphics_, "menu", &log_);
  target = device_->CreateTexture(1024, 512, 1, platform::kUsageRenderTarget,
                                  platform::Format::X8R8G8B8, platform::Pool::Default);
  device_->SetLost(true);
  EXPECT_FALSE(graphics_.Restore()) << "the target was not released";
  menu.onLost = [&] { target.reset(); };  // as the menu's loss handler does
  EXPECT_TRUE(graphics_.Restore());
}

TEST_F(GraphicsDeviceTest, AResourceGoneBeforeItsTurnIsNotTold) {
  auto doomed = std::make_unique<LoggingResource>(&graphics_, "doomed", &log_);
  LoggingResource killer(&graphics_, "killer", &log_);
  graphics_.RemoveResource(doomed.get());
  graphics_.AddResource(doomed.get());  // after the killer
  killer.onLost = [&] { doomed.reset(); };
  device_->SetLost(true);
  EXPECT_TRUE(graphics_.Restore());
  EXPECT_EQ(log_, (std::vector<std::string>{"lost killer", "reset killer"}));
}

TEST_F(GraphicsDeviceTest, AResetDeviceStartsFromTheDefaultStates) {
  device_->SetRenderState(platform::RenderState::Lighting, 0u);
  device_->SetViewport(platform::Viewport{0, 0, 320, 240, 0, 1});
  device_->SetLost(true);
  EXPECT_TRUE(graphics_.Restore());
  EXPECT_EQ(device_->GetRenderState(platform::RenderState::Lighting), 1u);
  EXPECT_EQ(device_->GetViewport().width, 640u);
}

}  // namespace
}  // namespace quarn
