// The main window's routing of messages to its handlers, as a window procedure does.
#include "engine/Window.h"

#include <gtest/gtest.h>

namespace quarn {
namespace {

class Handler : public MessageHandler {
 public:
  Handler(intptr_t result, std::vector<std::string>* log, std::string name)
      : result_(result), log_(log), name_(std::move(name)) {}
  intptr_t OnMessage(WindowHandle, uint32_t message, uintptr_t wParam, intptr_t) override {
    log_->push_back(name_ + " " + std::to_string(message) + " " + std::to_string(wParam));
    return result_;
  }

 private:
  intptr_t result_;
  std::vector<std::string>* log_;
  std::string name_;
};

WindowParams Headless() {
  WindowParams params;
  params.backend = platform::WindowBackend::None;
  return params;
}

TEST(WindowTest, DispatchedMessagesReachTheHandlersInOrderUntilOneHandlesThem) {
  Window window;
  const WindowHandle handle = window.Create(Headless());
  ASSERT_NE(handle, nullptr);
  std::vector<std::string> log;
  Handler passes(0, &log, "passes"), handles(7, &log, "handles"), late(9, &log, "late");
  window.AddHandler(&passes);
  window.AddHandler(&handles);
  window.AddHandler(&late);
  EXPECT_EQ(platform::DispatchMessage({handle, platform::kWmKeyUp, platform::kVkPause, 0}), 7);
  EXPECT_EQ(log, (std::vector<std::string>{"passes 257 19", "handles 257 19"}));
  window.RemoveHandler(&handles);
  window.RemoveHandler(&late);
  EXPECT_EQ(platform::DispatchMessage({handle, platform::kWmClose, 0, 0}), 0)
      << "nobody handled it: the default procedure's result";
}

TEST(WindowTest, MessagesForAWindowThatIsGoneGoNowhere) {
  Window window;
  const WindowHandle handle = window.Create(Headless());
  std::vector<std::string> log;
  Handler handler(1, &log, "h");
  window.AddHandler(&handler);
  EXPECT_TRUE(window.Destroy());
  EXPECT_EQ(window.GetHandle(), nullptr);
  EXPECT_EQ(platform::DispatchMessage({handle, platform::kWmClose, 0, 0}), 0);
  EXPECT_TRUE(log.empty());
  EXPECT_FALSE(window.Destroy());
}

TEST(WindowTest, TheClientAreaIsTheAskedSizeOrThePictureSize) {
  Window window;
  WindowParams params = Headless();
  params.width = kUseDefault;
  params.height = kUseDefault;
  ASSERT_NE(window.Create(params), nullptr);
  int width = 0, height = 0;
  ASSERT_TRUE(window.GetClientSize(&width, &height));
  EXPECT_EQ(width, 640);
  EXPECT_EQ(height, 480);
}

}  // namespace
}  // namespace quarn
